#include "ui/sessionhtml.h"

#include "model/catalogue.h"

#include <QCoreApplication>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString colour(TransferTexts::Tone tone)
{
    switch (tone) {
    case TransferTexts::Tone::Good:
        return QStringLiteral("#006600");
    case TransferTexts::Tone::Warning:
        return QStringLiteral("#660000");
    case TransferTexts::Tone::Bad:
    case TransferTexts::Tone::Plain:
        break;
    }
    return QStringLiteral("#990000");
}

QString emphasised(const QString &text, const QString &color)
{
    return QStringLiteral("<span style=\"font-weight:bold;color:%1;\">%2</span>").arg(color, text);
}
} // namespace

QString transferEventHtml(const TransferEvent &event)
{
    QString html;
    for (const TransferTexts::Line &line : TransferTexts::lines(event)) {
        QString text = line.text.toHtmlEscaped();
        if (!line.name.isEmpty())
            text = text.arg(QStringLiteral("<B>%1</B>").arg(line.name.toHtmlEscaped()));
        if (!line.head.isEmpty()) {
            const QString head = emphasised(line.head.toHtmlEscaped(), colour(line.tone));
            text = text.isEmpty() ? head : head + QLatin1Char(' ') + text;
        }
        if (line.spaced)
            html += QStringLiteral("<BR>");
        html += text + QStringLiteral("<BR>");
        if (line.ruled)
            html += QStringLiteral("<HR><BR>");
    }
    return html;
}

QString sessionProblemHtml(const SessionProblem &problem)
{
    using Kind = SessionProblem::Kind;
    const QString path = problem.path.toHtmlEscaped();
    QString text;
    switch (problem.kind) {
    case Kind::None:
        return QString();
    case Kind::KeepIsSource:
        text = translated(QT_TRANSLATE_NOOP("MainWindow",
                                            "%1 ist die Datei, die hochgeladen wird. Bitte den "
                                            "vorherigen Stand in einer anderen Datei sichern; "
                                            "nichts wurde gesendet."))
                   .arg(path);
        break;
    case Kind::KeepTaken:
    case Kind::KeepAppeared:
        text =
            translated(QT_TRANSLATE_NOOP("MainWindow", "%1 gibt es schon; nichts wurde gesendet."))
                .arg(path);
        break;
    case Kind::KeepUnwritable:
    case Kind::KeepWriteFailed:
        text = translated(QT_TRANSLATE_NOOP("MainWindow", "%1 kann nicht geschrieben werden: %2; "
                                                          "nichts wurde gesendet."))
                   .arg(path, problem.error.toHtmlEscaped());
        break;
    case Kind::FileCut:
    case Kind::FileDamaged: {
        QStringList names;
        for (int set : problem.sets)
            names.append(translated(Catalogue::entry(set).name));
        text =
            translated(QT_TRANSLATE_NOOP("MainWindow",
                                         "Die Datei ist beschädigt (%1); nichts wurde gesendet."))
                .arg(names.isEmpty() ? translated(QT_TRANSLATE_NOOP("MainWindow", "unvollständig"))
                                     : names.join(QStringLiteral(", ")));
        break;
    }
    case Kind::NothingSelected:
        text =
            translated(QT_TRANSLATE_NOOP("MainWindow", "Keiner der ausgewählten Datensätze ist in "
                                                       "der Datensicherung; nichts wurde "
                                                       "gesendet."));
        break;
    }
    return QStringLiteral("<BR>%1<BR>").arg(emphasised(text, QStringLiteral("#990000")));
}

#include "statustexts.h"

#include "model/durationtext.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace StatusTexts {

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

QString noGleistron()
{
    return translated(QT_TRANSLATE_NOOP(
        "MainWindow",
        "<BR><BR><span style=\"font-weight:bold;color:#990000;\">FEHLER: Kein Gleistron "
        "gefunden!</span><BR>"));
}

QString portHeld(const QString &port, const QString &holder)
{
    return translated(QT_TRANSLATE_NOOP(
                          "MainWindow",
                          "<BR><BR><span style=\"font-weight:bold;color:#990000;\">FEHLER: %1 wird "
                          "von einem anderen Programm benutzt: %2</span><BR>"))
        .arg(port.toHtmlEscaped(), holder.toHtmlEscaped());
}

QString invalidMode()
{
    return translated(
        QT_TRANSLATE_NOOP("MainWindow", "\n    Achtung! Gleistron nicht im Richtigem Modus.\n\n"));
}

QString gleistronFound(const QString &serial, const QString &softwareVersion)
{
    return translated(
               QT_TRANSLATE_NOOP(
                   "MainWindow",
                   "Gleistron gefunden mit Seriennummer <span style=\"font-weight:bold;\">%1</span>"
                   "                                                    "
                   "und Softwareversion <span style=\"font-weight:bold;\">%2</span> <BR>"))
        .arg(serial, softwareVersion);
}

QString outdatedSoftware()
{
    const QString link =
        QLatin1String(webHost) +
        translated(QT_TRANSLATE_NOOP(
            "MainWindow",
            "/index.php?show=categories&cPath=155_157&cId=157&lang=de#Aktuelle Updates"));
    return translated(
               QT_TRANSLATE_NOOP(
                   "MainWindow",
                   "<BR><span style=\"font-weight:bold;color:#000000;\">Ihre Gleistron Software "
                   "Version "
                   "ist veraltet. Sie können die aktuelle Software als Update kostenlos von "
                   "unserer <a "
                   "href=\"%1\">Internet Seite</a> herunterladen. Installieren Sie diese dann von "
                   "Ihrem "
                   "PC auf den Gleistron so wie es in der Installationsanweisung beschrieben "
                   "ist.</span>"))
        .arg(link.toHtmlEscaped());
}

QString communicationError()
{
    return translated(QT_TRANSLATE_NOOP(
        "MainWindow",
        "<BR><span style=\"font-weight:bold;color:#660000;\">Kommunikation mit Gleistron "
        "unterbrochen! </span>"));
}

QString backupMenuHint()
{
    return translated(QT_TRANSLATE_NOOP(
        "MainWindow", "Für Datensicherung und Fahrstrassen muss der Gleistron im Menü "
                      "Datensicherung stehen.\n"));
}

QString exchangeFailed()
{
    return translated(QT_TRANSLATE_NOOP(
        "MainWindow",
        "<BR><BR><span style=\"font-weight:bold;color:#990000;\">FEHLER: USB Verbindung mit "
        "Gleistron verloren! Bitte stecken Sie den Kabel erneut an. </span><BR>"));
}

QString resumed()
{
    return translated(QT_TRANSLATE_NOOP("MainWindow", "Verbindung wieder hergestellt!<BR>"));
}

int versionNumber(const QString &versionText)
{
    QString digits = versionText;
    digits.remove(QLatin1Char('.'));
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? value : 0;
}

QString toPlainText(const QString &html)
{
    QString text = html;
    text.replace(
        QRegularExpression(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("\n"));
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(QRegularExpression(QStringLiteral("[ \\t]{2,}")), QStringLiteral(" "));
    text.replace(QRegularExpression(QStringLiteral("\\n{3,}")), QStringLiteral("\n\n"));
    return text.trimmed();
}

} // namespace StatusTexts

QString StatusTexts::TimeLeft::update(qint64 ms, int permille)
{
    if (permille <= 0 || permille >= 1000)
        return QString();
    // The rate since the first progress: a window of the last seconds swung from half a minute
    // to a quarter of an hour between sets of few and of many records.
    if (since < 0) {
        since = ms;
        from = permille;
    }
    if (ms - since < 3000 || permille <= from)
        return QString();
    const qint64 seconds = (ms - since) * (1000 - permille) / (permille - from) / 1000;
    return durationText(seconds);
}

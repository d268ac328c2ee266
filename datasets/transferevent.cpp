#include "transferevent.h"

#include "model/catalogue.h"

#include <QCoreApplication>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

using Line = TransferTexts::Line;
using Tone = TransferTexts::Tone;

QString names(const QList<int> &sets, int images = 0)
{
    QStringList out;
    for (int set : sets)
        out.append(translated(Catalogue::entry(set).name));
    if (images > 0)
        out.append(translated(QT_TRANSLATE_NOOP("MainWindow", "%1 (%2 Bilder)"))
                       .arg(translated(Catalogue::entry(Catalogue::Lokbilder).name))
                       .arg(images));
    return out.isEmpty() ? translated(QT_TRANSLATE_NOOP("MainWindow", "keine"))
                         : out.join(QStringLiteral(", "));
}

// Where the station kept answering wrongly: the set, the record or a track plan's block.
QString place(const TransferEvent &event)
{
    if (event.set < 0)
        return QString();
    const QString name = translated(Catalogue::entry(event.set).name);
    if (event.record < 0)
        return name;
    if (event.set >= Catalogue::Gleisplan1 && event.set <= Catalogue::Gleisplan3)
        return translated(QT_TRANSLATE_NOOP("MainWindow", "%1, Zeile %2, Spalte %3"))
            .arg(name)
            .arg(event.record & 0xFF)
            .arg(event.record >> 8);
    return translated(QT_TRANSLATE_NOOP("MainWindow", "%1, Datensatz %2"))
        .arg(name)
        .arg(event.record);
}

QString answeredWrongly(const TransferEvent &event)
{
    return translated(QT_TRANSLATE_NOOP("MainWindow", "Der Gleistron antwortet auf %1 wiederholt "
                                                      "anders, als der Befehl es zulässt."))
        .arg(place(event));
}

Line plainLine(const QString &text)
{
    Line line;
    line.text = text;
    return line;
}

QList<Line> uploadEnded(const TransferEvent &event)
{
    Line first;
    first.spaced = true;
    first.tone = Tone::Warning;
    first.text = translated(QT_TRANSLATE_NOOP("MainWindow", "Aus der Datei übernommen: %1. Im "
                                                            "Gleistron unverändert: %2."))
                     .arg(names(event.done, event.images), names(event.left));
    switch (event.end) {
    case TransferEvent::End::Stopped:
        first.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Hochladen abgebrochen."));
        break;
    case TransferEvent::End::LeftPcMode:
        first.head = translated(QT_TRANSLATE_NOOP(
            "MainWindow", "Hochladen beendet: der Gleistron hat den PC-Modus verlassen."));
        break;
    case TransferEvent::End::Failed:
        first.tone = Tone::Bad;
        first.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Hochladen fehlgeschlagen:"));
        first.text = answeredWrongly(event) + QLatin1Char(' ') + first.text;
        break;
    }
    QList<Line> out{first};
    if (!event.pending.isEmpty()) {
        Line pending;
        pending.tone = Tone::Bad;
        pending.head =
            translated(QT_TRANSLATE_NOOP("MainWindow", "Gesendet, aber nicht gespeichert: %1."))
                .arg(names(event.pending));
        pending.text = translated(QT_TRANSLATE_NOOP(
            "MainWindow", "Der Gleistron kann diese Daten vorgemerkt halten, bis er neu "
                          "gestartet wird; bitte vor dem nächsten Hochladen aus- und wieder "
                          "einschalten."));
        out.append(pending);
    }
    return out;
}

QList<Line> verified(const TransferEvent &event)
{
    if (event.differences.isEmpty()) {
        Line clean;
        clean.tone = Tone::Good;
        clean.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Prüfung: alle %1 Datensätze und "
                                                                "Blöcke stimmen überein."))
                         .arg(event.compared);
        return {clean};
    }
    Line header;
    header.tone = Tone::Bad;
    header.head =
        translated(QT_TRANSLATE_NOOP("MainWindow", "Prüfung: %1 von %2 Datensätzen weichen ab:"))
            .arg(event.differences.size())
            .arg(event.compared);
    QList<Line> out{header};
    for (const UploadCheck::Difference &d : event.differences) {
        out.append(plainLine(
            d.stationOnly ? translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2: nur im Gleistron"))
                                .arg(d.set)
                                .arg(d.number)
                          : translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2 ab Byte %3"))
                                .arg(d.set)
                                .arg(d.number)
                                .arg(d.byte)));
    }
    if (const int stationOnly = UploadCheck::stationOnlyCount(event.differences); stationOnly > 0)
        out.append(plainLine(
            translated(QT_TRANSLATE_NOOP("MainWindow",
                                         "%1 Datensätze hat nur der Gleistron, nicht die "
                                         "Datensicherung. Der Gleistron behält sie; sollen sie "
                                         "weg, bitte am Gleistron löschen."))
                .arg(stationOnly)));
    return out;
}
} // namespace

QList<Line> TransferTexts::lines(const TransferEvent &event)
{
    using Kind = TransferEvent::Kind;
    Line line;
    switch (event.kind) {
    case Kind::DownloadStopped:
        line.spaced = true;
        line.tone = Tone::Warning;
        line.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Herunterladen abgebrochen."));
        line.text = translated(QT_TRANSLATE_NOOP("MainWindow", "Vollständig geladen: %1. Nicht "
                                                               "übernommen: %2."))
                        .arg(names(event.done), names(event.left));
        return {line};
    case Kind::DownloadFailed:
        line.spaced = true;
        line.tone = Tone::Bad;
        line.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Herunterladen fehlgeschlagen:"));
        line.text = answeredWrongly(event) + QLatin1Char(' ') +
                    translated(QT_TRANSLATE_NOOP("MainWindow", "Vollständig geladen: %1. Nicht "
                                                               "übernommen: %2."))
                        .arg(names(event.done), names(event.left));
        return {line};
    case Kind::UploadEnded:
        return uploadEnded(event);
    case Kind::UploadStopping:
        line.spaced = true;
        line.tone = Tone::Warning;
        line.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Das Hochladen endet, sobald %1 im "
                                                               "Gleistron gespeichert ist."))
                        .arg(names(event.sets));
        line.text = translated(QT_TRANSLATE_NOOP(
            "MainWindow", "Was ein Speicherschritt braucht, wird ganz gesendet (bei den "
                          "Fahrstrassen bis zu etwa anderthalb Minuten), damit keine halbe "
                          "Übertragung im Gleistron vorgemerkt bleibt. Erneutes „Abbrechen“ "
                          "beendet sofort."));
        return {line};
    case Kind::UploadUnconfirmed:
        line.tone = Tone::Warning;
        line.head = translated(QT_TRANSLATE_NOOP("MainWindow", "Hochladen nicht bestätigt:"));
        line.text = translated(QT_TRANSLATE_NOOP(
                                   "MainWindow",
                                   "Während %1 gesendet wurde, war die Verbindung unterbrochen. "
                                   "Eine Station, die dabei neu begonnen hat, hat diese Daten "
                                   "verworfen. Bitte erneut hochladen oder vergleichen (Datei > "
                                   "Mit Gleistron vergleichen)."))
                        .arg(names(event.sets));
        line.ruled = true;
        return {line};
    case Kind::ReadForCompare:
        return {plainLine(
            translated(QT_TRANSLATE_NOOP("MainWindow", "Gleistron gelesen in %1 Sek., zum "
                                                       "Vergleich; das Dokument bleibt "
                                                       "unverändert."))
                .arg(event.seconds))};
    case Kind::ReadForKeeping:
        return {plainLine(
            translated(QT_TRANSLATE_NOOP("MainWindow", "Gleistron gelesen in %1 Sek., für "
                                                       "„Vorher sichern“; das Dokument bleibt "
                                                       "unverändert."))
                .arg(event.seconds))};
    case Kind::ReadForMerging:
        return {plainLine(
            translated(QT_TRANSLATE_NOOP("MainWindow", "Gleistron gelesen in %1 Sek.; darin "
                                                       "werden nur die gewählten Datensätze "
                                                       "ersetzt."))
                .arg(event.seconds))};
    case Kind::NothingSent:
        return {plainLine(translated(QT_TRANSLATE_NOOP("MainWindow", "Nichts wurde gesendet.")))};
    case Kind::KeptFile:
        line.text = translated(QT_TRANSLATE_NOOP("MainWindow", "Backup Datei %1 gespeichert."));
        line.name = event.path;
        return {line};
    case Kind::Verified:
        return verified(event);
    }
    return {};
}

QString TransferTexts::plain(const TransferEvent &event)
{
    QStringList out;
    for (const Line &line : lines(event)) {
        const QString text = line.name.isEmpty() ? line.text : line.text.arg(line.name);
        out.append(line.head.isEmpty() ? text
                   : text.isEmpty()    ? line.head
                                       : line.head + QLatin1Char(' ') + text);
    }
    return out.join(QLatin1Char('\n'));
}

#include "sessionreport.h"

#include <QCoreApplication>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

QList<SessionTexts::Line> SessionTexts::lines(const SessionEvent &event)
{
    using Kind = SessionEvent::Kind;
    switch (event.kind) {
    case Kind::ReadForCompare:
        return {{Tone::Plain,
                 translated(QT_TRANSLATE_NOOP("MainWindow",
                                              "Gleistron gelesen in %1 Sek., zum Vergleich; das "
                                              "Dokument bleibt unverändert."))
                     .arg(event.seconds),
                 {}}};
    case Kind::ReadForKeeping:
        return {{Tone::Plain,
                 translated(QT_TRANSLATE_NOOP("MainWindow",
                                              "Gleistron gelesen in %1 Sek., für „Vorher "
                                              "sichern“; das Dokument bleibt unverändert."))
                     .arg(event.seconds),
                 {}}};
    case Kind::NothingSent:
        return {{Tone::Plain,
                 translated(QT_TRANSLATE_NOOP("MainWindow", "Nichts wurde gesendet.")),
                 {}}};
    case Kind::KeptFile:
        return {{Tone::Plain,
                 translated(QT_TRANSLATE_NOOP("MainWindow", "Backup Datei %1 gespeichert.")),
                 event.path}};
    case Kind::Verified:
        break;
    }
    if (event.differences.isEmpty())
        return {{Tone::Good,
                 translated(QT_TRANSLATE_NOOP("MainWindow", "Prüfung: alle %1 Datensätze und "
                                                            "Blöcke stimmen überein."))
                     .arg(event.compared),
                 {}}};
    QList<Line> out;
    out.append(
        {Tone::Bad,
         translated(QT_TRANSLATE_NOOP("MainWindow", "Prüfung: %1 von %2 Datensätzen weichen ab:"))
             .arg(event.differences.size())
             .arg(event.compared),
         {}});
    for (const UploadCheck::Difference &d : event.differences) {
        out.append({Tone::Plain,
                    d.stationOnly
                        ? translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2: nur im Gleistron"))
                              .arg(d.set)
                              .arg(d.number)
                        : translated(QT_TRANSLATE_NOOP("MainWindow", "%1 %2 ab Byte %3"))
                              .arg(d.set)
                              .arg(d.number)
                              .arg(d.byte),
                    {}});
    }
    if (const int stationOnly = UploadCheck::stationOnlyCount(event.differences); stationOnly > 0)
        out.append({Tone::Plain,
                    translated(QT_TRANSLATE_NOOP(
                                   "MainWindow",
                                   "%1 Datensätze hat nur der Gleistron, nicht die "
                                   "Datensicherung. Der Gleistron behält sie; sollen sie weg, "
                                   "bitte am Gleistron löschen."))
                        .arg(stationOnly),
                    {}});
    return out;
}

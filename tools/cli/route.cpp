// route: one route as the routes tab shows it.

#include "cli.h"

#include "backupfile/document.h"
#include "link/statustexts.h"
#include "routes/routerecord.h"

#include <cstdio>
#include <memory>

namespace Cli {

// Route n as the routes tab shows it.
int commandRoute(const QString &path, const QString &number)
{
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 1 || n > 1000)
        return usage(QStringLiteral("route numbers run from 1 to 1000"));
    auto holder = std::make_unique<Document>();
    if (!openDocument(path, *holder))
        return Failed;
    const DataImage *document = &holder->image;
    const qint8 status = document->recordStatus[size_t(Catalogue::StatusFahrstrassen + n)];
    if (status <= 0) {
        std::printf("%s %d\n%s\n", qPrintable(tr("Fahrstrasse")), n,
                    qPrintable(status == 0 ? tr("(nicht geladen!)") : tr("Datensatz ist leer!")));
        return Done;
    }
    quint8 record[RouteRecord::Size];
    document->copyRoute(n, record);
    const DecodedRoute route = RouteRecord::decode(record, 12, 20, 12);
    const QString mode = StatusTexts::toPlainText(
        tr("&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  "
           "Kommentar: <b>\"%2\"</b>  &nbsp;&nbsp;  "
           "Modus: <b>%3</b>")
            .arg(n)
            .arg(route.comment.toHtmlEscaped(), route.mode.toHtmlEscaped()));
    std::printf("%s\n", qPrintable(mode));
    const QString keys = StatusTexts::toPlainText(
        tr("&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; Spalte &nbsp; "
           "%3 &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; Zieltaste: &nbsp; Plan &nbsp; %4 &nbsp; Zeile "
           "&nbsp; %5 &nbsp; Spalte &nbsp; %6 ")
            .arg(route.startPlan, route.startRow, route.startColumn, route.destinationPlan,
                 route.destinationRow, route.destinationColumn));
    std::printf("%s\n", qPrintable(keys));
    std::printf("%s\t%s\t%s\t%s\n", qPrintable(tr("Nr")), qPrintable(tr("Typ")),
                qPrintable(tr("Adresse")), qPrintable(tr("Befehl")));
    for (int card = 0; card < 6; ++card) {
        std::printf("%s %s\n",
                    qPrintable(tr(qPrintable(QStringLiteral("Karte %1:").arg(card + 2)))),
                    qPrintable(tr(RouteRecord::cardTitle(card + 2))));
        const QList<RouteRow> &rows = route.cards[size_t(card)];
        for (int i = 0; i < rows.size(); ++i) {
            if (rows.at(i).isEmpty())
                continue;
            const int slot = card == 3 ? i / 2 + 1 : i + 1;
            std::printf("%d\t%s\t%s\t%s\n", slot, qPrintable(rows.at(i).type),
                        qPrintable(rows.at(i).address), qPrintable(rows.at(i).command));
        }
    }
    return Done;
}

} // namespace Cli

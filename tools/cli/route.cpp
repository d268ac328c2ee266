// route: one route as the routes tab shows it.

#include "cli.h"

#include "backupfile/document.h"
#include "routes/routeexport.h"

#include <cstdio>
#include <memory>

namespace Cli {

// Route n as the routes tab shows it.
int commandRoute(const QString &path, const QString &number)
{
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 0 || n > 1023)
        return usage(QStringLiteral("route numbers run from 0 to 1023"));
    auto holder = std::make_unique<Document>();
    if (!openDocument(path, *holder))
        return Failed;
    const qint8 status = holder->image.recordStatus[size_t(Catalogue::StatusFahrstrassen + n)];
    if (status <= 0) {
        std::printf("%s %d\n%s\n", qPrintable(tr("Fahrstrasse")), n,
                    qPrintable(status == 0 ? tr("(nicht geladen!)") : tr("Datensatz ist leer!")));
        return Done;
    }
    std::fputs(qPrintable(RouteExport::text(
                   plainComments(RouteExport::held(holder->image, {n})).value(0))),
               stdout);
    return Done;
}

} // namespace Cli

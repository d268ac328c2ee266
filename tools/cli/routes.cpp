// routes and route-book: every route of a backup file as text, CSV, JSON or a printed book.

#include "cli.h"

#include "backupfile/document.h"
#include "routes/routebook.h"
#include "routes/routeexport.h"

#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace Cli {

QList<HeldRoute> plainComments(QList<HeldRoute> routes)
{
    for (HeldRoute &held : routes)
        held.route.comment = escaped(held.route.comment);
    return routes;
}

int commandRoutes(const QString &path, const QString &format)
{
    if (format != QLatin1String("text") && format != QLatin1String("csv") &&
        format != QLatin1String("json"))
        return usage(QStringLiteral("--format takes text, csv or json"));
    auto document = std::make_unique<Document>();
    if (!openDocument(path, *document))
        return Failed;
    const QList<HeldRoute> routes = RouteExport::held(document->image);
    QByteArray out;
    if (format == QLatin1String("csv"))
        out = RouteExport::csv(routes);
    else if (format == QLatin1String("json"))
        out = RouteExport::json(routes);
    else
        out = RouteExport::text(plainComments(routes)).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return Done;
}

int commandRouteBook(const QString &path, const QString &out)
{
    auto document = std::make_unique<Document>();
    if (!openDocument(path, *document))
        return Failed;
    const QList<HeldRoute> routes = RouteExport::held(document->image);
    if (routes.isEmpty()) {
        failure(tr("%1 enthält keine Fahrstrassen.").arg(path));
        return Failed;
    }
    const RouteBook::Title title{document->sourceSerial, document->sourceSoftware,
                                 QFileInfo(path).fileName(), QDateTime::currentDateTime()};
    QString error;
    if (!RouteBook::write(out, routes, title, &error)) {
        failure(tr("%1 kann nicht geschrieben werden: %2").arg(out, error));
        return Failed;
    }
    std::fprintf(stderr, "%s\n",
                 qPrintable(tr("%1 Fahrstrassen in %2").arg(routes.size()).arg(out)));
    return Done;
}

} // namespace Cli

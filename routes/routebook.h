#pragma once

#include "routeexport.h"

#include <QDateTime>
#include <QString>

// Every route of a document on paper: a title page, the contents, each route with its cards,
// an index of the elements the routes use, page numbers. A PDF of text, so it can be searched.
class RouteBook
{
public:
    struct Title
    {
        QString serial;
        QString software;
        QString fileName; // the backup's name, empty for one never saved
        QDateTime printed;
    };

    // Written beside the target and put in its place only when complete; false with the reason
    // in `error` when it could not be written.
    static bool write(const QString &path, const QList<HeldRoute> &routes, const Title &title,
                      QString *error);
};

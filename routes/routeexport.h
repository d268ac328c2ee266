#pragma once

#include "model/routerecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DataImage;

// A route the document holds, decoded.
struct HeldRoute
{
    int number = 0;
    DecodedRoute route;
};

// Routes as text for people and programs: as `route` prints one, as CSV and JSON, and the
// index of the elements that routes use. All texts are the routes tab's.
class RouteExport
{
public:
    // The route records 0 to 1023 the image holds, by number; `only`, when not empty, limits
    // them.
    static QList<HeldRoute> held(const DataImage &image, const QList<int> &only = {});
    static QString cardHeading(int card); // "Karte 4: Stellbefehle"

    static QString text(const HeldRoute &held);
    static QString text(const QList<HeldRoute> &routes);
    static QByteArray csv(const QList<HeldRoute> &routes);
    static QByteArray json(const QList<HeldRoute> &routes);
    // One line per element any route uses, by kind and address:
    // "Weiche 44: 5 (abzweig 3-Weg), 17 (Fahrstrasse auflösen: gerade)".
    static QStringList indexLines(const QList<HeldRoute> &routes);
};

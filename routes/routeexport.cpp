#include "routeexport.h"

#include "link/statustexts.h"
#include "model/dataimage.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <algorithm>

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// A field as spreadsheets read it: quoted when it holds a separator, a quote or a line break.
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QJsonValue keyObject(const QString &plan, const QString &row, const QString &column)
{
    if (plan == QLatin1String("-"))
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("plan"), plan},
                       {QStringLiteral("row"), row},
                       {QStringLiteral("column"), column}};
}

} // namespace

QList<HeldRoute> RouteExport::held(const DataImage &image, const QList<int> &only)
{
    QList<HeldRoute> routes;
    quint8 record[RouteRecord::Size];
    // Every route the file can hold, 1 to 1023: the routes tab lists 1 to 1000, but an export
    // that left out the others would count fewer routes than the file holds. Record 0 is
    // counted nowhere (every upload writes it).
    for (int n = 1; n < 1024; ++n) {
        if (image.recordStatus[size_t(Catalogue::StatusFahrstrassen + n)] <= 0)
            continue;
        if (!only.isEmpty() && !only.contains(n))
            continue;
        image.copyRoute(n, record);
        routes.append({n, RouteRecord::decode(record)});
    }
    return routes;
}

QString RouteExport::cardHeading(int card)
{
    return translated(qPrintable(QStringLiteral("Karte %1:").arg(card))) + QLatin1Char(' ') +
           translated(RouteRecord::cardTitle(card));
}

QString RouteExport::text(const HeldRoute &held)
{
    const DecodedRoute &route = held.route;
    QString out =
        StatusTexts::toPlainText(
            QCoreApplication::translate("MainWindow", "&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  "
                                                      "Kommentar: <b>\"%2\"</b>  &nbsp;&nbsp;  "
                                                      "Modus: <b>%3</b>")
                .arg(held.number)
                .arg(route.comment.toHtmlEscaped(), route.mode.toHtmlEscaped())) +
        QLatin1Char('\n');
    out += StatusTexts::toPlainText(
               QCoreApplication::translate(
                   "MainWindow",
                   "&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; Spalte "
                   "&nbsp; %3 &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; Zieltaste: &nbsp; Plan &nbsp; %4 "
                   "&nbsp; Zeile &nbsp; %5 &nbsp; Spalte &nbsp; %6 ")
                   .arg(route.startPlan, route.startRow, route.startColumn, route.destinationPlan,
                        route.destinationRow, route.destinationColumn)) +
           QLatin1Char('\n');
    out += QStringLiteral("%1\t%2\t%3\t%4\n")
               .arg(QCoreApplication::translate("MainWindow", "Nr"),
                    QCoreApplication::translate("MainWindow", "Typ"),
                    QCoreApplication::translate("MainWindow", "Adresse"),
                    QCoreApplication::translate("MainWindow", "Befehl"));
    for (int card = 2; card <= 7; ++card) {
        out += cardHeading(card) + QLatin1Char('\n');
        const QList<RouteRow> &rows = route.cards[size_t(card - 2)];
        for (int i = 0; i < rows.size(); ++i) {
            const RouteRow &row = rows.at(i);
            if (!row.isEmpty())
                out += QStringLiteral("%1\t%2\t%3\t%4\n")
                           .arg(RouteRecord::slotNumber(card, i))
                           .arg(row.type, row.address, row.command);
        }
    }
    return out;
}

QString RouteExport::text(const QList<HeldRoute> &routes)
{
    QStringList parts;
    for (const HeldRoute &held : routes)
        parts << text(held);
    return parts.join(QLatin1Char('\n'));
}

QByteArray RouteExport::csv(const QList<HeldRoute> &routes)
{
    QStringList lines;
    lines << QStringList{QCoreApplication::translate("MainWindow", "Fahrstrasse"),
                         QCoreApplication::translate("MainWindow", "Kommentar"),
                         QCoreApplication::translate("MainWindow", "Karte"),
                         QCoreApplication::translate("MainWindow", "Typ"),
                         QCoreApplication::translate("MainWindow", "Adresse"),
                         QCoreApplication::translate("MainWindow", "Befehl")}
                 .join(QLatin1Char(','));
    for (const HeldRoute &held : routes) {
        const QString lead = QString::number(held.number) + QLatin1Char(',') +
                             csvField(held.route.comment) + QLatin1Char(',');
        bool any = false;
        for (int card = 2; card <= 7; ++card) {
            for (const RouteRow &row : held.route.cards[size_t(card - 2)]) {
                if (row.isEmpty())
                    continue;
                any = true;
                lines << lead + QString::number(card) + QLatin1Char(',') + csvField(row.type) +
                             QLatin1Char(',') + csvField(row.address) + QLatin1Char(',') +
                             csvField(row.command);
            }
        }
        if (!any) // a route without rows still has its line
            lines << lead + QStringLiteral(",,,");
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray RouteExport::json(const QList<HeldRoute> &routes)
{
    QJsonArray array;
    for (const HeldRoute &held : routes) {
        const DecodedRoute &route = held.route;
        QJsonArray cards;
        for (int card = 2; card <= 7; ++card) {
            QJsonArray rows;
            const QList<RouteRow> &cardRows = route.cards[size_t(card - 2)];
            for (int i = 0; i < cardRows.size(); ++i) {
                const RouteRow &row = cardRows.at(i);
                if (!row.isEmpty())
                    rows.append(
                        QJsonObject{{QStringLiteral("nr"), RouteRecord::slotNumber(card, i)},
                                    {QStringLiteral("type"), row.type},
                                    {QStringLiteral("address"), row.address},
                                    {QStringLiteral("command"), row.command}});
            }
            cards.append(
                QJsonObject{{QStringLiteral("card"), card},
                            {QStringLiteral("title"), translated(RouteRecord::cardTitle(card))},
                            {QStringLiteral("rows"), rows}});
        }
        array.append(QJsonObject{
            {QStringLiteral("number"), held.number},
            {QStringLiteral("comment"), route.comment},
            {QStringLiteral("mode"), route.mode},
            {QStringLiteral("start"),
             keyObject(route.startPlan, route.startRow, route.startColumn)},
            {QStringLiteral("destination"),
             keyObject(route.destinationPlan, route.destinationRow, route.destinationColumn)},
            {QStringLiteral("cards"), cards}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QStringList RouteExport::indexLines(const QList<HeldRoute> &routes)
{
    // kind text and address -> route number -> what the route does with it
    struct Element
    {
        QString type;
        QString address;
        QMap<int, QStringList> uses;
    };
    QMap<QString, Element> elements;
    for (const HeldRoute &held : routes) {
        for (int card = 2; card <= 7; ++card) {
            for (const RouteRow &row : held.route.cards[size_t(card - 2)]) {
                bool numeric = false;
                const uint address = row.address.toUInt(&numeric);
                if (!numeric || row.type.isEmpty()) // "-" of a pause, "ZUG-ID"
                    continue;
                // Sorted by kind, then by address as a number.
                const QString key =
                    row.type + QChar(0x1f) + QStringLiteral("%1").arg(address, 5, 10, QChar('0'));
                Element &element = elements[key];
                element.type = row.type;
                element.address = row.address;
                // Setting commands are what a route is for; other cards say which card.
                QString use = row.command;
                if (card != 4)
                    use = use.isEmpty() ? translated(RouteRecord::cardTitle(card))
                                        : translated(RouteRecord::cardTitle(card)) +
                                              QStringLiteral(": ") + use;
                QStringList &uses = element.uses[held.number];
                if (!use.isEmpty() && !uses.contains(use))
                    uses << use;
            }
        }
    }
    QStringList lines;
    for (const Element &element : std::as_const(elements)) {
        QStringList parts;
        for (auto use = element.uses.cbegin(); use != element.uses.cend(); ++use)
            parts << (use.value().isEmpty() ? QString::number(use.key())
                                            : QStringLiteral("%1 (%2)").arg(use.key()).arg(
                                                  use.value().join(QStringLiteral(", "))));
        lines << QStringLiteral("%1 %2: %3")
                     .arg(element.type, element.address, parts.join(QStringLiteral(", ")));
    }
    return lines;
}

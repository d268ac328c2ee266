#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

// One row of a card as the card tree shows it: columns "Typ", "Adresse", "Befehl".
struct RouteRow
{
    QString type;
    QString address;
    QString command;
    bool isEmpty() const { return type.isEmpty() && address.isEmpty() && command.isEmpty(); }
};

// A route record decoded into the texts the routes tab, the printout and the command-line tool
// show. Texts marked for translation are translated in the window's context.
struct DecodedRoute
{
    QString comment;
    QString mode;
    QString startPlan, startRow, startColumn;
    QString destinationPlan, destinationRow, destinationColumn;
    std::array<QList<RouteRow>, 6> cards; // cards 2 to 7
};

// The 512-byte route record of the station.
class RouteRecord
{
public:
    static constexpr int Size = 512;
    static constexpr int CardCount2 = 2;
    static constexpr int CardCount4 = 20;
    static constexpr int CardCount6 = 2;
    // The routes tab's card counts for cards 3, 5 and 7; the record's offsets allow no more.
    static constexpr int TabCardCount3 = 12;
    static constexpr int TabCardCount5 = 20;
    static constexpr int TabCardCount7 = 12;

    static QString commandKindName(quint8 kind);
    static QString modeText(quint8 mode);
    static QString comment(const quint8 *record); // empty for none
    static RouteRow commandRow(quint16 address, quint8 kind, quint8 state, quint16 extra);
    static DecodedRoute decode(const quint8 *record, int cardCount3, int cardCount5,
                               int cardCount7);
    // With the routes tab's card counts.
    static DecodedRoute decode(const quint8 *record);
    static const char *cardTitle(int card); // untranslated source text, card 2 to 7
    // "Nr" of a row as the card tree numbers it (card 5 in pairs); card 2 to 7.
    static int slotNumber(int card, int row);
    // "Plan 1, Zeile 4, Spalte 7", or "-" without a key.
    static QString keyText(const QString &plan, const QString &row, const QString &column);
};

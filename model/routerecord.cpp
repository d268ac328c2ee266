#include "routerecord.h"

#include <QCoreApplication>
#include <cstring>

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

quint16 word(const quint8 *bytes)
{
    return quint16((bytes[0] << 8) | bytes[1]);
}

bool isContact(quint16 number)
{
    return number != 0xFFFF && number != 0x0000 && number != 0x00FF;
}

QString timeText(quint16 extra)
{
    return translated(QT_TRANSLATE_NOOP("MainWindow", "%1.%2 Sek")).arg(extra / 10).arg(extra % 10);
}

QString locomotiveColumn(quint16 address)
{
    return address == 0 || address == 0xFFFF ? translated(QT_TRANSLATE_NOOP("MainWindow", "ZUG-ID"))
                                             : QString::number(address);
}

QString signalAspect(quint8 state)
{
    static const char *const aspects[] = {"Hp0", "Hp1", "Hp0/Sh1", "Hp2"};
    if (state < 4)
        return QString::fromLatin1(aspects[state]);
    return translated(QT_TRANSLATE_NOOP("MainWindow", "Begriff %1")).arg(state);
}

QString ksAspect(quint8 state)
{
    static const char *const aspects[] = {"Hp0", "Ks1",     "Hp0/Sh1",   "Ks1+Zs3",
                                          "Ks2", "Ks2+Zs3", "Kennlicht", "Ks1+Zs3+Zs3v"};
    if (state < 8)
        return QString::fromLatin1(aspects[state]);
    return translated(QT_TRANSLATE_NOOP("MainWindow", "Begriff %1")).arg(state);
}

QString driveStep(quint8 state)
{
    static const char *const steps[] = {QT_TRANSLATE_NOOP("MainWindow", "WSTOP"),
                                        QT_TRANSLATE_NOOP("MainWindow", "WMINI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "WNORM"),
                                        QT_TRANSLATE_NOOP("MainWindow", "WMAXI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "USTOP"),
                                        QT_TRANSLATE_NOOP("MainWindow", "UMINI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "UNORM"),
                                        QT_TRANSLATE_NOOP("MainWindow", "UMAXI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "VSTOP"),
                                        QT_TRANSLATE_NOOP("MainWindow", "VMINI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "VNORM"),
                                        QT_TRANSLATE_NOOP("MainWindow", "VMAXI"),
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        QT_TRANSLATE_NOOP("MainWindow", "RSTOP"),
                                        QT_TRANSLATE_NOOP("MainWindow", "RMINI"),
                                        QT_TRANSLATE_NOOP("MainWindow", "RNORM"),
                                        QT_TRANSLATE_NOOP("MainWindow", "RMAXI")};
    if (state < 20 && steps[state])
        return translated(steps[state]);
    return QString::number(state);
}

QString functionText(quint8 state, quint16 extra)
{
    static const char *const actions[] = {"OFF", "ON", "TOGGLE", "IMPULS"};
    QString text = extra == 0 ? QStringLiteral("FL ") : QStringLiteral("F%1 ").arg(extra);
    if (state < 4)
        text += QLatin1String(actions[state]);
    return text;
}

RouteRow contactRow(quint16 number, const QString &state)
{
    return {translated(QT_TRANSLATE_NOOP("MainWindow", "Rückmelder")), QString::number(number),
            state};
}

QString keyPart(const quint8 *key, int index)
{
    if (key[0] == 0xFF)
        return QStringLiteral("-");
    return QString::number(index == 0 ? key[0] + 1 : key[index]);
}

} // namespace

const char *RouteRecord::cardTitle(int card)
{
    static const char *const titles[] = {QT_TRANSLATE_NOOP("MainWindow", "Fahrstrasse aufrufen"),
                                         QT_TRANSLATE_NOOP("MainWindow", "Rückmeldung beachten"),
                                         QT_TRANSLATE_NOOP("MainWindow", "Stellbefehle"),
                                         QT_TRANSLATE_NOOP("MainWindow", "Schaltgleisfunktionen"),
                                         QT_TRANSLATE_NOOP("MainWindow", "Zielkontakte"),
                                         QT_TRANSLATE_NOOP("MainWindow", "Fahrstrasse auflösen")};
    return titles[card - 2];
}

int RouteRecord::slotNumber(int card, int row)
{
    return card == 5 ? row / 2 + 1 : row + 1;
}

QString RouteRecord::keyText(const QString &plan, const QString &row, const QString &column)
{
    if (plan == QLatin1String("-"))
        return QStringLiteral("-");
    return QCoreApplication::translate("MainWindow", "Plan %1, Zeile %2, Spalte %3")
        .arg(plan, row, column);
}

QString RouteRecord::commandKindName(quint8 kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("kein Befehl");
    case 1:
        return QStringLiteral("Weiche");
    case 2:
        return QStringLiteral("Beleuchtung");
    case 10:
        return QStringLiteral("Lichtsignal");
    case 11:
        return QStringLiteral("Ks-Lichtsignal");
    case 20:
        return QStringLiteral("Formsignal");
    case 80:
        return QStringLiteral("Rückmeldung setzen");
    case 90:
        return QStringLiteral("Sperrzeit für eine Fahrstraße");
    case 91:
        return QStringLiteral("Pause");
    case 100:
    case 101:
        return QStringLiteral("Lok Fahrbefehl");
    case 110:
    case 111:
        return QStringLiteral("Lok Funktionen");
    case 200:
        return QStringLiteral("Folge Fahrstraße");
    case 255:
        return QStringLiteral("Leer");
    default:
        return QStringLiteral("_Ungültig!");
    }
}

QString RouteRecord::modeText(quint8 mode)
{
    switch (mode) {
    case 0:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "Vollautomatik"));
    case 1:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "Teilautomatik"));
    case 2:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "Handbetrieb"));
    default:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "Geparkt"));
    }
}

RouteRow RouteRecord::commandRow(quint16 address, quint8 kind, quint8 state, quint16 extra)
{
    const QString number = QString::number(address);
    switch (kind) {
    case 1: {
        QString command = QString::number(state);
        if (state == 0)
            command = translated(QT_TRANSLATE_NOOP("MainWindow", "abzweig"));
        else if (state == 1)
            command = translated(QT_TRANSLATE_NOOP("MainWindow", "gerade"));
        else if (state == 3)
            command = translated(QT_TRANSLATE_NOOP("MainWindow", "abzweig 3-Weg"));
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Weiche")), number, command};
    }
    case 2: {
        QString command;
        if (state == 0)
            command = translated(QT_TRANSLATE_NOOP("MainWindow", "aus"));
        else if (state == 1)
            command = translated(QT_TRANSLATE_NOOP("MainWindow", "ein"));
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Beleuchtung/Sonstiges")), number,
                command};
    }
    case 10:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Lichtsignal")),
                QString::number(int(address) + 1), signalAspect(state)};
    case 11:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "KS-Lichtsignal")),
                QString::number(int(address) + 1), ksAspect(state)};
    case 20:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Formsignal")),
                QString::number(int(address) + 1), signalAspect(state)};
    case 80:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Rückmelder")), number,
                state == 0 ? translated(QT_TRANSLATE_NOOP("MainWindow", "frei"))
                           : translated(QT_TRANSLATE_NOOP("MainWindow", "belegt"))};
    case 90:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Sperrzeit")), number, timeText(extra)};
    case 91:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Sanduhr")), QStringLiteral("-"),
                timeText(extra)};
    case 100:
    case 101:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Lok Fahrbefehl")),
                locomotiveColumn(address), driveStep(state)};
    case 110:
    case 111:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Lok Funktionsbefehl")),
                locomotiveColumn(address), functionText(state, extra)};
    case 200:
        return {translated(QT_TRANSLATE_NOOP("MainWindow", "Schaffner")), number, timeText(extra)};
    default:
        return {};
    }
}

QString RouteRecord::comment(const quint8 *r)
{
    if (r[0] == 0xFF)
        return QString();
    char comment[31] = {};
    std::memcpy(comment, r, 30);
    return QString::fromLatin1(comment);
}

DecodedRoute RouteRecord::decode(const quint8 *record)
{
    return decode(record, TabCardCount3, TabCardCount5, TabCardCount7);
}

DecodedRoute RouteRecord::decode(const quint8 *r, int cardCount3, int cardCount5, int cardCount7)
{
    DecodedRoute route;
    route.comment = comment(r);
    route.startPlan = keyPart(r + 31, 0);
    route.startRow = keyPart(r + 31, 1);
    route.startColumn = keyPart(r + 31, 2);
    route.destinationPlan = keyPart(r + 34, 0);
    route.destinationRow = keyPart(r + 34, 1);
    route.destinationColumn = keyPart(r + 34, 2);
    route.mode = modeText(r[30]);

    const int counts[6] = {CardCount2, cardCount3, CardCount4, cardCount5, CardCount6, cardCount7};
    for (int card = 0; card < 6; ++card)
        route.cards[size_t(card)].resize(counts[card]);

    auto contacts = [&](int card, int numbersAt, int statesAt, int count) {
        for (int i = 0; i < count; ++i) {
            const quint16 number = word(r + numbersAt + 2 * i);
            if (!isContact(number))
                continue;
            route.cards[size_t(card)][i] =
                contactRow(number, r[statesAt + i] == 0
                                       ? translated(QT_TRANSLATE_NOOP("MainWindow", "frei"))
                                       : translated(QT_TRANSLATE_NOOP("MainWindow", "belegt")));
        }
    };
    auto command = [&](int card, int row, const quint8 *slot) {
        if (slot[0] != 0xFF)
            route.cards[size_t(card)][row] =
                commandRow(word(slot + 2), slot[0], slot[1], word(slot + 4));
    };
    contacts(0, 38, 42, CardCount2);
    contacts(1, 46, 70, cardCount3);
    for (int i = 0; i < CardCount4; ++i)
        command(2, i, r + 84 + 6 * i);
    for (int i = 0; i < cardCount5; ++i) {
        const quint8 *entry = r + 282 + 6 * i;
        if (i % 2) {
            command(3, i, entry);
            continue;
        }
        const quint16 number = word(entry + 2);
        if (!isContact(number))
            continue;
        const quint16 state = word(entry + 4);
        route.cards[3][i] = contactRow(
            number, state == 0   ? translated(QT_TRANSLATE_NOOP("MainWindow", "frei"))
                    : state == 1 ? translated(QT_TRANSLATE_NOOP("MainWindow", "belegt (Permanent)"))
                                 : translated(QT_TRANSLATE_NOOP("MainWindow", "belegt")));
    }
    contacts(4, 204, 208, CardCount6);
    for (int i = 0; i < cardCount7; ++i)
        command(5, i, r + 210 + 6 * i);
    return route;
}

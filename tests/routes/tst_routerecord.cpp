// Decoding a route record into the texts of the routes tab.

#include "../common/routebytes.h"
#include "model/backupdiff.h"
#include "model/dataimage.h"
#include "model/routerecord.h"

#include <QTest>
#include <cstring>
#include <memory>

namespace {
DecodedRoute decoded(const Record &r)
{
    return RouteRecord::decode(r.bytes, 12, 20, 12);
}

QString row(const RouteRow &r)
{
    return r.type + QLatin1Char('|') + r.address + QLatin1Char('|') + r.command;
}
} // namespace

Q_DECLARE_METATYPE(Record)

class TestRouteRecord : public QObject
{
    Q_OBJECT
private slots:
    void unprogrammedRecord();
    void header_data();
    void header();
    void commands_data();
    void commands();
    void contacts();
    void switchTrackPairs();
    void changeDetails();
};

void TestRouteRecord::unprogrammedRecord()
{
    const DecodedRoute route = decoded(Record());
    QCOMPARE(route.comment, QString());
    QCOMPARE(route.mode, QStringLiteral("Geparkt"));
    for (const QString &key :
         {route.startPlan, route.startRow, route.startColumn, route.destinationPlan,
          route.destinationRow, route.destinationColumn})
        QCOMPARE(key, QStringLiteral("-"));
    const int counts[6] = {2, 12, 20, 20, 2, 12};
    for (int card = 0; card < 6; ++card) {
        QCOMPARE(route.cards[size_t(card)].size(), counts[card]);
        for (const RouteRow &r : route.cards[size_t(card)])
            QVERIFY(r.isEmpty());
    }
}

void TestRouteRecord::header_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("start"); // plan, row, column
    Record full;
    std::memcpy(full.bytes, "Ausfahrt Nord nach Gleis 12 ABCDEF", 30); // no zero: cut at 30
    full.byte(30, 2).byte(31, 0).byte(32, 4).byte(33, 7);
    QTest::newRow("30 characters, Handbetrieb, plan 0") << full << "Ausfahrt Nord nach Gleis 12 AB"
                                                        << "Handbetrieb"
                                                        << "1 4 7";
    Record latin;
    std::memcpy(latin.bytes, "G\xfcterbahnhof\0", 13);
    latin.byte(30, 0).byte(31, 0xFF).byte(32, 4).byte(33, 7);
    QTest::newRow("Latin-1, Vollautomatik, no start key")
        << latin << QStringLiteral("Güterbahnhof") << "Vollautomatik"
        << "- - -";
    Record three;
    three.bytes[0] = 0;
    three.byte(30, 3).byte(31, 2).byte(32, 0).byte(33, 127);
    QTest::newRow("empty comment, mode 3") << three << ""
                                           << "Geparkt"
                                           << "3 0 127";
    Record nine;
    nine.byte(30, 9).byte(30, 1);
    QTest::newRow("Teilautomatik") << nine << ""
                                   << "Teilautomatik"
                                   << "- - -";
}

void TestRouteRecord::header()
{
    QFETCH(Record, record);
    QFETCH(QString, comment);
    QFETCH(QString, mode);
    QFETCH(QString, start);
    const DecodedRoute route = decoded(record);
    QCOMPARE(route.comment, comment);
    QCOMPARE(route.mode, mode);
    QCOMPARE(QStringList({route.startPlan, route.startRow, route.startColumn}).join(' '), start);
}

void TestRouteRecord::commands_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("extra");
    QTest::addColumn<QString>("expected");
    QTest::newRow("kind 0 stays empty") << 0 << 1 << 5 << 0 << "||";
    QTest::newRow("turnout straight") << 1 << 1 << 12 << 0 << "Weiche|12|gerade";
    QTest::newRow("turnout 3-way") << 1 << 3 << 12 << 0 << "Weiche|12|abzweig 3-Weg";
    QTest::newRow("turnout other state") << 1 << 7 << 12 << 0 << "Weiche|12|7";
    QTest::newRow("lighting on") << 2 << 1 << 4 << 0 << "Beleuchtung/Sonstiges|4|ein";
    QTest::newRow("lighting other state") << 2 << 5 << 4 << 0 << "Beleuchtung/Sonstiges|4|";
    QTest::newRow("light signal aspect 5") << 10 << 5 << 9 << 0 << "Lichtsignal|10|Begriff 5";
    QTest::newRow("Ks signal") << 11 << 7 << 0 << 0 << "KS-Lichtsignal|1|Ks1+Zs3+Zs3v";
    QTest::newRow("Ks signal aspect 8") << 11 << 8 << 0 << 0 << "KS-Lichtsignal|1|Begriff 8";
    QTest::newRow("semaphore") << 20 << 2 << 99 << 0 << "Formsignal|100|Hp0/Sh1";
    QTest::newRow("set feedback") << 80 << 0 << 300 << 0 << "Rückmelder|300|frei";
    QTest::newRow("lock time 0.0") << 90 << 0 << 3 << 0 << "Sperrzeit|3|0.0 Sek";
    QTest::newRow("lock time 6553.5") << 90 << 0 << 3 << 65535 << "Sperrzeit|3|6553.5 Sek";
    QTest::newRow("pause") << 91 << 0 << 3 << 25 << "Sanduhr|-|2.5 Sek";
    QTest::newRow("drive ZUG-ID RNORM") << 100 << 18 << 0 << 0 << "Lok Fahrbefehl|ZUG-ID|RNORM";
    QTest::newRow("drive step 13") << 101 << 13 << 0xFFFF << 0 << "Lok Fahrbefehl|ZUG-ID|13";
    QTest::newRow("drive VMAXI") << 100 << 11 << 44 << 0 << "Lok Fahrbefehl|44|VMAXI";
    QTest::newRow("function FL IMPULS") << 110 << 3 << 3 << 0 << "Lok Funktionsbefehl|3|FL IMPULS";
    QTest::newRow("function F3 ON") << 111 << 1 << 3 << 3 << "Lok Funktionsbefehl|3|F3 ON";
    QTest::newRow("function state 9") << 110 << 9 << 3 << 12 << "Lok Funktionsbefehl|3|F12 ";
    QTest::newRow("follow-on route") << 200 << 0 << 17 << 7 << "Schaffner|17|0.7 Sek";
    QTest::newRow("unknown kind") << 42 << 0 << 1 << 0 << "||";
}

void TestRouteRecord::commands()
{
    QFETCH(int, kind);
    QFETCH(int, state);
    QFETCH(int, address);
    QFETCH(int, extra);
    QFETCH(QString, expected);
    // The same row on card 4 (slot 3) and on card 7 (slot 11).
    Record record;
    record.slot(84 + 6 * 3, kind, state, address, extra)
        .slot(210 + 6 * 11, kind, state, address, extra);
    const DecodedRoute route = decoded(record);
    QCOMPARE(row(route.cards[2].at(3)), expected);
    QCOMPARE(row(route.cards[5].at(11)), expected);
    QVERIFY(route.cards[2].at(2).isEmpty());
}

void TestRouteRecord::contacts()
{
    Record record;
    record.word(38, 0x012C).byte(42, 0);          // card 2 contact 300, free
    record.word(40, 0x00FF).byte(43, 1);          // no contact
    record.word(46 + 2 * 11, 7).byte(70 + 11, 3); // card 3, last slot, occupied
    record.word(46, 0).byte(70, 1);               // 0 is no contact
    record.word(46 + 2 * 5, 9).byte(70 + 5, 0);   // card 3, a free one between unset bytes
    record.word(206, 65534).byte(209, 1);         // card 6, second contact
    const DecodedRoute route = decoded(record);
    QCOMPARE(row(route.cards[0].at(0)), QStringLiteral("Rückmelder|300|frei"));
    QVERIFY(route.cards[0].at(1).isEmpty());
    QVERIFY(route.cards[1].at(0).isEmpty());
    QCOMPARE(row(route.cards[1].at(11)), QStringLiteral("Rückmelder|7|belegt"));
    QCOMPARE(row(route.cards[1].at(5)), QStringLiteral("Rückmelder|9|frei"));
    QCOMPARE(row(route.cards[4].at(1)), QStringLiteral("Rückmelder|65534|belegt"));
}

void TestRouteRecord::switchTrackPairs()
{
    Record record;
    record.word(282 + 2, 400).word(282 + 4, 1);           // entry 0: contact, occupied permanently
    record.slot(282 + 6, 1, 1, 12, 0);                    // entry 1: turnout straight
    record.word(282 + 12 + 2, 401).word(282 + 12 + 4, 2); // entry 2: occupied
    record.word(282 + 24 + 2, 402).word(282 + 24 + 4, 0); // entry 4: free
    record.word(282 + 6 * 19 - 6 + 2, 0xFFFF);            // entry 18 without contact
    const DecodedRoute route = decoded(record);
    QCOMPARE(row(route.cards[3].at(0)), QStringLiteral("Rückmelder|400|belegt (Permanent)"));
    QCOMPARE(row(route.cards[3].at(1)), QStringLiteral("Weiche|12|gerade"));
    QCOMPARE(row(route.cards[3].at(2)), QStringLiteral("Rückmelder|401|belegt"));
    QCOMPARE(row(route.cards[3].at(4)), QStringLiteral("Rückmelder|402|frei"));
    QVERIFY(route.cards[3].at(18).isEmpty());
}

void TestRouteRecord::changeDetails()
{
    using namespace Catalogue;
    auto a = std::make_unique<DataImage>(), b = std::make_unique<DataImage>();
    auto details = [&](const char *set, int n) {
        return BackupDiff::details(*a, *b, {QLatin1String(set), n, BackupDiff::Line::Changed, {}});
    };

    // A route: its fields and rows in the tab's texts, old before new; equal rows unnamed.
    Record before, after;
    before.comment("Ausfahrt").byte(30, 0).byte(31, 0).byte(32, 4).byte(33, 7);
    before.set(2, 1, 1, 44).set(5, 10, 1, 3).release(0, 1, 0, 9);
    after = before;
    after.comment("Ausfahrt Nord").byte(30, 2).byte(31, 0xFF);
    after.set(2, 1, 0, 44).set(5, 0xFF, 0xFF, 0xFFFF, 0xFFFF).slot(210 + 6, 91, 0, 0, 15);
    after.slot(282 + 6, 1, 0, 400, 0); // card 5's second slot
    a->storeRoute(12, before.bytes);
    b->storeRoute(12, after.bytes);
    QCOMPARE(details("fahrstrassen", 12),
             QStringList({"Kommentar: \"Ausfahrt\" → \"Ausfahrt Nord\"",
                          "Modus: Vollautomatik → Handbetrieb",
                          "Starttaste: Plan 1, Zeile 4, Spalte 7 → -",
                          "Stellbefehle 3: Weiche 44 gerade → Weiche 44 abzweig",
                          "Stellbefehle 6: Lichtsignal 4 Hp1 → -",
                          "Schaltgleisfunktionen 1: - → Weiche 400 abzweig",
                          "Fahrstrasse auflösen 2: - → Sanduhr - 1.5 Sek"}));

    // Bytes the tab shows nothing of, and the illumination, by place in the 1024 bytes.
    after = before;
    after.byte(37, 0x5A);
    b->storeRoute(12, after.bytes);
    b->illumination(12)[3] = 0x80;
    QCOMPARE(details("fahrstrassen", 12), QStringList({"Byte 37: ff → 5a", "Byte 515: 00 → 80"}));

    // A track-plan block: the cells that differ, by plan, row and column.
    b->gleisplan(1, 4, 9)[2] = 7;
    b->gleisplan(1, 4, 15)[7] = 1;
    b->gleisplan(1, 5, 8)[0] = 1; // the next block's
    QCOMPARE(details("gleisplan2", 4 * 16 + 1),
             QStringList({"Plan 2, Zeile 4, Spalte 9: 00 00 00 00 00 00 00 00 → 00 00 07 00 00 "
                          "00 00 00",
                          "Plan 2, Zeile 4, Spalte 15: 00 00 00 00 00 00 00 00 → 00 00 00 00 00 "
                          "00 00 01"}));

    // Any other record: runs of differing bytes, a short gap bridged, a long run cut.
    quint8 *lok = b->record(Lokomotiven, 5);
    lok[0] = 1;
    lok[10] = 2;
    lok[13] = 3; // two equal bytes between: one range
    lok[18] = 4; // four between: a range of its own
    for (int i = 100; i < 140; ++i)
        lok[i] = 0xEE;
    QCOMPARE(details("lokomotiven", 5),
             QStringList({"Byte 0: 00 → 01", "Bytes 10–13: 00 00 00 00 → 02 00 00 03",
                          "Byte 18: 00 → 04",
                          "Bytes 100–139: " + QString("00 ").repeated(16).trimmed() + " … → " +
                              QString("ee ").repeated(16).trimmed() + " …"}));
    for (int i = 0; i < 10; ++i)
        b->lokbild(3)[i * 100] = 1;
    const QStringList ranges = details("lokbilder", 3);
    QCOMPARE(ranges.size(), 9);
    QCOMPARE(ranges.at(7), QStringLiteral("Byte 700: 00 → 01"));
    QCOMPARE(ranges.last(), QStringLiteral("und 2 weitere Bereiche"));
    b->lokliste(2)[255] = 9;
    b->s88()[0] = 1;
    QCOMPARE(details("loklisten", 2), QStringList({"Byte 255: 00 → 09"}));
    QCOMPARE(details("s88", 0), QStringList({"Byte 0: 00 → 01"}));
    QVERIFY(BackupDiff::details(*a, *b, {"lokomotiven", 5, BackupDiff::Line::Added, {}}).isEmpty());
}

QTEST_GUILESS_MAIN(TestRouteRecord)
#include "tst_routerecord.moc"

// The data-set commands' frames and answer rules, against the scripted adapter library.

#include "../common/fakestation.h"
#include "commands/comm2pc.h"

#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray block(char fill, int size = 64)
{
    return QByteArray(size, fill);
}

QByteArray words(const QList<int> &values)
{
    QByteArray bytes;
    for (int v : values) {
        bytes.append(char(v >> 8));
        bytes.append(char(v & 0xFF));
    }
    return bytes;
}
} // namespace

class TestDataSetCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void readFrames_data();
    void readFrames();
    void writeFrames_data();
    void writeFrames();
    void emptyLists_data();
    void emptyLists();
    void emptyOnLaterBlock();
    void unexpectedAnswers_data();
    void unexpectedAnswers();
    void hsbFillsWholeRecord();
    void commitsRaiseRetries();
    void weichenCommitChecksAnswer();
    void finalizeGivesUp();
    void recoveryReported_data();
    void recoveryReported();
    void stalledCommitAnswered();

private:
    FakeStation station;
    std::unique_ptr<Comm2Pc> worker;
};

void TestDataSetCommands::initTestCase()
{
    qputenv("GLEISTRON_FTD2XX", FAKE_FTD2XX);
    QVERIFY(station.load());
}

void TestDataSetCommands::init()
{
    station.reset();
    worker = std::make_unique<Comm2Pc>();
    worker->setRetryDelay(1);
}

using Command = std::function<bool(Comm2Pc &, quint8 *)>;
Q_DECLARE_METATYPE(Command)

void TestDataSetCommands::readFrames_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("firstRequest");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("answerLength");
    QTest::addColumn<int>("params");
    QTest::newRow("locomotive") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Lok_load(0x123, d);
    }) << hex("590b0701230000") << 4
                                << 71 << 3;
    QTest::newRow("lists") << Command(
                                  [](Comm2Pc &w, quint8 *d) { return w.backup_Lokliste_load(d); })
                           << hex("596e06000000") << 16 << 70 << 2;
    QTest::newRow("track plan") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Gleisplan_load(1, 16, 5, d);
    }) << hex("591f0701051000") << 1
                                << 71 << 3;
    QTest::newRow("switching article")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Weichen_load(513, d); })
        << hex("592906020100") << 1 << 71 << 2;
    QTest::newRow("feedback module")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Rueckmelder_load(7, d); })
        << hex("59330700070000") << 4 << 71 << 3;
    QTest::newRow("S88") << Command([](Comm2Pc &w, quint8 *d) { return w.backup_S88_load(d); })
                         << hex("5966050000") << 4 << 69 << 1;
    QTest::newRow("system") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_SystemKonfiguration_load(d);
    }) << hex("5964050000") << 4
                            << 69 << 1;
    QTest::newRow("route") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Fahrstrassen_load(1023, d);
    }) << hex("593d0703ff0000")
                           << 8 << 71 << 3;
    QTest::newRow("illumination") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_FahrstrassenAusleuchtung_load(2, d);
    }) << hex("59470700020000") << 8
                                  << 71 << 3;
    QTest::newRow("LSB") << Command(
                                [](Comm2Pc &w, quint8 *d) { return w.backup_LSB_load(2047, d); })
                         << hex("59510607ff00") << 1 << 38 << 2;
    QTest::newRow("HSB") << Command([](Comm2Pc &w, quint8 *d) { return w.backup_HSB_load(200, d); })
                         << hex("595b06c80000") << 4 << 71 << 2;
    QTest::newRow("image") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Lokbild_load(17, d);
    }) << hex("591906110000")
                           << 192 << 70 << 2;
}

void TestDataSetCommands::readFrames()
{
    QFETCH(Command, command);
    QFETCH(QByteArray, firstRequest);
    QFETCH(int, requests);
    QFETCH(int, answerLength);
    QFETCH(int, params);
    firstRequest = FakeStation::withChecksum(firstRequest);
    const int dataSize = answerLength == 38 ? 32 : 64;
    for (int i = 0; i < requests; ++i) {
        station.push(FakeStation::answer('Y', quint8(firstRequest[1]), answerLength,
                                         QByteArray(params, '\0') + block(char(i + 1), dataSize)));
    }
    std::vector<quint8> dest(64 * 256, 0xEE);
    QVERIFY(command(*worker, dest.data()));
    const QList<QByteArray> frames = station.written();
    QCOMPARE(frames.size(), requests);
    QCOMPARE(frames.first(), firstRequest);
    for (const QByteArray &frame : frames) {
        QCOMPARE(int(quint8(frame[2])), int(frame.size()));
        QCOMPARE(frameChecksum(reinterpret_cast<const quint8 *>(frame.constData()),
                               int(frame.size()) - 1),
                 quint8(frame.back()));
    }
    // Each block lands at its place: block i carries the byte i + 1.
    for (int i = 0; i < requests; ++i)
        QCOMPARE(int(dest[size_t(i * dataSize)]), i + 1);
    QCOMPARE(dest[size_t(requests * dataSize)], quint8(0xEE));
}

void TestDataSetCommands::writeFrames_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("requestLength");
    QTest::addColumn<int>("requests");
    QTest::newRow("locomotive") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Lok_save(2, d);
    }) << hex("590c47000200") << 71
                                << 4;
    QTest::newRow("lists") << Command(
                                  [](Comm2Pc &w, quint8 *d) { return w.backup_Lokliste_save(d); })
                           << hex("596f460000") << 70 << 16;
    QTest::newRow("track plan") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Gleisplan_save(2, 120, 63, d);
    }) << hex("592047023f78") << 71
                                << 1;
    QTest::newRow("switching article")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Weichen_save(1, d); })
        << hex("592a470001") << 71 << 1;
    QTest::newRow("feedback module")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Rueckmelder_save(1, d); })
        << hex("593447000100") << 71 << 4;
    QTest::newRow("S88") << Command([](Comm2Pc &w, quint8 *d) { return w.backup_S88_save(d); })
                         << hex("59674500") << 69 << 4;
    QTest::newRow("system") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_SystemKonfiguration_save(d);
    }) << hex("59654500") << 69
                            << 4;
    QTest::newRow("route") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Fahrstrassen_save(3, d);
    }) << hex("593e47000300")
                           << 71 << 8;
    QTest::newRow("illumination") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_FahrstrassenAusleuchtung_save(3, d);
    }) << hex("594847000300") << 71
                                  << 8;
    QTest::newRow("LSB") << Command([](Comm2Pc &w, quint8 *d) { return w.backup_LSB_save(300, d); })
                         << hex("595226012c") << 38 << 1;
    QTest::newRow("HSB") << Command([](Comm2Pc &w, quint8 *d) { return w.backup_HSB_save(9, d); })
                         << hex("595c470900") << 71 << 4;
    QTest::newRow("image") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Lokbild_save(99, d);
    }) << hex("591a466300") << 70
                           << 192;
}

void TestDataSetCommands::writeFrames()
{
    QFETCH(Command, command);
    QFETCH(QByteArray, head);
    QFETCH(int, requestLength);
    QFETCH(int, requests);
    // Write answers: only their checksum is looked at.
    const int answerLength = requestLength == 71   ? (head[1] == '\x5c' ? 6 : 7)
                             : requestLength == 69 ? 5
                                                   : 6;
    for (int i = 0; i < requests; ++i)
        station.push(FakeStation::answer('Y', quint8(head[1]), answerLength, QByteArray()));
    std::vector<quint8> src(64 * 256);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = quint8(i / 64);
    QVERIFY(command(*worker, src.data()));
    const QList<QByteArray> frames = station.written();
    QCOMPARE(frames.size(), requests);
    QVERIFY(frames.first().startsWith(head));
    const int dataSize = requestLength == 38 ? 32 : 64;
    for (int i = 0; i < requests; ++i) {
        const QByteArray &frame = frames.at(i);
        QCOMPARE(int(frame.size()), requestLength);
        QCOMPARE(FakeStation::withChecksum(frame), frame);
        // Block i of the data follows the parameters; spare bytes are zero.
        const int dataAt = int(head.size());
        QCOMPARE(int(quint8(frame[dataAt])), i);
        QCOMPARE(int(quint8(frame[dataAt + dataSize - 1])), i);
        if (requestLength - 1 - (dataAt + dataSize) == 1)
            QCOMPARE(int(frame[dataAt + dataSize]), 0);
    }
}

void TestDataSetCommands::emptyLists_data()
{
    QTest::addColumn<bool>("lsb");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QList<int>>("expected");
    QList<int> full;
    for (int i = 0; i < 32; ++i)
        full.append(100 + i);
    QTest::newRow("starts with FFFF") << false << words({0xFFFF, 7, 8}) << QList<int>{5};
    QTest::newRow("three then end")
        << false << words({6, 9, 12, 0xFFFF}) << QList<int>{5, 6, 9, 12};
    QTest::newRow("32 numbers") << false << words(full) << (QList<int>{5} + full);
    QTest::newRow("LSB takes 16") << true << words(full) << (QList<int>{5} + full.mid(0, 16));
}

void TestDataSetCommands::emptyLists()
{
    QFETCH(bool, lsb);
    QFETCH(QByteArray, list);
    QFETCH(QList<int>, expected);
    quint8 dest[256] = {};
    if (lsb) {
        station.push(FakeStation::answer('E', 0x51, 38, hex("0005") + list));
        QVERIFY(!worker->backup_LSB_load(5, dest));
    } else {
        station.push(FakeStation::answer('E', 0x0B, 71, hex("000500") + list));
        QVERIFY(!worker->backup_Lok_load(5, dest));
    }
    QCOMPARE(worker->emptyRecords, expected);
    QCOMPARE(station.written().size(), 1);
}

void TestDataSetCommands::emptyOnLaterBlock()
{
    station.push(FakeStation::answer('Y', 0x0B, 71, hex("000100") + block('a')));
    station.push(FakeStation::answer('Y', 0x0B, 71, hex("000101") + block('b')));
    station.push(FakeStation::answer('E', 0x0B, 71, hex("000102") + words({0xFFFF})));
    quint8 dest[256] = {};
    QVERIFY(!worker->backup_Lok_load(1, dest));
    QCOMPARE(station.written().size(), 3);
    QCOMPARE(dest[0], quint8('a'));
    QCOMPARE(dest[64], quint8('b'));
    QCOMPARE(dest[128], quint8(0));
    QCOMPARE(worker->emptyRecords, QList<int>{1});
}

void TestDataSetCommands::unexpectedAnswers_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<QByteArray>>("answers"); // the recoveries' searches included
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("at"); // a byte of the destination the answers must have filled
    const QByteArray search = FakeStation::answer('Y', 0x00, 27, hex("590514000307d0"));
    auto lok = [](char status, quint8 subOp, int b) {
        return FakeStation::answer(status, subOp, 71, hex("0001") + char(b) + block(char('a' + b)));
    };
    const Command readLok = [](Comm2Pc &w, quint8 *d) { return w.backup_Lok_load(1, d); };
    QTest::newRow("locomotive, another echo once")
        << readLok << QList<QByteArray>{lok('Y', 0x0B, 0), lok('Y', 0x0C, 1), search,
                                        lok('Y', 0x0B, 1), lok('Y', 0x0B, 2), lok('Y', 0x0B, 3)}
        << true << 64;
    QTest::newRow("locomotive, another echo kept")
        << readLok << QList<QByteArray>{lok('Y', 0x0B, 0),
                                        lok('Y', 0x0C, 1),
                                        search,
                                        lok('Y', 0x0C, 1),
                                        search,
                                        lok('Y', 0x0C, 1)}
        << false << 0;
    const QByteArray module = FakeStation::answer('Y', 0x33, 71, hex("000100") + block('m'));
    QTest::newRow("feedback module, another status once")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Rueckmelder_load(1, d); })
        << QList<QByteArray>{FakeStation::answer('N', 0x33, 71, hex("000100") + block('x')),
                             search,
                             module,
                             module,
                             module,
                             module}
        << true << 0;
    const QByteArray system = FakeStation::answer('Y', 0x65, 69, hex("00") + block('s'));
    QTest::newRow("system configuration, another echo kept")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_SystemKonfiguration_load(d); })
        << QList<QByteArray>{system, search, system, search, system} << false << 0;
    const QByteArray emptyList = FakeStation::answer('E', 0x6E, 70, hex("0000") + block('\xff'));
    QTest::newRow("lists, 'empty' kept")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Lokliste_load(d); })
        << QList<QByteArray>{emptyList, search, emptyList, search, emptyList} << false << 0;
    QTest::newRow("write, another echo once")
        << Command([](Comm2Pc &w, quint8 *d) { return w.backup_Weichen_save(1, d); })
        << QList<QByteArray>{FakeStation::answer('Y', 0x2B, 7, QByteArray()), search,
                             FakeStation::answer('Y', 0x2A, 7, QByteArray())}
        << true << -1;
    const QByteArray refused = FakeStation::answer('Y', 0x2B, 5, hex("00"));
    QTest::newRow("switching-article commit refused, kept")
        << Command([](Comm2Pc &w, quint8 *) { return w.backup_Weichen_commit(); })
        << QList<QByteArray>{refused, search, refused, search, refused} << false << -1;
    const QByteArray otherCommit = FakeStation::answer('Y', 0x70, 5, hex("01"));
    QTest::newRow("commit, another echo kept")
        << Command([](Comm2Pc &w, quint8 *) { return w.backup_Lok_commit(); })
        << QList<QByteArray>{otherCommit, search, otherCommit, search, otherCommit} << false << -1;
}

// A whole answer that is not one the command allows is asked for again like a damaged one;
// the third for the same request ends the transfer instead of leaving a record out.
void TestDataSetCommands::unexpectedAnswers()
{
    QFETCH(Command, command);
    QFETCH(QList<QByteArray>, answers);
    QFETCH(bool, taken);
    QFETCH(int, at);
    for (const QByteArray &answer : answers)
        station.push(answer);
    std::vector<quint8> dest(1024, 0);
    if (taken) {
        QVERIFY(command(*worker, dest.data()));
        if (at >= 0)
            QVERIFY(dest[size_t(at)] != 0);
    } else {
        QVERIFY_THROWS_EXCEPTION(ex_unexpectedAnswer, command(*worker, dest.data()));
    }
    // Every answer was asked for, and nothing after the last.
    QCOMPARE(station.written().size(), answers.size());
}

void TestDataSetCommands::hsbFillsWholeRecord()
{
    for (char b = 0; b < 4; ++b)
        station.push(FakeStation::answer('Y', 0x5B, 71,
                                         QByteArray("\x03", 1) + char(b) + block(char('p' + b))));
    quint8 dest[300];
    std::fill(std::begin(dest), std::end(dest), 0xEE);
    QVERIFY(worker->backup_HSB_load(3, dest));
    for (int b = 0; b < 4; ++b) {
        QCOMPARE(dest[b * 64], quint8('p' + b));
        QCOMPARE(dest[b * 64 + 63], quint8('p' + b));
    }
    QCOMPARE(dest[256], quint8(0xEE));
}

void TestDataSetCommands::commitsRaiseRetries()
{
    station.push(FakeStation::answer('Y', 0x0D, 5, QByteArray()));
    QVERIFY(worker->backup_Lok_commit());
    QCOMPARE(worker->retryCount(), 20);
    QCOMPARE(station.written().last(), FakeStation::withChecksum(hex("590d0400")));
    station.push(FakeStation::answer('Y', 0x49, 6, QByteArray()));
    QVERIFY(worker->backup_FahrstrassenAusleuchtung_commit(3));
    QCOMPARE(worker->retryCount(), 120);
    QCOMPARE(station.written().last(), FakeStation::withChecksum(hex("5949050300")));
    // The raised count stays for every later exchange: a silent station costs 120 reads.
    quint8 answer[71];
    quint8 request[7] = {0x59, 0x0B, 0x07, 0, 0, 0, 0};
    station.reset();
    QVERIFY_THROWS_EXCEPTION(ex_timeout, worker->exchangeData(request, 7, answer, 71));
    QCOMPARE(station.calls(), "W" + QByteArray(120, 'R'));
}

void TestDataSetCommands::weichenCommitChecksAnswer()
{
    const QByteArray handshake = FakeStation::answer('Y', 0x00, 27, hex("590514000307d0"));
    station.push(FakeStation::answer('Y', 0x2B, 5, hex("00"))); // byte 3 is not 1
    station.push(handshake);                                    // the recovery's search
    station.push(FakeStation::answer('Y', 0x2B, 5, hex("01")));
    QVERIFY(worker->backup_Weichen_commit());
    const QList<QByteArray> frames = station.written();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0), FakeStation::withChecksum(hex("592b0400")));
    QCOMPARE(frames.at(1).left(8), hex("590008000307d0d9"));
    QCOMPARE(frames.at(2), frames.at(0));
    QCOMPARE(worker->retryCount(), 3); // left alone
}

void TestDataSetCommands::finalizeGivesUp()
{
    QVERIFY(!worker->backup_finalize());
    QCOMPARE(station.calls(), "W" + QByteArray(10, 'R'));
    QCOMPARE(station.written().first(), FakeStation::withChecksum(hex("59fb0400")));
}

namespace {
// The count of recovered failures that the upload's "not confirmed" bookkeeping reads.
class CountingWorker : public Comm2Pc
{
public:
    int recovered() const { return recoveries; }
};
} // namespace

void TestDataSetCommands::recoveryReported_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<QByteArray>>("failure"); // what the first try gets
    QTest::addColumn<QByteArray>("good");
    QByteArray damaged = FakeStation::answer('Y', 0x29, 71, hex("0201") + block('w'));
    damaged[70] = char(damaged[70] ^ 0x55);
    QTest::newRow("read") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Weichen_load(513, d);
    }) << QList<QByteArray>{damaged}
                          << FakeStation::answer('Y', 0x29, 71, hex("0201") + block('w'));
    QByteArray damagedWrite = FakeStation::answer('Y', 0x2A, 7, QByteArray());
    damagedWrite[6] = char(damagedWrite[6] ^ 0x55);
    QTest::newRow("write") << Command([](Comm2Pc &w, quint8 *d) {
        return w.backup_Weichen_save(1, d);
    }) << QList<QByteArray>{damagedWrite}
                           << FakeStation::answer('Y', 0x2A, 7, QByteArray());
    QTest::newRow("checked commit")
        << Command([](Comm2Pc &w, quint8 *) { return w.backup_Weichen_commit(); })
        << QList<QByteArray>{FakeStation::answer('Y', 0x2B, 5, hex("00"))}
        << FakeStation::answer('Y', 0x2B, 5, hex("01"));
    // The other commits take any answer, but not silence: twenty reads of nothing.
    QTest::newRow("silent commit")
        << Command([](Comm2Pc &w, quint8 *) { return w.backup_Lok_commit(); })
        << QList<QByteArray>(20, QByteArray()) << FakeStation::answer('Y', 0x0D, 5, QByteArray());
}

// An answer after a failed exchange reports the loss once and the recovery once, whatever
// the exchange was, and the recovery is counted.
void TestDataSetCommands::recoveryReported()
{
    QFETCH(Command, command);
    QFETCH(QList<QByteArray>, failure);
    QFETCH(QByteArray, good);
    for (const QByteArray &answer : failure)
        station.push(answer);
    station.push(FakeStation::answer('Y', 0x00, 27, hex("590514000307d0"))); // the search
    station.push(good);
    CountingWorker counting;
    counting.setRetryDelay(1);
    QSignalSpy lost(&counting, &Comm2Pc::signal_exchange_failed);
    QSignalSpy back(&counting, &Comm2Pc::signal_reconnected);
    QVERIFY(lost.isValid() && back.isValid());
    std::vector<quint8> data(256, 0x11);
    QVERIFY(command(counting, data.data()));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(back.size(), 1);
    QCOMPARE(counting.recovered(), 1);
}

// A commit the station answers only after a long wait: the wait is reported as a loss after
// eight seconds, and the late answer as the link's return (no recovery was needed). The one
// slow case here: 85 empty reads 100 ms apart.
void TestDataSetCommands::stalledCommitAnswered()
{
    for (int i = 0; i < 85; ++i)
        station.push(QByteArray());
    station.push(FakeStation::answer('Y', 0x49, 6, QByteArray()));
    CountingWorker counting;
    counting.setRetryDelay(100);
    QSignalSpy lost(&counting, &Comm2Pc::signal_exchange_failed);
    QSignalSpy back(&counting, &Comm2Pc::signal_reconnected);
    QVERIFY(counting.backup_FahrstrassenAusleuchtung_commit(3));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(back.size(), 1);
    QCOMPARE(counting.recovered(), 0);
}

QTEST_GUILESS_MAIN(TestDataSetCommands)
#include "tst_datasetcommands.moc"

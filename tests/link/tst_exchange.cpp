// The retry rules of the frame exchange, against a scripted adapter library so that every
// driver result and every pause is exact.

#include "commands/comm2pc.h"
#include "link/frame.h"

#include <QElapsedTimer>
#include <QLibrary>
#include <QTest>

namespace {
using ResetFn = void (*)(unsigned);
using PushWriteFn = void (*)(int);
using PushReadFn = void (*)(int, const unsigned char *, int);
using CallsFn = const char *(*)();
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void secondTrySucceedsAfterOnePause();
    void lastTryRules_data();
    void lastTryRules();
    void failedWriteNeverReads();
    void raisedRetriesStay();
    void missingFunction();
    void closedHandleNeverUsed();

private:
    QByteArray answer(int length) const;
    ResetFn reset = nullptr;
    PushWriteFn pushWrite = nullptr;
    PushReadFn pushRead = nullptr;
    CallsFn calls = nullptr;
    const quint8 request[7] = {0x59, 0x0B, 0x07, 0x00, 0x01, 0x00, 0x00};
};

void TestExchange::initTestCase()
{
    qputenv("GLEISTRON_FTD2XX", FAKE_FTD2XX);
    QLibrary fake(QStringLiteral(FAKE_FTD2XX));
    QVERIFY2(fake.load(), qPrintable(fake.errorString()));
    reset = reinterpret_cast<ResetFn>(fake.resolve("fake_reset"));
    pushWrite = reinterpret_cast<PushWriteFn>(fake.resolve("fake_push_write"));
    pushRead = reinterpret_cast<PushReadFn>(fake.resolve("fake_push_read"));
    calls = reinterpret_cast<CallsFn>(fake.resolve("fake_calls"));
    QVERIFY(reset && pushWrite && pushRead && calls);
}

void TestExchange::init()
{
    reset(1);
}

QByteArray TestExchange::answer(int length) const
{
    return QByteArray(length, '\x59');
}

void TestExchange::secondTrySucceedsAfterOnePause()
{
    Comm2Pc worker;
    const QByteArray full = answer(71);
    pushRead(0, nullptr, 0);
    pushRead(71, reinterpret_cast<const unsigned char *>(full.constData()), 71);
    quint8 buffer[71] = {};
    QElapsedTimer clock;
    clock.start();
    QVERIFY(worker.exchangeData(request, 7, buffer, 71));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(QByteArray(calls()), QByteArray("WRR"));
    QVERIFY2(elapsed >= 950 && elapsed < 2500, qPrintable(QString::number(elapsed)));
    QCOMPARE(buffer[70], quint8(0x59));
}

void TestExchange::lastTryRules_data()
{
    QTest::addColumn<QList<int>>("reads");
    QTest::addColumn<QString>("thrown");
    QTest::newRow("short read on the last try") << QList<int>{-1, -1, 3} << "timeout";
    QTest::newRow("driver error on the last try wins") << QList<int>{3, 3, -1} << "connection";
    QTest::newRow("driver error only on an earlier try") << QList<int>{-1, 3, 3} << "timeout";
}

void TestExchange::lastTryRules()
{
    QFETCH(QList<int>, reads);
    QFETCH(QString, thrown);
    Comm2Pc worker;
    worker.setRetryDelay(1);
    const QByteArray bytes = answer(71);
    for (int n : reads)
        pushRead(n, reinterpret_cast<const unsigned char *>(bytes.constData()), n);
    quint8 buffer[71];
    QString caught = QStringLiteral("none");
    try {
        worker.exchangeData(request, 7, buffer, 71);
    } catch (const ex_timeout &) {
        caught = QStringLiteral("timeout");
    } catch (const ex_connectionError &) {
        caught = QStringLiteral("connection");
    }
    QCOMPARE(caught, thrown);
    QCOMPARE(QByteArray(calls()), QByteArray("WRRR"));
}

void TestExchange::failedWriteNeverReads()
{
    Comm2Pc worker;
    worker.setRetryDelay(1);
    for (int i = 0; i < 3; ++i)
        pushWrite(-1);
    quint8 buffer[71];
    QVERIFY_THROWS_EXCEPTION(ex_connectionError, worker.exchangeData(request, 7, buffer, 71));
    QCOMPARE(QByteArray(calls()), QByteArray("WWW"));
}

void TestExchange::raisedRetriesStay()
{
    Comm2Pc worker;
    worker.setRetryDelay(1);
    worker.setRetries(20);
    for (int round = 0; round < 2; ++round) {
        reset(1);
        quint8 buffer[5];
        QVERIFY_THROWS_EXCEPTION(ex_timeout, worker.exchangeData(request, 7, buffer, 5));
        QCOMPARE(QByteArray(calls()), "W" + QByteArray(20, 'R'));
    }
}

void TestExchange::missingFunction()
{
    qputenv("GLEISTRON_FTD2XX", PARTIAL_FTD2XX);
    QString thrown;
    try {
        Comm2Pc worker;
    } catch (const char *text) {
        thrown = QString::fromLatin1(text);
    }
    QCOMPARE(thrown, QStringLiteral("FT_Close not loaded!"));
    qputenv("GLEISTRON_FTD2XX", "/nonexistent/libftd2xx.so");
    try {
        Comm2Pc worker;
    } catch (const char *text) {
        thrown = QString::fromLatin1(text);
    }
    QCOMPARE(thrown, QStringLiteral("Library not found!"));
    qputenv("GLEISTRON_FTD2XX", FAKE_FTD2XX);
}

void TestExchange::closedHandleNeverUsed()
{
    // A search closes every handle; when it then finds no adapter, the next cycle must not
    // reset, write or read through the handle it closed.
    Comm2Pc worker;
    worker.setRetryDelay(1);
    QByteArray hello(27, '\0');
    hello[0] = 'Y';
    hello[2] = 27;
    hello[3] = 'Y';
    hello[26] = char(frameChecksum(reinterpret_cast<const quint8 *>(hello.constData()), 26));
    pushRead(27, reinterpret_cast<const unsigned char *>(hello.constData()), 27);
    QVERIFY(worker.connectDevice(true));
    using FailOpenFn = void (*)(bool);
    auto failOpen = reinterpret_cast<FailOpenFn>(
        QLibrary(QStringLiteral(FAKE_FTD2XX)).resolve("fake_fail_open"));
    QVERIFY(failOpen);
    failOpen(true);
    QVERIFY(!worker.recoverConnection());
    quint8 buffer[5];
    QVERIFY_THROWS_EXCEPTION(std::exception, worker.exchangeData(request, 7, buffer, 5));
    QVERIFY(!worker.recoverConnection());
    QVERIFY2(!QByteArray(calls()).contains('X'), calls());
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"

#include "model/versiontext.h"
#include "link/frame.h"
#include "link/statustexts.h"

#include <QPoint>
#include <QTest>

class TestFrame : public QObject
{
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void answerCheck_data();
    void answerCheck();
    void frameOfExpectedLength_data();
    void frameOfExpectedLength();
    void versionText_data();
    void versionText();
    void serialText();
    void timeLeft_data();
    void timeLeft();
};

void TestFrame::checksum_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("crc");
    QTest::newRow("catalogue check value") << QByteArray("123456789") << 0xF7;
    QTest::newRow("abc") << QByteArray("abc") << 0xE2;
    QTest::newRow("handshake") << QByteArray::fromHex("590008000307d0") << 0xD9;
    QTest::newRow("empty") << QByteArray() << 0xFF;
    QTest::newRow("one zero byte") << QByteArray(1, '\0') << 0xAC; // table[0xFF]
}

void TestFrame::checksum()
{
    QFETCH(QByteArray, input);
    QFETCH(int, crc);
    QCOMPARE(
        int(frameChecksum(reinterpret_cast<const quint8 *>(input.constData()), int(input.size()))),
        crc);
}

void TestFrame::answerCheck_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("bytesRead");
    QTest::addColumn<bool>("ok");
    QByteArray good = QByteArray::fromHex("590b07aabbcc00");
    finishFrame(reinterpret_cast<quint8 *>(good.data()));
    QTest::newRow("good") << good << 7 << true;
    QByteArray bad = good;
    bad[6] = char(bad[6] ^ 1);
    QTest::newRow("wrong checksum") << bad << 7 << false;
    QByteArray shortLength = good;
    shortLength[2] = 3;
    QTest::newRow("length byte below 4") << shortLength << 7 << false;
    QByteArray longLength = good;
    longLength[2] = 9;
    QTest::newRow("length byte beyond bytes read") << longLength << 7 << false;
    // The answer's own length decides, not how many bytes were asked for.
    QByteArray shorter = QByteArray::fromHex("590b05aa00") + QByteArray(66, '\x77');
    finishFrame(reinterpret_cast<quint8 *>(shorter.data()));
    QTest::newRow("own length shorter than read") << shorter << 71 << true;
}

void TestFrame::answerCheck()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, bytesRead);
    QFETCH(bool, ok);
    QCOMPARE(answerChecksumOk(reinterpret_cast<const quint8 *>(answer.constData()), bytesRead), ok);
}

void TestFrame::frameOfExpectedLength_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QByteArray good = QByteArray::fromHex("590b07aabbcc00");
    finishFrame(reinterpret_cast<quint8 *>(good.data()));
    QTest::newRow("as expected") << good << true;
    // The length byte says 6, and both the checksum at 6 bytes and the one at 7 match: only
    // the length byte tells that this is not the answer asked for.
    QByteArray shorter = QByteArray::fromHex("590b06aabb0000");
    shorter[5] = char(frameChecksum(reinterpret_cast<const quint8 *>(shorter.constData()), 5));
    shorter[6] = char(frameChecksum(reinterpret_cast<const quint8 *>(shorter.constData()), 6));
    QTest::newRow("length byte one short") << shorter << false;
    QByteArray longer = QByteArray::fromHex("590b08aabbcc00");
    longer[6] = char(frameChecksum(reinterpret_cast<const quint8 *>(longer.constData()), 6));
    QTest::newRow("length byte one long") << longer << false;
}

// An answer whose length byte is not the length the command states is refused, whatever its
// checksum says.
void TestFrame::frameOfExpectedLength()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    QCOMPARE(answerFrameOk(reinterpret_cast<const quint8 *>(answer.constData()), 7), ok);
}

void TestFrame::versionText_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("2000") << 2000 << "2.000";
    QTest::newRow("105") << 105 << "0.105";
    QTest::newRow("7") << 7 << "0.007";
    QTest::newRow("12345") << 12345 << "1.2345";
    QTest::newRow("0") << 0 << "0.000";
}

void TestFrame::versionText()
{
    QFETCH(int, version);
    QFETCH(QString, text);
    QCOMPARE(::versionText(quint16(version)), text);
}

void TestFrame::serialText()
{
    quint8 answer[27] = {};
    answer[11] = 0x12;
    answer[14] = 0x34;
    answer[16] = 0x56;
    answer[18] = 0x78;
    QCOMPARE(::serialText(answer), QStringLiteral("56347812"));
    answer[16] = 0xAB;
    QCOMPARE(::serialText(answer), QStringLiteral("AB347812"));
    const quint8 bytes[] = {0x0a, 0xff, 0x00};
    QCOMPARE(hexString(bytes, 3), QStringLiteral("0aff00"));
}

void TestFrame::timeLeft_data()
{
    QTest::addColumn<QList<QPoint>>("reports"); // x: ms of link time, y: permille
    QTest::addColumn<QString>("left");
    QTest::newRow("too early") << QList<QPoint>{{0, 10}, {2000, 100}} << QString();
    QTest::newRow("steady") << QList<QPoint>{{0, 100}, {5000, 600}} << "0:04";
    // Twenty seconds of search before the first progress are no part of the rate.
    QTest::newRow("after a long search") << QList<QPoint>{{20000, 100}, {25000, 600}} << "0:04";
    // The rate of the whole run since then: sets of few and of many records do not swing it.
    QTest::newRow("uneven sets") << QList<QPoint>{{0, 100}, {10000, 150}, {20000, 600}} << "0:16";
    QTest::newRow("done") << QList<QPoint>{{0, 100}, {5000, 1000}} << QString();
}

void TestFrame::timeLeft()
{
    QFETCH(QList<QPoint>, reports);
    QFETCH(QString, left);
    StatusTexts::TimeLeft estimate;
    QString text;
    for (const QPoint &report : reports)
        text = estimate.update(report.x(), report.y());
    QCOMPARE(text, left);
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"

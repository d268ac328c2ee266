// The simulated station as the strict side of every test: requests outside the command tables
// get no answer and a REJECT line, whatever else the station does.

#include "../common/simprocess.h"
#include "link/frame.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A request from hex text; "cs" at the end stands for its checksum over the bytes before.
QByteArray frame(const char *hex)
{
    QByteArray text(hex);
    const bool withChecksum = text.endsWith(" cs");
    if (withChecksum)
        text.chop(3);
    QByteArray bytes = QByteArray::fromHex(text);
    if (withChecksum)
        bytes.append(char(
            frameChecksum(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size()))));
    return bytes;
}

QByteArray write64(const char *head)
{
    return QByteArray::fromHex(head) + QByteArray(64, '\x11');
}

QByteArray withChecksum(QByteArray bytes)
{
    bytes.append(char(
        frameChecksum(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size()))));
    return bytes;
}

// The program's end of a simulated adapter, raw.
class Wire
{
public:
    explicit Wire(const QString &path)
    {
        fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0) {
            termios t{};
            tcgetattr(fd, &t);
            cfmakeraw(&t);
            tcsetattr(fd, TCSANOW, &t);
        }
    }
    ~Wire()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool send(const QByteArray &bytes)
    {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // What arrives within the time, at most `max` bytes.
    QByteArray receive(int max, int ms)
    {
        QByteArray got;
        while (got.size() < max) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, ms) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, int(n));
        }
        return got;
    }
    int fd = -1;
};

} // namespace

class TestSim : public QObject
{
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void linkDirIsCreated();
};

void TestSim::requests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("answerLength"); // 0: refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("locomotive read") << frame("59 0B 07 00 01 00 cs") << 71 << QString();
    QTest::newRow("handshake") << frame(
                                      "59 00 08 00 03 07 D0 D9 0A 09 08 07 06 05 04 03 02 01 00 00")
                               << 27 << QString();
    QTest::newRow("switching-article save")
        << withChecksum(write64("59 2A 47 00 05") + QByteArray(1, '\0')) << 7 << QString();
    QTest::newRow("length byte short of the frame")
        << frame("59 0B 06 00 01 00 cs") << 0 << "length byte 6, expected 7";
    QTest::newRow("locomotive read without block byte")
        << frame("59 0B 06 00 01 cs") << 0 << "length byte 6, expected 7";
    QTest::newRow("switching-article save without spare byte")
        << withChecksum(write64("59 2A 46 00 05")) << 0 << "length byte 70, expected 71";
    QTest::newRow("spare byte not zero")
        << withChecksum(write64("59 2A 47 00 05") + QByteArray(1, '\x01')) << 0
        << "spare byte not zero";
    QTest::newRow("bad checksum") << frame("59 0B 07 00 01 00 00") << 0 << "bad checksum";
    QTest::newRow("locomotive 1024") << frame("59 0B 07 04 00 00 cs") << 0 << "out of range";
    QTest::newRow("locomotive block 4") << frame("59 0B 07 00 01 04 cs") << 0 << "out of range";
    QTest::newRow("image 150") << frame("59 19 06 96 00 cs") << 0 << "out of range";
    QTest::newRow("image block 192") << frame("59 19 06 05 C0 cs") << 0 << "out of range";
    QTest::newRow("LSB device 2048") << frame("59 51 06 08 00 cs") << 0 << "out of range";
    QTest::newRow("plan column 7") << frame("59 1F 07 00 00 07 cs") << 0 << "out of range";
    QTest::newRow("illumination group 8") << frame("59 49 05 08 cs") << 0 << "out of range";
    QTest::newRow("unknown command") << frame("59 99 04 cs") << 0 << "unknown command";
    QTest::newRow("handshake filler")
        << frame("59 00 08 00 03 07 D0 D9 00 00 00 00 00 00 00 00 00 00 00 00") << 0
        << "handshake filler";
    QTest::newRow("handshake parameters")
        << withChecksum(QByteArray::fromHex("59 00 08 00 03 07 D1")) +
               QByteArray::fromHex("0A 09 08 07 06 05 04 03 02 01 00 00")
        << 0 << "handshake parameters";
    QTest::newRow("no frame start") << frame("00 01 02") << 0 << "no frame start";
    QTest::newRow("datagram over 64 bytes")
        << withChecksum(QByteArray::fromHex("55 59 47 00 00") + QByteArray(65, 'x')) << 0
        << "length byte 71";
}

void TestSim::requests()
{
    QFETCH(QByteArray, request);
    QFETCH(int, answerLength);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log"));
    SimProcess sim({"--sample", "--lsb-device", "5:4:1:10", "--log", log});
    sim.expectRejections(answerLength ? 0 : 1);
    QVERIFY(sim.start());
    Wire wire(sim.ports());
    QVERIFY(wire.fd >= 0);
    QVERIFY(wire.send(request));
    // A refused request: a second of silence, by which the station has read and refused it.
    const QByteArray answer =
        wire.receive(answerLength ? answerLength : 1, answerLength ? 10000 : 1000);
    QCOMPARE(int(answer.size()), answerLength);
    sim.stop();
    QCOMPARE(sim.rejected(), answerLength ? 0 : 1);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    if (answerLength)
        QVERIFY(!text.contains(QLatin1String("REJECT")));
    else
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("^REJECT 0 [0-9.]+ [0-9a-f]+ .*") +
                                                      QRegularExpression::escape(reason),
                                                  QRegularExpression::MultilineOption)),
                 qPrintable(text));
}

void TestSim::linkDirIsCreated()
{
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral(GLEISTRON_SIM),
              {"--link-dir", dir.filePath(QStringLiteral("new/links"))});
    QVERIFY(sim.waitForReadyRead(5000));
    QVERIFY(
        sim.readLine().startsWith("PORT " + dir.filePath("new/links/gleistron0").toLocal8Bit()));
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(sim.readAllStandardOutput().contains("REJECTED 0"));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"

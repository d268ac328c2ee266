// Our adapter library through its binary interface, against the simulated station.

#include "../common/clirun.h"
#include "../common/simprocess.h"
#include "ftd2xx/adapterports.h"
#include "ftd2xx/d2xx.h"
#include "link/ftdlibrary.h"
#include "link/protocol.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
// Whether this process has the device open, also after it was removed.
bool holdsDevice(const QString &device)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System)) {
        const QByteArray target = QFile::encodeName(fds.filePath(fd));
        char link[256] = {};
        const ssize_t n = ::readlink(target.constData(), link, sizeof link - 1);
        const QString name = QString::fromLocal8Bit(link, int(qMax<ssize_t>(n, 0)));
        if (name == device || name == device + QLatin1String(" (deleted)"))
            return true;
    }
    return false;
}
} // namespace

class TestFtd2xx : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listAndInfoNodes();
    void readTimeout_data();
    void readTimeout();
    void unpluggedPort();
    void portInUse();
    void staleLockNamesNobody();
    void latencyLeftAsFound();
    void onlyMakersAdaptersListed();

private:
    FT_HANDLE openConfigured(int index);
    QLibrary library;
    FT_ListDevices_t listDevices = nullptr;
    FT_CreateDeviceInfoList_t createList = nullptr;
    FT_GetDeviceInfoList_t getList = nullptr;
    FT_Open_t open = nullptr;
    FT_Close_t close = nullptr;
    FT_SetBaudRate_t setBaud = nullptr;
    FT_SetTimeouts_t setTimeouts = nullptr;
    FT_SetLatencyTimer_t setLatency = nullptr;
    FT_Write_t write = nullptr;
    FT_Read_t read = nullptr;
};

void TestFtd2xx::initTestCase()
{
    library.setFileName(FtdLibrary::libraryLocation());
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    listDevices = reinterpret_cast<FT_ListDevices_t>(library.resolve("FT_ListDevices"));
    createList =
        reinterpret_cast<FT_CreateDeviceInfoList_t>(library.resolve("FT_CreateDeviceInfoList"));
    getList = reinterpret_cast<FT_GetDeviceInfoList_t>(library.resolve("FT_GetDeviceInfoList"));
    open = reinterpret_cast<FT_Open_t>(library.resolve("FT_Open"));
    close = reinterpret_cast<FT_Close_t>(library.resolve("FT_Close"));
    setBaud = reinterpret_cast<FT_SetBaudRate_t>(library.resolve("FT_SetBaudRate"));
    setTimeouts = reinterpret_cast<FT_SetTimeouts_t>(library.resolve("FT_SetTimeouts"));
    setLatency = reinterpret_cast<FT_SetLatencyTimer_t>(library.resolve("FT_SetLatencyTimer"));
    write = reinterpret_cast<FT_Write_t>(library.resolve("FT_Write"));
    read = reinterpret_cast<FT_Read_t>(library.resolve("FT_Read"));
    QVERIFY(listDevices && createList && getList && open && close && setBaud && setTimeouts &&
            setLatency && write && read);
}

FT_HANDLE TestFtd2xx::openConfigured(int index)
{
    FT_HANDLE handle = nullptr;
    if (open(index, &handle) != FT_OK)
        return nullptr;
    if (setBaud(handle, 115200) != FT_OK || setTimeouts(handle, 500, 0) != FT_OK) {
        close(handle);
        return nullptr;
    }
    return handle;
}

void TestFtd2xx::listAndInfoNodes()
{
    SimProcess sim({"--adapters", "2"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());

    DWORD count = 0;
    QCOMPARE(listDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    QCOMPARE(count, DWORD(2));
    char serial[64] = {};
    QCOMPARE(listDevices(reinterpret_cast<PVOID>(quintptr(1)), serial,
                         FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER),
             FT_OK);
    QCOMPARE(QByteArray(serial), QByteArray("gleistron1"));
    QCOMPARE(listDevices(reinterpret_cast<PVOID>(quintptr(2)), serial,
                         FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER),
             FT_DEVICE_NOT_FOUND);

    FT_HANDLE handle = openConfigured(1);
    QVERIFY(handle);
    QCOMPARE(setLatency(handle, 1), FT_INVALID_PARAMETER);
    QCOMPARE(setLatency(handle, 2), FT_OK);
    FT_HANDLE second = nullptr;
    QVERIFY(open(1, &second) != FT_OK); // one owner per adapter
    {
        // The same adapter under a second name is still the same adapter.
        const QString terminal = QFileInfo(sim.ports().section(',', 1, 1)).canonicalFilePath();
        ScopedPorts twice(sim.ports() + QLatin1Char(',') + terminal);
        QVERIFY(open(2, &second) != FT_OK);
    }

    DWORD num = 0;
    QCOMPARE(createList(&num), FT_OK);
    QCOMPARE(num, DWORD(2));
    std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(num);
    QCOMPARE(getList(nodes.data(), &num), FT_OK);
    QCOMPARE(nodes[0].Flags & FT_FLAGS_OPENED, 0u);
    QVERIFY(nodes[0].ftHandle == nullptr);
    QCOMPARE(nodes[1].Flags & FT_FLAGS_OPENED, ULONG(FT_FLAGS_OPENED));
    QVERIFY(nodes[1].ftHandle == handle);
    QCOMPARE(nodes[1].ID, ULONG(0x04036001));
    QCOMPARE(QByteArray(nodes[1].SerialNumber), QByteArray("gleistron1"));

    QCOMPARE(close(nullptr), FT_INVALID_HANDLE);
    QCOMPARE(close(handle), FT_OK);
    QCOMPARE(close(handle), FT_INVALID_HANDLE); // a stale handle is refused, not followed
    DWORD n = 0;
    QCOMPARE(write(handle, const_cast<unsigned char *>(Protocol::HandshakeRequest), 20, &n),
             FT_INVALID_HANDLE);
}

void TestFtd2xx::readTimeout_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<bool>("someBytes");
    QTest::newRow("station silent") << QStringList{"--mode", "silent"} << false;
    QTest::newRow("answer cut short") << QStringList{"--truncate", "1"} << true;
}

void TestFtd2xx::readTimeout()
{
    QFETCH(QStringList, simArgs);
    QFETCH(bool, someBytes);
    SimProcess sim(simArgs);
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    FT_HANDLE handle = openConfigured(0);
    QVERIFY(handle);
    DWORD n = 0;
    QCOMPARE(write(handle, const_cast<unsigned char *>(Protocol::HandshakeRequest), 20, &n), FT_OK);
    QCOMPARE(n, DWORD(20));
    unsigned char answer[27];
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(read(handle, answer, 27, &n), FT_OK);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 450 && elapsed < 3000, qPrintable(QString::number(elapsed)));
    QVERIFY(n < 27);
    QCOMPARE(n > 0, someBytes);
    close(handle);
}

void TestFtd2xx::unpluggedPort()
{
    SimProcess sim({"--unplug-at", "1:30"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    FT_HANDLE handle = openConfigured(0);
    QVERIFY(handle);
    const QString terminal = QFileInfo(sim.ports()).canonicalFilePath();
    QVERIFY(holdsDevice(terminal));
    DWORD n = 0;
    unsigned char answer[27];
    QCOMPARE(write(handle, const_cast<unsigned char *>(Protocol::HandshakeRequest), 20, &n), FT_OK);
    QCOMPARE(read(handle, answer, 27, &n), FT_OK);
    QCOMPARE(n, DWORD(27));
    // The answer was the last thing before the cable went.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(sim.ports()), 5000);
    FT_STATUS status =
        write(handle, const_cast<unsigned char *>(Protocol::HandshakeRequest), 20, &n);
    if (status == FT_OK)
        status = read(handle, answer, 27, &n);
    QCOMPARE(status, FT_IO_ERROR);
    // Let go at once, not at FT_Close: a kernel keeps a gone tty's number while it is open.
    QVERIFY2(!holdsDevice(terminal), qPrintable(terminal));
    QCOMPARE(close(handle), FT_OK);
    FT_HANDLE again = nullptr;
    QCOMPARE(open(0, &again), FT_DEVICE_NOT_FOUND);
}

void TestFtd2xx::portInUse()
{
    // Held by this test: the command-line tool waits a few seconds, then names the holder
    // instead of blaming the permissions or calling the station missing.
    SimProcess sim;
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    FT_HANDLE handle = openConfigured(0);
    QVERIFY(handle);
    QProcess cli;
    cli.start(QStringLiteral(GLEISTRON_CLI), {"info"});
    QVERIFY(cli.waitForFinished(30000));
    QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), 1);
    const QString holder =
        QStringLiteral("tst_ftd2xx (pid %1)").arg(QCoreApplication::applicationPid());
    QVERIFY2(err.contains(QStringLiteral("is in use by another program: ") + holder),
             qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("von einem anderen Programm benutzt: ") + holder),
             qPrintable(err));
    QCOMPARE(err.count(QStringLiteral("is in use by another program")), 1);
    QVERIFY(!err.contains(QLatin1String("dialout")));
    QVERIFY(!err.contains(QLatin1String("Kein Gleistron")));

    // Let go within the wait: the station is found.
    cli.start(QStringLiteral(GLEISTRON_CLI), {"info"});
    QVERIFY(cli.waitForStarted());
    QTest::qWait(1500);
    QCOMPARE(close(handle), FT_OK);
    QVERIFY(cli.waitForFinished(30000));
    err = QString::fromLocal8Bit(cli.readAllStandardError());
    QVERIFY2(cli.exitCode() == 0, qPrintable(err));
    QVERIFY(cli.readAllStandardOutput().startsWith("serial "));
}

// A lock file whose process has ended names nobody: the port is not reported as held, and the
// station is found. A living one names its process.
void TestFtd2xx::staleLockNamesNobody()
{
    SimProcess sim;
    QVERIFY(sim.start());
    const QString device = QFileInfo(sim.ports()).canonicalFilePath();
    QVERIFY(device.startsWith("/dev/"));
    const QString lock =
        QDir(QDir::tempPath()).filePath("LCK.." + device.mid(5).replace(QLatin1Char('/'), '_'));
    const auto writeLock = [&lock](qint64 pid, const QByteArray &name) {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // As QLockFile writes it: pid, program, host.
        file.write(QByteArray::number(pid) + '\n' + name + '\n' +
                   QSysInfo::machineHostName().toUtf8() + '\n');
    };
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    QVERIFY(ended.waitForStarted());
    const qint64 gonePid = ended.processId();
    QVERIFY(ended.waitForFinished());
    writeLock(gonePid, "ghost");
    QVERIFY(AdapterPorts::lockHolder(sim.ports()).isEmpty());
    QVERIFY(AdapterPorts::holder(sim.ports()).isEmpty());
    const CliRun info = runCli({"info"}, sim.ports());
    QVERIFY2(info.exitCode == 0, qPrintable(info.err));
    QVERIFY(!info.err.contains("ghost"));

    QProcess living;
    living.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(living.waitForStarted());
    writeLock(living.processId(), "sleep");
    QCOMPARE(AdapterPorts::holder(sim.ports()),
             QStringLiteral("sleep (pid %1)").arg(living.processId()));
    living.kill();
    living.waitForFinished();
    QVERIFY(AdapterPorts::lockHolder(sim.ports()).isEmpty());
    QFile::remove(lock);
}

void TestFtd2xx::latencyLeftAsFound()
{
    // The simulated adapter keeps its timer beside the port, as the driver does beside the tty.
    SimProcess sim({"--usb-latency", "16"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    QFile attribute(sim.ports() + QStringLiteral(".latency_timer"));
    const auto value = [&attribute] {
        attribute.open(QIODevice::ReadOnly);
        const QByteArray text = attribute.readAll().trimmed();
        attribute.close();
        return text;
    };
    QCOMPARE(value(), QByteArray("16"));
    FT_HANDLE handle = openConfigured(0);
    QVERIFY(handle);
    QCOMPARE(setLatency(handle, 2), FT_OK);
    QCOMPARE(value(), QByteArray("2"));
    QCOMPARE(setLatency(handle, 4), FT_OK);
    QCOMPARE(value(), QByteArray("4"));
    QCOMPARE(close(handle), FT_OK);
    QCOMPARE(value(), QByteArray("16"));
}

void TestFtd2xx::onlyMakersAdaptersListed()
{
    // A sysfs as the kernel lays it out: ttys whose device links lead to a USB interface under
    // its USB device, and one on the mainboard.
    QTemporaryDir sysfs;
    const auto tty = [&sysfs](const QString &name, const QString &usb, const QString &vendor) {
        const QString device = sysfs.filePath("devices/" + usb + "/" + usb + ":1.0/" + name);
        QVERIFY(QDir().mkpath(device));
        QVERIFY(QDir().mkpath(sysfs.filePath("class/tty/" + name)));
        QVERIFY(QFile::link(device, sysfs.filePath("class/tty/" + name + "/device")));
        for (const auto &[file, text] :
             {std::pair{"idVendor", vendor}, {"idProduct", "6001"}, {"serial", "S-" + name}}) {
            QFile attribute(sysfs.filePath("devices/" + usb + "/" + file));
            QVERIFY(vendor.isEmpty() || (attribute.open(QIODevice::WriteOnly) &&
                                         attribute.write(text.toLatin1() + '\n') > 0));
        }
    };
    tty("ttyUSB1", "1-2", "0403");
    tty("ttyACM0", "1-3", "2341");
    tty("ttyUSB0", "1-1", "067b");
    tty("ttyS0", "platform", "");
    const std::vector<AdapterPorts::Port> ports = AdapterPorts::makerPorts(sysfs.path());
    QCOMPARE(ports.size(), size_t(1));
    QCOMPARE(ports[0].path, "/dev/ttyUSB1");
    QCOMPARE(ports[0].serial, "S-ttyUSB1");
}

QTEST_GUILESS_MAIN(TestFtd2xx)
#include "tst_ftd2xx.moc"

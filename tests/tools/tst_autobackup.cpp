// Backups that happen by themselves: backup --dir against the simulated station, and watch
// across an unplug and while another program holds the port.

#include "../common/clirun.h"
#include "../common/simprocess.h"
#include "backupfile/document.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace {
QString todaysName(const QString &suffix = QString())
{
    return QStringLiteral("Gleistron-56347812-%1%2.GTB2")
        .arg(QDate::currentDate().toString(Qt::ISODate), suffix);
}

// A running gleistron-cli watch whose lines are read as they come.
class Watch
{
public:
    Watch(const QStringList &args, const QString &ports)
    {
        startCli(process, QStringList{"watch"} + args, ports);
        process.waitForStarted();
    }
    ~Watch()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Waits until standard output holds `count` lines.
    QStringList lines(int count, int timeoutMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (out.count('\n') < count && clock.elapsed() < timeoutMs &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(200);
            out += QString::fromUtf8(process.readAllStandardOutput());
        }
        return out.split('\n', Qt::SkipEmptyParts);
    }
    int stop()
    {
        ::kill(pid_t(process.processId()), SIGINT);
        if (!process.waitForFinished(10000))
            return -1;
        out += QString::fromUtf8(process.readAllStandardOutput());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QString err() { return QString::fromUtf8(process.readAllStandardError()); }

private:
    QProcess process;
    QString out;
};
} // namespace

class TestAutoBackup : public QObject
{
    Q_OBJECT
private slots:
    void backupIntoFolder();
    void watchAcrossReplug();
    void watchWhilePortHeld();
    void watchUntilPcMode();
};

void TestAutoBackup::backupIntoFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sicherungen"));
    const QString changed = dir.filePath(QStringLiteral("geaendert.GTB2"));
    {
        SimProcess sim({"--sample", "--save-on-exit", changed});
        QVERIFY(sim.start());
        CliRun run = runCli({"backup", "--dir", folder, "--sets", "weichen"}, sim.ports());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "saved " + QDir(folder).filePath(todaysName()) + '\n');
        // The station did not change: nothing written.
        run = runCli({"backup", "--dir", folder, "--sets", "weichen"}, sim.ports());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, "unchanged " + QDir(folder).filePath(todaysName()) + '\n');
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }
    // The same station with one switching article changed.
    auto document = std::make_unique<Document>();
    QCOMPARE(document->open(changed), Document::Opened::Ok);
    document->image.bank(1)[Catalogue::WeichenOffset + 64 * 3 + 5] ^= 0x01;
    QVERIFY(document->save(changed));
    QVERIFY(QFile::copy(QDir(folder).filePath(todaysName()),
                        QDir(folder).filePath(QStringLiteral("meine.GTB2"))));
    SimProcess sim({"--load", changed});
    QVERIFY(sim.start());
    CliRun run =
        runCli({"backup", "--dir", folder, "--sets", "weichen", "--keep", "1"}, sim.ports());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "saved " + QDir(folder).filePath(todaysName("-2")) + '\n');
    // Kept: the newest and the renamed copy.
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (QStringList{todaysName("-2"), QStringLiteral("meine.GTB2")}));

    // Bad counts, and a folder that cannot be made, before the station is asked.
    QCOMPARE(runCli({"backup", "--dir", folder, "--keep", "0"}, sim.ports()).exitCode, 2);
    QCOMPARE(runCli({"backup", "--keep", "3"}, sim.ports()).exitCode, 2);
    QCOMPARE(runCli({"backup", "x.GTB2", "--dir", folder}, sim.ports()).exitCode, 2);
    run = runCli({"backup", "--dir", dir.filePath("geaendert.GTB2/unter")}, sim.ports());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("cannot write into"), qPrintable(run.err));
    QVERIFY(!run.err.contains("Lade"));
}

void TestAutoBackup::watchAcrossReplug()
{
    // How many answers one backup of the switching articles takes, so that the adapter is
    // pulled right after the first backup's last answer.
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.txt"));
    {
        SimProcess probe({"--sample", "--log", log});
        QVERIFY(probe.start());
        QCOMPARE(runCli({"backup", dir.filePath("probe.GTB2"), "--sets", "weichen"}, probe.ports())
                     .exitCode,
                 0);
    }
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const int answers = int(QString::fromLatin1(file.readAll())
                                .split(QLatin1Char('\n'))
                                .filter(QRegularExpression("^tx "))
                                .size());
    QVERIFY(answers > 100);

    SimProcess sim({"--sample", "--unplug-at", QStringLiteral("%1:2").arg(answers)});
    QVERIFY(sim.start());
    const QString folder = dir.filePath(QStringLiteral("auto"));
    Watch watch({"--dir", folder, "--sets", "weichen"}, sim.ports());
    const QString path = QDir(folder).filePath(todaysName());
    const QStringList lines = watch.lines(5);
    QCOMPARE(lines, (QStringList{"station 56347812", "saved " + path, "gone", "station 56347812",
                                 "unchanged " + path}));
    QCOMPARE(watch.stop(), 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{todaysName()});
}

void TestAutoBackup::watchWhilePortHeld()
{
    // Another command holds the port at the moment the watch starts: the watch backs up once
    // it has let go.
    QTemporaryDir dir;
    SimProcess sim({"--sample", "--baud", "115200"});
    QVERIFY(sim.start());
    QProcess other;
    startCli(other,
             {"backup", dir.filePath("hand.GTB2"), "--sets", "weichen,rueckmelder,fahrstrassen"},
             sim.ports());
    QVERIFY(other.waitForStarted());
    // It holds the port once it loads.
    other.setReadChannel(QProcess::StandardError);
    QByteArray said;
    while (!said.contains("Lade") && other.waitForReadyRead(30000))
        said += other.readAllStandardError();
    const QString folder = dir.filePath(QStringLiteral("auto"));
    Watch watch({"--dir", folder, "--sets", "weichen"}, sim.ports());
    const QStringList lines = watch.lines(2, 60000);
    QVERIFY(other.waitForFinished(60000));
    QCOMPARE(other.exitCode(), 0);
    // It met the held port (the other transfer outlasts the search's wait), and went on.
    QVERIFY(watch.err().contains("wird von einem anderen Programm benutzt"));
    QCOMPARE(lines,
             (QStringList{"station 56347812", "saved " + QDir(folder).filePath(todaysName())}));
    QCOMPARE(watch.stop(), 0);
}

void TestAutoBackup::watchUntilPcMode()
{
    // A station plugged in before it is switched to PC mode is backed up once it is.
    QTemporaryDir dir;
    SimProcess sim({"--sample", "--mode", "B", "--mode-at", "2:Y"});
    QVERIFY(sim.start());
    const QString folder = dir.filePath(QStringLiteral("auto"));
    Watch watch({"--dir", folder, "--sets", "weichen"}, sim.ports());
    const QStringList lines = watch.lines(2);
    QCOMPARE(lines.value(1), "saved " + QDir(folder).filePath(todaysName()));
    QCOMPARE(watch.stop(), 0);
}

QTEST_GUILESS_MAIN(TestAutoBackup)
#include "tst_autobackup.moc"

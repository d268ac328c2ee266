// Nothing is lost under faults: download and upload of the sample station through the simulated
// station under each fault, alone and combined, must end byte-identical to the fault-free run.

#include "../common/clirun.h"
#include "../common/simprocess.h"
#include "../common/stationfiles.h"

#include "model/backupdiff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {
// Sets chosen so that a lost answer costs seconds, not minutes: the raised tries of a commit
// (20, 120) would make each later loss wait up to three minutes.
const QString downloadSets = QStringLiteral("hsb,lsb,system");
const QString uploadSets = QStringLiteral("hsb,system");

using Run = CliRun;

Run cli(const QStringList &args, const QString &ports)
{
    return runCli(args, ports);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int losses(const Run &run)
{
    return int(run.err.count(QStringLiteral("USB Verbindung mit Gleistron verloren")));
}

int recoveries(const Run &run)
{
    return int(run.err.count(QStringLiteral("Verbindung wieder hergestellt!")));
}

// What differs between a backup and a station's saved data in the sets `keys` names.
QStringList differences(const QString &backup, const QString &station, const QString &keys)
{
    auto a = std::make_unique<DataImage>(), b = std::make_unique<DataImage>(),
         only = std::make_unique<DataImage>();
    for (const auto &[path, image] : {std::pair{backup, a.get()}, std::pair{station, b.get()}}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("cannot read ") + path};
        BackupFile::read(file, *image, nullptr);
    }
    for (const QString &key : keys.split(QLatin1Char(',')))
        only->selectedSets[size_t(Catalogue::indexOfKey(key))] = 1;
    QStringList lines;
    for (const BackupDiff::Line &line : BackupDiff::compare(*a, *b, only.get()))
        lines << QStringLiteral("%1 %2 %3")
                     .arg(line.set)
                     .arg(line.number)
                     .arg(BackupDiff::changeText(line.change));
    return lines;
}
} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void transfers_data();
    void transfers();
    void stationRefuses_data();
    void stationRefuses();
    void wrongAnswers_data();
    void wrongAnswers();

private:
    QTemporaryDir dir;
    QByteArray referenceDownload; // the .GTB2 file of a fault-free download
    QByteArray referenceStation;  // the empty station after a fault-free upload of it
    QByteArray emptyStation;
    QString backupFile;
};

void TestFaults::initTestCase()
{
    backupFile = dir.filePath(QStringLiteral("reference.GTB2"));
    SimProcess a({"--sample"});
    QVERIFY(a.start());
    QCOMPARE(cli({"backup", backupFile, "--sets", downloadSets}, a.ports()).exitCode, 0);
    referenceDownload = contents(backupFile);
    QVERIFY(referenceDownload.size() > 1000);

    const QString stationFile = dir.filePath(QStringLiteral("station.GTB2"));
    SimProcess b({"--save-on-exit", stationFile});
    QVERIFY(b.start());
    QCOMPARE(cli({"restore", backupFile, "--sets", uploadSets}, b.ports()).exitCode, 0);
    b.stop();
    referenceStation = contents(stationFile);

    const QString emptyFile = dir.filePath(QStringLiteral("empty.GTB2"));
    SimProcess c({"--save-on-exit", emptyFile});
    QVERIFY(c.start());
    c.stop();
    emptyStation = contents(emptyFile);
    QVERIFY(emptyStation != referenceStation);
}

void TestFaults::transfers_data()
{
    QTest::addColumn<QStringList>("downloadFaults");
    QTest::addColumn<QStringList>("uploadFaults");
    QTest::addColumn<QStringList>("options");
    // New seeds every run; GLEISTRON_FAULT_SEED replays a run. Faults begin after the first
    // answer, so that the search's handshake gets through whatever the seed: a station that
    // does not answer the search is reported as missing, not retried.
    bool fixed = false;
    quint32 seed = qEnvironmentVariableIntValue("GLEISTRON_FAULT_SEED", &fixed);
    if (!fixed)
        seed = QRandomGenerator::system()->bounded(1000000u);
    qInfo("fault seeds from %u (GLEISTRON_FAULT_SEED=%u replays them)", seed, seed);
    int next = 0;
    auto faults = [&](QStringList kinds) {
        return kinds + QStringList{"--faults-after", "1", "--seed",
                                   QString::number(seed + quint32(next++))};
    };
    QTest::newRow("answers dropped")
        << faults({"--drop", "0.02"}) << faults({"--drop", "0.02"}) << QStringList();
    QTest::newRow("wrong checksums")
        << faults({"--corrupt", "0.02"}) << faults({"--corrupt", "0.02"}) << QStringList();
    QTest::newRow("answers cut short")
        << faults({"--truncate", "0.02"}) << faults({"--truncate", "0.02"}) << QStringList();
    QTest::newRow("cable pulled for 3 s") << QStringList{"--unplug-at", "40:3"}
                                          << QStringList{"--unplug-at", "12:3"} << QStringList();
    QTest::newRow("all together") << faults({"--drop", "0.02", "--corrupt", "0.02", "--truncate",
                                             "0.02", "--unplug-at", "60:3"})
                                  << faults({"--drop", "0.02", "--corrupt", "0.02", "--truncate",
                                             "0.02", "--unplug-at", "20:3"})
                                  << QStringList();
    QTest::newRow("newer data model accepted")
        << QStringList{"--datamodel", "2001"} << QStringList{"--datamodel", "2001"}
        << QStringList{"--accept-newer-datamodel"};
}

void TestFaults::transfers()
{
    QFETCH(QStringList, downloadFaults);
    QFETCH(QStringList, uploadFaults);
    QFETCH(QStringList, options);
    const QString downloaded = dir.filePath(QStringLiteral("downloaded.GTB2"));
    QFile::remove(downloaded);
    SimProcess a(QStringList{"--sample"} + downloadFaults);
    QVERIFY(a.start());
    const Run down =
        cli(QStringList{"backup", downloaded, "--sets", downloadSets} + options, a.ports());
    QVERIFY2(down.exitCode == 0, qPrintable(down.err));
    QVERIFY(contents(downloaded) == referenceDownload);

    const QString stationFile = dir.filePath(QStringLiteral("faulty-station.GTB2"));
    SimProcess b(QStringList{"--save-on-exit", stationFile} + uploadFaults);
    QVERIFY(b.start());
    // A link lost while writes were staged leaves the upload unconfirmed (exit 1, said so);
    // either way the station must end holding exactly the data. (Not --verify here: its second
    // search could meet a fault, and a search reports a station that does not answer as
    // missing.)
    const Run up =
        cli(QStringList{"restore", backupFile, "--sets", uploadSets} + options, b.ports());
    QVERIFY2(up.exitCode == 0 || (up.exitCode == 1 && up.err.contains("not confirmed")),
             qPrintable(up.err));
    // Unconfirmed: the last line says so, not the green success line.
    QCOMPARE(up.err.contains("Alle ausgewählte Datensätze übertragen"), up.exitCode == 0);
    b.stop();
    QVERIFY(contents(stationFile) == referenceStation);

    // Every loss is reported once, and once again when the link is back. A pulled cable is
    // always a loss; random faults may, by chance, miss a short transfer.
    for (const Run &run : {down, up}) {
        QCOMPARE(losses(run), recoveries(run));
        if (downloadFaults.contains(QStringLiteral("--unplug-at")))
            QVERIFY(losses(run) > 0);
        if (downloadFaults.isEmpty())
            QCOMPARE(losses(run), 0);
    }
}

void TestFaults::stationRefuses_data()
{
    QTest::addColumn<QStringList>("station");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("wrong mode") << QStringList{"--mode", "N"} << 4;
    QTest::newRow("newer data model declined") << QStringList{"--datamodel", "2001"} << 5;
}

void TestFaults::stationRefuses()
{
    QFETCH(QStringList, station);
    QFETCH(int, exitCode);
    const QString downloaded = dir.filePath(QStringLiteral("refused.GTB2"));
    SimProcess a(QStringList{"--sample"} + station);
    QVERIFY(a.start());
    QCOMPARE(cli({"backup", downloaded, "--sets", downloadSets}, a.ports()).exitCode, exitCode);
    QVERIFY(!QFile::exists(downloaded));

    const QString stationFile = dir.filePath(QStringLiteral("untouched.GTB2"));
    SimProcess b(QStringList{"--save-on-exit", stationFile} + station);
    QVERIFY(b.start());
    QCOMPARE(cli({"restore", backupFile, "--sets", uploadSets}, b.ports()).exitCode, exitCode);
    b.stop();
    QVERIFY(contents(stationFile) == emptyStation);
}

void TestFaults::wrongAnswers_data()
{
    // Answer numbers of the sample's download of downloadSets: 1 the search, 2-136 LSB reads,
    // 137-172 HSB reads (150: record 5). Of the upload of uploadSets: 2-33 HSB writes, 34 the
    // HSB commit, 35-38 system, 39 the list commit.
    QTest::addColumn<bool>("download");
    QTest::addColumn<QString>("wrongEcho");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("read answer once") << true << "150" << 0 << "";
    QTest::newRow("search answer once") << true << "1" << 0 << "";
    QTest::newRow("read answer kept wrong")
        << true << "150:3" << 1
        << "Herunterladen fehlgeschlagen: Der Gleistron antwortet auf HSB-Geräte, Datensatz 5 "
           "wiederholt anders, als der Befehl es zulässt. Vollständig geladen: LSB-Geräte. Nicht "
           "übernommen: HSB-Geräte, Systemkonfiguration.";
    QTest::newRow("write answer kept wrong")
        << false << "10:3" << 1
        << "Hochladen fehlgeschlagen: Der Gleistron antwortet auf HSB-Geräte, Datensatz 2 "
           "wiederholt anders, als der Befehl es zulässt. Aus der Datei übernommen: keine. Im "
           "Gleistron unverändert: Systemkonfiguration.";
    QTest::newRow("commit answer once") << false << "34" << 0 << "";
    QTest::newRow("commit answer kept wrong")
        << false << "34:3" << 1
        << "Hochladen fehlgeschlagen: Der Gleistron antwortet auf HSB-Geräte wiederholt anders, "
           "als der Befehl es zulässt. Aus der Datei übernommen: keine. Im Gleistron unverändert: "
           "Systemkonfiguration.";
}

// A whole answer that is not the command's (another sub-operation, checksum and length right)
// is asked for again; one that stays so ends the transfer as failed, never as saved or sent.
// Judged by what the station holds.
void TestFaults::wrongAnswers()
{
    QFETCH(bool, download);
    QFETCH(QString, wrongEcho);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir work;
    const QString stationFile = work.filePath(QStringLiteral("station.GTB2"));
    QStringList station{"--wrong-echo", wrongEcho, "--save-on-exit", stationFile};
    if (download)
        station << "--sample";
    SimProcess sim(station);
    QVERIFY(sim.start());
    const QString folder = work.filePath(QStringLiteral("backups"));
    const Run run = download ? cli({"backup", "--dir", folder, "--sets", downloadSets}, sim.ports())
                             : cli({"restore", backupFile, "--sets", uploadSets}, sim.ports());
    sim.stop();
    // A link recovered while writes were staged leaves an upload unconfirmed (exit 1, said so).
    const bool unconfirmed = !download && run.exitCode == 1 && run.err.contains("not confirmed");
    QVERIFY2(run.exitCode == exitCode || (exitCode == 0 && unconfirmed), qPrintable(run.err));
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QCOMPARE(losses(run), recoveries(run));
    if (!download) {
        if (exitCode == 0)
            QVERIFY(contents(stationFile) == referenceStation);
        else // the system configuration was never sent
            QVERIFY(!setDifferences(backupFile, stationFile, "system").isEmpty());
        return;
    }
    const QStringList saved = QDir(folder).entryList({"*.GTB2"}, QDir::Files);
    if (exitCode != 0) {
        QVERIFY2(saved.isEmpty(), qPrintable(saved.join(' ')));
        QVERIFY(!run.out.contains("saved"));
        return;
    }
    QCOMPARE(saved.size(), 1);
    // Every record the station holds is in the backup, byte for byte.
    const QStringList lines =
        differences(QDir(folder).filePath(saved.first()), stationFile, downloadSets);
    QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY(contents(QDir(folder).filePath(saved.first())) == referenceDownload);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"

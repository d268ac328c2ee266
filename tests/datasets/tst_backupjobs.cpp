// The download and upload jobs against the simulated station: what they request, in which
// order, what they mark, and the progress they report.

#include "../common/simprocess.h"
#include "../common/stationfiles.h"
#include "backupfile/backupfile.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"
#include "model/backupdiff.h"
#include "model/uploadcheck.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

using namespace Catalogue;

namespace {
// The requests the station received: sub-operation and parameter bytes.
QList<QByteArray> requests(const QString &log)
{
    QList<QByteArray> frames;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return frames;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() > 3 && parts[0] == "rx")
            frames.append(QByteArray::fromHex(parts.mid(3).join()));
    }
    return frames;
}

// Sub-operations in order, runs of the same one collapsed.
QByteArray sequence(const QList<QByteArray> &frames)
{
    QByteArray ops;
    for (const QByteArray &f : frames) {
        if (ops.isEmpty() || ops.back() != f[1])
            ops.append(f[1]);
    }
    return ops;
}

QList<int> values(const QSignalSpy &spy)
{
    QList<int> list;
    for (const QList<QVariant> &args : spy)
        list.append(args.at(0).toInt());
    return list;
}

struct Station
{
    explicit Station(QStringList args = {}) : sim(args << "--log" << logPath()) {}
    QString logPath() { return dir.filePath(QStringLiteral("log")); }
    QTemporaryDir dir;
    SimProcess sim;
};

// The sample station's data, as the simulated station saved it once for all tests.
QString samplePath;

bool readSample(DataImage &image)
{
    QFile file(samplePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    BackupFile::read(file, image, nullptr);
    return true;
}

void run(BackupJob &job, DataImage &image)
{
    job.setDocument(&image);
    job.start();
    job.wait();
}
} // namespace

class TestBackupJobs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void verifyComparesEveryByte();
    void downloadMarksAndSkips();
    void downloadProgress_data();
    void downloadProgress();
    void uploadProgress_data();
    void uploadProgress();
    void uploadOrderSystemAndFeedback();
    void uploadSentRule();
    void planBlocks();
    void allRoutesEmpty();
    void newerDataModel_data();
    void newerDataModel();
    void nothingOfAnEarlierDocument();
    void progressOfEachSet_data();
    void progressOfEachSet();
    void cutDownloadDropsTheSet_data();
    void cutDownloadDropsTheSet();
    void stallReportedEarly();
    void stoppedUploadNamesWhatItSent_data();
    void stoppedUploadNamesWhatItSent();

private:
    QTemporaryDir sampleDir;
};

void TestBackupJobs::initTestCase()
{
    QVERIFY(sampleDir.isValid());
    samplePath = sampleDir.filePath(QStringLiteral("sample.GTB2"));
    SimProcess sample({"--sample", "--save-on-exit", samplePath});
    QVERIFY(sample.start());
    sample.stop();
    QVERIFY(QFile::exists(samplePath));
}

void TestBackupJobs::downloadMarksAndSkips()
{
    Station station({"--sample"});
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets[Lokomotiven] = image->selectedSets[Fahrstrassen] =
        image->selectedSets[Lokbilder] = 1;
    image->recordStatus[StatusLokbilder] = 1; // image 0 is never read: its mark is reset
    Comm_backup_download job;
    QStringList events;
    connect(
        &job, &BackupJob::signal_comm_backup_message, &job,
        [&events](const QString &m) { events << m.trimmed(); }, Qt::DirectConnection);
    connect(
        &job, &BackupJob::signal_comm_fahrstrassen_loaded, &job,
        [&events](short n, bool ok) { events << QStringLiteral("loaded %1 %2").arg(n).arg(ok); },
        Qt::DirectConnection);
    QSignalSpy complete(&job, &Comm_backup_download::signal_comm_backup_download_complete);
    run(job, *image);

    QCOMPARE(complete.count(), 1);
    QCOMPARE(complete.at(0).at(0).toBool(), true);
    const int routesEnd = int(events.indexOf(QRegularExpression("^Fahrstrassen geladen in .*")));
    QVERIFY(routesEnd > 0);
    QCOMPARE(events.at(routesEnd + 1), QStringLiteral("loaded 1024 1"));
    QCOMPARE(int(events.count(QStringLiteral("loaded 1024 1"))), 1);

    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 0]), -1);
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 30]), 1);
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 31]), -1);
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 1022]), -1);
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 1023]), 1);
    QCOMPARE(int(image->recordStatus[StatusLokbilder + 0]), 0);
    QCOMPARE(int(image->recordStatus[StatusLokbilder + 1]), 1);
    QCOMPARE(int(image->recordStatus[StatusLokbilder + 3]), -1);
    QCOMPARE(int(image->recordStatus[StatusFahrstrassen + 80]), 1);
    QCOMPARE(int(image->recordStatus[StatusFahrstrassen + 81]), -1);
    QCOMPARE(image->presentSets[Lokomotiven], quint8(1));
    QCOMPARE(image->presentSets[Weichen], quint8(0));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(image->bank(0) + LokOffset + 256), 10),
             QByteArray("BR 218 012"));

    // Locomotive 0 answered 'E' and named the next 32 empty ones (31-62): 63 is asked for and
    // names 64 onwards, which is never asked for.
    // Routes that are empty get no illumination read.
    const QList<QByteArray> frames = requests(station.logPath());
    int lok63 = 0, lok64 = 0, illumination81 = 0;
    for (const QByteArray &f : frames) {
        const int n = (quint8(f[3]) << 8) | quint8(f[4]);
        lok63 += f[1] == 0x0B && n == 63;
        lok64 += f[1] == 0x0B && n == 64;
        illumination81 += f[1] == 0x47 && n == 81;
    }
    QCOMPARE(lok63, 1);
    QCOMPARE(lok64, 0);
    QCOMPARE(illumination81, 0);
    QVERIFY(sequence(frames).endsWith(QByteArray("\x19\xFB", 2)));
}

void TestBackupJobs::downloadProgress_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("emissions");
    QTest::addColumn<QList<int>>("head");
    QTest::newRow("system") << int(System) << 3 << QList<int>{0, 1000, 1000};
    // Every locomotive but the multiples of 20, then the set's end and the final 1000.
    QTest::newRow("locomotives") << int(Lokomotiven) << 1 + (1024 - 52) + 2
                                 << QList<int>{0, 0, 1, 2, 3, 4, 5};
}

void TestBackupJobs::downloadProgress()
{
    QFETCH(int, set);
    QFETCH(int, emissions);
    QFETCH(QList<int>, head);
    SimProcess sim({"--sample"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets[size_t(set)] = 1;
    Comm_backup_download job;
    QSignalSpy progress(&job, &BackupJob::signal_comm_progress);
    run(job, *image);
    const QList<int> seen = values(progress);
    QCOMPARE(seen.size(), emissions);
    QCOMPARE(seen.mid(0, head.size()), head);
    QCOMPARE(seen.last(), 1000);
}

void TestBackupJobs::uploadProgress_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<QList<int>>("tail");
    QTest::newRow("system") << int(System) << QList<int>{0, 500, 1000};
    // 4100 of 4096 after the set, rounded down.
    QTest::newRow("feedback modules") << int(Rueckmelder) << QList<int>{999, 1000, 1000};
}

void TestBackupJobs::uploadProgress()
{
    QFETCH(int, set);
    QFETCH(QList<int>, tail);
    SimProcess sim;
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets[size_t(set)] = 1;
    image->presentSets[size_t(set)] = 1;
    Comm_backup_upload job;
    QSignalSpy progress(&job, &BackupJob::signal_comm_progress);
    QSignalSpy complete(&job, &Comm_backup_upload::signal_comm_backup_upload_complete);
    run(job, *image);
    QCOMPARE(complete.count(), 1);
    const QList<int> seen = values(progress);
    QCOMPARE(seen.mid(seen.size() - tail.size()), tail);
}

void TestBackupJobs::uploadOrderSystemAndFeedback()
{
    Station station;
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets.fill(1);
    image->presentSets[System] = image->presentSets[Rueckmelder] = 1;
    image->recordStatus[StatusRueckmelder + 5] = 1;
    image->s88Present = true;
    Comm_backup_upload job;
    run(job, *image);
    // Modules, S88, the module commit, the system configuration, then the list commit.
    QCOMPARE(sequence(requests(station.logPath())).toHex(), QByteArray("003467356570fb"));

    // A document without S88 data (feedback modules from a file that had no S88 section) must
    // not send zeros as the station's S88 configuration. The modules alone end with the list
    // commit too.
    Station second;
    QVERIFY(second.sim.start());
    ScopedPorts secondPorts(second.sim.ports());
    image->s88Present = false;
    image->presentSets[System] = 0;
    Comm_backup_upload again;
    run(again, *image);
    QCOMPARE(sequence(requests(second.logPath())).toHex(), QByteArray("00343570fb"));
}

void TestBackupJobs::uploadSentRule()
{
    Station station;
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets.fill(1);
    image->presentSets[Lokomotiven] = image->presentSets[Lokbilder] = 1;
    image->recordStatus[StatusLokbilder + 0] = 1; // image 0 is never sent
    image->recordStatus[StatusLokbilder + 3] = 1;
    image->recordStatus[StatusLokomotiven + 9] = -1;
    Comm_backup_upload job;
    run(job, *image);
    const QList<QByteArray> frames = requests(station.logPath());
    QList<int> locos, images;
    for (const QByteArray &f : frames) {
        if (f[1] == 0x0C && f[5] == 0)
            locos.append((quint8(f[3]) << 8) | quint8(f[4]));
        if (f[1] == 0x1A && f[4] == 0)
            images.append(quint8(f[3]));
    }
    QCOMPARE(locos, QList<int>{0}); // record 0 always, whatever its status
    QCOMPARE(images, QList<int>{3});
    QCOMPARE(sequence(frames).toHex(), QByteArray("000c0d6f701a1bfb"));
}

void TestBackupJobs::planBlocks()
{
    Station station;
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets.fill(1);
    image->presentSets[Gleisplan1] = 1;
    quint8 *plan = image->bank(1) + GleisplanOffset;
    for (int k = 0; k < 8; ++k) { // row 1, columns 0-7: first bytes 0 or FF, the rest busy
        plan[1 * 1024 + k * 8] = k % 2 ? 0xFF : 0x00;
        plan[1 * 1024 + k * 8 + 1] = 0x55;
    }
    plan[2 * 1024 + 11 * 8] = 5; // row 2, column 11 lies in the block of columns 8-15
    Comm_backup_upload job;
    run(job, *image);
    QList<QByteArray> blocks;
    for (const QByteArray &f : requests(station.logPath())) {
        if (f[1] == 0x20)
            blocks.append(f.mid(3, 3).toHex());
    }
    QCOMPARE(blocks, (QList<QByteArray>{"000000", "000208"}));
}

void TestBackupJobs::allRoutesEmpty()
{
    Station station;
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets.fill(1);
    image->presentSets[Fahrstrassen] = 1;
    std::fill_n(&image->recordStatus[StatusFahrstrassen], 1024, qint8(-1));
    Comm_backup_upload job;
    run(job, *image);
    int routes = 0, lights = 0;
    QList<int> groups;
    for (const QByteArray &f : requests(station.logPath())) {
        routes += f[1] == 0x3E;
        lights += f[1] == 0x48;
        if (f[1] == 0x49)
            groups.append(f[3]);
    }
    QCOMPARE(routes, 8);
    QCOMPARE(lights, 8);
    QCOMPARE(groups, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

void TestBackupJobs::newerDataModel_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("completions");
    QTest::newRow("2000 passes") << 2000 << false << 0 << 1;
    QTest::newRow("2001 declined") << 2001 << false << 1 << 0;
    QTest::newRow("2001 accepted") << 2001 << true << 1 << 1;
}

void TestBackupJobs::newerDataModel()
{
    QFETCH(int, version);
    QFETCH(bool, accept);
    QFETCH(int, questions);
    QFETCH(int, completions);
    Station station({"--sample", "--datamodel", QString::number(version)});
    QVERIFY(station.sim.start());
    ScopedPorts ports(station.sim.ports());
    auto image = std::make_unique<DataImage>();
    image->selectedSets[System] = 1;
    Comm_backup_download job;
    QSignalSpy asked(&job, &BackupJob::signal_comm_version_problem);
    QSignalSpy progress(&job, &BackupJob::signal_comm_progress);
    QSignalSpy complete(&job, &Comm_backup_download::signal_comm_backup_download_complete);
    connect(
        &job, &BackupJob::signal_comm_version_problem, &job,
        [&job, accept] {
            if (accept)
                job.continueTransfer();
            else
                job.abandonTransfer();
        },
        Qt::DirectConnection);
    run(job, *image);
    QCOMPARE(asked.count(), questions);
    if (questions)
        QCOMPARE(asked.at(0).at(0).toInt(), version);
    QCOMPARE(complete.count(), completions);
    if (!completions) {
        // Declined: nothing read, nothing reported.
        QCOMPARE(progress.count(), 0);
        QCOMPARE(sequence(requests(station.logPath())).toHex(), QByteArray("00"));
        QCOMPARE(image->presentSets[System], quint8(0));
    }
}

void TestBackupJobs::nothingOfAnEarlierDocument()
{
    // Station A holds record 0 of every set and illumination for every route; station B (the
    // sample) has no record 0 and routes without illumination.
    QTemporaryDir dir;
    auto a = std::make_unique<DataImage>();
    QVERIFY(readSample(*a));
    for (int offset : {StatusLokomotiven, StatusWeichen, StatusRueckmelder, StatusFahrstrassen,
                       StatusLsb, StatusHsb})
        a->recordStatus[size_t(offset)] = 1;
    for (int bank = 0; bank < 3; ++bank) {
        for (int i = 0; i < BankSize; ++i) {
            if (a->bank(bank)[i] == 0)
                a->bank(bank)[i] = quint8(0xA5);
        }
    }
    {
        QSaveFile file(dir.filePath("a.GTB2"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(BackupFile::write(file, *a, "11223344", "1.300") && file.commit());
    }

    auto downloadFrom = [&](const QStringList &station, DataImage &image) {
        SimProcess sim(station);
        if (!sim.start())
            return false;
        ScopedPorts ports(sim.ports());
        image.selectedSets.fill(1);
        Comm_backup_download job;
        QSignalSpy complete(&job, &Comm_backup_download::signal_comm_backup_download_complete);
        run(job, image);
        return complete.count() == 1;
    };
    auto both = std::make_unique<DataImage>();
    auto alone = std::make_unique<DataImage>();
    QVERIFY(downloadFrom({"--load", dir.filePath("a.GTB2")}, *both));
    QVERIFY(downloadFrom({"--sample"}, *both));
    QVERIFY(downloadFrom({"--sample"}, *alone));
    QCOMPARE(both->recordStatus, alone->recordStatus);
    for (int bank = 0; bank < 3; ++bank) {
        const quint8 *x = both->bank(bank), *y = alone->bank(bank);
        const auto at = std::mismatch(x, x + BankSize, y).first - x;
        QVERIFY2(at == BankSize,
                 qPrintable(QStringLiteral("bank %1 at 0x%2").arg(bank).arg(at, 0, 16)));
    }
}

void TestBackupJobs::stallReportedEarly()
{
    // After the HSB commit the tries are 20 (20 s and more before a recovery); the cable goes
    // at the first system write. The user hears of it within seconds, and of its return.
    auto image = std::make_unique<DataImage>();
    QVERIFY(readSample(*image));
    image->selectedSets[Hsb] = image->selectedSets[System] = 1;
    SimProcess sim({"--unplug-at", "35:12"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm_backup_upload job;
    QElapsedTimer clock;
    qint64 lostAt = -1;
    connect(
        &job, &Comm2Pc::signal_exchange_failed, &job, [&] { lostAt = clock.elapsed(); },
        Qt::DirectConnection);
    QSignalSpy back(&job, &Comm2Pc::signal_reconnected);
    QSignalSpy complete(&job, &Comm_backup_upload::signal_comm_backup_upload_complete);
    clock.start();
    run(job, *image);
    QVERIFY(lostAt > 0);
    QVERIFY2(lostAt < 12000, qPrintable(QString::number(lostAt)));
    QCOMPARE(back.count(), 1);
    QCOMPARE(complete.count(), 1);
}

void TestBackupJobs::progressOfEachSet_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<bool>("upload");
    for (bool upload : {false, true}) {
        for (int set = 0; set < DataSetCount; ++set)
            QTest::addRow("%s %s", upload ? "up" : "down", entry(set).key) << set << upload;
    }
}

// One set alone: the bar climbs through the set's own weight to 1000, never past it and
// never back, and does not leap from the middle to the end.
void TestBackupJobs::progressOfEachSet()
{
    QFETCH(int, set);
    QFETCH(bool, upload);
    auto image = std::make_unique<DataImage>();
    if (upload) {
        QVERIFY(readSample(*image));
        QVERIFY(image->presentSets[size_t(set)]);
    }
    SimProcess sim(upload ? QStringList() : QStringList{"--sample"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    image->selectedSets[size_t(set)] = 1;
    std::unique_ptr<BackupJob> job;
    if (upload)
        job = std::make_unique<Comm_backup_upload>();
    else
        job = std::make_unique<Comm_backup_download>();
    QSignalSpy progress(job.get(), &BackupJob::signal_comm_progress);
    run(*job, *image);
    const QList<int> seen = values(progress);
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.last(), 1000);
    QVERIFY2(std::is_sorted(seen.begin(), seen.end()), qPrintable(QString::number(seen.size())));
    QVERIFY(*std::min_element(seen.begin(), seen.end()) >= 0);
    // Sets of many steps show them: the last value below 1000 is near the end.
    QList<int> below;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(below),
                 [](int v) { return v < 1000; });
    if (below.size() > 20)
        QVERIFY2(below.last() >= 900, qPrintable(QString::number(below.last())));
}

void TestBackupJobs::cutDownloadDropsTheSet_data()
{
    QTest::addColumn<QStringList>("station");
    QTest::addColumn<QString>("cut");
    QTest::newRow("stopped") << QStringList{"--sample"} << "progress";
    QTest::newRow("lost") << QStringList{"--sample", "--unplug-at", "60:60"} << "lost";
    QTest::newRow("wrong mode") << QStringList{"--sample", "--mode-at", "61:N"} << "";
    QTest::newRow("answer kept wrong") << QStringList{"--sample", "--wrong-echo", "61:3"} << "";
}

// The switching articles were held before; a download of them that is cut leaves them not
// held, so that nothing half old, half new is saved or uploaded.
void TestBackupJobs::cutDownloadDropsTheSet()
{
    QFETCH(QStringList, station);
    QFETCH(QString, cut);
    SimProcess sim(station);
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    auto image = std::make_unique<DataImage>();
    image->presentSets[Weichen] = 1;
    image->recordStatus[StatusWeichen + 1] = 1;
    image->selectedSets[Weichen] = 1;
    Comm_backup_download job;
    job.setRetryDelay(1);
    if (cut == QLatin1String("progress"))
        connect(
            &job, &BackupJob::signal_comm_progress, &job,
            [&job](int value) {
                if (value > 100)
                    job.requestStop();
            },
            Qt::DirectConnection);
    if (cut == QLatin1String("lost"))
        connect(
            &job, &Comm2Pc::signal_exchange_failed, &job, [&job] { job.requestStop(); },
            Qt::DirectConnection);
    QSignalSpy complete(&job, &Comm_backup_download::signal_comm_backup_download_complete);
    run(job, *image);
    QCOMPARE(complete.count(), 0);
    QCOMPARE(image->presentSets[Weichen], quint8(0));
}

void TestBackupJobs::stoppedUploadNamesWhatItSent_data()
{
    QTest::addColumn<int>("stops");
    QTest::addColumn<QStringList>("taken"); // the sets the station then holds as the file does
    QTest::addColumn<QString>("said");
    // The first stop waits for the commit that stores the switching articles (and the
    // locomotive lists); a second one ends the upload at once.
    QTest::newRow("once") << 1 << QStringList{"lokomotiven", "weichen"}
                          << "Aus der Datei übernommen: Lokomotiven, Schaltartikel. Im Gleistron "
                             "unverändert: Systemkonfiguration.";
    QTest::newRow("twice") << 2 << QStringList()
                           << "Aus der Datei übernommen: keine. Im Gleistron unverändert: "
                              "Systemkonfiguration.";
}

// A stop during the switching articles commits them, and the locomotives' lists with the list
// commit they wait for; the report names exactly those, not the system configuration, which
// shares that commit but was never sent.
void TestBackupJobs::stoppedUploadNamesWhatItSent()
{
    QFETCH(int, stops);
    QFETCH(QStringList, taken);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString stationFile = dir.filePath(QStringLiteral("station.GTB2"));
    SimProcess sim({"--save-on-exit", stationFile});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    auto image = std::make_unique<DataImage>();
    QVERIFY(readSample(*image));
    image->selectedSets[Lokomotiven] = image->selectedSets[Weichen] = image->selectedSets[System] =
        1;
    Comm_backup_upload job;
    QString last;
    connect(
        &job, &BackupJob::signal_comm_backup_message, &job,
        [&job, &last, stops](const QString &m) {
            if (m.contains(QStringLiteral("Speichere Schaltartikel"))) {
                for (int i = 0; i < stops; ++i)
                    job.requestStop();
            }
            last = m;
        },
        Qt::DirectConnection);
    connect(
        &job, &BackupJob::signal_comm_transfer_event, &job,
        [&last](const TransferEvent &event) { last = TransferTexts::plain(event); },
        Qt::DirectConnection);
    run(job, *image);
    sim.stop();
    for (const QString set : {"lokomotiven", "weichen", "system"})
        QVERIFY2(setDifferences(samplePath, stationFile, set).isEmpty() == taken.contains(set),
                 qPrintable(set));
    QVERIFY2(last.contains(said), qPrintable(last));
}

// A route whose record came back right but whose illumination did not is a difference, in
// the illumination half; the system configuration counts to its last byte.
void TestBackupJobs::verifyComparesEveryByte()
{
    auto sent = std::make_unique<DataImage>();
    auto back = std::make_unique<DataImage>();
    sent->presentSets[Fahrstrassen] = sent->selectedSets[Fahrstrassen] = 1;
    for (int n : {0, 5})
        sent->recordStatus[size_t(StatusFahrstrassen + n)] =
            back->recordStatus[size_t(StatusFahrstrassen + n)] = 1;
    QVERIFY(UploadCheck::compare(*sent, *back).isEmpty());
    back->illumination(5)[7] = 1;
    const QList<UploadCheck::Difference> differences = UploadCheck::compare(*sent, *back);
    QCOMPARE(differences.size(), 1);
    QCOMPARE(differences[0].set, QStringLiteral("fahrstrassen"));
    QCOMPARE(differences[0].number, 5);
    QCOMPARE(differences[0].byte, 512 + 7);

    // The system configuration to its last byte.
    sent->presentSets[System] = sent->selectedSets[System] = 1;
    back->illumination(5)[7] = 0;
    back->systemKonfiguration()[255] = 1;
    const QList<UploadCheck::Difference> system = UploadCheck::compare(*sent, *back);
    QCOMPARE(system.size(), 1);
    QCOMPARE(system[0].set, QStringLiteral("system"));
    QCOMPARE(system[0].byte, 255);
    // And so does a comparison of two documents.
    sent->presentSets[Fahrstrassen] = 0;
    back->presentSets[System] = 1;
    const QList<BackupDiff::Line> lines = BackupDiff::compare(*sent, *back);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].set, QStringLiteral("system"));
}

QTEST_GUILESS_MAIN(TestBackupJobs)
#include "tst_backupjobs.moc"

// gleistron-cli as scripts use it: output lines and exit codes.

#include "../common/clirun.h"
#include "../common/lsbfiles.h"
#include "../common/routebytes.h"
#include "../common/simprocess.h"
#include "../common/stationfiles.h"

#include "backupfile/backupfile.h"
#include "model/backupdiff.h"
#include "model/recordmerge.h"

#include <QDate>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTest>
#include <cstring>
#include <sys/stat.h>

namespace {
using Run = CliRun;

// A backup's data as it reads; empty when it cannot be opened.
std::unique_ptr<DataImage> load(const QString &path)
{
    auto image = std::make_unique<DataImage>();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        BackupFile::read(file, *image, nullptr);
    return image;
}

Run cli(const QStringList &args, const QString &ports)
{
    return runCli(args, ports);
}

// The tool run in a folder of its own mount (a tmpfs with `options`), which ends with the run;
// standard output ends with the folder's listing. Exit 99: mounts are not allowed here.
Run cliInMount(const QString &options, const QStringList &args, const QString &ports)
{
    QTemporaryDir dir;
    const QString script = QStringLiteral("mount -t tmpfs -o %1 tmpfs %2 || exit 99; cd %2; "
                                          "\"$@\"; rc=$?; ls; exit $rc")
                               .arg(options, dir.path());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GLEISTRON_PORTS"), ports);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("unshare"),
                  QStringList{"-m", "sh", "-c", script, "sh", QStringLiteral(GLEISTRON_CLI)} +
                      args);
    Run run;
    if (process.waitForFinished(100000))
        run.exitCode = process.error() == QProcess::FailedToStart ? 99 : process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void infoPrintsIdentity();
    void doctor();
    void infoOutcomes_data();
    void infoOutcomes();
    void badUsage_data();
    void badUsage();
    void backupAndRestore_data();
    void backupAndRestore();
    void inspect();
    void unwritableBackup();
    void convertLegacy();
    void route();
    void verifiedRestore_data();
    void verifiedRestore();
    void lsbUpdate_data();
    void lsbUpdate();
    void verifySeesTheWholeStation();
    void stationBehaviours_data();
    void stationBehaviours();
    void modeChangedMidTransfer();
    void damagedAnswersNeverUsed();
    void feedbackModulesKeepS88();
    void notWholeLegacyFiles_data();
    void notWholeLegacyFiles();
    void backupNames();
    void diff();
    void history();
    void interruptedBackup();
    void keepPrevious();
    void keepPreviousTakenMeanwhile();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void cancelledUpload();
    void damagedFiles();
    void restoreRecords();
};

void TestCli::infoPrintsIdentity()
{
    SimProcess sim({"--serial", "0A1B2C3D", "--software", "1234", "--datamodel", "2001"});
    QVERIFY(sim.start());
    const Run run = cli({"info"}, sim.ports());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("serial 0A1B2C3D\nsoftware 1.234\nprotocol 0.003\n"
                                     "datamodel 2.001\n"));
}

void TestCli::doctor()
{
    // A station on a free port: nothing but ok lines and hints, exit 0. Its adapter's timer is
    // at 2 ms already (as the udev rule sets it): nothing to change, no rule to install.
    SimProcess sim({"--serial", "0A1B2C3D", "--usb-latency", "2"});
    QVERIFY(sim.start());
    Run run = cli({"doctor", "--lang", "en"}, sim.ports());
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(line.startsWith("ok ") || line.startsWith("hint "), qPrintable(line));
    QVERIFY(run.out.contains(QStringLiteral("ok holder %1 is free").arg(sim.ports())));
    QVERIFY(
        run.out.contains(QStringLiteral("ok latency %1: latency timer 2 ms\n").arg(sim.ports())));
    QVERIFY(run.out.contains("ok station Gleistron 0A1B2C3D, software 1.300, in PC mode\n"));

    // A missing port and a station in another mode are problems, each with its fix.
    SimProcess other({"--mode", "N"});
    QVERIFY(other.start());
    run = cli({"doctor", "--lang", "en"}, other.ports() + ",/nonexistent/gleistron9");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains("problem port /nonexistent/gleistron9 does not exist fix: plug in "
                              "the adapter or correct GLEISTRON_PORTS\n"),
             qPrintable(run.out));
    QVERIFY(run.out.contains("problem station a Gleistron answers, but is not in PC mode fix: "));
}

void TestCli::infoOutcomes_data()
{
    QTest::addColumn<QStringList>("simArgs"); // empty: no station at all
    QTest::addColumn<QStringList>("cliArgs");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong mode") << QStringList{"--mode", "N"} << QStringList{"info"} << 4
                                << "Achtung! Gleistron nicht im Richtigem Modus.";
    QTest::newRow("no station") << QStringList() << QStringList{"info"} << 3
                                << "FEHLER: Kein Gleistron gefunden!";
    QTest::newRow("no station, English") << QStringList() << QStringList{"info", "--lang", "en"}
                                         << 3 << "ERROR: No Gleistron found!";
}

void TestCli::infoOutcomes()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, cliArgs);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    SimProcess sim(simArgs);
    QString ports = QStringLiteral("/nonexistent/gleistron0");
    if (!simArgs.isEmpty()) {
        QVERIFY(sim.start());
        ports = sim.ports();
    }
    const Run run = cli(cliArgs, ports);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void TestCli::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList{"fly"};
    QTest::newRow("unknown option") << QStringList{"info", "--colour"};
    QTest::newRow("bad language") << QStringList{"info", "--lang", "fr"};
    QTest::newRow("records and sets")
        << QStringList{"restore", "x.GTB2", "--sets", "weichen", "--records", "weichen:5"};
    QTest::newRow("records of the system configuration")
        << QStringList{"restore", "x.GTB2", "--records", "system:0"};
    QTest::newRow("record out of range")
        << QStringList{"restore", "x.GTB2", "--records", "weichen:3,1024"};
    QTest::newRow("records for a backup") << QStringList{"backup", "--records", "weichen:5"};
}

void TestCli::badUsage()
{
    QFETCH(QStringList, args);
    QCOMPARE(cli(args, QString()).exitCode, 2);
}

void TestCli::backupAndRestore_data()
{
    QTest::addColumn<QStringList>("faultsA");
    QTest::addColumn<QStringList>("faultsB");
    QTest::newRow("clean") << QStringList() << QStringList();
    // Faults in the download; in the upload they come before the first commit raises the tries.
    QTest::newRow("dropped, corrupt, cut and unplugged")
        << QStringList{"--seed", "3",         "--drop", "0.001",       "--truncate",
                       "0.0005", "--corrupt", "0.01",   "--unplug-at", "1500:2"}
        << QStringList{"--seed", "4", "--corrupt", "0.01", "--unplug-at", "60:2"};
}

void TestCli::backupAndRestore()
{
    QFETCH(QStringList, faultsA);
    QFETCH(QStringList, faultsB);
    QTemporaryDir dir;
    const QString stationA = dir.filePath("a.GTB2"), stationB = dir.filePath("b.GTB2");
    const QString backup = dir.filePath("backup.GTB2");
    SimProcess a(QStringList{"--sample", "--save-on-exit", stationA} + faultsA);
    SimProcess b(QStringList{"--save-on-exit", stationB} + faultsB);
    QVERIFY(a.start());
    QVERIFY(b.start());
    const Run down = cli({"backup", backup}, a.ports());
    QCOMPARE(down.exitCode, 0);
    // With faults the link is lost while writes are staged: only --verify can call that done.
    const Run up = cli(QStringList{"restore", backup} +
                           (faultsB.isEmpty() ? QStringList() : QStringList{"--verify"}),
                       b.ports());
    QVERIFY2(up.exitCode == 0, qPrintable(up.err));
    // A link lost under staged writes leaves the upload unconfirmed, which verify then settles.
    QVERIFY(up.err.contains("Alle ausgewählte Datensätze übertragen in") ||
            (!faultsB.isEmpty() && up.err.contains("Alle ausgewählte Datensätze gesendet in")));
    if (!faultsA.isEmpty()) {
        // The pulled cable is reported once per loss and once when it is back.
        for (const Run &run : {down, up}) {
            QVERIFY2(run.err.count("USB Verbindung mit Gleistron verloren") >= 1,
                     qPrintable(run.err));
            QCOMPARE(run.err.count("USB Verbindung mit Gleistron verloren"),
                     run.err.count("Verbindung wieder hergestellt!"));
        }
    }
    a.stop();
    b.stop();
    QFile fileA(stationA), fileB(stationB), fileBackup(backup);
    QVERIFY(fileA.open(QIODevice::ReadOnly) && fileB.open(QIODevice::ReadOnly) &&
            fileBackup.open(QIODevice::ReadOnly));
    const QByteArray bytesA = fileA.readAll();
    QVERIFY(bytesA == fileBackup.readAll());
    const QString difference = stationDifference(stationA, stationB);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestCli::inspect()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("station.GTB2");
    SimProcess sim({"--sample", "--save-on-exit", path});
    QVERIFY(sim.start());
    sim.stop();
    const Run run = cli({"inspect", path}, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("serial 56347812\nsoftware 1.300\nchecksums yes\n"
                                     "lokomotiven 41\n"
                                     "gleisplan1 block\ngleisplan2 block\ngleisplan3 block\n"
                                     "weichen 541\nrueckmelder 260\nfahrstrassen 105\nlsb 15\n"
                                     "hsb 7\nsystem block\nlokbilder 5\n"));
    QCOMPARE(cli({"inspect", dir.filePath("none.GTB2")}, QString()).exitCode, 1);
    QCOMPARE(cli({"inspect", dir.filePath("x.txt")}, QString()).exitCode, 1);
}

void TestCli::unwritableBackup()
{
    SimProcess sim({"--sample"});
    QVERIFY(sim.start());
    Run run = cli({"backup", "/nonexistent/dir/x.GTB2"}, sim.ports());
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("cannot write"));
    QVERIFY(!run.err.contains("Lade")); // refused before any transfer
    // A full disk is named as the system names it, and no cut file is left.
    run = cliInMount("size=16k", {"backup", "x.GTB2", "--sets", "weichen"}, sim.ports());
    if (run.exitCode == 99)
        QSKIP("no mount namespaces here");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("cannot write x.GTB2: No space left on device"), qPrintable(run.err));
    QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
    // Without a name, in a read-only folder: the message names the file it tried.
    run = cliInMount("ro", {"backup", "--sets", "system"}, sim.ports());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QRegularExpression("cannot write /\\S+/Gleistron-probe.GTB2: ")),
             qPrintable(run.err));
    QVERIFY(!run.err.contains("Lade"));
}

void TestCli::convertLegacy()
{
    QTemporaryDir dir;
    QString text(3204608, QChar(u'\u00e4'));
    text[0] = QChar(0x05);
    text[1] = QChar(0x14);
    QFile legacy(dir.filePath("alt.gtb"));
    QVERIFY(legacy.open(QIODevice::WriteOnly));
    legacy.write(text.toUtf8());
    legacy.close();
    const QString converted = dir.filePath("neu.GTB2");
    QCOMPARE(cli({"convert", legacy.fileName(), converted}, QString()).exitCode, 0);
    const Run run = cli({"inspect", converted}, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             QStringLiteral("serial E4E4E4E4\nsoftware 1.300\nchecksums yes\nlokomotiven 1023\n"
                            "gleisplan1 block\ngleisplan2 block\ngleisplan3 block\n"
                            "weichen 1023\nrueckmelder 1023\nfahrstrassen 1023\n"
                            "lsb 2047\nhsb 255\nsystem block\nlokbilder 99\n"));
    QCOMPARE(cli({"convert", converted, dir.filePath("x.GTB2")}, QString()).exitCode, 2);
}

void TestCli::route()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("station.GTB2");
    SimProcess sim({"--sample", "--save-on-exit", path});
    QVERIFY(sim.start());
    sim.stop();
    const Run run = cli({"route", path, "5"}, QString());
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split('\n');
    QCOMPARE(lines.value(0), QStringLiteral("Fahrstrasse 5 Kommentar: \"Gueterbahnhof & Hafen\" "
                                            "Modus: Geparkt"));
    QVERIFY(lines.value(1).startsWith("Starttaste: Plan 1 Zeile"));
    QCOMPARE(lines.value(2), QStringLiteral("Nr\tTyp\tAdresse\tBefehl"));
    QCOMPARE(lines.value(3), QStringLiteral("Karte 2: Fahrstrasse aufrufen"));
    QVERIFY(lines.contains(QStringLiteral("Karte 7: Fahrstrasse auflösen")));
    QVERIFY(lines.contains(QStringLiteral("1\tWeiche\t5\tabzweig")));
    const Run english = cli({"route", path, "5", "--lang", "en"}, QString());
    QVERIFY(english.out.contains("Card 7: Release route"));
    const Run empty = cli({"route", path, "90"}, QString());
    QCOMPARE(empty.out, QStringLiteral("Fahrstrasse 90\nDatensatz ist leer!\n"));
    // Every route record the file holds, beyond the tab's 1 to 1000 too: each count agrees.
    QCOMPARE(cli({"route", path, "1023"}, QString()).exitCode, 0);
    QCOMPARE(cli({"route", path, "1024"}, QString()).exitCode, 2);
    const QJsonArray routes =
        QJsonDocument::fromJson(cli({"routes", path, "--format", "json"}, QString()).out.toUtf8())
            .array();
    QVERIFY(cli({"inspect", path}, QString())
                .out.contains(QStringLiteral("fahrstrassen %1\n").arg(routes.size())));
    QCOMPARE(routes.last().toObject().value("number").toInt(), 1023);
}

void TestCli::verifiedRestore_data()
{
    QTest::addColumn<QStringList>("station");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("stored as sent") << QStringList() << 0;
    QTest::newRow("stored with flipped bits")
        << QStringList{"--flip-stored", "0.05", "--seed", "2"} << 1;
}

void TestCli::verifiedRestore()
{
    QFETCH(QStringList, station);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString file = dir.filePath("sample.GTB2");
    SimProcess sample({"--sample", "--save-on-exit", file});
    QVERIFY(sample.start());
    sample.stop();
    SimProcess sim(station);
    QVERIFY(sim.start());
    // With the feedback modules, so that the S88 configuration the backup holds is sent too.
    const Run run =
        cli({"restore", file, "--sets", "weichen,rueckmelder,system,lsb", "--verify"}, sim.ports());
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QRegularExpression("verify: all \\d+ records match")),
                 qPrintable(run.err));
        // Compare and verify follow one rule (record 0 is written always): clean at once.
        const Run compare = cli(
            {"diff", file, "--station", "--sets", "weichen,rueckmelder,system,lsb"}, sim.ports());
        QVERIFY2(compare.exitCode == 0, qPrintable(compare.out));
        return;
    }
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    for (const QString &line : lines)
        QVERIFY2(QRegularExpression("^differs (weichen|rueckmelder|s88|system|lsb) \\d+ byte \\d+$")
                     .match(line)
                     .hasMatch(),
                 qPrintable(line));
}

void TestCli::verifySeesTheWholeStation()
{
    // The station holds more than the backup, or something the restore did not send: verify
    // must not call that equal, whatever the upload sent.
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.GTB2"), small = dir.filePath("small.GTB2");
    const QString previous = dir.filePath("prev.GTB2");
    SimProcess a({"--sample", "--save-on-exit", sample});
    QVERIFY(a.start());
    a.stop();
    {
        // Five switching articles, the system configuration and the first track plan without
        // the block at row 28, columns 88 to 95, from the sample.
        auto doc = std::make_unique<DataImage>();
        QFile file(sample);
        QVERIFY(file.open(QIODevice::ReadOnly));
        BackupFile::read(file, *doc, nullptr);
        for (int n = 6; n < 1024; ++n)
            doc->recordStatus[size_t(Catalogue::StatusWeichen + n)] = -1;
        doc->bank(0)[Catalogue::S88Offset + 3] ^= 0x40;
        std::memset(doc->bank(1) + Catalogue::GleisplanOffset + 28 * 1024 + 88 * 8, 0, 64);
        // and an unused byte of an empty cell in the last block, which no upload sends.
        doc->bank(1)[Catalogue::GleisplanOffset + 63 * 1024 + 120 * 8 + 1] = 0x55;
        for (int set = 0; set < Catalogue::DataSetCount; ++set)
            doc->presentSets[size_t(set)] = set == Catalogue::Weichen || set == Catalogue::System ||
                                            set == Catalogue::Gleisplan1;
        QSaveFile out(small);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(BackupFile::write(out, *doc, "56347812", "1.300") && out.commit());
    }
    SimProcess sim({"--load", sample});
    QVERIFY(sim.start());
    Run run = cli({"restore", small, "--sets", "weichen", "--verify"}, sim.ports());
    QCOMPARE(run.exitCode, 1);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 541 - 5);
    QCOMPARE(lines.first(), QStringLiteral("station-only weichen 6"));
    QVERIFY2(run.err.contains("delete them on the station"), qPrintable(run.err));
    QVERIFY(!run.err.contains("all"));
    // The system configuration alone does not carry S88: the station's differs from the file's.
    run = cli({"restore", small, "--sets", "system", "--verify"}, sim.ports());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QStringLiteral("differs s88 0 byte 3\n"));
    run = cli({"restore", small, "--sets", "gleisplan1", "--verify"}, sim.ports());
    QCOMPARE(run.out,
             QStringLiteral("station-only gleisplan1 459\ndiffers gleisplan1 1023 byte 1\n"));
    // A compare sees the same two, by the same rule.
    run = cli({"diff", small, "--station", "--sets", "gleisplan1"}, sim.ports());
    QCOMPARE(run.out, QStringLiteral("gleisplan1 459 added\ngleisplan1 1023 changed\n"));
    // Undo: restoring the kept state does not remove what the first restore added.
    SimProcess empty;
    QVERIFY(empty.start());
    QCOMPARE(
        cli({"restore", small, "--sets", "weichen", "--keep-previous", previous}, empty.ports())
            .exitCode,
        0);
    run = cli({"restore", previous, "--sets", "weichen", "--verify"}, empty.ports());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.startsWith("station-only weichen 1\n"), qPrintable(run.out));
    // Nothing to send: no station is asked, and that is no success.
    run = cli({"restore", small, "--sets", "lsb", "--verify"}, QString());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("no selected set is in the file"), qPrintable(run.err));
}

void TestCli::stationBehaviours_data()
{
    QTest::addColumn<QStringList>("station");
    QTest::addColumn<QStringList>("restore"); // the restore's options after the file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");  // in the messages
    QTest::addColumn<bool>("complete"); // the station holds every record sent
    const QStringList weichen{"--sets", "weichen"};
    // 700 ms is past the read time-out: the program reads again and waits, nothing is lost.
    QTest::newRow("slow commits") << QStringList{"--commit-delay", "700"}
                                  << QStringList{"--sets", "hsb"} << 0
                                  << "Alle ausgewählte Datensätze übertragen" << true;
    // A refused commit is repeated after a new handshake; the writes stayed staged.
    QTest::newRow("switching-article commit refused once")
        << QStringList{"--weichen-commit-fail", "1"} << weichen + QStringList{"--verify"} << 0
        << "verify: all" << true;
    // A station that starts a new session on the handshake after a lost link drops what was
    // staged: the restore cannot call that done, and --verify names what is missing.
    const QStringList dropping{"--drop-staged-on-handshake", "--unplug-at", "100:1"};
    QTest::newRow("staged writes dropped") << dropping << weichen << 1 << "not confirmed" << false;
    QTest::newRow("staged writes dropped, verified")
        << dropping << weichen + QStringList{"--verify"} << 1 << "records differ" << false;
}

void TestCli::stationBehaviours()
{
    QFETCH(QStringList, station);
    QFETCH(QStringList, restore);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(bool, complete);
    QTemporaryDir dir;
    const QString file = dir.filePath("sample.GTB2"), stationFile = dir.filePath("b.GTB2");
    SimProcess sample({"--sample", "--save-on-exit", file});
    QVERIFY(sample.start());
    sample.stop();
    SimProcess sim(station + QStringList{"--save-on-exit", stationFile});
    QVERIFY(sim.start());
    const Run run = cli(QStringList{"restore", file} + restore, sim.ports());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    sim.stop();
    const QString set = restore.at(restore.indexOf("--sets") + 1);
    QCOMPARE(setDifferences(file, stationFile, set).isEmpty(), complete);
}

void TestCli::modeChangedMidTransfer()
{
    // The user leaves the station's PC menu while the cable is out: the job says so once and
    // ends instead of retrying for ever, and writes no file.
    QTemporaryDir dir;
    SimProcess sim({"--sample", "--unplug-at", "50:1", "--mode-at", "51:N"});
    QVERIFY(sim.start());
    const QString out = dir.filePath("x.GTB2");
    const Run run = cli({"backup", out, "--sets", "weichen"}, sim.ports());
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.err.count("Modus"), 1);
    QVERIFY(run.err.contains("im Menü Datensicherung stehen")); // which menu the job needs
    QVERIFY(!QFile::exists(out));

    // Left without a pulled cable: reported once, as what it is, not as a lost link first.
    SimProcess menu({"--sample", "--mode-at", "51:N"});
    QVERIFY(menu.start());
    const Run left = cli({"backup", out, "--sets", "weichen"}, menu.ports());
    QCOMPARE(left.exitCode, 4);
    QCOMPARE(left.err.count("Modus"), 1);
    QVERIFY2(!left.err.contains("Verbindung"), qPrintable(left.err));

    // The same during an upload: the report names what the station holds from the file.
    const QString sample = dir.filePath("sample.GTB2");
    SimProcess a({"--sample", "--save-on-exit", sample});
    QVERIFY(a.start());
    a.stop();
    SimProcess station({"--unplug-at", "400:1", "--mode-at", "401:N"});
    QVERIFY(station.start());
    const Run restore = cli({"restore", sample, "--sets", "hsb,weichen,lsb"}, station.ports());
    QCOMPARE(restore.exitCode, 4);
    QVERIFY2(restore.err.contains("Hochladen beendet: der Gleistron hat den PC-Modus verlassen. "
                                  "Aus der Datei übernommen: keine. Im Gleistron unverändert: "
                                  "LSB-Geräte, HSB-Geräte."),
             qPrintable(restore.err));
    QVERIFY(restore.err.contains("Gesendet, aber nicht gespeichert: Schaltartikel."));
}

void TestCli::damagedAnswersNeverUsed()
{
    // Any byte of an answer may be hit, the data too: a damaged answer is asked for again and
    // never copied. Fast: no answer is lost, so nothing waits for a time-out.
    QTemporaryDir dir;
    const QString clean = dir.filePath("clean.GTB2"), damaged = dir.filePath("damaged.GTB2");
    SimProcess a({"--sample"});
    QVERIFY(a.start());
    QCOMPARE(cli({"backup", clean, "--sets", "system,hsb"}, a.ports()).exitCode, 0);
    SimProcess b({"--sample", "--corrupt", "0.2", "--faults-after", "1", "--seed", "7", "--log",
                  dir.filePath("log")});
    QVERIFY(b.start());
    const Run run = cli({"backup", damaged, "--sets", "system,hsb"}, b.ports());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.contains("USB Verbindung mit Gleistron verloren"));
    QFile first(clean), second(damaged);
    QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    QVERIFY(first.readAll() == second.readAll());
}

void TestCli::feedbackModulesKeepS88()
{
    // A backup of the feedback modules alone holds no S88 configuration: restoring it must
    // leave the station's own in place, and --verify checks that it did.
    QTemporaryDir dir;
    const QString backup = dir.filePath("f.GTB2"), before = dir.filePath("before.GTB2"),
                  after = dir.filePath("after.GTB2");
    SimProcess original({"--sample", "--save-on-exit", before});
    QVERIFY(original.start());
    original.stop();
    SimProcess sim({"--load", before, "--save-on-exit", after});
    QVERIFY(sim.start());
    QCOMPARE(cli({"backup", backup, "--sets", "rueckmelder"}, sim.ports()).exitCode, 0);
    const Run run = cli({"restore", backup, "--verify"}, sim.ports());
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    sim.stop();
    auto s88 = [](const QString &path) {
        auto image = std::make_unique<DataImage>();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        BackupFile::read(file, *image, nullptr);
        return QByteArray(reinterpret_cast<const char *>(image->bank(0) + Catalogue::S88Offset),
                          256);
    };
    QVERIFY(s88(before) != QByteArray(256, '\0'));
    QCOMPARE(s88(after), s88(before));
}

void TestCli::notWholeLegacyFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("said");
    QTest::newRow("a line of text") << QByteArray("hello world\n") << "not a complete backup";
    QString text(3204608, QChar(u'\u00e4'));
    QTest::newRow("cut to 2 MB") << text.toUtf8().left(2 * 1024 * 1024) << "not a complete backup";
    // One character more than a whole backup is no whole backup either.
    QTest::newRow("one character too many")
        << (text + QChar(u'a')).toUtf8() << "not a complete backup";
    // The old program wrote every byte as a character: a byte that is no text is damage, not '?'.
    QByteArray invalid = text.toUtf8();
    invalid.replace(1000, 2, "\xff"); // one character for one: the length stays whole
    QTest::newRow("a byte that is no text") << invalid << "not a complete backup";
}

void TestCli::notWholeLegacyFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString legacy = dir.filePath("tiny.GTB"), converted = dir.filePath("tiny.GTB2");
    QFile file(legacy);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    const Run convert = cli({"convert", legacy, converted}, QString());
    QCOMPARE(convert.exitCode, 1);
    QVERIFY(convert.err.contains(said));
    QVERIFY(!QFile::exists(converted));
    QCOMPARE(cli({"inspect", legacy}, QString()).exitCode, 1);

    const QString stationFile = dir.filePath("station.GTB2"), sample = dir.filePath("s.GTB2");
    SimProcess original({"--sample", "--save-on-exit", sample});
    QVERIFY(original.start());
    original.stop();
    SimProcess sim({"--load", sample, "--save-on-exit", stationFile, "--log", dir.filePath("log")});
    QVERIFY(sim.start());
    QCOMPARE(cli({"restore", legacy}, sim.ports()).exitCode, 1);
    sim.stop();
    QFile log(dir.filePath("log"));
    QVERIFY(!log.exists() || log.size() == 0); // the station was not even asked
}

void TestCli::backupNames()
{
    QTemporaryDir dir;
    SimProcess sim({"--sample", "--log", dir.filePath("log")});
    QVERIFY(sim.start());
    // A name the tool could not open again is refused before the station is asked anything.
    QCOMPARE(cli({"backup", dir.filePath("x.txt"), "--sets", "system"}, sim.ports()).exitCode, 2);
    QVERIFY(!QFile::exists(dir.filePath("x.txt")));
    QCOMPARE(QFileInfo(dir.filePath("log")).size(), 0);
    // Without an extension the name gets the one that opens again.
    QCOMPARE(cli({"backup", dir.filePath("anlage"), "--sets", "system"}, sim.ports()).exitCode, 0);
    const Run inspect = cli({"inspect", dir.filePath("anlage.GTB2")}, QString());
    QCOMPARE(inspect.exitCode, 0);
    QVERIFY(inspect.out.endsWith("system block\n"));
    // Without a name: the station's serial and the day, here; never over an earlier one.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (int round = 0; round < 4; ++round)
        QCOMPARE(runCli({"backup", "--sets", "system"}, sim.ports(), 100000, dir.path()).exitCode,
                 0);
    for (const char *number : {"", "-2", "-3", "-4"})
        QVERIFY2(QFile::exists(dir.filePath("Gleistron-56347812-" + today + number + ".GTB2")),
                 number);
}

void TestCli::keepPrevious()
{
    // The restore first keeps what it overwrites: restoring that file undoes it.
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.GTB2"), empty = dir.filePath("empty.GTB2");
    const QString previous = dir.filePath("prev.GTB2"), station = dir.filePath("station.GTB2");
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
        SimProcess b;
        QVERIFY(b.start());
        // The feedback modules carry the S88 configuration: it is overwritten, so it is kept.
        QCOMPARE(cli({"backup", empty, "--sets", "weichen,rueckmelder,system"}, b.ports()).exitCode,
                 0);
    }
    SimProcess sim({"--load", sample, "--save-on-exit", station});
    QVERIFY(sim.start());
    const Run run =
        cli({"restore", empty, "--sets", "weichen,rueckmelder", "--keep-previous", previous},
            sim.ports());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    auto only = std::make_unique<DataImage>();
    only->selectedSets[Catalogue::Weichen] = only->selectedSets[Catalogue::Rueckmelder] = 1;
    const QList<BackupDiff::Line> lines =
        BackupDiff::compare(*load(previous), *load(sample), only.get());
    QVERIFY2(lines.isEmpty(), qPrintable(lines.value(0).set));
    const Run inspect = cli({"inspect", previous}, QString());
    QCOMPARE(inspect.out,
             QStringLiteral("serial 56347812\nsoftware 1.300\nchecksums yes\nweichen 541\n"
                            "rueckmelder 260\nsystem block\n"));

    // The target may not be the restore's own file, under any name, nor any existing file;
    // that it can be written is known before the station is asked (no port is given here: a
    // run that asked would end "no station", 3).
    const QByteArray before = [&] {
        QFile f(empty);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(QFile::link(empty, dir.filePath("link.GTB2")));
    for (const QString &target :
         {empty, dir.filePath("link.GTB2"), dir.path() + "/./empty.GTB2", sample}) {
        const Run refused = cli({"restore", empty, "--keep-previous", target}, QString());
        QVERIFY2(refused.exitCode == 2, qPrintable(target + ": " + refused.err));
        QVERIFY(refused.err.contains("nothing was read or sent"));
    }
    QFile again(empty);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), before);
    const Run unwritable =
        cli({"restore", empty, "--keep-previous", "/nonexistent/p.GTB2"}, QString());
    QCOMPARE(unwritable.exitCode, 1);
    QVERIFY(unwritable.err.contains("cannot write /nonexistent/p.GTB2"));
}

void TestCli::keepPreviousTakenMeanwhile()
{
    // PREV made a link to the user's full backup while the station is read for it: refused
    // when it comes to be written, the backup as it was, nothing sent.
    QTemporaryDir dir;
    const QString mine = dir.filePath("mine.GTB2"), small = dir.filePath("small.GTB2");
    const QString previous = dir.filePath("prev.GTB2"), station = dir.filePath("station.GTB2");
    {
        SimProcess a({"--sample", "--save-on-exit", mine});
        QVERIFY(a.start());
        SimProcess b;
        QVERIFY(b.start());
        QCOMPARE(cli({"backup", small, "--sets", "weichen,system"}, b.ports()).exitCode, 0);
    }
    QFile in(mine);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray full = in.readAll();
    in.close();
    // At wire speed the read of the switching articles takes seconds.
    SimProcess sim({"--load", mine, "--baud", "115200", "--save-on-exit", station});
    QVERIFY(sim.start());
    QProcess restore;
    startCli(restore, {"restore", small, "--keep-previous", previous}, sim.ports());
    restore.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("Lade Schaltartikel") && restore.waitForReadyRead(30000))
        err += restore.readAllStandardError();
    QVERIFY2(err.contains("Lade Schaltartikel"), err.constData());
    QVERIFY(QFile::link(mine, previous));
    QVERIFY(restore.waitForFinished(60000));
    err += restore.readAllStandardError();
    QCOMPARE(restore.exitStatus(), QProcess::NormalExit);
    QVERIFY2(restore.exitCode() == 2, err.constData());
    QVERIFY2(err.contains("prev.GTB2 appeared during the restore"), err.constData());
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(in.readAll(), full);
    QCOMPARE(QFile::symLinkTarget(previous), mine);
    sim.stop();
    QCOMPARE(stationDifference(mine, station), QString());
}

void TestCli::fileSizeLimit_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("backup FILE") << QStringList{"backup", "x.GTB2"};
    QTest::newRow("backup") << QStringList{"backup"};
    QTest::newRow("backup --dir") << QStringList{"backup", "--dir", "d"};
    QTest::newRow("watch") << QStringList{"watch", "--dir", "d"};
}

void TestCli::fileSizeLimit()
{
    // Beyond a file size limit the write fails with the system's words and exit 1, not by the
    // signal; no file is left, no temporary one either.
    QFETCH(QStringList, args);
    SimProcess sim({"--sample"});
    QVERIFY(sim.start());
    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GLEISTRON_PORTS"), sim.ports());
    process.setProcessEnvironment(env);
    process.start("sh",
                  QStringList{"-c", "ulimit -f 50; exec \"$0\" \"$@\"", GLEISTRON_CLI} + args);
    QVERIFY(process.waitForFinished(100000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 1, qPrintable(err));
    QVERIFY2(err.contains(": File too large\n"), qPrintable(err));
    QDirIterator left(dir.path(), QDir::Files | QDir::Hidden | QDir::System,
                      QDirIterator::Subdirectories);
    QVERIFY2(!left.hasNext(), qPrintable(left.hasNext() ? left.next() : QString()));
}

void TestCli::damagedFiles()
{
    // A damaged file says where, holds only what is whole, and is not restored.
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.GTB2");
    SimProcess a({"--sample", "--save-on-exit", sample});
    QVERIFY(a.start());
    a.stop();
    QFile in(sample);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray whole = in.readAll();
    const int weichen = int(whole.indexOf("\nWEICHEN\n")) + 1;
    const int rueckmelder = int(whole.indexOf("\nRUECKMELDER\n")) + 1;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile out(dir.filePath(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    // The switching articles twice: the second section would replace the first.
    write("twice.GTB2", whole.left(rueckmelder) + whole.mid(weichen, rueckmelder - weichen) +
                            whole.mid(rueckmelder));
    // Cut just before the locomotive lists.
    write("cut.GTB2", whole.left(int(whole.indexOf("LOKLISTEN\n"))));
    Run run = cli({"inspect", dir.filePath("twice.GTB2")}, QString());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QRegularExpression("damaged: WEICHEN, line \\d+: the section "
                                                 "appears twice; weichen is not taken")),
             qPrintable(run.err));
    QVERIFY(!run.out.contains("weichen"));
    QVERIFY(run.out.contains("rueckmelder 260"));
    run = cli({"inspect", dir.filePath("cut.GTB2")}, QString());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(!run.out.contains("lokomotiven"), qPrintable(run.out));
    for (const char *name : {"twice.GTB2", "cut.GTB2"}) {
        run = cli({"restore", dir.filePath(name)}, QString());
        QVERIFY2(run.exitCode == 1, qPrintable(run.err));
        QVERIFY(run.err.contains("nothing was sent"));
    }
    // A file no backup can be as large as is refused before it is read (sparse: no disk used).
    for (const char *name : {"huge.GTB2", "huge.GTB"}) {
        QFile huge(dir.filePath(name));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(2) << 30));
        huge.close();
        run = cli({"inspect", huge.fileName()}, QString());
        QVERIFY2(run.exitCode == 1 && run.err.contains("not a complete backup"),
                 qPrintable(run.err));
        QVERIFY(huge.remove());
    }

    // The intact sets of a damaged file may still be restored by name.
    SimProcess sim;
    QVERIFY(sim.start());
    run = cli({"restore", dir.filePath("twice.GTB2"), "--sets", "hsb", "--verify"}, sim.ports());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    // Through a line-end conversion, or with one byte more in the first switching article:
    // nothing of it is taken, and the station keeps what it held.
    write("crlf.GTB2", QByteArray(whole).replace("\n", "\r\n"));
    const int firstArticle = int(whole.indexOf('\n', weichen + 8)) + 1;
    write("longer.GTB2", whole.left(firstArticle + 4) + "x" + whole.mid(firstArticle + 4));
    // Written before files carried checksums: framed strictly, not proven.
    QByteArray older = whole;
    for (qsizetype at = 0; (at = older.indexOf("\n#crc32 ")) >= 0;)
        older.remove(at + 1, 16);
    write("older.GTB2", older);
    // One letter of a keyword: reading stops there, and the sets after it are missing.
    write("keyword.GTB2", whole.left(weichen + 6) + "n" + whole.mid(weichen + 7));
    for (const char *name : {"crlf.GTB2", "longer.GTB2", "keyword.GTB2"}) {
        run = cli({"restore", dir.filePath(name), "--sets", "weichen,lokomotiven", "--verify"},
                  sim.ports());
        QVERIFY2(run.exitCode == 1 && run.err.contains("nothing was sent"), qPrintable(run.err));
    }
    const QString kept = dir.filePath("kept.GTB2");
    QVERIFY(cli({"backup", kept, "--sets", "weichen,lokomotiven"}, sim.ports()).exitCode == 0);
    QCOMPARE(cli({"diff", kept, dir.filePath("twice.GTB2")}, QString()).exitCode, 2);
    QCOMPARE(cli({"inspect", dir.filePath("older.GTB2")}, QString()).out.section('\n', 2, 2),
             QStringLiteral("checksums no"));

    QVERIFY(QFile::link(dir.filePath("none"), dir.filePath("gone.GTB2")));
    QCOMPARE(mkfifo(qPrintable(dir.filePath("pipe.GTB2")), 0600), 0);
    run = cli({"check", dir.path()}, QString());
    QCOMPARE(run.exitCode, 1);
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.section(' ', 0, 0) + ' ' + QFileInfo(line.section(' ', 1, 1)).fileName();
    QCOMPARE(lines,
             QStringList(
                 {"damaged crlf.GTB2:", "damaged cut.GTB2:", "damaged gone.GTB2:", "ok kept.GTB2",
                  "damaged keyword.GTB2:", "damaged longer.GTB2:", "unchecked older.GTB2",
                  "damaged pipe.GTB2:", "ok sample.GTB2", "damaged twice.GTB2:"}));
    QCOMPARE(cli({"check", sample}, QString()).exitCode, 0);
}

void TestCli::diff()
{
    // B is the sample with one difference of each kind in every set.
    QTemporaryDir dir;
    const QString a = dir.filePath("a.GTB2"), b = dir.filePath("b.GTB2");
    SimProcess sample({"--sample", "--save-on-exit", a});
    QVERIFY(sample.start());
    sample.stop();
    auto image = std::make_unique<DataImage>();
    {
        QFile file(a);
        QVERIFY(file.open(QIODevice::ReadOnly));
        BackupFile::read(file, *image, nullptr);
    }
    using namespace Catalogue;
    auto status = [&](int offset, int n) -> qint8 & {
        return image->recordStatus[size_t(offset + n)];
    };
    image->bank(0)[LokOffset + 5 * 256 + 100] ^= 1;
    status(StatusLokomotiven, 7) = -1;
    status(StatusLokomotiven, 900) = 1;
    image->bank(0)[LoklistenOffset + 2 * 256 + 40] ^= 1;
    image->bank(1)[GleisplanOffset + 4 * 1024 + 8 * 8 + 1] ^= 1;
    image->bank(1)[GleisplanOffset * 3 + 10 * 1024 + 16 * 8] = 5;
    // A byte in a block whose cells are all unused: the file holds it, a restore sends it.
    image->bank(1)[GleisplanOffset * 2 + 63 * 1024 + 120 * 8 + 3] ^= 1;
    image->bank(1)[WeichenOffset + 3 * 64 + 9] ^= 1;
    status(StatusRueckmelder, 1023) = -1;
    image->bank(0)[S88Offset + 200] ^= 1;
    image->bank(2)[AusleuchtungOffset + 2 * 512 + 7] ^= 1;
    // A comment with an escape sequence and a line break stays on its line.
    image->bank(0)[RouteOffset + 2 * 512] = 0x1B;
    image->bank(0)[RouteOffset + 2 * 512 + 8] = '\n';
    status(StatusFahrstrassen, 1023) = -1;
    image->bank(0)[LsbOffset + 2047 * 32 + 31] ^= 1;
    status(StatusHsb, 255) = -1;
    image->bank(0)[SystemOffset + 17] ^= 1;
    image->lokbild(5)[1000] ^= 1;
    status(StatusLokbilder, 50) = 1;
    {
        QSaveFile file(b);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(BackupFile::write(file, *image, "56347812", "1.300") && file.commit());
    }
    const QString expected = "lokomotiven 5 changed\nlokomotiven 7 removed\n"
                             "lokomotiven 900 added\nloklisten 2 changed\ngleisplan1 65 changed\n"
                             "gleisplan2 1023 changed\ngleisplan3 162 added\nweichen 3 changed\n"
                             "rueckmelder 1023 removed\ns88 0 changed\n"
                             "fahrstrassen 2 changed \\x1busfahrt\\x0aNord\n"
                             "fahrstrassen 1023 removed Einfahrt Gleis 1\nlsb 2047 changed\n"
                             "hsb 255 removed\nsystem 0 changed\nlokbilder 5 changed\n"
                             "lokbilder 50 added\n";
    Run run = cli({"diff", a, b}, QString());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, expected);
    // The same comment printed as a route: escaped there too.
    run = cli({"route", b, "2"}, QString());
    QVERIFY2(run.out.startsWith("Fahrstrasse 2 Kommentar: \"\\x1busfahrt\\x0aNord\""),
             qPrintable(run.out));
    // With the details: the same lines, each changed one followed by what changed inside.
    run = cli({"diff", a, b, "--details"}, QString());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out,
             QStringLiteral("lokomotiven 5 changed\n  Byte 100: 6b → 6a\nlokomotiven 7 removed\n"
                            "lokomotiven 900 added\nloklisten 2 changed\n  Byte 40: ff → fe\n"
                            "gleisplan1 65 changed\n"
                            "  Plan 1, Zeile 4, Spalte 8: 01 04 00 00 00 00 00 00 → "
                            "01 05 00 00 00 00 00 00\n"
                            "gleisplan2 1023 changed\n"
                            "  Plan 2, Zeile 63, Spalte 120: 00 00 00 00 00 00 00 00 → "
                            "00 00 00 01 00 00 00 00\n"
                            "gleisplan3 162 added\nweichen 3 changed\n  Byte 9: 22 → 23\n"
                            "rueckmelder 1023 removed\ns88 0 changed\n  Byte 200: 00 → 01\n"
                            "fahrstrassen 2 changed \\x1busfahrt\\x0aNord\n"
                            "  Kommentar: \"Ausfahrt Nord\" → \"\\x1busfahrt\\x0aNord\"\n"
                            "  Byte 519: 33 → 32\n"
                            "fahrstrassen 1023 removed Einfahrt Gleis 1\nlsb 2047 changed\n"
                            "  Byte 31: 39 → 38\nhsb 255 removed\nsystem 0 changed\n"
                            "  Byte 17: b1 → b0\nlokbilder 5 changed\n  Byte 1000: ff → fe\n"
                            "lokbilder 50 added\n"));
    run = cli({"diff", a, a}, QString());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(cli({"diff", a, dir.filePath("none.GTB2")}, QString()).exitCode, 2);
    QCOMPARE(cli({"diff", a}, QString()).exitCode, 2);

    // Against the station, which holds B: the same lines for the sets asked for.
    SimProcess station({"--load", b});
    QVERIFY(station.start());
    run = cli({"diff", a, "--station", "--sets", "weichen,hsb,system"}, station.ports());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QStringLiteral("weichen 3 changed\nhsb 255 removed\nsystem 0 changed\n"
                                     "s88 0 changed\n"));
    run = cli({"diff", a, "--station", "--sets", "weichen", "--details"}, station.ports());
    QCOMPARE(run.out, QStringLiteral("weichen 3 changed\n  Byte 9: 22 → 23\n"));
}

void TestCli::history()
{
    // Route 12 of one station across its dated backups: a partial backup without routes, another
    // station's backup and a file that is no backup lie between them.
    using namespace Catalogue;
    QTemporaryDir dir;
    auto write = [&](const QString &serial, int day, const Record *route, bool routes = true) {
        auto image = std::make_unique<DataImage>();
        image->presentSets[Lokomotiven] = 1;
        image->presentSets[Fahrstrassen] = routes ? 1 : 0;
        if (route && routes) {
            image->storeRoute(12, route->bytes);
            image->recordStatus[StatusFahrstrassen + 12] = 1;
        }
        QSaveFile file(dir.filePath(QStringLiteral("Gleistron-%1-2026-01-%2.GTB2")
                                        .arg(serial)
                                        .arg(day, 2, 10, QChar('0'))));
        return file.open(QIODevice::WriteOnly) &&
               BackupFile::write(file, *image, serial, "1.300") && file.commit();
    };
    Record straight, branching, other;
    straight.comment("Einfahrt").set(2, 1, 1, 44);
    branching.comment("Einfahrt").set(2, 1, 0, 44);
    other.comment("Fremd");
    QVERIFY(write("56347812", 1, nullptr));
    QVERIFY(write("56347812", 2, &straight));
    QVERIFY(write("ABCDEF01", 3, &other));
    QVERIFY(write("56347812", 3, &straight));
    QVERIFY(write("56347812", 4, &branching));
    QVERIFY(write("56347812", 5, &straight, false));
    QVERIFY(write("56347812", 6, nullptr));
    Run run = cli({"history", dir.path(), "fahrstrassen:12"}, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             QStringLiteral("2026-01-02 Gleistron-56347812-2026-01-02.GTB2 added Einfahrt\n"
                            "2026-01-04 Gleistron-56347812-2026-01-04.GTB2 changed "
                            "Einfahrt\n"
                            "  Stellbefehle 3: Weiche 44 gerade → Weiche 44 abzweig\n"
                            "2026-01-06 Gleistron-56347812-2026-01-06.GTB2 removed "
                            "Einfahrt\n"));
    QCOMPARE(cli({"history", dir.path(), "fahrstrassen:13"}, QString()).out, QString());
    // A backup that cannot be read is named and left out; the others still count.
    QFile cut(dir.filePath("Gleistron-56347812-2026-01-04-2.GTB2"));
    QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write("not a backup") > 0);
    cut.close();
    run = cli({"history", dir.path(), "fahrstrassen:12"}, QString());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out.count('\n'), 4);
    QVERIFY2(run.err.contains("Gleistron-56347812-2026-01-04-2.GTB2"), qPrintable(run.err));
    for (const char *record : {"fahrstrassen:1024", "fahrstrassen", "gleisplan1:x", "lok:1"})
        QCOMPARE(cli({"history", dir.path(), record}, QString()).exitCode, 2);
    QCOMPARE(cli({"history", dir.filePath("none"), "fahrstrassen:12"}, QString()).exitCode, 2);
}

void TestCli::interruptedBackup()
{
    // Ctrl+C (or a TERM) stops between two exchanges and says what the window says.
    QTemporaryDir dir;
    SimProcess sim({"--sample", "--baud", "38400"});
    QVERIFY(sim.start());
    QProcess cli;
    cli.setReadChannel(QProcess::StandardError);
    startCli(cli, {"backup", dir.filePath("x.GTB2"), "--sets", "lokomotiven,weichen"}, sim.ports());
    QByteArray err;
    while (!err.contains("Lade Schaltartikel") && cli.waitForReadyRead(20000))
        err += cli.readAllStandardError();
    QVERIFY(err.contains("Lade Schaltartikel"));
    cli.terminate();
    QVERIFY(cli.waitForFinished(20000));
    err += cli.readAllStandardError();
    QCOMPARE(cli.exitCode(), 1);
    const QString text = QString::fromUtf8(err);
    QVERIFY2(text.contains("Herunterladen abgebrochen. Vollständig geladen: Lokomotiven. Nicht "
                           "übernommen: Schaltartikel."),
             qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression("progress \\d+%, noch \\d+:\\d\\d")),
             qPrintable(text));
    QVERIFY(!QFile::exists(dir.filePath("x.GTB2")));
    QVERIFY(text.contains("no file was written"));
}

void TestCli::cancelledUpload()
{
    // Ctrl+C during the track plans, which share one commit: the upload finishes the group and
    // commits it, so that no later upload commits a cancelled one's writes.
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.GTB2"), empty = dir.filePath("empty.GTB2");
    const QString station = dir.filePath("station.GTB2");
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
        SimProcess b;
        QVERIFY(b.start());
        QCOMPARE(cli({"backup", empty, "--sets", "gleisplan3"}, b.ports()).exitCode, 0);
    }
    SimProcess sim({"--baud", "19200", "--save-on-exit", station});
    QVERIFY(sim.start());
    QProcess restore;
    restore.setReadChannel(QProcess::StandardError);
    startCli(restore, {"restore", sample, "--sets", "gleisplan1,gleisplan2,gleisplan3,weichen"},
             sim.ports());
    QByteArray err;
    while (!err.contains("Speichere Gleisplan 1") && restore.waitForReadyRead(20000))
        err += restore.readAllStandardError();
    restore.terminate();
    QVERIFY(restore.waitForFinished(60000));
    err += restore.readAllStandardError();
    QCOMPARE(restore.exitCode(), 1);
    const QString text = QString::fromUtf8(err);
    // An unrelated restore of one plan commits nothing of the cancelled one.
    const Run later = cli({"restore", empty, "--sets", "gleisplan3", "--verify"}, sim.ports());
    QVERIFY2(later.exitCode == 0, qPrintable(later.err));
    sim.stop();
    for (const char *plan : {"gleisplan1", "gleisplan2"})
        QVERIFY(setDifferences(sample, station, plan).isEmpty());
    QVERIFY(setDifferences(empty, station, "gleisplan3").isEmpty());
    QVERIFY(!setDifferences(sample, station, "weichen").isEmpty());
    // And it says what the station now holds from the file, and what it kept.
    QVERIFY2(text.contains("Das Hochladen endet, sobald Gleisplan 1 im Gleistron gespeichert ist"),
             qPrintable(text));
    QVERIFY2(text.contains("Hochladen abgebrochen. Aus der Datei übernommen: Gleisplan 1, "
                           "Gleisplan 2, Gleisplan 3. Im Gleistron unverändert: Schaltartikel."),
             qPrintable(text));
    QVERIFY(!text.contains("Schaltartikel gespeichert"));
}

void TestCli::lsbUpdate_data()
{
    QTest::addColumn<QStringList>("device");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    const QByteArray booster = LsbFiles::firmware("4 17\r\n", 3);
    const QStringList boosterDevice{"--lsb-device", "5:4:1:10"};
    QTest::newRow("booster") << boosterDevice << booster << 0
                             << "file type 4 (Orvandel Booster)\nfile software 17\n"
                                "device address 5\ndevice type 4 (Orvandel Booster)\n"
                                "device hardware 1\ndevice software 10\n"
                                "sent 396 bytes in 7 datagrams\n";
    QTest::newRow("invalid file") << boosterDevice << QByteArray("x\n") << 1 << "";
    QTest::newRow("not in update mode")
        << QStringList() << booster << 1 << "file type 4 (Orvandel Booster)\nfile software 17\n";
    // The third datagram's answer is lost: the update stops there, and the device is never told
    // to take firmware with a gap.
    QTest::newRow("datagram lost")
        << boosterDevice + QStringList{"--faults-after", "4", "--drop", "1"} << booster << 1
        << "file type 4 (Orvandel Booster)\nfile software 17\n"
           "device address 5\ndevice type 4 (Orvandel Booster)\n"
           "device hardware 1\ndevice software 10\n";
    QTest::newRow("signal module")
        << QStringList{"--lsb-device", "9:110:1:2"} << LsbFiles::firmware("110 1\n", 1) << 1
        << "file type 110 (Orvandel 6083 Multiplex-Signalmodul)\n"
           "file software 1\ndevice address 9\n"
           "device type 110 (Orvandel 6083 Multiplex-Signalmodul)\n"
           "device hardware 1\ndevice software 2\n";
}

void TestCli::lsbUpdate()
{
    QFETCH(QStringList, device);
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QTemporaryDir dir;
    const QString firmware = dir.filePath("fw.lsb");
    const QString received = dir.filePath("received.bin");
    QVERIFY(LsbFiles::write(firmware, file));
    SimProcess sim(device.filter(QStringLiteral("--dry-run")).isEmpty()
                       ? device + QStringList{"--lsb-save", received}
                       : QStringList{"--lsb-device", "5:4:1:10", "--lsb-save", received});
    QVERIFY(sim.start());
    const Run run =
        cli(QStringList{"lsb-update", firmware} + device.filter("--dry-run"), sim.ports());
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, output);
    sim.stop();
    // The station takes the firmware (its end command) only after a complete update.
    QCOMPARE(QFile::exists(received), exitCode == 0 && !output.contains("dry run"));
}

void TestCli::restoreRecords()
{
    // A file that differs from the station in four records; three are taken back, the fourth
    // stays as the station holds it, and a record the file lacks cannot be emptied.
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample.GTB2"), file = dir.filePath("file.GTB2");
    const QString previous = dir.filePath("prev.GTB2"), station = dir.filePath("station.GTB2");
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
    }
    const std::unique_ptr<DataImage> before = load(sample);
    int block = 1;
    while (!RecordMerge::held(*before, {Catalogue::Gleisplan1, block}))
        ++block;
    {
        std::unique_ptr<DataImage> doc = load(sample);
        doc->record(Catalogue::Weichen, 5)[2] ^= 1;
        doc->record(Catalogue::Weichen, 7)[2] ^= 1;
        doc->record(Catalogue::Fahrstrassen, 3)[40] ^= 1;
        doc->illumination(3)[7] ^= 1;
        doc->gleisplan(0, block / 16, block % 16 * 8)[1] ^= 1;
        doc->recordStatus[size_t(Catalogue::StatusWeichen + 540)] = -1;
        QSaveFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(BackupFile::write(out, *doc, "56347812", "1.300") && out.commit());
    }
    const QString chosen = QStringLiteral("fahrstrassen:3;weichen:540,5;gleisplan1:%1").arg(block);
    {
        SimProcess sim({"--load", sample, "--save-on-exit", station});
        QVERIFY(sim.start());
        const Run run = cli({"restore", file, "--records", chosen, "--verify", "--keep-previous",
                             previous},
                            sim.ports());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains("weichen:540 is not in the file: the station has no delete"),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("taking back gleisplan1:%1 weichen:5 "
                                                 "fahrstrassen:3; reads gleisplan1,weichen,"
                                                 "fahrstrassen from the station and sends each "
                                                 "set back whole with only these records "
                                                 "changed, about 5:18\n")
                                      .arg(block)),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains("verify: all"), qPrintable(run.err));
    }
    // Judged by what the station stored: exactly the chosen records differ, as the file has
    // them; the S88 part and every other set are untouched.
    const std::unique_ptr<DataImage> after = load(station);
    QStringList changed;
    for (const BackupDiff::Line &line : BackupDiff::compare(*before, *after))
        changed << QStringLiteral("%1 %2 %3").arg(line.set).arg(line.number).arg(
                       BackupDiff::changeText(line.change));
    QCOMPARE(changed, (QStringList{QStringLiteral("gleisplan1 %1 changed").arg(block),
                                   "weichen 5 changed", "fahrstrassen 3 changed"}));
    const std::unique_ptr<DataImage> wanted = load(file);
    QVERIFY(std::memcmp(after->record(Catalogue::Weichen, 5),
                        wanted->record(Catalogue::Weichen, 5), 8) == 0);
    QVERIFY(std::memcmp(after->illumination(3), wanted->illumination(3), 512) == 0);
    // What the upload overwrote, the station's three sets as they were.
    auto three = std::make_unique<DataImage>();
    three->selectedSets[Catalogue::Gleisplan1] = three->selectedSets[Catalogue::Weichen] =
        three->selectedSets[Catalogue::Fahrstrassen] = 1;
    const std::unique_ptr<DataImage> kept = load(previous);
    QVERIFY(BackupDiff::compare(*kept, *before, three.get()).isEmpty());
    QCOMPARE(kept->presentSets, three->selectedSets);

    // What cannot be taken back alone, or is no record, is said as such.
    for (const auto &[records, why] :
         {std::pair{"weichen:5;loklisten:1", "loklisten travels only with its whole set"},
          std::pair{"weichen:5;lok:1", "lok:1 is not <set>:<number>"}}) {
        const Run refused = cli({"restore", file, "--records", records}, QString());
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains(why), qPrintable(refused.err));
    }
    // Only a record the file lacks: nothing is read or sent.
    const Run none = cli({"restore", file, "--records", "weichen:540"}, QString());
    QCOMPARE(none.exitCode, 1);
    QVERIFY2(none.err.contains("nothing was read or sent"), qPrintable(none.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

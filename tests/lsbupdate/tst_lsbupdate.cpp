// The firmware update through the simulated station, and its page in the window.

#include "../common/fakestation.h"
#include "../common/lsbfiles.h"
#include "../common/modalanswerer.h"
#include "../common/simprocess.h"
#include "lsbupdate/lsb_updater.h"
#include "ui/lsbpage.h"
#include "ui/mainwindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

using Datagrams = QList<QPair<int, int>>; // address, length

namespace {
struct Sent
{
    QList<QPair<int, int>> datagrams; // address, length
    int endLength = -1;
};

Sent sentFrames(const QString &log)
{
    Sent sent;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return sent;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 4 || parts[0] != "rx")
            continue;
        const QByteArray f = QByteArray::fromHex(parts.mid(3).join());
        if (f.size() < 6 || f[0] != 0x55)
            continue;
        if (f[1] == 0x59)
            sent.datagrams.append({(quint8(f[3]) << 8) | quint8(f[4]), quint8(f[2]) - 6});
        if (f[1] == 0x5A)
            sent.endLength = (quint8(f[11]) << 8) | quint8(f[12]);
    }
    return sent;
}
} // namespace

class TestLsbUpdate : public QObject
{
    Q_OBJECT
private slots:
    void datagramPlans_data();
    void datagramPlans();
    void refusedDevices_data();
    void refusedDevices();
    void initTimesOut();
    void wrongAnswers_data();
    void wrongAnswers();
    void pageStates();
    void pageErrors();
    void pageOutcomes();

private:
    QTemporaryDir dir;
};

void TestLsbUpdate::datagramPlans_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("tail");
    QTest::addColumn<Datagrams>("datagrams");
    using D = Datagrams;
    QTest::newRow("L = 130") << 0 << 130 << D{{0, 64}, {64, 64}, {128, 2}};
    QTest::newRow("L = 128") << 0 << 128 << D{{0, 64}, {64, 64}, {128, 0}};
    QTest::newRow("L = 0") << 0 << 0 << D{{0, 0}};
    QTest::newRow("L = 396") << 3 << 0 << D{{0, 64},   {64, 64},  {128, 64}, {192, 64},
                                            {256, 64}, {320, 64}, {384, 12}};
}

void TestLsbUpdate::datagramPlans()
{
    QFETCH(int, lines);
    QFETCH(int, tail);
    QFETCH(Datagrams, datagrams);
    const QString firmware = dir.filePath(QStringLiteral("booster.lsb"));
    const QString received = dir.filePath(QStringLiteral("received.bin"));
    const QString log = dir.filePath(QStringLiteral("plan.log"));
    QFile::remove(received);
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("4 17\r\n", lines, tail)));
    SimProcess sim({"--lsb-device", "5:4:1:10", "--lsb-save", received, "--log", log});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    LSB_Updater job;
    QSignalSpy device(&job, &LSB_Updater::signal_lsb_update_device);
    QSignalSpy data(&job, &LSB_Updater::signal_lsb_update_data);
    QSignalSpy errors(&job, &Comm2Pc::signal_info_communicationError);
    job.fileName = firmware;
    job.start();
    job.wait();
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.at(0).at(0).toUInt(), 4u);
    QCOMPARE(data.at(0).at(2).toUInt(), 17u);
    QCOMPARE(device.count(), 1);
    QCOMPARE(device.at(0).at(0).toUInt(), 5u);
    QCOMPARE(errors.count(), 0);
    sim.stop();
    const Sent sent = sentFrames(log);
    QCOMPARE(sent.datagrams, datagrams);
    const QByteArray payload = LsbFiles::payload(lines, tail);
    QCOMPARE(sent.endLength, int(payload.size()));
    QFile got(received);
    QVERIFY(got.open(QIODevice::ReadOnly));
    QCOMPARE(got.readAll(), payload);
}

void TestLsbUpdate::refusedDevices_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("mismatches");
    QTest::addColumn<int>("invalidModes");
    QTest::newRow("signal module 110") << "5:110:1:2" << QByteArray("110 3\n") << 0 << 0;
    QTest::newRow("booster file, signal multiplexer")
        << "5:230:1:2" << QByteArray("4 3\n") << 1 << 0;
    QTest::newRow("not in update mode") << "" << QByteArray("4 3\n") << 0 << 1;
}

void TestLsbUpdate::refusedDevices()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, header);
    QFETCH(int, mismatches);
    QFETCH(int, invalidModes);
    const QString firmware = dir.filePath(QStringLiteral("other.lsb"));
    const QString log = dir.filePath(QStringLiteral("refused.log"));
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware(header, 2)));
    QStringList args{"--log", log};
    if (!device.isEmpty())
        args << "--lsb-device" << device;
    SimProcess sim(args);
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    LSB_Updater job;
    QSignalSpy mismatch(&job, &LSB_Updater::signal_lsb_update_type_mismatch);
    QSignalSpy invalid(&job, &LSB_Updater::signal_lsb_update_invalid_mode);
    QSignalSpy finished(&job, &LSB_Updater::signal_lsb_update_finished);
    job.fileName = firmware;
    job.start();
    job.wait();
    sim.stop();
    QCOMPARE(mismatch.count(), mismatches);
    QCOMPARE(invalid.count(), invalidModes);
    QCOMPARE(finished.count(), 0);
    const Sent sent = sentFrames(log);
    QVERIFY(sent.datagrams.isEmpty());
    QCOMPARE(sent.endLength, -1);
}

void TestLsbUpdate::wrongAnswers_data()
{
    QTest::addColumn<QString>("wrongEcho");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("errors");
    // Answers: 1 the search, 2 the init, 3 on the datagrams at 0, 64, ...
    QTest::newRow("datagram answer once") << "4" << int(LSB_Updater::Finished) << 0;
    QTest::newRow("datagram answer kept wrong") << "4:3" << int(LSB_Updater::DatagramFailed) << 1;
    QTest::newRow("init answer kept wrong") << "2:3" << int(LSB_Updater::InvalidMode) << 1;
}

// A whole answer with another echo is asked for again; one that stays so stops the update
// before the device is told to take the firmware.
void TestLsbUpdate::wrongAnswers()
{
    QFETCH(QString, wrongEcho);
    QFETCH(int, outcome);
    QFETCH(int, errors);
    const QString firmware = dir.filePath(QStringLiteral("echo.lsb"));
    const QString received = dir.filePath(QStringLiteral("echo.bin"));
    const QString log = dir.filePath(QStringLiteral("echo.log"));
    QFile::remove(received);
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("4 17\r\n", 3)));
    SimProcess sim({"--lsb-device", "5:4:1:10", "--lsb-save", received, "--log", log,
                    "--wrong-echo", wrongEcho});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    LSB_Updater job;
    QSignalSpy ended(&job, &LSB_Updater::signal_lsb_update_ended);
    QSignalSpy failures(&job, &Comm2Pc::signal_info_communicationError);
    QVERIFY(ended.isValid() && failures.isValid());
    job.fileName = firmware;
    job.start();
    job.wait();
    sim.stop();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), outcome);
    QCOMPARE(failures.count(), errors);
    const Sent sent = sentFrames(log);
    if (outcome != LSB_Updater::Finished) {
        QCOMPARE(sent.endLength, -1);
        QVERIFY(!QFile::exists(received));
        return;
    }
    QCOMPARE(sent.datagrams.count({64, 64}), 2);
    QFile got(received);
    QVERIFY(got.open(QIODevice::ReadOnly));
    QCOMPARE(got.readAll(), LsbFiles::payload(3, 0));
}

void TestLsbUpdate::initTimesOut()
{
    qputenv("GLEISTRON_FTD2XX", FAKE_FTD2XX);
    FakeStation station;
    QVERIFY(station.load());
    station.reset();
    station.push(FakeStation::answer('Y', 0x00, 27, QByteArray::fromHex("590514000307d0")));
    const QString firmware = dir.filePath(QStringLiteral("timeout.lsb"));
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("4 3\n", 1)));
    LSB_Updater job;
    qunsetenv("GLEISTRON_FTD2XX");
    job.setRetryDelay(1);
    QStringList order;
    connect(
        &job, &Comm2Pc::signal_info_communicationError, &job,
        [&order](const QString &m, bool retrying) { order << m + (retrying ? "+" : "-"); },
        Qt::DirectConnection);
    connect(
        &job, &LSB_Updater::signal_lsb_update_invalid_mode, &job,
        [&order] { order << QStringLiteral("invalid mode"); }, Qt::DirectConnection);
    job.fileName = firmware;
    job.start();
    job.wait();
    QCOMPARE(order, (QStringList{"error:update_LSB_init()-", "invalid mode"}));
    const QList<QByteArray> frames = station.written();
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames.at(1), QByteArray::fromHex("5500066d0496"));
}

void TestLsbUpdate::pageStates()
{
    const QString firmware = dir.filePath(QStringLiteral("page.lsb"));
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("4 17\r\n", 2)));
    SimProcess sim({"--lsb-device", "5:4:1:10"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    auto label = [&w](const char *name) { return w.findChild<QLabel *>(QLatin1String(name)); };
    auto widget = [&w](const char *name) { return w.findChild<QWidget *>(QLatin1String(name)); };
    QVERIFY(widget("widget_lsb_udate_progress")->isHidden());
    ModalAnswerer answer(QStringLiteral("Ja")); // the question before the first datagram
    w.lsbPage().start(firmware);
    QVERIFY(!widget("widget_lsb_udate_progress")->isHidden());
    QVERIFY(!widget("widget_lsb_update_device")->isHidden());
    QCOMPARE(label("label_lsb_update_device_task")->text(), QStringLiteral("Analysieren ..."));
    QVERIFY(widget("widget_lsb_update_data_details")->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 20000);
    QTRY_VERIFY(!widget("widget_lsb_update_device_details")->isHidden());
    QCOMPARE(label("label_lsb_update_data_typ")->text(), QStringLiteral("Orvandel Booster"));
    QCOMPARE(label("label_lsb_update_data_sw")->text(), QStringLiteral("17"));
    QVERIFY(label("label_lsb_update_data_task")->isHidden());
    QCOMPARE(label("label_lsb_update_device_typ")->text(), QStringLiteral("Orvandel Booster"));
    QCOMPARE(label("label_lsb_update_device_hw")->text(), QStringLiteral("1"));
    QCOMPARE(w.findChild<QLineEdit *>("lineEdit_lsb_filename")->text(), firmware);
    QVERIFY(answer.texts.value(0).contains("Orvandel Booster, Version 17"));
    QTRY_COMPARE(w.findChild<QProgressBar *>("progressBar_2")->value(), 1000);
    QTRY_VERIFY(w.findChild<QTextEdit *>("textEdit_console")
                    ->toPlainText()
                    .contains("Firmware-Update abgeschlossen: 264 Bytes gesendet."));
    // Done: nothing to cancel, and the version shown is the one the device had.
    QVERIFY(!widget("widget_lsb_udate_progress")->isHidden());
    QVERIFY(widget("pushButton_lsb_update_cancel")->isHidden());
    QCOMPARE(label("label_lsb_update_device_sw")->text(), QStringLiteral("10 (vor dem Update)"));
    w.lsbPage().cancel();
    QVERIFY(w.findChild<QLineEdit *>("lineEdit_lsb_filename")->text().isEmpty());
    QVERIFY(widget("widget_lsb_udate_progress")->isHidden());
}

void TestLsbUpdate::pageErrors()
{
    const QString firmware = dir.filePath(QStringLiteral("signal.lsb"));
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("110 3\n", 1)));
    const QString broken = dir.filePath(QStringLiteral("broken.lsb"));
    QVERIFY(LsbFiles::write(broken, QByteArray("not a firmware file\n")));
    MainWindow w;
    auto label = [&w](const char *name) { return w.findChild<QLabel *>(QLatin1String(name)); };
    {
        SimProcess sim({"--lsb-device", "5:110:1:2"});
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        ModalAnswerer answer;
        w.lsbPage().start(firmware);
        QTRY_COMPARE_WITH_TIMEOUT(answer.texts.size(), 1, 20000);
        QCOMPARE(answer.texts.at(0),
                 QStringLiteral("Update mit den ausgewählten USB-Gerät ist nicht unterstützt!"));
        QCOMPARE(label("label_lsb_update_device_typ")->text(),
                 QStringLiteral("Orvandel 6083 Multiplex-Signalmodul"));
        QVERIFY(label("label_lsb_update_device_hw")->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 30000);
    }
    {
        ModalAnswerer answer;
        w.lsbPage().start(broken);
        QTRY_COMPARE_WITH_TIMEOUT(answer.texts.size(), 1, 20000);
        QCOMPARE(answer.texts.at(0), QStringLiteral("Update Datei ist ungültig!"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 30000);
        QTRY_COMPARE(label("label_lsb_update_data_task")->text(), QStringLiteral("ungültig"));
    }
    {
        SimProcess sim;
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        ModalAnswerer answer;
        w.lsbPage().start(firmware);
        QTRY_COMPARE_WITH_TIMEOUT(answer.texts.size(), 1, 20000);
        QCOMPARE(answer.texts.at(0),
                 QStringLiteral("Gleistron ist nicht im Geräteeditor LSB Update Modus!"));
        QVERIFY(w.findChild<QTextEdit *>("textEdit_console")
                    ->toPlainText()
                    .contains("Gleistron ist nicht im Geräteeditor Update Modus"));
    }
}

void TestLsbUpdate::pageOutcomes()
{
    const QString firmware = dir.filePath(QStringLiteral("long.lsb"));
    QVERIFY(LsbFiles::write(firmware, LsbFiles::firmware("4 18\n", 40)));
    const QString received = dir.filePath(QStringLiteral("outcome.bin"));
    QFile::remove(received);
    MainWindow w;
    auto console = [&w] { return w.findChild<QTextEdit *>("textEdit_console")->toPlainText(); };
    auto progress = [&w] { return w.findChild<QProgressBar *>("progressBar_2")->value(); };
    {
        // The question's default is no: nothing goes out.
        SimProcess sim({"--lsb-device", "5:4:1:10", "--lsb-save", received});
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        ModalAnswerer answer;
        w.lsbPage().start(firmware);
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 20000);
        QTRY_VERIFY(console().contains("Firmware-Update nicht gestartet."));
        QCOMPARE(progress(), 0);
        QVERIFY(w.findChild<QWidget *>("widget_lsb_udate_progress")->isHidden());
    }
    QVERIFY(!QFile::exists(received));
    {
        // "Abbrechen" stops before the next datagram; another file is not taken meanwhile.
        SimProcess sim({"--lsb-device", "5:4:1:10", "--lsb-save", received, "--baud", "9600"});
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        ModalAnswerer answer(QStringLiteral("Ja"));
        w.lsbPage().start(firmware);
        QTRY_VERIFY_WITH_TIMEOUT(progress() > 0, 20000);
        w.lsbPage().start(dir.filePath(QStringLiteral("other.lsb")));
        QVERIFY(console().contains("Es läuft bereits eine Übertragung"));
        QCOMPARE(w.findChild<QLineEdit *>("lineEdit_lsb_filename")->text(), firmware);
        w.lsbPage().cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 10000);
        QTRY_VERIFY(console().contains("Firmware-Update abgebrochen"));
        // A box says what comes next.
        QTRY_VERIFY(
            answer.texts.join('|').contains(QStringLiteral("wartet weiter im Update-Modus")));
        QVERIFY(w.findChild<QProgressBar *>("progressBar_2")->text().endsWith('%'));
    }
    QVERIFY(!QFile::exists(received));
    {
        // A lost datagram ends the update with a box; the device gets no end command.
        SimProcess sim({"--lsb-device", "5:4:1:10", "--lsb-save", received, "--faults-after", "5",
                        "--drop", "1"});
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        ModalAnswerer answer(QStringLiteral("Ja"));
        w.lsbPage().start(firmware);
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 20000);
        QTRY_VERIFY(
            answer.texts.contains(QStringLiteral("Das Firmware-Update ist fehlgeschlagen!")));
        QVERIFY(console().contains("Firmware-Update fehlgeschlagen: die Daten ab Adresse 192"));
    }
    QVERIFY(!QFile::exists(received));
    {
        // A damaged line: a box, a console line, and the page leaves "Analysieren ...".
        QByteArray damaged = LsbFiles::firmware("4 18\n", 3);
        damaged[5 + 133 + 7] = char(damaged.at(5 + 133 + 7) ^ 0x40);
        const QString broken = dir.filePath(QStringLiteral("damaged.lsb"));
        QVERIFY(LsbFiles::write(broken, damaged));
        ModalAnswerer answer;
        w.lsbPage().start(broken);
        QTRY_VERIFY_WITH_TIMEOUT(!w.lsbPage().running(), 20000);
        QTRY_COMPARE(answer.texts.value(0), QStringLiteral("Update Datei ist ungültig!"));
        QVERIFY(console().contains("das Prüfbyte in Zeile 2 stimmt nicht"));
        QCOMPARE(w.findChild<QLabel *>("label_lsb_update_device_task")->text(),
                 QStringLiteral("nicht abgefragt"));
    }
}

QTEST_MAIN(TestLsbUpdate)
#include "tst_lsbupdate.moc"

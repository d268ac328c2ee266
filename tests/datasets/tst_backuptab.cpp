// The backup tab through the window: its states, and a whole backup and restore.

#include "../common/clirun.h"
#include "../common/modalanswerer.h"
#include "../common/simprocess.h"
#include "../common/stationfiles.h"
#include "../common/windowtest.h"
#include "backupfile/backupfile.h"
#include "backupfile/backupfolder.h"
#include "backupfile/document.h"
#include "datasets/backupjob.h"
#include "model/backupdiff.h"
#include "model/routerecord.h"
#include "ui/backuptab.h"
#include "ui/documentactions.h"
#include "ui/historyview.h"
#include "ui/lsbpage.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstring>

using namespace Catalogue;

class TestBackupTab : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nothingTicked();
    void uploadDirectionOffersPresentSets();
    void backupAndRestoreThroughTheWindow();
    void refusedNewerDataModel();
    void noStation();
    void closeWithUnsavedData();
    void documentSafety();
    void oneJobAtATime();
    void cancelledDownload();
    void linkLossPausesTimeLeft();
    void compareWithStation();
    void partialDownloadIntoOpenedFile_data();
    void partialDownloadIntoOpenedFile();
    void compareWithFile();
    void recentBackups();
    void clearForgetsTheStation();
    void cancelledUpload();
    void takeBackFromAComparison();
    void safeRestore();
    void keepPreviousOnlyNew_data();
    void keepPreviousOnlyNew();

private:
    QString console(MainWindow &w) { return find<QTextEdit>(w, "textEdit_console")->toPlainText(); }
    bool idle(MainWindow &w)
    {
        return find<QLabel>(w, "label_backup_action")->isHidden() &&
               find<QAction>(w, "action_oeffnen")->isEnabled() && !w.jobsRunning();
    }
    bool transfer(MainWindow &w, const char *direction, const char *start);
    // Starts a download of the given sets' boxes, without waiting for it.
    void startDownload(MainWindow &w, std::initializer_list<const char *> boxes)
    {
        find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
        find<QCheckBox>(w, "checkBox_select_all")->setChecked(false);
        for (const char *box : boxes)
            find<QCheckBox>(w, box)->setChecked(true);
        find<QPushButton>(w, "pushButton_backup_download")->click();
    }
    std::unique_ptr<WorkingDirectory> dir;
};

void TestBackupTab::init()
{
    dir = std::make_unique<WorkingDirectory>();
}

void TestBackupTab::cleanup()
{
    dir.reset();
}

bool TestBackupTab::transfer(MainWindow &w, const char *direction, const char *start)
{
    find<QPushButton>(w, direction)->click();
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(false);
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(true);
    find<QPushButton>(w, start)->click();
    // A started transfer locks the file actions at once.
    if (find<QAction>(w, "action_leeren")->isEnabled())
        return false;
    return QTest::qWaitFor([&] { return idle(w); }, 60000);
}

void TestBackupTab::nothingTicked()
{
    MainWindow w;
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    QVERIFY(!find<QPushButton>(w, "pushButton_backup_download")->isHidden());
    QVERIFY(find<QPushButton>(w, "pushButton_backup_upload")->isHidden());
    QVERIFY(find<QLabel>(w, "label_backup_richtung")->isHidden());
    find<QPushButton>(w, "pushButton_backup_download")->click();
    QVERIFY(console(w).contains("Warnung: keine Datensätze ausgewählt!"));
    QVERIFY(!w.jobsRunning());
    QVERIFY(find<QPushButton>(w, "pushButton_backup_download")->isEnabled());
    QVERIFY(find<QAction>(w, "actionSpeichern")->isEnabled());
    QVERIFY(find<QLabel>(w, "label_backup_action")->isHidden());
}

void TestBackupTab::uploadDirectionOffersPresentSets()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets[Lokomotiven] = 1;
    for (int n : {0, 4, 9})
        image->recordStatus[size_t(StatusLokomotiven + n)] = 1;
    QSaveFile file(QStringLiteral("lok.GTB2"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(BackupFile::write(file, *image, "12345678", "1.300"));
    QVERIFY(file.commit());

    MainWindow w;
    w.documentActions().openFile(dir->filePath(QStringLiteral("lok.GTB2")));
    QVERIFY(console(w).contains("geöffnet."));
    QCOMPARE(w.windowTitle(), QStringLiteral("lok.GTB2 - Orvandel Gleistron Manager 1.3"));
    QCOMPARE(find<QLabel>(w, "label_serialNr_backup")->text(), QStringLiteral("12345678"));
    QCOMPARE(find<QLabel>(w, "label_source_lokomotiven")->text(),
             QStringLiteral("2 Datensätze, lok.GTB2"));
    QCOMPARE(find<QLabel>(w, "label_document_summary")->text(),
             QStringLiteral("1 von 11 Bereichen, 2 Datensätze – lok.GTB2"));
    QCOMPARE(find<QLabel>(w, "label_source_lokomotiven")->toolTip(),
             QStringLiteral("2 Datensätze"));
    QCOMPARE(find<QLabel>(w, "label_source_weichen")->text(), QStringLiteral("-"));

    // Ticks of the download side do not carry over to the upload side.
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    find<QCheckBox>(w, "checkBox_lokomotiven")->setChecked(true);
    find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
    QVERIFY(!find<QCheckBox>(w, "checkBox_lokomotiven")->isChecked());
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(true);
    for (const char *key : {"lokomotiven", "gleisplan1", "weichen", "system", "lokbilder"}) {
        auto *box = find<QCheckBox>(w, qPrintable(QStringLiteral("checkBox_%1").arg(key)));
        const bool locos = QByteArray(key) == "lokomotiven";
        QCOMPARE(box->isEnabled(), locos);
        QCOMPARE(box->isChecked(), locos);
    }
    // Another document: the ticks made for this one go.
    w.documentActions().openFile(dir->filePath(QStringLiteral("lok.GTB2")));
    QVERIFY(!find<QCheckBox>(w, "checkBox_lokomotiven")->isChecked());
    // The download direction offers every set again.
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    QVERIFY(find<QCheckBox>(w, "checkBox_weichen")->isEnabled());
}

void TestBackupTab::backupAndRestoreThroughTheWindow()
{
    const QString stationA = dir->filePath(QStringLiteral("a.GTB2"));
    const QString stationB = dir->filePath(QStringLiteral("b.GTB2"));
    SimProcess a({"--sample", "--save-on-exit", stationA});
    SimProcess b({"--save-on-exit", stationB});
    QVERIFY(a.start());
    QVERIFY(b.start());
    MainWindow w;
    w.show();
    {
        ScopedPorts ports(a.ports());
        QVERIFY(transfer(w, "pushButton_backup_dir_comm_pc", "pushButton_backup_download"));
    }
    QVERIFY(console(w).contains("Alle ausgewählte Datensätze geladen in"));
    QVERIFY(console(w).contains("Gleistron gefunden mit Seriennummer 56347812"));
    QCOMPARE(find<QProgressBar>(w, "progressBar_backup")->value(), 1000);
    // The download's bar is not the upload's.
    find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
    QVERIFY(find<QProgressBar>(w, "progressBar_backup")->isHidden());
    QVERIFY(w.document().modified);
    QCOMPARE(w.windowTitle(), QStringLiteral("* Orvandel Gleistron Manager 1.3"));
    QCOMPARE(find<QLabel>(w, "label_source_fahrstrassen")->toolTip(),
             QStringLiteral("105 Datensätze"));

    const QString saved = dir->filePath(QStringLiteral("anlage.GTB2"));
    QVERIFY(!w.documentActions().saveTo(dir->filePath(QStringLiteral("missing/dir/x.GTB2"))));
    QVERIFY(console(w).contains("Datei kann nicht geschrieben werden!"));
    QVERIFY(w.document().modified);
    // A name of another kind is refused as opening refuses it, not saved as "x.txt.GTB2".
    QVERIFY(!w.documentActions().saveTo(dir->filePath(QStringLiteral("x.txt"))));
    QVERIFY(console(w).contains("Bitte eine .GTB2 Datei wählen."));
    for (const char *name : {"x.txt", "x.txt.GTB2"})
        QVERIFY2(!QFileInfo::exists(dir->filePath(QLatin1String(name))), name);
    QVERIFY(w.documentActions().saveTo(saved));
    QCOMPARE(w.windowTitle(), QStringLiteral("anlage.GTB2 - Orvandel Gleistron Manager 1.3"));

    w.documentActions().clearNow();
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(0));
    QCOMPARE(w.windowTitle(), QStringLiteral("anlage.GTB2 - Orvandel Gleistron Manager 1.3"));
    w.documentActions().openFile(saved);
    QCOMPARE(w.document().image.presentSets[Lokbilder], quint8(1));
    QCOMPARE(find<QLabel>(w, "label_serialNr_backup")->text(), QStringLiteral("56347812"));
    {
        ScopedPorts ports(b.ports());
        // First a look at the station and a question whose default is no: nothing is sent.
        {
            ModalAnswerer no;
            if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS"))
                no.picture = qEnvironmentVariable("KEEP_SCREENSHOTS") + "/upload-preview.png";
            // The look's job has ended, but the transfer is not over while its question is
            // open: closing the window or starting another job must wait.
            bool busyWhileAsking = false;
            no.onBox = [&] { busyWhileAsking = w.jobsRunning(); };
            QVERIFY(transfer(w, "pushButton_backup_dir_pc_comm", "pushButton_backup_upload"));
            QVERIFY(busyWhileAsking);
            QVERIFY(console(w).contains("Hochladen nicht gestartet."));
            QVERIFY(find<QProgressBar>(w, "progressBar_backup")->isHidden());
            // The look says what it read, not that the document was loaded.
            QVERIFY(console(w).contains(QRegularExpression(
                "Gleistron gelesen in \\d+\\.\\d\\d Sek\\., zum Vergleich; das Dokument bleibt "
                "unverändert\\.")));
            QCOMPARE(console(w).count("Alle ausgewählte Datensätze geladen"), 1);
            // An empty station: its blocks differ, every record is new.
            QVERIFY2(no.texts.value(0).contains(QRegularExpression(
                         "^Das Hochladen überschreibt \\d+ Datensätze, die im Gleistron anders "
                         "sind, und fügt [1-9]\\d* neue hinzu")),
                     qPrintable(no.texts.join('|')));
            QVERIFY(no.texts.value(0).contains("0 Datensätze hat nur der Gleistron"));
            QVERIFY(!console(w).contains("Alle ausgewählte Datensätze übertragen in"));
        }
        ModalAnswerer yes(QStringLiteral("Ja"));
        QVERIFY(transfer(w, "pushButton_backup_dir_pc_comm", "pushButton_backup_upload"));
    }
    QVERIFY(console(w).contains("Alle ausgewählte Datensätze übertragen in"));
    QVERIFY(!w.document().modified);
    // The upload's bar is not the download's either.
    QVERIFY(!find<QProgressBar>(w, "progressBar_backup")->isHidden());
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    QVERIFY(find<QProgressBar>(w, "progressBar_backup")->isHidden());
    a.stop();
    b.stop();
    QFile fileA(stationA), fileB(stationB);
    QVERIFY(fileA.open(QIODevice::ReadOnly) && fileB.open(QIODevice::ReadOnly));
    QVERIFY(fileA.size() > 100000);
    const QString difference = stationDifference(stationA, stationB);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestBackupTab::refusedNewerDataModel()
{
    SimProcess sim({"--sample", "--datamodel", "2100"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    ModalAnswerer answer(QStringLiteral("Abbrechen"));
    QVERIFY(transfer(w, "pushButton_backup_dir_comm_pc", "pushButton_backup_download"));
    QCOMPARE(answer.texts.size(), 1);
    QVERIFY(answer.texts.first().contains("Möchten Sie trotzdem fortsetzen?"));
    QVERIFY(console(w).contains("Datenmodell Version im Gleistron: 2.100"));
    QVERIFY(console(w).contains("Datenmodell Version im Gleistron Manager: 2.000"));
    QVERIFY(!console(w).contains("Lade Lokomotiven"));
    QVERIFY(!w.document().modified);
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(0));
    QVERIFY(find<QPushButton>(w, "pushButton_backup_download")->isEnabled());
}

void TestBackupTab::noStation()
{
    ScopedPorts ports(dir->filePath(QStringLiteral("gleistron0")));
    MainWindow w;
    QVERIFY(transfer(w, "pushButton_backup_dir_comm_pc", "pushButton_backup_download"));
    QVERIFY(console(w).contains("FEHLER: Kein Gleistron gefunden!"));
    QVERIFY(find<QAction>(w, "action_leeren")->isEnabled());
    QVERIFY(find<QPushButton>(w, "pushButton_backup_download")->isEnabled());
}

void TestBackupTab::closeWithUnsavedData()
{
    SimProcess sim({"--sample"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    w.show();
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    find<QCheckBox>(w, "checkBox_system")->setChecked(true);
    find<QPushButton>(w, "pushButton_backup_download")->click();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), 30000);
    QVERIFY(w.document().modified);
    {
        ModalAnswerer cancel(QStringLiteral("Abbrechen"));
        QVERIFY(!w.close());
        QCOMPARE(cancel.texts.size(), 1);
    }
    {
        // Escape backs out of every question about the unsaved data: closing, clearing and
        // opening leave it, and no file dialog follows.
        ModalAnswerer escape;
        escape.escape = true;
        QVERIFY(!w.close());
        find<QAction>(w, "action_leeren")->trigger();
        find<QAction>(w, "action_oeffnen")->trigger();
        QCOMPARE(escape.texts.size(), 3);
        for (const QString &text : std::as_const(escape.texts))
            QVERIFY2(text.contains("nicht gespeichert"), qPrintable(text));
    }
    QVERIFY(w.isVisible());
    QVERIFY(w.document().modified);
    QCOMPARE(w.document().image.presentSets[System], quint8(1));
    {
        // "Ja" with the file dialog cancelled: nothing saved, so the window stays.
        ModalAnswerer yes(QStringLiteral("Ja"));
        QVERIFY(!w.close());
        QCOMPARE(yes.texts.size(), 2);
        QVERIFY(yes.texts.at(1).startsWith("<dialog"));
    }
    QVERIFY(w.isVisible());
    ModalAnswerer no(QStringLiteral("Nein"));
    QVERIFY(w.close());
}

void TestBackupTab::documentSafety()
{
    SimProcess a({"--sample"});
    QVERIFY(a.start());
    MainWindow w;
    w.show();
    auto download = [&] {
        ScopedPorts ports(a.ports());
        return transfer(w, "pushButton_backup_dir_comm_pc", "pushButton_backup_download");
    };
    auto fileText = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(200) : QByteArray();
    };
    QVERIFY(download());

    // The language switch does not lose where the data came from.
    w.setLanguage(MainWindow::English);
    w.setLanguage(MainWindow::German);
    const QString saved = dir->filePath(QStringLiteral("anlage.GTB2"));
    QVERIFY(w.documentActions().saveTo(saved));
    QVERIFY(fileText(saved).contains("seriennummer=56347812\nsoftwareversion=1.300\n"));
    const qint64 fullSize = QFileInfo(saved).size();

    // Clearing unsaved data asks first; "Abbrechen" keeps it, "Nein" lets it go.
    QVERIFY(download());
    {
        ModalAnswerer answer(QStringLiteral("Abbrechen"));
        find<QAction>(w, "action_leeren")->trigger();
        QVERIFY(answer.texts.value(0).contains("nicht gespeichert"));
    }
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(1));
    {
        ModalAnswerer answer(QStringLiteral("Nein"));
        find<QAction>(w, "action_leeren")->trigger();
    }
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(0));
    // Nothing left to lose: the changed mark goes with the data, so closing asks nothing.
    QVERIFY(!w.document().modified);
    QVERIFY(!w.windowTitle().startsWith(QLatin1String("* ")));

    // Saving the empty document over the backup asks, and the default keeps the file.
    {
        ModalAnswerer answer;
        find<QAction>(w, "actionSpeichern")->trigger();
        QVERIFY(answer.texts.value(0).contains("keine Datensätze"));
    }
    QCOMPARE(QFileInfo(saved).size(), fullSize);

    // A re-saved file names the station it came from, not the one connected now.
    w.documentActions().openFile(saved);
    w.comm_info_gleistronVersion(QStringLiteral("0A1B2C3D"), QStringLiteral("1.400"),
                                 QStringLiteral("0.003"), QStringLiteral("2.000"));
    const QString copy = dir->filePath(QStringLiteral("kopie"));
    QVERIFY(w.documentActions().saveTo(copy));
    QVERIFY(fileText(copy + ".GTB2").contains("seriennummer=56347812\nsoftwareversion=1.300\n"));

    // Files that are not whole backups change nothing, or only what they hold in full.
    QFile tiny(dir->filePath(QStringLiteral("tiny.GTB")));
    QVERIFY(tiny.open(QIODevice::WriteOnly) && tiny.write("hello world\n") > 0);
    tiny.close();
    w.documentActions().openFile(tiny.fileName());
    QVERIFY(console(w).contains("keine vollständige Datensicherung"));
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(1));
    QCOMPARE(w.windowTitle(), QStringLiteral("kopie.GTB2 - Orvandel Gleistron Manager 1.3"));

    // An old-format file is never saved over in place, whatever the case of its name.
    const QByteArray whole(3204608, 'a');
    QFile old(dir->filePath(QStringLiteral("alt.gtb")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(whole) == whole.size());
    old.close();
    {
        ModalAnswerer answer(QStringLiteral("Nein"));
        w.documentActions().openFile(old.fileName());
        QVERIFY(console(w).contains("importiert."));
        QVERIFY(!w.documentActions().save());
        QVERIFY(answer.texts.value(0).startsWith("<dialog"));
    }
    QVERIFY(old.open(QIODevice::ReadOnly));
    QVERIFY(old.readAll() == whole);
    old.close();

    QFile full(saved), cut(dir->filePath(QStringLiteral("cut.GTB2")));
    QVERIFY(full.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
    const QByteArray bytes = full.readAll();
    cut.write(bytes.left(bytes.indexOf("WEICHEN") + 2000)); // inside the switching articles
    cut.close();
    w.documentActions().openFile(cut.fileName());
    QVERIFY(console(w).contains("Die Datei ist unvollständig"));
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(1));
    QCOMPARE(w.document().image.presentSets[Weichen], quint8(0));
    QCOMPARE(w.document().image.presentSets[Rueckmelder], quint8(0));
}

void TestBackupTab::oneJobAtATime()
{
    SimProcess sim({"--sample", "--baud", "115200", "--lsb-device", "5:4:1:10"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    w.show();
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(false);
    find<QCheckBox>(w, "checkBox_weichen")->setChecked(true);
    find<QPushButton>(w, "pushButton_backup_download")->click();
    QVERIFY(w.jobsRunning());

    // The station serves the running download; an update is refused, not started beside it.
    w.lsbPage().start(dir->filePath(QStringLiteral("booster.lsb")));
    QVERIFY(console(w).contains("Es läuft bereits eine Übertragung"));
    QVERIFY(!w.lsbPage().running());
    QVERIFY(!find<QAction>(w, "action_oeffnen")->isEnabled());

    // Closing: the download ends while the question is open; "Ja" then closes the window
    // (after the question about the unsaved data, answered "Nein").
    QStringList asked;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, &w, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const bool running = box->text().contains("läuft noch");
        if (running && w.jobsRunning())
            return;
        asked << box->text();
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == (running ? QStringLiteral("&Ja") : QStringLiteral("&Nein")))
                b->click();
        }
    });
    answerer.start(20);
    w.close();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 30000);
    QCOMPARE(asked.size(), 2);
}

void TestBackupTab::linkLossPausesTimeLeft()
{
    // The cable is out for four seconds: the bar says so instead of counting down.
    SimProcess sim({"--sample", "--baud", "38400", "--unplug-at", "300:4"});
    QVERIFY(sim.start());
    MainWindow w;
    w.show();
    ScopedPorts ports(sim.ports());
    startDownload(w, {"checkBox_weichen"});
    auto *bar = find<QProgressBar>(w, "progressBar_backup");
    QTRY_VERIFY_WITH_TIMEOUT(bar->text().endsWith(QStringLiteral("– Verbindung unterbrochen")),
                             20000);
    QTRY_VERIFY_WITH_TIMEOUT(bar->text().contains(QStringLiteral("– noch ")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), 60000);
    QCOMPARE(bar->value(), 1000);
    QCOMPARE(bar->text(), QStringLiteral("100%"));
    // Another document: the last transfer's bar goes.
    w.documentActions().clearNow();
    QVERIFY(bar->isHidden());
    sim.stop();

    // A station that stops answering while its adapter stays plugged in: the link says so.
    SimProcess mute({"--sample", "--drop", "1", "--faults-after", "200"});
    QVERIFY(mute.start());
    ScopedPorts mutePorts(mute.ports());
    startDownload(w, {"checkBox_weichen"});
    QTRY_VERIFY_WITH_TIMEOUT(bar->text().endsWith(QStringLiteral("– Verbindung unterbrochen")),
                             30000);
    find<QPushButton>(w, "pushButton_backup_cancel")->click();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), 60000);
}

void TestBackupTab::cancelledDownload()
{
    // A slow wire: the locomotives take about four seconds, the switching articles ten.
    SimProcess sim({"--sample", "--baud", "38400"});
    QVERIFY(sim.start());
    MainWindow w;
    w.show();
    {
        ScopedPorts ports(sim.ports());
        startDownload(w, {"checkBox_lokomotiven", "checkBox_weichen", "checkBox_hsb"});
        auto *bar = find<QProgressBar>(w, "progressBar_backup");
        QVERIFY(!find<QPushButton>(w, "pushButton_backup_cancel")->isHidden());
        // Inside the switching articles, with the time left shown.
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 700, 30000);
        QVERIFY2(bar->text().contains(QRegularExpression("^\\d+% – noch \\d+:\\d\\d$")),
                 qPrintable(bar->text()));
        // The other direction chosen meanwhile does not hide the running transfer's bar.
        find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
        QVERIFY(!bar->isHidden());
        if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS")) {
            w.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
            w.grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/transfer.png");
        }
        find<QPushButton>(w, "pushButton_backup_cancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(w), 10000);
        // The bar ends with the transfer: no stale "noch 0:50" after it.
        QVERIFY(bar->isHidden());
        QVERIFY(find<QPushButton>(w, "pushButton_backup_cancel")->isHidden());
    }
    QVERIFY(console(w).contains("Herunterladen abgebrochen. Vollständig geladen: Lokomotiven. "
                                "Nicht übernommen: Schaltartikel, HSB-Geräte."));
    QCOMPARE(w.document().image.presentSets[Lokomotiven], quint8(1));
    QCOMPARE(w.document().image.presentSets[Weichen], quint8(0));
    // Nor does any record of the cut set count as loaded.
    QCOMPARE(w.document().image.presentRecords(Weichen), 0);

    // Its file opens and restores without a single switching-article write.
    const QString saved = dir->filePath(QStringLiteral("teil.GTB2"));
    QVERIFY(w.documentActions().saveTo(saved));
    const QString log = dir->filePath(QStringLiteral("restore.log"));
    SimProcess station({"--log", log});
    QVERIFY(station.start());
    const CliRun run = runCli({"restore", saved}, station.ports());
    QCOMPARE(run.exitCode, 0);
    station.stop();
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("rx 0 ") && text.contains(" 59 0c 47 "));
    QVERIFY(!text.contains(" 59 2a "));
}

void TestBackupTab::compareWithStation()
{
    // The sample's switching articles against an empty station: each one only in the
    // document, named as the tab names the set; nothing of the document changes.
    const QString file = dir->filePath(QStringLiteral("vergleich.GTB2"));
    {
        SimProcess a({"--sample"});
        QVERIFY(a.start());
        QCOMPARE(runCli({"backup", file, "--sets", "weichen"}, a.ports()).exitCode, 0);
    }
    SimProcess empty({"--serial", "0BADF00D"});
    QVERIFY(empty.start());
    ScopedPorts ports(empty.ports());
    MainWindow w;
    w.show();
    w.documentActions().openFile(file);
    const int records = w.document().image.presentRecords(Catalogue::Weichen);
    QVERIFY(records > 0);
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(false);
    find<QCheckBox>(w, "checkBox_weichen")->setChecked(true);
    find<QAction>(w, "actionMitGleistronVergleichen")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(w.findChild<QDialog *>(QStringLiteral("dialog_compare")), 30000);
    auto *dialog = w.findChild<QDialog *>(QStringLiteral("dialog_compare"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Vergleich mit Gleistron 0BADF00D"));
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget_compare"));
    QCOMPARE(table->rowCount(), records);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Schaltartikel"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("nur im Dokument"));
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS"))
        dialog->grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/compare-station.png");
    QVERIFY(!w.document().modified);
    Document fromFile;
    QCOMPARE(fromFile.open(file), Document::Opened::Ok);
    QVERIFY(BackupDiff::compare(w.document().image, fromFile.image).isEmpty());
    QCOMPARE(w.document().image.presentSets, fromFile.image.presentSets);
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_compare_copy"))->click();
    const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), records + 1); // with the header
    QVERIFY(copied.at(1).startsWith(QStringLiteral("Schaltartikel\t")));
    QTRY_VERIFY(idle(w));
}

void TestBackupTab::partialDownloadIntoOpenedFile_data()
{
    QTest::addColumn<QString>("serial"); // of the file's station
    QTest::newRow("another station") << QStringLiteral("11111111");
    // Not the file's sets any more, though all from one station: still mixed.
    QTest::newRow("the same station") << QStringLiteral("56347812");
}

void TestBackupTab::partialDownloadIntoOpenedFile()
{
    // A file with switching articles and feedback modules; a stopped download of the sample
    // station's switching articles replaces them.
    QFETCH(QString, serial);
    const QString file = dir->filePath(QStringLiteral("anlage.GTB2"));
    {
        SimProcess a({"--sample", "--serial", serial});
        QVERIFY(a.start());
        QCOMPARE(runCli({"backup", file, "--sets", "weichen,rueckmelder"}, a.ports()).exitCode, 0);
    }
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    SimProcess sim({"--sample", "--baud", "38400"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    w.documentActions().openFile(file);
    QVERIFY(!w.document().modified);
    // Stopped by the job's own thread the moment the HSB devices begin: a click from here
    // could come after their few reads on a slow machine.
    connect(&w.backupTab().session(), &TransferSession::jobStarted, this, [](StationLink *job) {
        connect(
            static_cast<BackupJob *>(job), &BackupJob::signal_comm_backup_message, job,
            [job](const QString &text) {
                if (text.contains(QLatin1String("Lade HSB")))
                    job->requestStop();
            },
            Qt::DirectConnection);
    });
    startDownload(w, {"checkBox_weichen", "checkBox_hsb"});
    QTRY_VERIFY_WITH_TIMEOUT(console(w).contains("Lade HSB"), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), 10000);
    // The data changed: marked, and each set says where it came from.
    QVERIFY(w.document().modified);
    QVERIFY(w.windowTitle().startsWith("* anlage.GTB2"));
    QVERIFY2(find<QLabel>(w, "label_source_weichen")->text().contains("Gleistron 56347812, "),
             qPrintable(find<QLabel>(w, "label_source_weichen")->text()));
    QCOMPARE(find<QLabel>(w, "label_source_rueckmelder")->text(),
             QStringLiteral("260 Datensätze, anlage.GTB2"));
    QVERIFY2(find<QLabel>(w, "label_document_summary")->text().endsWith("– aus mehreren Quellen"),
             qPrintable(find<QLabel>(w, "label_document_summary")->text()));
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS")) {
        w.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
        w.grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/overview.png");
    }
    QCOMPARE(find<QLabel>(w, "label_source_hsb")->text(), QStringLiteral("-"));
    // The file keeps naming its own station, and a save says the sources are mixed; the
    // default answer keeps the file as it was.
    QCOMPARE(w.document().sourceSerial, serial);
    {
        ModalAnswerer answer;
        QVERIFY(!w.documentActions().save());
        QCOMPARE(answer.texts.size(), 1);
        QVERIFY(answer.texts.first().contains("verschiedenen Quellen"));
    }
    QVERIFY(original.seek(0));
    QCOMPARE(original.readAll(), bytes);
    {
        ModalAnswerer answer(QStringLiteral("Ja"));
        QVERIFY(w.documentActions().save());
    }
    Document saved;
    QCOMPARE(saved.open(file), Document::Opened::Ok);
    QCOMPARE(saved.sourceSerial, serial);
    QCOMPARE(saved.image.presentRecords(Rueckmelder), 260);
    QCOMPARE(saved.image.presentRecords(Weichen), 541);
}

void TestBackupTab::compareWithFile()
{
    const QString a = dir->filePath(QStringLiteral("a.GTB2"));
    const QString b = dir->filePath(QStringLiteral("b.GTB2"));
    {
        SimProcess sample({"--sample", "--save-on-exit", a});
        QVERIFY(sample.start());
    }
    Document other;
    QCOMPARE(other.open(a), Document::Opened::Ok);
    other.image.bank(0)[LokOffset + 5 * 256 + 3] ^= 1;
    other.image.recordStatus[StatusLokomotiven + 7] = -1;
    other.image.bank(2)[AusleuchtungOffset + 2 * 512] ^= 1;
    other.image.bank(0)[LoklistenOffset + 256] ^= 1;
    QVERIFY(other.save(b));

    MainWindow w;
    w.documentActions().openFile(a);
    QWidget *dialog = w.documentActions().compareWith(b);
    QVERIFY(dialog);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget_compare"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 4);
    auto row = [table](int r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        return cells.join(QLatin1Char('|'));
    };
    QCOMPARE(row(0), QStringLiteral("Lokomotiven|5|geändert|"));
    QCOMPARE(row(1), QStringLiteral("Lokomotiven|7|nur im Dokument|"));
    QCOMPARE(row(2), QStringLiteral("Loklisten|1|geändert|")); // by name, not by key
    QCOMPARE(row(3), QStringLiteral("Fahrstrassen|2|geändert|Ausfahrt Nord"));
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS"))
        dialog->grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/compare.png");
}

// "Letzte Sicherungen": newest first, what each holds and what changed, and opening one.
void TestBackupTab::recentBackups()
{
    const QString folder = dir->filePath(QStringLiteral("auto"));
    BackupFolder backups(folder);
    auto document = std::make_unique<Document>();
    document->image.presentSets[Weichen] = 1;
    for (int n : {1, 2, 3})
        document->image.recordStatus[size_t(StatusWeichen + n)] = 1;
    const QDate day(2026, 12, 8);
    QCOMPARE(backups.save(*document, "56347812", 10, day).outcome, BackupFolder::Saved::Written);
    document->image.bank(1)[WeichenOffset + 64 * 2] = 7;
    document->image.recordStatus[size_t(StatusWeichen + 4)] = 1;
    QCOMPARE(backups.save(*document, "56347812", 10, day).outcome, BackupFolder::Saved::Written);
    // A backup of other sets ("Vorher sichern" keeps only what an upload replaces): its
    // switching articles are compared, the sets only one holds are named.
    document->image.presentSets[Weichen] = 0;
    document->image.presentSets[System] = 1;
    QCOMPARE(backups.save(*document, "56347812", 10, day).outcome, BackupFolder::Saved::Written);
    document->image.presentSets[Weichen] = 1;
    QCOMPARE(backups.save(*document, "56347812", 10, day).outcome, BackupFolder::Saved::Written);

    MainWindow w;
    auto *dialog = w.documentActions().recentBackups(folder);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget_recent"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->item(0, 3)->text(),
             QStringLiteral("keine Änderung; nur in dieser: Schaltartikel"));
    QCOMPARE(table->item(1, 3)->text(),
             QStringLiteral("keine Änderung; nur in dieser: Systemkonfiguration; nicht in "
                            "dieser: Schaltartikel"));
    QVERIFY(table->item(1, 3)->toolTip().startsWith(table->item(1, 3)->text() + '\n'));
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("56347812"));
    QCOMPARE(table->item(2, 2)->text(), QStringLiteral("Schaltartikel"));
    QCOMPARE(table->item(2, 3)->text(),
             QStringLiteral("1 Schaltartikel geändert, 1 Schaltartikel neu"));
    QCOMPARE(table->item(3, 3)->text(), QStringLiteral("erste Sicherung dieses Gleistron"));
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS"))
        dialog->grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/recent.png");

    // That change record by record, against the one before; then the history of the record.
    table->selectRow(2);
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_recent_differences"))->click();
    auto *changes = w.findChild<QDialog *>(QStringLiteral("dialog_compare"));
    QVERIFY(changes);
    auto *rows = changes->findChild<QTableWidget *>(QStringLiteral("tableWidget_compare"));
    QCOMPARE(rows->rowCount(), 2);
    QCOMPARE(rows->item(1, 2)->text(), QStringLiteral("nur in dieser"));
    rows->selectRow(0);
    QCOMPARE(changes->findChild<QPlainTextEdit *>(QStringLiteral("textEdit_compare_details"))
                 ->toPlainText(),
             QStringLiteral("Schaltartikel 2\nByte 0: 00 → 07"));
    changes->findChild<QPushButton *>(QStringLiteral("pushButton_compare_history"))->click();
    auto *history = w.findChild<QDialog *>(QStringLiteral("dialog_history"));
    QVERIFY(history);
    QCOMPARE(history->windowTitle(), QStringLiteral("Verlauf: Schaltartikel 2"));
    auto *dated = history->findChild<QTableWidget *>(QStringLiteral("tableWidget_history"));
    QTRY_COMPARE(dated->rowCount(), 1);
    QCOMPARE(history->findChild<QLabel *>(QStringLiteral("label_history_state"))->text(),
             folder + "\nSicherungen, in denen er sich geändert hat: 1, die älteste zuerst.");
    QCOMPARE(dated->item(0, 1)->text(), QStringLiteral("Gleistron-56347812-2026-12-08-2.GTB2"));
    QCOMPARE(history->findChild<QPlainTextEdit *>(QStringLiteral("textEdit_history_details"))
                 ->toPlainText(),
             QStringLiteral("Byte 0: 00 → 07"));
    history->close();
    changes->close();
    // A folder without backups is no record that never changed.
    auto *nowhere = new HistoryView(dir->filePath(QStringLiteral("leer")), "weichen", 2, &w);
    QTRY_COMPARE(nowhere->findChild<QLabel *>(QStringLiteral("label_history_state"))->text(),
                 "Keine Sicherungen in " + dir->filePath(QStringLiteral("leer")) + '.');
    nowhere->close();

    // A record that changed and then went: the backup of the change can give it back, the one
    // without it cannot.
    const QString other = dir->filePath(QStringLiteral("andere"));
    BackupFolder otherBackups(other);
    document->image.bank(1)[WeichenOffset + 64 * 2] = 9;
    for (int day : {1, 2, 3}) {
        document->image.bank(1)[WeichenOffset + 64 * 2] += 1;
        if (day == 3)
            document->image.recordStatus[size_t(StatusWeichen + 2)] = -1;
        QCOMPARE(otherBackups.save(*document, "56347812", 10, QDate(2026, 12, day)).outcome,
                 BackupFolder::Saved::Written);
    }
    auto *went = new HistoryView(other, "weichen", 2, &w);
    auto *wentRows = went->findChild<QTableWidget *>(QStringLiteral("tableWidget_history"));
    QTRY_COMPARE(wentRows->rowCount(), 2);
    auto *takeBack = went->findChild<QPushButton *>(QStringLiteral("pushButton_history_take_back"));
    QCOMPARE(wentRows->item(1, 2)->text(), QStringLiteral("nicht mehr in dieser Sicherung"));
    QVERIFY(!takeBack->isEnabled());
    wentRows->selectRow(0);
    QVERIFY(takeBack->isEnabled());
    QSignalSpy asked(went, &HistoryView::takeBackRequested);
    takeBack->click();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().at(0).toString(),
             QDir(other).filePath(QStringLiteral("Gleistron-56347812-2026-12-02.GTB2")));
    QCOMPARE(asked.first().at(1).value<QList<RecordMerge::Record>>(),
             (QList<RecordMerge::Record>{{Weichen, 2}}));
    went->close();

    // The backup before, gone since the list was read: said, nothing shown.
    QVERIFY(QFile::remove(QDir(folder).filePath(QStringLiteral("Gleistron-56347812-2026-12-08-3.GTB2"))));
    table->selectRow(0);
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_recent_differences"))->click();
    QVERIFY2(console(w).contains(QStringLiteral("Gleistron-56347812-2026-12-08-3.GTB2 \nFehler bei "
                                                "Laden!")),
             qPrintable(console(w)));

    table->selectRow(3);
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_recent_open"))->click();
    QCOMPARE(w.document().fileName, QStringLiteral("Gleistron-56347812-2026-12-08.GTB2"));
    QCOMPARE(w.document().image.recordStatus[size_t(StatusWeichen + 4)], qint8(-1)); // the older
}

// After "Datensicherung leeren" the document names no station: a save after a download from
// another one names that one.
void TestBackupTab::clearForgetsTheStation()
{
    SimProcess a({"--sample", "--serial", "11111111"});
    SimProcess b({"--sample", "--serial", "22222222"});
    QVERIFY(a.start() && b.start());
    MainWindow w;
    {
        ScopedPorts ports(a.ports());
        startDownload(w, {"checkBox_weichen"});
        QTRY_VERIFY_WITH_TIMEOUT(idle(w), 30000);
    }
    QCOMPARE(w.document().sourceSerial, QStringLiteral("11111111"));
    w.documentActions().clearNow();
    QVERIFY(w.document().sourceSerial.isEmpty());
    QVERIFY(find<QLabel>(w, "label_serialNr_backup")->text().isEmpty());
    {
        ScopedPorts ports(b.ports());
        startDownload(w, {"checkBox_system"});
        QTRY_VERIFY_WITH_TIMEOUT(idle(w), 30000);
    }
    const QString saved = dir->filePath(QStringLiteral("b.GTB2"));
    QVERIFY(w.documentActions().saveTo(saved));
    Document file;
    QCOMPARE(file.open(saved), Document::Opened::Ok);
    QCOMPARE(file.sourceSerial, QStringLiteral("22222222"));
}

// "Abbrechen" during an upload: the set being sent is finished and stored, the next is never
// sent; judged by what the station saved.
void TestBackupTab::cancelledUpload()
{
    const QString sample = dir->filePath(QStringLiteral("sample.GTB2"));
    const QString station = dir->filePath(QStringLiteral("station.GTB2"));
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
        a.stop();
    }
    SimProcess sim({"--baud", "115200", "--save-on-exit", station});
    QVERIFY(sim.start());
    MainWindow w;
    w.documentActions().openFile(sample);
    {
        ScopedPorts ports(sim.ports());
        ModalAnswerer yes(QStringLiteral("Ja"));
        find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
        find<QCheckBox>(w, "checkBox_weichen")->setChecked(true);
        find<QCheckBox>(w, "checkBox_rueckmelder")->setChecked(true);
        find<QPushButton>(w, "pushButton_backup_upload")->click();
        QTRY_VERIFY_WITH_TIMEOUT(console(w).contains("Speichere Schaltartikel"), 60000);
        find<QPushButton>(w, "pushButton_backup_cancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(w), 60000);
    }
    QVERIFY2(console(w).contains("Hochladen abgebrochen"), qPrintable(console(w)));
    QVERIFY(!console(w).contains("Speichere Rückmelder"));
    sim.stop();
    Document held;
    QCOMPARE(held.open(station), Document::Opened::Ok);
    QCOMPARE(held.image.presentRecords(Weichen), 541);
    QCOMPARE(held.image.presentRecords(Rueckmelder), 0);
}

void TestBackupTab::safeRestore()
{
    // The file to restore holds switching articles, feedback modules and system configuration
    // of the sample; the station holds an empty station's, or the whole sample.
    const QString sample = dir->filePath(QStringLiteral("sample.GTB2"));
    const QString empty = dir->filePath(QStringLiteral("leer.GTB2"));
    const QString file = dir->filePath(QStringLiteral("teil.GTB2"));
    const QString previous = dir->filePath(QStringLiteral("vorher.GTB2"));
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
        QCOMPARE(
            runCli({"backup", file, "--sets", "weichen,rueckmelder,system"}, a.ports()).exitCode,
            0);
        SimProcess b;
        QVERIFY(b.start());
        QCOMPARE(runCli({"backup", empty, "--sets", "weichen,system"}, b.ports()).exitCode, 0);
    }
    enum Station { Empty, Flipping, HoldingMore };
    for (const Station kind : {Empty, Flipping, HoldingMore}) {
        QStringList station{"--load", kind == HoldingMore ? sample : empty};
        if (kind == Flipping)
            station << "--flip-stored"
                    << "1"
                    << "--seed"
                    << "3";
        SimProcess sim(station);
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        MainWindow w;
        w.documentActions().openFile(kind == HoldingMore ? empty : file);
        find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
        find<QCheckBox>(w, "checkBox_backup_keep_previous")->setChecked(true);
        find<QCheckBox>(w, "checkBox_backup_verify")->setChecked(true);
        w.backupTab().keepPreviousFile = previous;
        find<QCheckBox>(w, "checkBox_select_all")->setChecked(true);
        ModalAnswerer yes(QStringLiteral("Ja"));
        find<QPushButton>(w, "pushButton_backup_upload")->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(w) && console(w).contains("Prüfung:"), 60000);
        QVERIFY(console(w).contains("vorher.GTB2</B>") || console(w).contains("vorher.GTB2"));
        if (kind == Empty) {
            QVERIFY2(console(w).contains("Prüfung: alle"), qPrintable(console(w)));
        } else {
            QVERIFY2(console(w).contains(QRegularExpression("Prüfung: \\d+ von \\d+ "
                                                            "Datensätzen weichen ab")),
                     qPrintable(console(w)));
            QVERIFY(console(w).contains(kind == Flipping
                                            ? QRegularExpression("weichen \\d+ ab Byte \\d+")
                                            : QRegularExpression("weichen 1: nur im Gleistron")));
        }
        if (kind == HoldingMore)
            QVERIFY(console(w).contains("am Gleistron löschen"));
        // The read-back only reports: the document is as the file left it.
        {
            Document opened;
            QCOMPARE(opened.open(kind == HoldingMore ? empty : file), Document::Opened::Ok);
            QVERIFY(!w.document().modified);
            QCOMPARE(w.document().image.presentSets, opened.image.presentSets);
            QCOMPARE(w.document().image.recordStatus, opened.image.recordStatus);
            QVERIFY(BackupDiff::compare(w.document().image, opened.image).isEmpty());
        }
        if (kind == Empty) {
            // The kept file's name was for that upload: the next one asks for its own.
            QVERIFY(idle(w));
            const qsizetype asked = yes.texts.size();
            find<QPushButton>(w, "pushButton_backup_upload")->click(); // its dialog is cancelled
            QCOMPARE(yes.texts.size(), asked + 1);
            QCOMPARE(yes.texts.last(), QStringLiteral("<dialog Vorher sichern>"));
            QTRY_VERIFY_WITH_TIMEOUT(idle(w), 30000);
        }
        // What the restore overwrote is in the kept file.
        Document kept;
        QCOMPARE(kept.open(previous), Document::Opened::Ok);
        QCOMPARE(kept.image.presentRecords(Weichen), kind == HoldingMore ? 541 : 0);
        QCOMPARE(kept.image.presentSets[Weichen], quint8(1));
        QCOMPARE(kept.image.presentSets[Lokomotiven], quint8(0));
        QFile::remove(previous);
    }
}

void TestBackupTab::keepPreviousOnlyNew_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("file") << false;
    QTest::newRow("link leading nowhere") << true;
}

void TestBackupTab::keepPreviousOnlyNew()
{
    // "Vorher sichern" takes only a free name: a file or a link there is named and left as it
    // is, and the station is not asked.
    QFETCH(bool, link);
    const QString file = dir->filePath(QStringLiteral("teil.GTB2"));
    const QString taken = dir->filePath(QStringLiteral("vorher.GTB2"));
    {
        Document document;
        document.image.presentSets[System] = 1;
        QVERIFY(document.save(file));
        QVERIFY(link ? QFile::link(QStringLiteral("weg.GTB2"), taken) : document.save(taken));
    }
    const QByteArray before = [&] {
        QFile f(taken);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    MainWindow w;
    w.documentActions().openFile(file);
    find<QPushButton>(w, "pushButton_backup_dir_pc_comm")->click();
    find<QCheckBox>(w, "checkBox_backup_keep_previous")->setChecked(true);
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(true);
    w.backupTab().keepPreviousFile = taken;
    find<QPushButton>(w, "pushButton_backup_upload")->click();
    QVERIFY2(console(w).contains("vorher.GTB2 gibt es schon; nichts wurde gesendet."),
             qPrintable(console(w)));
    QVERIFY(!console(w).contains("Prüfe"));
    QVERIFY(idle(w));
    QCOMPARE(QFileInfo(taken).isSymLink(), link);
    QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("weg.GTB2"))));
    QFile after(taken);
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), before);
}

void TestBackupTab::takeBackFromAComparison()
{
    // Two switching articles and a route differ between the opened backup and the station; one
    // article and the route are taken back, after the question, whose default keeps all as it
    // is. The station's other records, the other article included, stay.
    const QString sample = dir->filePath(QStringLiteral("sample.GTB2"));
    const QString file = dir->filePath(QStringLiteral("file.GTB2"));
    const QString station = dir->filePath(QStringLiteral("station.GTB2"));
    {
        SimProcess a({"--sample", "--save-on-exit", sample});
        QVERIFY(a.start());
    }
    {
        Document edited;
        QCOMPARE(edited.open(sample), Document::Opened::Ok);
        edited.image.record(Weichen, 5)[2] ^= 1;
        edited.image.record(Weichen, 7)[2] ^= 1;
        edited.image.illumination(3)[9] ^= 1;
        std::memset(edited.image.record(Fahrstrassen, 3), 0, 30);
        std::memcpy(edited.image.record(Fahrstrassen, 3), "Einfahrt Gleis 3", 16);
        edited.image.systemKonfiguration()[10] ^= 1;
        QVERIFY(edited.save(file));
    }
    auto sim = std::make_unique<SimProcess>(
        QStringList{"--load", sample, "--save-on-exit", station});
    QVERIFY(sim->start());
    ScopedPorts ports(sim->ports());
    MainWindow w;
    w.show();
    w.documentActions().openFile(file);
    find<QPushButton>(w, "pushButton_backup_dir_comm_pc")->click();
    find<QCheckBox>(w, "checkBox_select_all")->setChecked(true);
    find<QAction>(w, "actionMitGleistronVergleichen")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(w.findChild<QDialog *>(QStringLiteral("dialog_compare")), 30000);
    QTRY_VERIFY(idle(w));
    auto *dialog = w.findChild<QDialog *>(QStringLiteral("dialog_compare"));
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget_compare"));
    QCOMPARE(table->rowCount(), 4);
    auto visible = [table] {
        QStringList rows;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (!table->isRowHidden(r))
                rows << table->item(r, 0)->text() + ' ' + table->item(r, 1)->text();
        }
        return rows;
    };
    auto *bySet = dialog->findChild<QComboBox *>(QStringLiteral("comboBox_compare_set"));
    auto *byKind = dialog->findChild<QComboBox *>(QStringLiteral("comboBox_compare_kind"));
    bySet->setCurrentIndex(bySet->findText(QStringLiteral("Fahrstrassen")));
    QCOMPARE(visible(), QStringList{"Fahrstrassen 3"});
    // A row hidden by the filter is no longer chosen.
    table->selectAll();
    byKind->setCurrentIndex(byKind->findText(QStringLiteral("nur im Gleistron")));
    QVERIFY(visible().isEmpty());
    QVERIFY(table->selectionModel()->selectedRows().isEmpty());
    bySet->setCurrentIndex(0);
    byKind->setCurrentIndex(0);
    QCOMPARE(visible(), (QStringList{"Schaltartikel 5", "Schaltartikel 7", "Fahrstrassen 3",
                                     "Systemkonfiguration 0"}));
    auto *takeBack = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_compare_take_back"));
    // The system configuration travels only as a whole set.
    table->selectRow(3);
    QVERIFY(!takeBack->isEnabled());
    table->selectRow(2);
    Document sampleDocument;
    QCOMPARE(sampleDocument.open(sample), Document::Opened::Ok);
    QCOMPARE(dialog->findChild<QPlainTextEdit *>(QStringLiteral("textEdit_compare_details"))
                 ->toPlainText()
                 .section('\n', 1),
             QStringLiteral("Kommentar: \"Einfahrt Gleis 3\" → \"%1\"\nByte 521: %2 → %3")
                 .arg(RouteRecord::comment(sampleDocument.image.record(Fahrstrassen, 3)))
                 .arg(int(w.document().image.illumination(3)[9]), 2, 16, QLatin1Char('0'))
                 .arg(int(w.document().image.illumination(3)[9] ^ 1), 2, 16, QLatin1Char('0')));
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS"))
        dialog->grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/compare-details.png");
    table->selectionModel()->select(table->model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(takeBack->isEnabled());
    {
        ModalAnswerer defaultAnswer;
        takeBack->click();
        QCOMPARE(defaultAnswer.texts.size(), 1);
        QVERIFY2(defaultAnswer.texts.first().startsWith(
                     "Zurückholen aus dem Dokument: Schaltartikel 5, Fahrstrassen 3.<br><br>Dazu "
                     "werden Schaltartikel, Fahrstrassen aus dem Gleistron gelesen"),
                 qPrintable(defaultAnswer.texts.first()));
    }
    QVERIFY(idle(w));
    {
        ModalAnswerer yes(QStringLiteral("Ja"));
        takeBack->click();
        QTRY_VERIFY_WITH_TIMEOUT(!idle(w), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(idle(w), 60000);
    }
    QVERIFY2(console(w).contains("darin werden nur die gewählten Datensätze ersetzt"),
             qPrintable(console(w)));
    sim.reset();
    Document before, after, wanted;
    QCOMPARE(before.open(sample), Document::Opened::Ok);
    QCOMPARE(after.open(station), Document::Opened::Ok);
    QCOMPARE(wanted.open(file), Document::Opened::Ok);
    QStringList changed;
    for (const BackupDiff::Line &line : BackupDiff::compare(before.image, after.image))
        changed << line.set + ' ' + QString::number(line.number);
    QCOMPARE(changed, (QStringList{"weichen 5", "fahrstrassen 3"}));
    QVERIFY(BackupDiff::details(wanted.image, after.image,
                                {"fahrstrassen", 3, BackupDiff::Line::Changed, {}})
                .isEmpty());
}

QTEST_MAIN(TestBackupTab)
#include "tst_backuptab.moc"

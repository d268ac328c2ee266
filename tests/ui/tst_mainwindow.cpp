#include "../common/clirun.h"
#include "../common/modalanswerer.h"
#include "../common/simprocess.h"
#include "../common/windowtest.h"
#include "commands/comm2pc.h"
#include "lsbupdate/lsb_updater.h"
#include "ui/askyes.h"
#include "ui/lsbpage.h"
#include "ui/mainwindow.h"
#include "ui/sessionhtml.h"
#include "ui/startup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

namespace {
QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Talks to the station until it is asked to stop, like a long transfer.
class EndlessJob : public Comm2Pc
{
protected:
    void run() override
    {
        quint8 answer[Protocol::HandshakeAnswerLength];
        try {
            connectDevice(true);
            for (;;)
                exchangeUntilAnswered(Protocol::HandshakeRequest, 20, answer,
                                      Protocol::HandshakeAnswerLength);
        } catch (const ex_stopped &) {
        }
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void reportsAsTheConsoleShowsThem_data();
    void reportsAsTheConsoleShowsThem();
    void init();
    void cleanup();
    void startState();
    void tabRule();
    void settingsFile_data();
    void settingsFile();
    void languageRoundTrip();
    void fitsSmallScreens();
    void stationPresence();
    void statusMessagesInOrder();
    void missingStationExplained();
    void keysAndHelp();
    void everythingByKeys();
    void stationMissingReturnsToIdle();
    void updateHint_data();
    void updateHint();
    void closeWhileJobRuns();
    void missingAdapterLibrary();

private:
    std::unique_ptr<WorkingDirectory> dir;
};

void TestMainWindow::init()
{
    dir = std::make_unique<WorkingDirectory>();
}

void TestMainWindow::cleanup()
{
    dir.reset();
}

void TestMainWindow::startState()
{
    MainWindow w;
    w.show();
    auto *tabs = find<QTabWidget>(w, "tabWidget");
    QCOMPARE(tabs->count(), 4);
    const QStringList titles = {"S&tartseite", "Date&nsicherung", "&Fahrstrassen", "LSB Updat&e"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), titles.at(i));
    QCOMPARE(tabs->currentIndex(), 0);
    // What a newcomer meets first says what it does.
    for (const char *name :
         {"pushButton_backup_dir_comm_pc", "pushButton_backup_dir_pc_comm", "checkBox_select_all",
          "checkBox_backup_keep_previous", "checkBox_backup_verify", "checkBox_lokomotiven",
          "checkBox_gleisplan1", "checkBox_gleisplan2", "checkBox_gleisplan3", "checkBox_weichen",
          "checkBox_rueckmelder", "checkBox_fahrstrassen", "checkBox_lsb", "checkBox_hsb",
          "checkBox_system", "checkBox_lokbilder"})
        QVERIFY2(!find<QWidget>(w, name)->toolTip().isEmpty(), name);
    for (const char *name : {"actionVergleichen", "actionMitGleistronVergleichen"})
        QVERIFY2(!find<QAction>(w, name)->toolTip().startsWith(
                     find<QAction>(w, name)->text().remove('&').left(8)),
                 name);
    QVERIFY(!find<QMenu>(w, "menuSprache")->menuAction()->isVisible());
    QVERIFY(find<QToolBar>(w, "mainToolBar")->isHidden());
    for (const char *hidden :
         {"groupBox_backupInfo", "pushButton_backup_download", "pushButton_backup_upload",
          "label_backup_action", "widget_lsb_udate_progress", "widget_lsb_update_device",
          "groupBox_backup_open", "pushButton_Fahrstrassen_refresh",
          "pushButton_Fahrstrassen_backup_load", "checkBox_user_signale"})
        QVERIFY2(find<QWidget>(w, hidden)->isHidden(), hidden);
    QVERIFY(!find<QAction>(w, "actionDrucken")->isEnabled());
    QCOMPARE(w.windowTitle(), QStringLiteral("Orvandel Gleistron Manager 1.3"));
    QCOMPARE(find<QLabel>(w, "label_source_lokomotiven")->text(), QStringLiteral("-"));
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("(noch nicht geladen!)"));
}

void TestMainWindow::tabRule()
{
    MainWindow w;
    auto *tabs = find<QTabWidget>(w, "tabWidget");
    auto *print = find<QAction>(w, "actionDrucken");
    tabs->setCurrentIndex(2);
    QVERIFY(print->isEnabled());
    tabs->setCurrentIndex(3);
    QVERIFY(!print->isEnabled());
    tabs->setCurrentIndex(2);
    tabs->setCurrentIndex(1);
    QVERIFY(!print->isEnabled());
}

void TestMainWindow::settingsFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>" = no file
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("afterwards");
    QTest::newRow("no file") << QByteArray("<none>") << 0 << QByteArray("language=de\n");
    QTest::newRow("empty file") << QByteArray() << 0 << QByteArray("language=de\n");
    QTest::newRow("english") << QByteArray("language=en\n") << 1 << QByteArray("language=en\n");
    QTest::newRow("english with CR")
        << QByteArray("language=en\r\n") << 1 << QByteArray("language=en\n");
    QTest::newRow("english with more letters")
        << QByteArray("language=english") << 1 << QByteArray("language=en\n");
    QTest::newRow("upper case") << QByteArray("Language=en\n") << 0 << QByteArray("language=de\n");
    QTest::newRow("leading blank")
        << QByteArray(" language=en\n") << 0 << QByteArray("language=de\n");
    QTest::newRow("blanks around =")
        << QByteArray("language = en\n") << 0 << QByteArray("language=de\n");
    QTest::newRow("second line only")
        << QByteArray("language=de\nlanguage=en\n") << 0 << QByteArray("language=de\n");
    QTest::newRow("other keys dropped")
        << QByteArray("language=en\ncolor=red\n") << 1 << QByteArray("language=en\n");
}

void TestMainWindow::settingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, language);
    QFETCH(QByteArray, afterwards);
    if (content != "<none>")
        writeFile(QStringLiteral("settings.ini"), content);
    MainWindow w;
    QCOMPARE(int(w.language), language);
    QCOMPARE(find<QRadioButton>(w, "radioButton_English")->isChecked(), language == 1);
    QCOMPARE(find<QRadioButton>(w, "radioButton_German")->isChecked(), language == 0);
    QCOMPARE(find<QTextEdit>(w, "textEdit_manual_en")->isHidden(), language == 0);
    QCOMPARE(find<QTextEdit>(w, "textEdit_manual_de")->isHidden(), language == 1);
    QCOMPARE(readFile(QStringLiteral("settings.ini")), afterwards);
}

void TestMainWindow::languageRoundTrip()
{
    QVERIFY(QFile::copy(QStringLiteral(GLEISTRON_QM), QStringLiteral("language_en.qm")));
    MainWindow w;
    auto *tabs = find<QTabWidget>(w, "tabWidget");
    w.comm_info_gleistronVersion("56347812", "1.300", "0.003", "2.000");
    QCOMPARE(find<QLabel>(w, "label_serialNr")->text(), QStringLiteral("56347812"));
    w.lsbPage().ended(LSB_Updater::NoStation, 0); // the page's own texts follow the switch
    w.lsbPage().deviceArrived(5, 230, 1, 2);

    find<QRadioButton>(w, "radioButton_English")->click();
    QCOMPARE(find<QLabel>(w, "label_lsb_update_data_task")->text(),
             QStringLiteral("not available"));
    QCOMPARE(int(w.language), 1);
    QCOMPARE(tabs->tabText(0), QStringLiteral("&Start page"));
    QCOMPARE(find<QCheckBox>(w, "checkBox_weichen")->toolTip(),
             QStringLiteral("Turnouts, signals and other switching articles"));
    QCOMPARE(find<QPushButton>(w, "pushButton_backup_download")->text(),
             QStringLiteral("&Download data"));
    QCOMPARE(readFile(QStringLiteral("settings.ini")), QByteArray("language=en\n"));
    // A switch keeps what the station reported, and the firmware page's device.
    QCOMPARE(find<QLabel>(w, "label_serialNr")->text(), QStringLiteral("56347812"));
    QCOMPARE(find<QLabel>(w, "label_datenmodellVersion")->text(), QStringLiteral("2.000"));
    QCOMPARE(find<QLabel>(w, "label_lsb_update_device_sw")->text(), QStringLiteral("2"));
    QVERIFY(find<QLabel>(w, "label_lsb_update_device_task")->isHidden());
    w.comm_info_noGleistron();
    QVERIFY(find<QTextEdit>(w, "textEdit_console")->toPlainText().contains("No Gleistron found"));
    // English reads as English: the set's name, and one record against several.
    QCOMPARE(find<QCheckBox>(w, "checkBox_rueckmelder")->text(),
             QStringLiteral("Feedback modules"));
    w.document().image.presentSets[Catalogue::Weichen] = 1;
    w.document().image.recordStatus[Catalogue::StatusWeichen + 3] = 1;
    w.refreshLabels();
    QCOMPARE(find<QLabel>(w, "label_source_weichen")->toolTip(), QStringLiteral("1 record"));
    w.document().image.recordStatus[Catalogue::StatusWeichen + 4] = 1;
    w.refreshLabels();
    QCOMPARE(find<QLabel>(w, "label_source_weichen")->toolTip(), QStringLiteral("2 records"));

    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    find<QRadioButton>(w, "radioButton_German")->click();
    QCOMPARE(tabs->tabText(0), QStringLiteral("S&tartseite"));
    // Qt's own buttons and dialogs speak German too.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    QCOMPARE(readFile(QStringLiteral("settings.ini")), QByteArray("language=de\n"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Orvandel Gleistron Manager 1.3"));

    // A restart keeps the choice.
    find<QRadioButton>(w, "radioButton_English")->click();
    {
        MainWindow again;
        QCOMPARE(int(again.language), 1);
        QCOMPARE(find<QTabWidget>(again, "tabWidget")->tabText(1), QStringLiteral("&Backup"));
    }

    // A settings file that cannot be written: the window still switches all of itself, and
    // says that the choice will not be kept.
    QFile::remove(QStringLiteral("settings.ini"));
    QVERIFY(QDir().mkdir(QStringLiteral("settings.ini")));
    find<QRadioButton>(w, "radioButton_German")->click();
    QCOMPARE(tabs->tabText(0), QStringLiteral("S&tartseite"));
    QCOMPARE(find<QPushButton>(w, "pushButton_backup_download")->text(),
             QStringLiteral("Daten herunter&laden"));
    QVERIFY(find<QTextEdit>(w, "textEdit_console")
                ->toPlainText()
                .contains("settings.ini kann nicht geschrieben werden"));
    QDir().rmdir(QStringLiteral("settings.ini"));
}

void TestMainWindow::fitsSmallScreens()
{
    MainWindow w;
    // Its default size fits a 1366 x 768 screen (with a panel), and it can shrink to 1024 x 700.
    QVERIFY2(w.height() <= 720 && w.width() <= 1366,
             qPrintable(QStringLiteral("%1 x %2").arg(w.width()).arg(w.height())));
    const QSize least = w.minimumSizeHint();
    QVERIFY2(least.width() <= 1024 && least.height() <= 700,
             qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    // It opens within the screen's free area, a title bar's room left, as far as it can shrink.
    const QRect free = w.screen()->availableGeometry();
    QVERIFY2(w.height() <= qMax(free.height() - 40, least.height()) &&
                 w.width() <= qMax(free.width(), least.width()),
             qPrintable(QStringLiteral("%1 x %2 on %3 x %4")
                            .arg(w.width())
                            .arg(w.height())
                            .arg(free.width())
                            .arg(free.height())));
    // A long device type name does not widen the window.
    w.lsbPage().fileArrived(4, 0, 1);
    w.lsbPage().deviceArrived(5, 230, 1, 2);
    find<QLabel>(w, "label_lsb_update_device_typ")
        ->setText(QStringLiteral("Orvandel 60832 Doppel-Multiplexer Signalmodul mit Zusatz"));
    QVERIFY(w.minimumSizeHint().width() <= least.width());
    // Idle progress bars are not shown: empty, they look like fields to type in.
    QVERIFY(find<QProgressBar>(w, "progressBar_fahrstrassen")->isHidden());
    QVERIFY(find<QProgressBar>(w, "progressBar_backup")->isHidden());
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS")) {
        w.resize(1024, 700);
        w.show();
        auto *tabs = find<QTabWidget>(w, "tabWidget");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            w.grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") +
                          QStringLiteral("/small-%1.png").arg(tab));
        }
    }
}

void TestMainWindow::stationPresence()
{
    {
        // At start a quiet search fills "Gleistron Info" and says nothing else.
        SimProcess sim;
        QVERIFY(sim.start());
        ScopedPorts ports(sim.ports());
        MainWindow w;
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(w, "label_serialNr")->text(),
                                  QStringLiteral("56347812"), 30000);
        QCOMPARE(find<QLabel>(w, "label_softwareVersion")->text(), QStringLiteral("1.300"));
        QVERIFY(find<QTextEdit>(w, "textEdit_console")->toPlainText().isEmpty());
        auto *adapter = find<QLabel>(w, "label_adapter_status");
        QCOMPARE(adapter->text(), QStringLiteral("Gleistron-Adapter angeschlossen"));
        // A menu's status tip does not overwrite it.
        w.statusBar()->showMessage(QStringLiteral("a status tip"));
        QVERIFY(adapter->isVisibleTo(&w));
        QCOMPARE(adapter->text(), QStringLiteral("Gleistron-Adapter angeschlossen"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 30000);
        // The port is free again: the command-line tool can use the station.
        QCOMPARE(runCli({"info"}, sim.ports()).exitCode, 0);
        // On demand, a search says what it found.
        find<QAction>(w, "actionGleistronSuchen")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(find<QTextEdit>(w, "textEdit_console")
                                     ->toPlainText()
                                     .contains("Gleistron gefunden mit Seriennummer 56347812"),
                                 30000);
        // Connected: no hint how to connect. The adapter line follows the language, and a
        // pulled adapter leaves no station shown as if connected.
        QVERIFY(find<QLabel>(w, "label_4")->isHidden());
        QVERIFY(QFile::copy(QStringLiteral(GLEISTRON_QM), QStringLiteral("language_en.qm")));
        find<QAction>(w, "actionEnglisch")->trigger();
        QCOMPARE(adapter->text(), QStringLiteral("Gleistron adapter connected"));
        sim.stop();
        QTRY_COMPARE_WITH_TIMEOUT(adapter->text(), QStringLiteral("No adapter"), 30000);
        for (const char *name : {"label_serialNr", "label_softwareVersion",
                                 "label_protokollVersion", "label_datenmodellVersion"})
            QVERIFY2(find<QLabel>(w, name)->text().isEmpty(), name);
        QVERIFY(!find<QLabel>(w, "label_4")->isHidden());
        find<QAction>(w, "actionDeutsch")->trigger();
        QCOMPARE(adapter->text(), QStringLiteral("Kein Adapter"));
    }
    {
        // No adapter (a configured port that is not there): no box, no message, and the
        // status bar says so.
        QTemporaryDir none;
        ScopedPorts ports(none.filePath(QStringLiteral("gleistron0")));
        MainWindow w;
        // Configured, but not there: no adapter.
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(w, "label_adapter_status")->text(),
                                  QStringLiteral("Kein Adapter"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 30000);
        QVERIFY(find<QTextEdit>(w, "textEdit_console")->toPlainText().isEmpty());
        QVERIFY(find<QLabel>(w, "label_serialNr")->text().isEmpty());
    }
    {
        // An adapter plugged in while the window waits: the station is found again, quietly.
        SimProcess sim;
        QVERIFY(sim.start());
        QTemporaryDir plug;
        const QString link = plug.filePath(QStringLiteral("gleistron0"));
        ScopedPorts ports(link);
        MainWindow w;
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(w, "label_adapter_status")->text(),
                                  QStringLiteral("Kein Adapter"), 30000);
        QVERIFY(QFile::link(sim.ports(), link));
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(w, "label_serialNr")->text(),
                                  QStringLiteral("56347812"), 30000);
        QVERIFY(find<QLabel>(w, "label_4")->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 30000);
    }
}

void TestMainWindow::statusMessagesInOrder()
{
    MainWindow w;
    w.show();
    auto *console = find<QTextEdit>(w, "textEdit_console");
    w.comm_info_noGleistron();
    // The user puts the cursor at the start: new messages still go to the end.
    QTextCursor cursor = console->textCursor();
    cursor.movePosition(QTextCursor::Start);
    console->setTextCursor(cursor);
    w.comm_exchange_failed();
    w.comm_resumed();
    w.comm_info_invalidMode();
    w.comm_info_communicationError(QStringLiteral("error:x()"), false);
    const QString text = console->toPlainText();
    const int missing = text.indexOf("FEHLER: Kein Gleistron gefunden!");
    const int lost = text.indexOf("FEHLER: USB Verbindung mit Gleistron verloren!");
    const int back = text.indexOf("Verbindung wieder hergestellt!");
    const int mode = text.indexOf("Achtung! Gleistron nicht im Richtigem Modus.");
    const int broken = text.indexOf("Kommunikation mit Gleistron unterbrochen!");
    QVERIFY(missing >= 0 && missing < lost && lost < back && back < mode && mode < broken);
    QCOMPARE(console->textCursor().position(), console->document()->characterCount() - 1);
}

void TestMainWindow::keysAndHelp()
{
    QFile::remove(QStringLiteral("language_en.qm"));
    QVERIFY(QFile::copy(QStringLiteral(GLEISTRON_QM), QStringLiteral("language_en.qm")));
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (const char *name : {"action_oeffnen", "actionSpeichern", "actionSpeichern_unter",
                             "actionDrucken", "actionBeenden", "actionHandbuch"})
        QVERIFY2(!find<QAction>(w, name)->shortcut().isEmpty(), name);
    auto *tabs = find<QTabWidget>(w, "tabWidget");
    tabs->setCurrentIndex(1);
    // The manual by key, and the about box names version, licence and the maker's site.
    QTest::keySequence(&w, find<QAction>(w, "actionHandbuch")->shortcut());
    QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("tab_Start"));
    const QString about = MainWindow::aboutText();
    QVERIFY(about.contains("Gleistron Manager 1.3.0"));
    QVERIFY(about.contains("GNU General Public License"));
    QVERIFY(about.contains("https://www.orvandel.example"));
    QCOMPARE(find<QMenu>(w, "menuHilfe")->title(), QStringLiteral("&Hilfe"));
    w.setLanguage(MainWindow::English);
    QCOMPARE(find<QMenu>(w, "menuHilfe")->title(), QStringLiteral("&Help"));
    QCOMPARE(find<QAction>(w, "actionBeenden")->text(), QStringLiteral("&Quit"));
    w.setLanguage(MainWindow::German);
    // The log for support: version and station first, then the console.
    w.comm_info_gleistronVersion("56347812", "1.300", "0.003", "2.000");
    // Its dialog offers a name with ".txt" and adds it to one typed without; each line of the
    // console comes with its time.
    QString offered;
    QTimer answer;
    connect(&answer, &QTimer::timeout, &answer, [&offered] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->setDirectory(QDir::current());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("support"));
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
    answer.start(20);
    find<QAction>(w, "actionProtokollSpeichern")->trigger();
    QCOMPARE(offered, QStringLiteral("protokoll.txt"));
    QFile saved(QDir::current().filePath(QStringLiteral("support.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    QVERIFY2(text.startsWith("Gleistron Manager 1.3.0\nGleistron 56347812, Software 1.300\n\n"),
             qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(
                 "\n\\d\\d:\\d\\d:\\d\\d [^\\n]*Gleistron gefunden mit Seriennummer 56347812")),
             qPrintable(text));
    QVERIFY(!find<QAction>(w, "actionProtokollSpeichern")->text().isEmpty());
    // Quit by key, once the quiet start search has let go.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 30000);
    QTest::keySequence(&w, find<QAction>(w, "actionBeenden")->shortcut());
    QTRY_VERIFY(!w.isVisible());
}

// Every menu item and every button of a page has a mnemonic of its own, in both languages;
// mnemonics and Tab reach the backup tab's controls and the menus without a mouse.
void TestMainWindow::everythingByKeys()
{
    QVERIFY(QFile::copy(QStringLiteral(GLEISTRON_QM), QStringLiteral("language_en.qm")));
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 30000);
    const auto checkUnique = [](const QString &where, const QStringList &texts) {
        QSet<QString> keys;
        for (const QString &text : texts) {
            const QString key = QKeySequence::mnemonic(text).toString();
            QVERIFY2(!key.isEmpty(), qPrintable(where + ": no mnemonic in " + text));
            QVERIFY2(!keys.contains(key), qPrintable(where + ": " + key + " twice, " + text));
            keys.insert(key);
        }
    };
    auto *tabs = find<QTabWidget>(w, "tabWidget");
    // What Alt+letter reaches at once: the menu bar, the tabs and the page's buttons (a check
    // box may go without one: the list of data sets is reached by Tab and Space).
    const auto checkWindow = [&](const QString &where, const QStringList &titles) {
        QStringList texts = titles;
        for (int page = 0; page < tabs->count(); ++page)
            texts << tabs->tabText(page);
        for (QAbstractButton *button : tabs->currentWidget()->findChildren<QAbstractButton *>()) {
            const bool box = qobject_cast<QCheckBox *>(button);
            if (button->isVisible() && !button->text().isEmpty() &&
                (!box || !QKeySequence::mnemonic(button->text()).isEmpty()))
                texts << button->text();
        }
        checkUnique(where, texts);
    };
    for (int language = 0; language < 2; ++language) {
        if (language == 1)
            w.setLanguage(MainWindow::English);
        QStringList titles;
        for (QAction *menu : w.menuBar()->actions()) {
            if (!menu->isVisible() || !menu->menu())
                continue;
            titles << menu->text();
            QStringList items;
            for (QAction *action : menu->menu()->actions()) {
                if (!action->isSeparator() && action->isVisible())
                    items << action->text();
            }
            checkUnique(menu->text(), items);
        }
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            checkWindow(tabs->tabText(page), titles);
        }
        // The backup tab in each direction, and while a transfer could be cancelled.
        tabs->setCurrentIndex(1);
        for (const char *direction :
             {"pushButton_backup_dir_comm_pc", "pushButton_backup_dir_pc_comm"}) {
            find<QPushButton>(w, direction)->click();
            find<QPushButton>(w, "pushButton_backup_cancel")->show();
            checkWindow(QLatin1String(direction), titles);
            find<QPushButton>(w, "pushButton_backup_cancel")->hide();
        }
    }

    w.setLanguage(MainWindow::German);

    // The tabs by keys: the next and the previous from anywhere, and each by its mnemonic.
    tabs->setCurrentIndex(0);
    find<QWidget>(w, "textEdit_console")->setFocus();
    QTest::keyClick(&w, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QTest::keyClick(&w, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 2);
    QTest::keyClick(&w, Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 3);
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(tabs->currentIndex(), 1);

    // The backup tab by keys alone: Alt+G chooses the download, Alt+W ticks every set, Tab
    // reaches the download button and Space starts nothing without a station but the refusal.
    tabs->setCurrentIndex(1);
    QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
    QTRY_VERIFY(find<QPushButton>(w, "pushButton_backup_download")->isVisible());
    QTest::keyClick(&w, Qt::Key_W, Qt::AltModifier);
    QTRY_VERIFY(find<QCheckBox>(w, "checkBox_select_all")->isChecked());
    QVERIFY(find<QCheckBox>(w, "checkBox_weichen")->isChecked());
    QSet<QWidget *> reached;
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    find<QWidget>(w, "pushButton_backup_dir_comm_pc")->setFocus(Qt::TabFocusReason);
    for (const char *name : {"pushButton_backup_dir_comm_pc", "pushButton_backup_dir_pc_comm",
                             "pushButton_backup_download", "checkBox_weichen"})
        QVERIFY2(reached.contains(find<QWidget>(w, name)), name);

    // The file menu by its mnemonic, then an item by its own: "Gleistron su&chen".
    QTest::keyClick(&w, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() == find<QMenu>(w, "menuDatei"));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_C);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(
        find<QTextEdit>(w, "textEdit_console")->toPlainText().contains("Kein Gleistron"), 30000);

    // A question answers to its mnemonics: Alt+Y in English, Alt+J in German (Escape after a
    // while, so that a missing one fails instead of waiting).
    for (const auto &[key, english] : {std::pair{Qt::Key_Y, true}, {Qt::Key_J, false}}) {
        english ? w.setLanguage(MainWindow::English) : w.setLanguage(MainWindow::German);
        QTimer press;
        QElapsedTimer clock;
        clock.start();
        connect(&press, &QTimer::timeout, &press, [&, key = key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->isVisible())
                QTest::keyClick(box, clock.elapsed() < 3000 ? key : Qt::Key_Escape,
                                clock.elapsed() < 3000 ? Qt::AltModifier : Qt::NoModifier);
        });
        press.start(50);
        QVERIFY(askYes(&w, QStringLiteral("?")));
    }
    w.setLanguage(MainWindow::German);
}

void TestMainWindow::missingStationExplained()
{
    // No station: the console says what the port checks find, and a held port names its
    // holder instead.
    ScopedPorts ports(QStringLiteral("/nonexistent/gleistron0"));
    MainWindow w;
    w.show();
    auto *console = find<QTextEdit>(w, "textEdit_console");
    w.comm_info_noGleistron();
    QVERIFY2(console->toPlainText().contains(
                 "Mögliche Ursache: /nonexistent/gleistron0 gibt es nicht – Abhilfe: den Adapter "
                 "einstecken oder GLEISTRON_PORTS berichtigen"),
             qPrintable(console->toPlainText()));
    console->clear();
    w.comm_info_portHeld("/dev/ttyUSB0", "minicom (pid 42)");
    QVERIFY(console->toPlainText().contains(
        "FEHLER: /dev/ttyUSB0 wird von einem anderen Programm benutzt: minicom (pid 42)"));
    QVERIFY(!console->toPlainText().contains("Kein Gleistron"));
}

void TestMainWindow::stationMissingReturnsToIdle()
{
    MainWindow w;
    for (const char *name :
         {"action_leeren", "actionSpeichern", "actionSpeichern_unter", "action_oeffnen"})
        find<QAction>(w, name)->setEnabled(false);
    find<QPushButton>(w, "pushButton_backup_download")->setEnabled(false);
    find<QLabel>(w, "label_backup_action")->show();
    w.comm_info_gleistronVersion("56347812", "1.300", "0.003", "2.000");
    w.comm_info_noGleistron();
    for (const char *name :
         {"action_leeren", "actionSpeichern", "actionSpeichern_unter", "action_oeffnen"})
        QVERIFY2(find<QAction>(w, name)->isEnabled(), name);
    QVERIFY(find<QPushButton>(w, "pushButton_backup_download")->isEnabled());
    QVERIFY(find<QLabel>(w, "label_backup_action")->isHidden());
    QVERIFY(find<QLabel>(w, "label_serialNr")->text().isEmpty());
}

void TestMainWindow::updateHint_data()
{
    QTest::addColumn<QStringList>("versions");
    QTest::addColumn<int>("boxes");
    QTest::newRow("1.299 twice") << QStringList{"1.299", "1.299"} << 1;
    QTest::newRow("1.300") << QStringList{"1.300"} << 0;
    QTest::newRow("2.000") << QStringList{"2.000"} << 0;
    QTest::newRow("not a number") << QStringList{"x.y"} << 1;
    QTest::newRow("new then old") << QStringList{"1.300", "0.900", "1.100"} << 1;
}

void TestMainWindow::updateHint()
{
    QFETCH(QStringList, versions);
    QFETCH(int, boxes);
    MainWindow w;
    // The first look for adapters (none) has been, so it does not clear what follows.
    QTRY_VERIFY(!find<QLabel>(w, "label_adapter_status")->text().isEmpty());
    ModalAnswerer answerer;
    for (const QString &version : versions)
        w.comm_info_gleistronVersion("56347812", version, "0.003", "2.000");
    QCOMPARE(answerer.texts.size(), boxes);
    if (boxes)
        QVERIFY(answerer.texts.first().contains("https://www.orvandel.example/index.php?"));
    QCOMPARE(find<QLabel>(w, "label_softwareVersion")->text(), versions.last());
}

void TestMainWindow::closeWhileJobRuns()
{
    SimProcess sim;
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    w.show();
    QPointer<EndlessJob> job = new EndlessJob;
    w.trackJob(job);
    job->start();
    {
        ModalAnswerer no(QStringLiteral("Nein"));
        QVERIFY(!w.close());
        QCOMPARE(no.texts.size(), 1);
    }
    QVERIFY(w.isVisible());
    QVERIFY(job->isRunning());
    {
        ModalAnswerer yes(QStringLiteral("Ja"));
        w.close();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 10000);
    }
    QVERIFY(!w.jobsRunning());
    QTRY_VERIFY(job.isNull()); // the window released the finished job
}

void TestMainWindow::missingAdapterLibrary()
{
    qputenv("GLEISTRON_FTD2XX", "/nonexistent/libftd2xx.so");
    ModalAnswerer answerer;
    const int status = runMainWindow();
    qunsetenv("GLEISTRON_FTD2XX");
    QCOMPARE(status, 1);
    QCOMPARE(answerer.texts, QStringList{"Library not found!"});
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().cbegin(),
                         QApplication::topLevelWidgets().cend(),
                         [](QWidget *w) { return qobject_cast<MainWindow *>(w); }));
}

// The reports that travel as values read in the console as they always have: the markup, the
// blank line before an early end, the rule after the last line, names escaped.
void TestMainWindow::reportsAsTheConsoleShowsThem_data()
{
    using namespace Catalogue;
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    const QString red = QStringLiteral("<span style=\"font-weight:bold;color:#990000;\">");
    const QString dark = QStringLiteral("<span style=\"font-weight:bold;color:#660000;\">");
    using Kind = TransferEvent::Kind;
    auto event = [](Kind kind) {
        TransferEvent e;
        e.kind = kind;
        return e;
    };

    TransferEvent stopped = event(Kind::DownloadStopped);
    stopped.done = {Lokomotiven};
    stopped.left = {Weichen, Fahrstrassen};
    QTest::newRow("download stopped")
        << transferEventHtml(stopped)
        << "<BR>" + dark +
               "Herunterladen abgebrochen.</span> Vollständig geladen: Lokomotiven. Nicht "
               "übernommen: Schaltartikel, Fahrstrassen.<BR>";
    TransferEvent failed = event(Kind::DownloadFailed);
    failed.set = Gleisplan2;
    failed.record = 3 * 256 + 7; // column 3, row 7
    failed.left = {Gleisplan2};
    QTest::newRow("download failed")
        << transferEventHtml(failed)
        << "<BR>" + red +
               "Herunterladen fehlgeschlagen:</span> Der Gleistron antwortet auf Gleisplan 2, "
               "Zeile 7, Spalte 3 wiederholt anders, als der Befehl es zulässt. Vollständig "
               "geladen: keine. Nicht übernommen: Gleisplan 2.<BR>";
    TransferEvent ended = event(Kind::UploadEnded);
    ended.end = TransferEvent::End::Failed;
    ended.set = Weichen;
    ended.record = 12;
    ended.done = {Lokomotiven};
    ended.images = 4;
    ended.pending = {Weichen};
    QTest::newRow("upload failed, writes pending")
        << transferEventHtml(ended)
        << "<BR>" + red +
               "Hochladen fehlgeschlagen:</span> Der Gleistron antwortet auf Schaltartikel, "
               "Datensatz 12 wiederholt anders, als der Befehl es zulässt. Aus der Datei "
               "übernommen: Lokomotiven, Lokbilder (4 Bilder). Im Gleistron unverändert: "
               "keine.<BR>" +
               red +
               "Gesendet, aber nicht gespeichert: Schaltartikel.</span> Der Gleistron kann diese "
               "Daten vorgemerkt halten, bis er neu gestartet wird; bitte vor dem nächsten "
               "Hochladen aus- und wieder einschalten.<BR>";
    TransferEvent left = event(Kind::UploadEnded);
    left.end = TransferEvent::End::LeftPcMode;
    left.left = {System};
    QTest::newRow("upload left the PC mode")
        << transferEventHtml(left)
        << "<BR>" + dark +
               "Hochladen beendet: der Gleistron hat den PC-Modus verlassen.</span> Aus der Datei "
               "übernommen: keine. Im Gleistron unverändert: Systemkonfiguration.<BR>";
    TransferEvent unconfirmed = event(Kind::UploadUnconfirmed);
    unconfirmed.sets = {Fahrstrassen};
    QTest::newRow("upload unconfirmed")
        << transferEventHtml(unconfirmed)
        << dark + "Hochladen nicht bestätigt:</span> Während Fahrstrassen gesendet wurde, war die "
                  "Verbindung unterbrochen. Eine Station, die dabei neu begonnen hat, hat diese "
                  "Daten verworfen. Bitte erneut hochladen oder vergleichen (Datei &gt; Mit "
                  "Gleistron vergleichen).<BR><HR><BR>";
    TransferEvent kept = event(Kind::KeptFile);
    kept.path = QStringLiteral("/tmp/a&b.GTB2");
    QTest::newRow("kept file") << transferEventHtml(kept)
                               << "Backup Datei <B>/tmp/a&amp;b.GTB2</B> gespeichert.<BR>";
    TransferEvent verified = event(Kind::Verified);
    verified.compared = 9;
    verified.differences = {{QStringLiteral("weichen"), 3, 7, false},
                            {QStringLiteral("fahrstrassen"), 9, 0, true}};
    QTest::newRow("verify differs")
        << transferEventHtml(verified)
        << red + "Prüfung: 2 von 9 Datensätzen weichen ab:</span><BR>weichen 3 ab Byte 7<BR>"
                 "fahrstrassen 9: nur im Gleistron<BR>1 Datensätze hat nur der Gleistron, nicht "
                 "die Datensicherung. Der Gleistron behält sie; sollen sie weg, bitte am "
                 "Gleistron löschen.<BR>";
    verified.differences.clear();
    QTest::newRow("verify clean")
        << transferEventHtml(verified)
        << "<span style=\"font-weight:bold;color:#006600;\">Prüfung: alle 9 Datensätze und "
           "Blöcke stimmen überein.</span><BR>";

    SessionProblem damaged;
    damaged.kind = SessionProblem::Kind::FileDamaged;
    damaged.sets = {Weichen, Rueckmelder};
    QTest::newRow("damaged file")
        << sessionProblemHtml(damaged)
        << "<BR>" + red +
               "Die Datei ist beschädigt (Schaltartikel, Rückmelder); nichts wurde "
               "gesendet.</span><BR>";
    SessionProblem unwritable;
    unwritable.kind = SessionProblem::Kind::KeepWriteFailed;
    unwritable.path = QStringLiteral("<x>.GTB2");
    unwritable.error = QStringLiteral("disk full");
    QTest::newRow("keep-previous unwritable")
        << sessionProblemHtml(unwritable)
        << "<BR>" + red +
               "&lt;x&gt;.GTB2 kann nicht geschrieben werden: disk full; nichts wurde "
               "gesendet.</span><BR>";
    QTest::newRow("no problem") << sessionProblemHtml(SessionProblem{}) << QString();
}

void TestMainWindow::reportsAsTheConsoleShowsThem()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(html, expected);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

#include "mainwindow.h"

#include "askyes.h"
#include "ftd2xx/adapterports.h"
#include "link/stationlink.h"
#include "link/stationprobe.h"
#include "link/statustexts.h"
#include "lsbupdate/lsb_updater.h"
#include "ui/backuptab.h"
#include "ui/documentactions.h"
#include "ui/lsbpage.h"
#include "ui/routestab.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

namespace {
QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    title = QStringLiteral("Orvandel Gleistron Manager 1.3");
    ui->menuSprache->menuAction()->setVisible(false);
    ui->mainToolBar->hide();
    actions = std::make_unique<DocumentActions>(ui.get(), doc);
    backup = std::make_unique<BackupTab>(*this, ui.get(), doc);

    ui->textEdit_manual_de->setHtml(resourceText(QStringLiteral(":/resources/manual_de.html")));
    ui->textEdit_manual_en->setHtml(resourceText(QStringLiteral(":/resources/manual_en.html")));
    addKeysAndHelp();
    applySavedLanguage();

    ui->actionSpeichern->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->action_oeffnen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    on_tabWidget_currentChanged(ui->tabWidget->currentIndex());
    lsb = std::make_unique<LsbPage>(*this, ui.get());

    routes = std::make_unique<RoutesTab>(*this, ui.get(), doc);
    routes->build();
    connectTabs();
    ui->tabWidget->removeTab(3);
    ui->tabWidget->removeTab(3);
    ui->pushButton_Fahrstrassen_refresh->setEnabled(false);
    ui->pushButton_Fahrstrassen_refresh->hide();
    ui->pushButton_Fahrstrassen_backup_load->hide();
    ui->checkBox_user_lokfunktionen->hide();
    ui->checkBox_user_signale->hide();
    refreshLabels();

    // Is the station there? A quiet search once the window runs, and the adapter list twice a
    // second, without opening a port.
    adapterStatus = new QLabel(this);
    adapterStatus->setObjectName(QStringLiteral("label_adapter_status"));
    statusBar()->addPermanentWidget(adapterStatus, 1);
    // Open within the screen's free area (a small screen, a panel): room is left for a title
    // bar, which is not known before the window is shown.
    if (const QScreen *shown = screen()) {
        const QRect free = shown->availableGeometry();
        resize(size().boundedTo(free.size() - QSize(0, 40)).expandedTo(minimumSizeHint()));
        move(free.topLeft());
    }
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, &MainWindow::watchAdapters);
    watch->start(500);
    QTimer::singleShot(0, this, [this] {
        watchAdapters();
        searchStation(true);
    });
}

void MainWindow::searchStation(bool quiet)
{
    if (quiet ? jobsRunning() : refuseWhileBusy())
        return;
    auto *probe = new StationProbe;
    if (quiet)
        connect(probe, &StationLink::signal_info_gleistronVersion, this,
                &MainWindow::comm_station_present, Qt::QueuedConnection);
    else
        connectStatus(probe);
    trackJob(probe);
    probe->start();
}

void MainWindow::watchAdapters()
{
    // Only ports that are there: a configured path whose adapter is out is no adapter.
    int count = 0;
    for (const AdapterPorts::Port &port : AdapterPorts::list())
        count += QFileInfo::exists(port.path) ? 1 : 0;
    // A pulled cable shows on the bar at once; the job notices only after its tries.
    if (count == 0)
        backup->linkLost(true);
    if (count == adapterCount)
        return;
    const bool pluggedIn = adapterCount == 0 && count > 0;
    adapterCount = count;
    showAdapterStatus();
    if (count == 0)
        forgetStation(); // with the adapter out, no station is connected
    else if (pluggedIn)
        searchStation(true); // who it is, as at start
}

// A permanent widget: the menus' status tips do not overwrite it.
void MainWindow::showAdapterStatus()
{
    if (adapterStatus && adapterCount >= 0)
        adapterStatus->setText(adapterCount > 0 ? tr("Gleistron-Adapter angeschlossen")
                                                : tr("Kein Adapter"));
}

void MainWindow::forgetStation()
{
    ui->label_serialNr->setText(QString());
    ui->label_softwareVersion->setText(QString());
    ui->label_protokollVersion->setText(QString());
    ui->label_datenmodellVersion->setText(QString());
    ui->label_4->show(); // how to connect one
}

void MainWindow::comm_station_present(QString serial, QString softwareVersion,
                                      QString protocolVersion, QString dataModelVersion)
{
    lastSerial = serial;
    lastSoftware = softwareVersion;
    ui->label_serialNr->setText(serial);
    ui->label_softwareVersion->setText(softwareVersion);
    ui->label_protokollVersion->setText(protocolVersion);
    ui->label_datenmodellVersion->setText(dataModelVersion);
    ui->label_4->hide(); // connected: the hint how to connect is done
}

MainWindow::~MainWindow()
{
    // Normally every job has ended before the window goes (see closeEvent); this is the last
    // guard against a job that would outlive the document it writes into.
    for (const QPointer<StationLink> &job : std::as_const(jobs)) {
        if (job) {
            job->requestStop();
            job->wait();
        }
    }
}

void MainWindow::connectTabs()
{
    connect(actions.get(), &DocumentActions::message, this, &MainWindow::consoleAppend);
    connect(backup.get(), &BackupTab::message, this, &MainWindow::comm_backup_message);
    connect(routes.get(), &RoutesTab::message, this, &MainWindow::consoleAppend);
    connect(lsb.get(), &LsbPage::message, this, &MainWindow::consoleAppend);
    connect(actions.get(), &DocumentActions::documentChanged, this, &MainWindow::refreshLabels);
    connect(backup.get(), &BackupTab::documentChanged, this, &MainWindow::refreshLabels);
    const auto repaintRoutes = [this] { routes->routesLoaded(1024, true); };
    connect(actions.get(), &DocumentActions::routesChanged, this, repaintRoutes);
    connect(backup.get(), &BackupTab::routesChanged, this, repaintRoutes);
    connect(backup.get(), &BackupTab::busyChanged, actions.get(), &DocumentActions::setBusy);
    // Closing waits for the transfer's results, not only for its thread: a download whose
    // data has not reached the document yet must still be asked about before it is dropped.
    connect(backup.get(), &BackupTab::busyChanged, this, [this](bool busy) {
        transferBusy = busy;
        if (!busy)
            jobFinished();
    });
    connect(actions.get(), &DocumentActions::fileShown, backup.get(), &BackupTab::showFileInfo);
    connect(backup.get(), &BackupTab::stationCompared, this,
            [this](const QList<BackupDiff::Line> &lines, const QString &serial) {
                actions->showDifferences(tr("Vergleich mit Gleistron %1").arg(serial), lines,
                                         tr("nur im Gleistron"));
            });
}

// The platform's keys for the file actions, "Beenden", and a help menu; their texts are set
// again at every language switch.
void MainWindow::addKeysAndHelp()
{
    // The platform's key, else the common one (some platforms name none for quit or save as).
    const auto standard = [](QKeySequence::StandardKey key, const char *fallback) {
        const QKeySequence sequence(key);
        return sequence.isEmpty() ? QKeySequence(QLatin1String(fallback)) : sequence;
    };
    ui->action_oeffnen->setShortcut(standard(QKeySequence::Open, "Ctrl+O"));
    ui->actionSpeichern->setShortcut(standard(QKeySequence::Save, "Ctrl+S"));
    ui->actionSpeichern_unter->setShortcut(standard(QKeySequence::SaveAs, "Ctrl+Shift+S"));
    ui->actionDrucken->setShortcut(standard(QKeySequence::Print, "Ctrl+P"));
    quitAction = new QAction(this);
    quitAction->setObjectName(QStringLiteral("actionBeenden"));
    quitAction->setShortcut(standard(QKeySequence::Quit, "Ctrl+Q"));
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    logAction = new QAction(this);
    logAction->setObjectName(QStringLiteral("actionProtokollSpeichern"));
    connect(logAction, &QAction::triggered, this, [this] {
        const QString name = DocumentActions::askTextFile(this, tr("Protokoll speichern"),
                                                          QDir::homePath(), tr("protokoll"));
        if (!name.isEmpty() && !saveLog(name))
            consoleAppend(
                tr("<BR><B>%1 kann nicht geschrieben werden.</B><BR>").arg(name.toHtmlEscaped()));
    });
    ui->menuDatei->setToolTipsVisible(true); // the compares say what they do
    ui->menuDatei->addSeparator();
    ui->menuDatei->addAction(logAction);
    ui->menuDatei->addSeparator();
    ui->menuDatei->addAction(quitAction);
    helpMenu = menuBar()->addMenu(QString());
    helpMenu->setObjectName(QStringLiteral("menuHilfe"));
    manualAction = helpMenu->addAction(QString());
    manualAction->setObjectName(QStringLiteral("actionHandbuch"));
    manualAction->setShortcut(standard(QKeySequence::HelpContents, "F1"));
    // The start page holds the manual of the language shown.
    connect(manualAction, &QAction::triggered, this,
            [this] { ui->tabWidget->setCurrentWidget(ui->tab_Start); });
    aboutAction = helpMenu->addAction(QString());
    aboutAction->setObjectName(QStringLiteral("actionUeber"));
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    // The next and the previous tab from anywhere in the window, as desktop programs do.
    const auto step = [this](int by) {
        QTabWidget *tabs = ui->tabWidget;
        tabs->setCurrentIndex((tabs->currentIndex() + by + tabs->count()) % tabs->count());
    };
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(-1); });
}

// The console for support: the program's version and the station's identity first.
QString MainWindow::logText() const
{
    QString text = QStringLiteral("Gleistron Manager %1\n").arg(QStringLiteral(GLEISTRON_VERSION));
    if (!lastSerial.isEmpty())
        text += tr("Gleistron %1, Software %2").arg(lastSerial, lastSoftware) + QLatin1Char('\n');
    text += QLatin1Char('\n');
    // Each line with the time it came.
    const QTextDocument *console = ui->textEdit_console->document();
    for (QTextBlock line = console->begin(); line.isValid(); line = line.next()) {
        const int second = qMax(line.userState(), 0);
        text +=
            QTime::fromMSecsSinceStartOfDay(second * 1000).toString(QStringLiteral("HH:mm:ss")) +
            QLatin1Char(' ') + line.text() + QLatin1Char('\n');
    }
    return text;
}

// The lines that came since the last stamp remember the time, for the saved log.
void MainWindow::stampConsole()
{
    const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    for (QTextBlock line = ui->textEdit_console->document()->lastBlock();
         line.isValid() && line.userState() < 0; line = line.previous())
        line.setUserState(now);
}

bool MainWindow::saveLog(const QString &path) const
{
    return DocumentActions::writeText(path, logText());
}

void MainWindow::retranslateKeysAndHelp()
{
    logAction->setText(tr("&Protokoll speichern ..."));
    quitAction->setText(tr("&Beenden"));
    helpMenu->setTitle(tr("&Hilfe"));
    manualAction->setText(tr("&Handbuch"));
    aboutAction->setText(tr("Ü&ber Gleistron Manager ..."));
}

QString MainWindow::aboutText()
{
    return tr("<b>Gleistron Manager %1</b><br><br>Datensicherung, Fahrstrassen und "
              "LSB-Firmware für die Orvandel Gleistron Zentrale.<br><br>Freie Software unter "
              "der GNU General Public License, Version 3 oder später.<br><br>"
              "<a href=\"%2\">%2</a>")
        .arg(QStringLiteral(GLEISTRON_VERSION), QLatin1String(StatusTexts::webHost));
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, tr("Über Gleistron Manager"), aboutText());
}

void MainWindow::on_actionGleistronSuchen_triggered()
{
    searchStation(false);
}

void MainWindow::connectStatus(StationLink *job)
{
    connect(job, &StationLink::signal_info_invalidMode, this, &MainWindow::comm_info_invalidMode,
            Qt::QueuedConnection);
    connect(job, &StationLink::signal_info_noGleistron, this, &MainWindow::comm_info_noGleistron,
            Qt::QueuedConnection);
    connect(job, &StationLink::signal_info_portHeld, this, &MainWindow::comm_info_portHeld,
            Qt::QueuedConnection);
    connect(job, &StationLink::signal_info_gleistronVersion, this,
            &MainWindow::comm_info_gleistronVersion, Qt::QueuedConnection);
    connect(job, &StationLink::signal_info_communicationError, this,
            &MainWindow::comm_info_communicationError, Qt::QueuedConnection);
    connect(job, &StationLink::signal_exchange_failed, this, &MainWindow::comm_exchange_failed,
            Qt::QueuedConnection);
    connect(job, &StationLink::signal_reconnected, this, &MainWindow::comm_resumed,
            Qt::QueuedConnection);
}

void MainWindow::trackJob(StationLink *job, bool owned)
{
    // An owned job goes with the window, so that one whose deferred deletion never ran does not
    // outlive it.
    if (owned)
        job->setParent(this);
    jobs.append(job);
    connect(job, &QThread::finished, this, &MainWindow::jobFinished, Qt::QueuedConnection);
}

bool MainWindow::jobsRunning() const
{
    if (transferBusy)
        return true;
    for (const QPointer<StationLink> &job : jobs) {
        if (job && job->isRunning())
            return true;
    }
    return false;
}

bool MainWindow::refuseWhileBusy()
{
    if (!jobsRunning())
        return false;
    consoleAppend(tr("<BR><B>Es läuft bereits eine Übertragung mit dem Gleistron. Bitte warten, "
                     "bis sie beendet ist.</B><BR>"));
    return true;
}

void MainWindow::jobFinished()
{
    // A job of the window's that has run goes; others belong to their owners.
    for (int i = jobs.size() - 1; i >= 0; --i) {
        StationLink *job = jobs.at(i);
        if (!job) {
            jobs.removeAt(i);
        } else if (job->parent() == this && job->isFinished()) {
            jobs.removeAt(i);
            job->deleteLater();
        }
    }
    if (jobsRunning())
        return;
    refreshLabels(); // the document is the window's again
    if (closeAfterJobs) {
        closeAfterJobs = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (jobsRunning()) {
        event->ignore();
        if (closeAfterJobs)
            return;
        if (!askYes(this, tr("Eine Übertragung mit dem Gleistron läuft noch.\n\nWollen Sie sie "
                             "abbrechen und das Programm beenden?")))
            return;
        closeAfterJobs = true;
        consoleAppend(tr("<BR>Übertragung wird abgebrochen ...<BR>"));
        for (const QPointer<StationLink> &job : std::as_const(jobs)) {
            if (job)
                job->requestStop();
        }
        // The transfer may have ended while the question was open: then nothing else will.
        if (!jobsRunning()) {
            closeAfterJobs = false;
            QTimer::singleShot(0, this, &QWidget::close);
        }
        return;
    }
    if (actions->confirmDiscard())
        event->accept();
    else
        event->ignore();
}

void MainWindow::consoleAppend(const QString &html)
{
    QTextCursor cursor = ui->textEdit_console->textCursor();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->insertHtml(html);
    stampConsole();
    cursor.movePosition(QTextCursor::End);
    ui->textEdit_console->setTextCursor(cursor);
    ui->textEdit_console->ensureCursorVisible();
}

void MainWindow::refreshLabels()
{
    QString windowTitle;
    if (doc.modified)
        windowTitle += QStringLiteral("* ");
    windowTitle += doc.fileName;
    if (!doc.fileName.isEmpty())
        windowTitle += QStringLiteral(" - ");
    setWindowTitle(windowTitle + title);
    backup->refresh();
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    ui->actionDrucken->setEnabled(index == 2);
}

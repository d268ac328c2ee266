#include "mainwindow.h"

#include "askyes.h"
#include "ftd2xx/adapterports.h"
#include "link/stationlink.h"
#include "link/stationprobe.h"
#include "ui/backuptab.h"
#include "ui/documentactions.h"
#include "ui/lsbpage.h"
#include "ui/routestab.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
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
    ui->groupBox_backupInfo->hide();
    ui->label_datum_backup->hide();
    ui->label_datum_backup_label->hide();
    actions = std::make_unique<DocumentActions>(this, doc);
    backup = std::make_unique<BackupTab>(*this, doc);
    routes = std::make_unique<RoutesTab>(*this, doc);
    lsb = std::make_unique<LsbPage>(*this);
    // Their titles come with the window's other texts (retranslate).
    ui->tabWidget->addTab(backup.get(), QString());
    ui->tabWidget->addTab(routes.get(), QString());
    ui->tabWidget->addTab(lsb.get(), QString());
    connectTabs();
    connectActions();
    routes->build();

    ui->textEdit_manual_de->setHtml(resourceText(QStringLiteral(":/resources/manual_de.html")));
    ui->textEdit_manual_en->setHtml(resourceText(QStringLiteral(":/resources/manual_en.html")));
    addKeysAndHelp();
    applySavedLanguage();

    ui->actionSpeichern->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->action_oeffnen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    on_tabWidget_currentChanged(ui->tabWidget->currentIndex());
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
    connect(routes.get(), &RoutesTab::historyRequested, actions.get(), [this](int route) {
        actions->showHistory(QStringLiteral("fahrstrassen"), route);
    });
    connect(lsb.get(), &LsbPage::message, this, &MainWindow::consoleAppend);
    connect(actions.get(), &DocumentActions::documentChanged, this, &MainWindow::refreshLabels);
    connect(backup.get(), &BackupTab::documentChanged, this, &MainWindow::refreshLabels);
    const auto repaintRoutes = [this] { routes->routesLoaded(1024, true); };
    connect(actions.get(), &DocumentActions::routesChanged, this, repaintRoutes);
    connect(backup.get(), &BackupTab::routesChanged, this, repaintRoutes);
    // Closing waits for the transfer's results, not only for its thread: a download whose
    // data has not reached the document yet must still be asked about before it is dropped.
    connect(backup.get(), &BackupTab::busyChanged, this, [this](bool busy) {
        transferBusy = busy;
        actions->setBusy(busy); // the file actions wait for it
        for (QAction *action : {ui->action_leeren, ui->actionSpeichern, ui->actionSpeichern_unter,
                                ui->action_oeffnen, ui->actionLetzteSicherungen})
            action->setEnabled(!busy);
        if (!busy)
            jobFinished();
    });
    connect(actions.get(), &DocumentActions::fileShown, this, [this](bool shown) {
        ui->groupBox_backupInfo->setVisible(shown); // what the opened file tells
        backup->documentReplaced();
    });
    connect(backup.get(), &BackupTab::stationCompared, this,
            [this](const QList<BackupDiff::Line> &lines, const QString &serial,
                   std::shared_ptr<const DataImage> station) {
                actions->showDifferences(tr("Vergleich mit Gleistron %1").arg(serial), lines,
                                         tr("nur im Gleistron"), std::move(station));
            });
    connect(actions.get(), &DocumentActions::takeBackRequested, backup.get(),
            &BackupTab::takeBack);
}

void MainWindow::on_actionGleistronSuchen_triggered()
{
    searchStation(false);
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


// The window as the tabs' JobHost: one job at a time, each tracked until it has ended.

#include "link/stationlink.h"
#include "mainwindow.h"

#include <QTimer>

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

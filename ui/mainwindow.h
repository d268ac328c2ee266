#pragma once

#include "backupfile/document.h"
#include "ui/jobhost.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <memory>

namespace Ui {
class MainWindow;
}
class BackupTab;
class StationLink;
class DocumentActions;
class LsbPage;
class RoutesTab;

// The window: the start page, the tabs (BackupTab, RoutesTab, LsbPage, each a widget with its
// own form), the menus, the console and the status bar, around the document (Document, with
// DocumentActions for its dialogs). The tabs talk to it through their signals and, for their
// jobs, through JobHost; the status slots here take the station's reports.
class MainWindow : public QMainWindow, public JobHost
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr); // throws const char* without adapter library
    ~MainWindow() override;

    enum Language : qint8 { German, English };
    // Switches the whole window and keeps the choice in settings.ini.
    void setLanguage(Language chosen);
    void consoleAppend(const QString &html);
    void refreshLabels();

    Document &document() { return doc; }
    DocumentActions &documentActions() { return *actions; }
    BackupTab &backupTab() { return *backup; }
    RoutesTab &routesTab() { return *routes; }
    LsbPage &lsbPage() { return *lsb; }

    // Every started job is tracked, so that closing the window stops it and waits for it
    // instead of leaving it writing into a freed document. An owned job is deleted after it.
    void trackJob(StationLink *job, bool owned = true) override;
    bool jobsRunning() const;
    // The station serves one job at a time: true (with a console line) while one runs.
    bool refuseWhileBusy() override;
    // The station reports every job makes, to the status slots; queued.
    void connectStatus(StationLink *job) override;
    QString stationSerial() const override { return lastSerial; }
    QString stationSoftwareVersion() const { return lastSoftware; }

    Language language = German;
    static QString aboutText(); // version, licence, the maker's web host
    QString logText() const;    // the console with the version and the station first
    bool saveLog(const QString &path) const;

public slots:
    void on_actionEnglisch_triggered();
    void on_actionDeutsch_triggered();
    void on_radioButton_English_clicked();
    void on_radioButton_German_clicked();
    void on_tabWidget_currentChanged(int index);
    void comm_info_invalidMode();
    void comm_info_noGleistron();
    void comm_info_portHeld(const QString &port, const QString &holder);
    void comm_info_gleistronVersion(QString serial, QString softwareVersion,
                                    QString protocolVersion, QString dataModelVersion);
    void comm_info_communicationError(QString text, bool flag);
    void comm_backup_message(QString html);
    void comm_exchange_failed();
    void comm_resumed();
    void on_actionGleistronSuchen_triggered();
    // The identity a quiet search found: the "Gleistron Info" labels only.
    void comm_station_present(QString serial, QString softwareVersion, QString protocolVersion,
                              QString dataModelVersion);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applySavedLanguage();
    void retranslate();
    void addKeysAndHelp();
    void retranslateKeysAndHelp();
    void connectActions();
    void showAbout();
    void settingNotSaved();
    void jobFinished();
    void connectTabs();
    // Looks for the station; quiet: fills the identity when one answers, says nothing else.
    void searchStation(bool quiet);
    void watchAdapters();
    void forgetStation();
    void stampConsole();
    void showAdapterStatus();

    std::unique_ptr<Ui::MainWindow> ui;
    Document doc;
    QTranslator translator;
    QTranslator qtTranslator; // Qt's own German texts
    std::unique_ptr<DocumentActions> actions;
    // The tabs sit in the tab widget but go before the document they show.
    std::unique_ptr<BackupTab> backup;
    std::unique_ptr<RoutesTab> routes;
    std::unique_ptr<LsbPage> lsb;
    QList<QPointer<StationLink>> jobs;
    bool closeAfterJobs = false;
    // A transfer is busy from its start until its results are in the document, which is
    // later than its job's thread ends.
    bool transferBusy = false;
    bool updateHintShown = false;
    QString title;
    int adapterCount = -1;
    class QLabel *adapterStatus = nullptr; // the status bar's adapter line
    class QAction *quitAction = nullptr;
    class QAction *logAction = nullptr;
    class QAction *manualAction = nullptr;
    class QAction *aboutAction = nullptr;
    class QMenu *helpMenu = nullptr;
    QString lastSerial; // the station as the last job reported it
    QString lastSoftware;
};

#pragma once

#include "backupfile/document.h"

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
class Comm2Pc;
class DocumentActions;
class FtdLibrary;
class LsbPage;
class RoutesTab;

// The widget tree and its slots. Each tab is a class of its own (BackupTab, RoutesTab,
// LsbPage), the document another (Document, with DocumentActions for its dialogs); the slots
// here forward to them.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr); // throws const char* without adapter library
    ~MainWindow() override;

    void setLanguageGerman();
    void setLanguageEnglish();
    void consoleAppend(const QString &html);
    void refreshLabels();

    Document &document() { return doc; }
    DocumentActions &documentActions() { return *actions; }
    BackupTab &backupTab() { return *backup; }
    RoutesTab &routesTab() { return *routes; }
    LsbPage &lsbPage() { return *lsb; }

    // Every started job is tracked, so that closing the window stops it and waits for it
    // instead of leaving it writing into a freed document. An owned job is deleted after it.
    void trackJob(Comm2Pc *job, bool owned = true);
    bool jobsRunning() const;
    // The station serves one job at a time: true (with a console line) while one runs.
    bool refuseWhileBusy();
    // The station reports every job makes, to the status slots; queued.
    void connectStatus(Comm2Pc *job);
    QString stationSerial() const { return lastSerial; }
    QString stationSoftwareVersion() const { return lastSoftware; }

    qint8 language = 0;

public slots:
    void on_actionEnglisch_triggered();
    void on_actionDeutsch_triggered();
    void on_radioButton_English_clicked();
    void on_radioButton_German_clicked();
    void on_action_leeren_triggered();
    void on_actionSpeichern_unter_triggered();
    void on_actionSpeichern_triggered();
    void on_action_oeffnen_triggered();
    void on_tabWidget_currentChanged(int index);
    void on_checkBox_select_all_toggled(bool checked);
    void on_pushButton_backup_upload_clicked();
    void on_pushButton_backup_download_clicked();
    void on_actionDrucken_triggered();
    void on_listWidget_Fahrstrassen_itemSelectionChanged();
    void on_pushButton_backup_file_clicked();
    void on_pushButton_backup_dir_comm_pc_clicked();
    void on_pushButton_backup_dir_pc_comm_clicked();
    void on_pushButton_lsb_file_clicked();
    void on_pushButton_lsb_update_cancel_clicked();
    void comm_info_invalidMode();
    void comm_info_noGleistron();
    void comm_info_portHeld(const QString &port, const QString &holder);
    void comm_info_gleistronVersion(QString serial, QString softwareVersion,
                                    QString protocolVersion, QString dataModelVersion);
    void comm_info_communicationError(QString text, bool flag);
    void comm_lsb_update_device(unsigned short address, unsigned short type, unsigned short hw,
                                unsigned short sw);
    void comm_lsb_update_data(unsigned short type, unsigned short hw, unsigned short sw);
    void comm_lsb_update_file_error();
    void comm_lsb_update_invalid_mode();
    void comm_fahrstrassen_loaded(short itemNr, bool success);
    void on_pushButton_Fahrstrassen_backup_load_clicked();
    void comm_backup_message(QString html);
    void comm_progress(int permille);
    void comm_backup_download_complete(bool success);
    void comm_backup_upload_complete(bool success);
    void comm_exchange_failed();
    void comm_resumed();
    void comm_version_problem_upload(int version);
    void comm_version_problem_download(int version);
    void comm_lsb_update_type_mismatch(unsigned short fileType, unsigned short deviceType);
    void comm_lsb_update_confirm(unsigned short fileType, unsigned short fileSoftware,
                                 unsigned short deviceType, unsigned short deviceSoftware);
    void comm_lsb_update_progress(int permille);
    void comm_lsb_update_finished(int bytes, int datagrams);
    void comm_lsb_update_ended(int outcome, int detail);
    void on_pushButton_backup_cancel_clicked();
    void on_actionVergleichen_triggered();
    void on_actionGleistronSuchen_triggered();
    // The identity a quiet search found: the "Gleistron Info" labels only.
    void comm_station_present(QString serial, QString softwareVersion, QString protocolVersion,
                              QString dataModelVersion);
    void comm_transfer_stopped();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applySavedLanguage();
    void settingNotSaved();
    void jobFinished();
    void connectLsbJob();
    // Looks for the station; quiet: fills the identity when one answers, says nothing else.
    void searchStation(bool quiet);
    void watchAdapters();

    std::unique_ptr<Ui::MainWindow> ui;
    Document doc;
    QTranslator translator;
    QTranslator qtTranslator; // Qt's own German texts
    std::unique_ptr<DocumentActions> actions;
    std::unique_ptr<BackupTab> backup;
    std::unique_ptr<RoutesTab> routes;
    std::unique_ptr<LsbPage> lsb;
    QList<QPointer<Comm2Pc>> jobs;
    bool closeAfterJobs = false;
    bool updateHintShown = false;
    QString title;
    std::unique_ptr<FtdLibrary> adapters; // lists adapters without opening them
    int adapterCount = -1;
    QString lastSerial; // the station as the last job reported it
    QString lastSoftware;
};

#pragma once

#include "datasets/dataimage.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <array>
#include <memory>

namespace Ui {
class MainWindow;
}
class Comm2Pc;
class LSB_Updater;
class Comm_backup_download;
class Comm_backup_upload;
class BackupJob;
class QCheckBox;
class QFile;
class QLabel;

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

    // Every started job is tracked, so that closing the window stops it and waits for it
    // instead of leaving it writing into a freed document.
    void trackJob(Comm2Pc *job);
    bool jobsRunning() const;
    // The station serves one job at a time: true (with a console line) while one runs.
    bool refuseWhileBusy();

    // Document operations; the menu slots add the file dialogs.
    void openBackup();
    void openBackupFile(const QString &path);
    bool saveBackup();
    bool saveBackupAs();
    bool saveBackupTo(const QString &path);
    bool writeBackup();
    void clearDocument();
    void importLegacyBackup(const QString &path);
    const DataImage &documentImage() const { return document; }

    // Routes tab and printing.
    void buildRoutesTab();
    bool showRoute();
    void showCommandRow(int row, int card, quint16 address, quint8 kind, quint8 state,
                        quint16 extra);
    void startRouteLoader();
    void printRoute();
    qint8 routeState(int index) const { return routeStatus[size_t(index)]; }

    // LSB update page.
    void startLsbUpdate(const QString &firmwareFile);
    bool lsbUpdateRunning() const;
    bool isModified() const { return modified; }

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applySavedLanguage();
    void setFileActionsEnabled(bool enabled);
    void setTransferButtonsEnabled(bool enabled);
    void jobFinished();
    void startTransfer(BackupJob *job, const QString &actionText);
    void returnToIdle(bool refresh);
    bool versionAccepted(int version);
    void answerVersionProblem(BackupJob *job, int version);
    bool takeSelection();
    bool startOpening(const QString &intro, QFile &file);
    // Asks before unsaved data is dropped; true when it may go (saved or given up).
    bool confirmDiscard();

    std::unique_ptr<Ui::MainWindow> ui;
    DataImage document;
    QTranslator translator;
    std::unique_ptr<LSB_Updater> lsbUpdater; // one for the life of the window, restarted
    QPointer<Comm_backup_download> downloadJob;
    QPointer<Comm_backup_upload> uploadJob;
    QList<QPointer<Comm2Pc>> jobs;
    QList<QCheckBox *> setBoxes; // in data-set order
    QList<QLabel *> sourceLabels;
    bool closeAfterJobs = false;

    bool updateHintShown = false;
    QString title;
    QString fileName;
    QString filePath;
    bool modified = false;
    // The station the document's data came from: the one it was downloaded from, or the one a
    // file names. Every save writes it, whatever station is connected at that moment.
    QString backupSerial;
    QString backupSoftwareVersion;
    QString stationSerial; // as the last job reported it
    QString stationSoftwareVersion;

    std::array<qint8, 1024> routeStatus{};
    quint8 cardCount3 = 12;
    quint8 cardCount5 = 20;
    quint8 cardCount7 = 12;
};

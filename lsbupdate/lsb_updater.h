#pragma once

#include "commands/comm2pc.h"

#include <QMutex>
#include <QString>
#include <QWaitCondition>

// Sends a firmware file to the LSB device that the station holds in update mode.
class LSB_Updater : public Comm2Pc
{
    Q_OBJECT
public:
    LSB_Updater() = default;

    // How a run ended, as signal_lsb_update_ended reports it.
    enum Outcome {
        Finished,
        FileInvalid,
        LineCheckFailed, // detail: the line
        NoStation,
        InvalidMode,
        NotUpdatable,
        TypeMismatch,
        Declined, // the user said no before the first datagram
        DryRun,
        DatagramFailed, // detail: the datagram's address
        Cancelled,
    };
    Q_ENUM(Outcome)
    // What the station and the faces say of an update refused before anything was sent (the
    // file, the station's mode, the device); empty for the other outcomes.
    static QString refusalText(Outcome outcome, quint16 fileType = 0, quint16 deviceType = 0);

    QString fileName;
    // Ask (signal_lsb_update_confirm) and wait for answerConfirmation before the first
    // datagram; the window does, the command-line tool's command is its confirmation.
    bool confirmFirst = false;
    bool dryRun = false; // read file and device, send nothing

    void answerConfirmation(bool go);
    void requestStop() override;
    void clearStopRequest(); // before a restart; the job is not running

signals:
    void signal_lsb_update_device(unsigned short address, unsigned short type,
                                  unsigned short hw_version, unsigned short sw_version);
    void signal_lsb_update_data(unsigned short type, unsigned short hw_version,
                                unsigned short sw_version);
    void signal_lsb_update_file_error();
    void signal_lsb_update_invalid_mode();
    // The device is of another type than the firmware file: nothing was sent.
    void signal_lsb_update_type_mismatch(unsigned short fileType, unsigned short deviceType);
    void signal_lsb_update_confirm(unsigned short fileType, unsigned short fileSoftware,
                                   unsigned short deviceType, unsigned short deviceSoftware);
    void signal_lsb_update_progress(int permille);
    // Every datagram and the end command went through.
    void signal_lsb_update_finished(int bytes, int datagrams);
    void signal_lsb_update_ended(LSB_Updater::Outcome outcome, int detail);

protected:
    void run() override;

private:
    Outcome update();
    int detail = 0;
    QMutex confirmMutex;
    QWaitCondition confirmed;
    int answer = -1; // -1 waiting, 0 no, 1 yes
};

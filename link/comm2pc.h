#pragma once

#include "ftdlibrary.h"
#include "gleistronkommunikator.h"

#include <QList>
#include <QMutex>
#include <QString>

// Serialises the adapter loop of the station search across all workers of the process.
QMutex &stationMutex();

// The device worker every job derives from: finds the station, shakes hands, recovers a lost
// link and reports through signals (connected queued by whoever creates the job).
class Comm2Pc : public GleistronKommunikator
{
    Q_OBJECT
public:
    static constexpr int modelVersionLimit = 2000;
    static constexpr int handshakeAnswerLength = 27;

    Comm2Pc(); // throws const char* when the adapter library is incomplete
    ~Comm2Pc() override;

    bool connectDevice(bool silent);
    bool reconnectDevice(bool silent);
    bool recoverConnection();

    // Exchanges until an answer with a good checksum arrives, recovering the link after every
    // failure and sending the same request again, without limit (only a stop request ends it).
    void exchangeUntilAnswered(const quint8 *request, int requestLength, quint8 *answer,
                               int answerLength);

    static QString versionText(quint16 version);
    static QString hexString(const quint8 *bytes, int length);
    static QString serialText(const quint8 *handshakeAnswer);

    QList<int> emptyRecords;
    bool connected = true;
    FtdLibrary library;
    qint32 dataModelVersion = 0;

signals:
    void signal_nr_devices(int);
    void signal_info_openDevice(int id, QString serialNr);
    void signal_info_setBaudRate(ulong rate, bool success);
    void signal_info_setDataCharacteristics(QString config, bool success);
    void signal_info_setTimeouts(ulong rt, ulong wt, bool success);
    void signal_info_sendHandshake(bool success);
    void signal_info_receiveHandshake(long bytes, QString message, bool crcOk, bool success);
    void signal_info_invalidMode();
    void signal_info_noGleistron();
    void signal_info_gleistronVersion(QString serialNr, QString softwareVersion,
                                      QString protokollVersion, QString datenmodellVersion);
    void signal_info_communicationError(QString message, bool retrying);
    void signal_exchange_failed();
    void signal_reconnected();

private:
    enum class Outcome { NotFound, InvalidMode, Found };
    Outcome searchAdapters(bool silent, bool reconnect, quint8 *answer);
    void reportVersions(const quint8 *answer);
};

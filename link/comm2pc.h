#pragma once

#include "ftdlibrary.h"
#include "gleistronkommunikator.h"
#include "protocol.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <functional>
#include <memory>

// Serialises the adapter loop of the station search across all workers of the process.
QMutex &stationMutex();

// The device worker every job derives from: finds the station, shakes hands, recovers a lost
// link and reports through signals (connected queued by whoever creates the job).
class Comm2Pc : public GleistronKommunikator
{
    Q_OBJECT
public:
    static constexpr int modelVersionLimit = 2000;
    static constexpr int handshakeAnswerLength = Protocol::HandshakeAnswerLength;

    Comm2Pc(); // throws const char* when the adapter library is incomplete
    ~Comm2Pc() override;

    bool connectDevice(bool silent);
    bool reconnectDevice(bool silent);
    bool recoverConnection();
    // A late answer after a reported stall counts as the link restored.
    void noteAnswered();

    // How an answer fares: taken; damaged on the wire (checksum, length); or whole but not one
    // the command allows (another echo or status, a refused commit).
    enum class AnswerCheck { Taken, Damaged, Unexpected };
    // Unexpected answers to one request before the transfer gives up on it.
    static constexpr int unexpectedAnswerLimit = 3;
    // A whole answer to `request` (echo and status 'Y', or 'E' where the read allows it).
    static AnswerCheck checkAnswer(const quint8 *request, const quint8 *answer, int answerLength,
                                   bool emptyAllowed = false);

    // The one retry loop of the transfers: exchanges until `accept` takes the answer,
    // recovering the link after every failure and sending the same request again. A lost or
    // damaged answer is asked for without limit (only a stop request or a station in another
    // mode ends it); an unexpected one unexpectedAnswerLimit times, then ex_unexpectedAnswer.
    // retriesEachTry, when not 0, is set before every try (the commits' raised tries).
    void exchangeUntil(const quint8 *request, int requestLength, quint8 *answer, int answerLength,
                       const std::function<AnswerCheck()> &accept,
                       const char *failureLine = nullptr, int failureNumber = 0,
                       int retriesEachTry = 0);
    // ... until a whole answer to the request arrives (checkAnswer).
    void exchangeUntilAnswered(const quint8 *request, int requestLength, quint8 *answer,
                               int answerLength, const char *failureLine = nullptr,
                               int failureNumber = 0, bool emptyAllowed = false);

    // Data-set commands (datasets/datasetcommands.cpp). Reads return true when every block
    // arrived, false when the station reported the record empty.
    bool backup_Lok_load(int n, quint8 *dest);
    bool backup_Lokliste_load(quint8 *dest);
    bool backup_Gleisplan_load(int p, int c, int r, quint8 *dest);
    bool backup_Weichen_load(int n, quint8 *dest);
    bool backup_Rueckmelder_load(int n, quint8 *dest);
    bool backup_S88_load(quint8 *dest);
    bool backup_SystemKonfiguration_load(quint8 *dest);
    bool backup_Fahrstrassen_load(int n, quint8 *dest);
    bool backup_FahrstrassenAusleuchtung_load(int n, quint8 *dest);
    bool backup_LSB_load(int n, quint8 *dest);
    bool backup_HSB_load(int n, quint8 *dest);
    bool backup_Lokbild_load(int n, quint8 *dest);

    bool backup_Lok_save(int n, const quint8 *src);
    bool backup_Lokliste_save(const quint8 *src);
    bool backup_Gleisplan_save(int p, int c, int r, const quint8 *src);
    bool backup_Weichen_save(int n, const quint8 *src);
    bool backup_Rueckmelder_save(int n, const quint8 *src);
    bool backup_S88_save(const quint8 *src);
    bool backup_SystemKonfiguration_save(const quint8 *src);
    bool backup_Fahrstrassen_save(int n, const quint8 *src);
    bool backup_FahrstrassenAusleuchtung_save(int n, const quint8 *src);
    bool backup_LSB_save(int n, const quint8 *src);
    bool backup_HSB_save(int n, const quint8 *src);
    bool backup_Lokbild_save(int n, const quint8 *src);

    bool backup_Lok_commit();
    bool backup_Lokliste_commit();
    bool backup_Gleisplan_commit();
    bool backup_Weichen_commit();
    bool backup_Rueckmelder_commit();
    bool backup_Fahrstrassen_commit();
    bool backup_FahrstrassenAusleuchtung_commit(int group);
    bool backup_LSB_commit();
    bool backup_HSB_commit();
    bool backup_Lokbild_commit(int n);
    bool backup_finalize();

    // LSB update commands (lsbupdate/lsbcommands.cpp): one attempt each; a failure is reported
    // with signal_info_communicationError.
    bool update_LSB_init(quint8 *answer);
    bool update_LSB_data(quint16 address, quint8 n, const quint8 *data);
    bool update_LSB_end(quint16 word1, quint16 word2, quint16 word3, quint16 length);

    static QString versionText(quint16 version);
    static QString hexString(const quint8 *bytes, int length);
    static QString serialText(const quint8 *handshakeAnswer);
    // The keys of an 'E' answer: the requested one, then up to 32 further ones from the data
    // bytes until the first 0xFFFF.
    static QList<int> emptyKeys(const quint8 *answer, int dataOffset, int dataSize, int key);

    QList<int> emptyRecords;
    int recoveries = 0; // failed exchanges this job recovered from
    bool connected = true;
    FtdLibrary library;
    qint32 dataModelVersion = 0;
    // How long a search waits for a port another program holds before it names the holder.
    int heldPortWaitMs = 5000;

private:
    std::unique_ptr<FtdDevice> device; // usbDevice points to it

public:
protected:
    void exchangeStalled() override;

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
    // No station answered and this port is held by another program (instead of noGleistron).
    void signal_info_portHeld(QString port, QString holder);
    void signal_info_gleistronVersion(QString serialNr, QString softwareVersion,
                                      QString protokollVersion, QString datenmodellVersion);
    void signal_info_communicationError(QString message, bool retrying);
    void signal_exchange_failed();
    void signal_reconnected();

private:
    enum class BlockResult { Copied, Empty };
    BlockResult readBlock(const Protocol::Read &shape, std::initializer_list<int> params,
                          quint8 *dest, int key, int failureNumber = 0);
    bool readRecord(const Protocol::Read &shape, int n, bool wideNumber, quint8 *dest);
    // Every block of one record or area: the head parameters, then the block number if asked.
    void writeBlocks(const Protocol::Write &shape, std::initializer_list<int> head,
                     bool blockNumber, const quint8 *src);
    bool commit(const Protocol::Commit &shape, int number = 0);

    bool lsbExchange(const quint8 *request, int requestLength, quint8 *answer, int answerLength,
                     const char *errorMessage);

    enum class Outcome { NotFound, InvalidMode, Found, Held };
    Outcome searchAdapters(bool silent, bool reconnect, quint8 *answer);
    Outcome searchOrWait(bool silent, bool reconnect, quint8 *answer);
    Outcome lastOutcome = Outcome::NotFound;
    void reportVersions(const quint8 *answer);
};

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

// The link to the station every device worker stands on: finds the station, shakes hands,
// recovers a lost link and reports through signals (connected queued by whoever creates the
// job). The station's commands are built on it (Comm2Pc).
class StationLink : public GleistronKommunikator
{
    Q_OBJECT
public:
    static constexpr int modelVersionLimit = 2000;
    static constexpr int handshakeAnswerLength = Protocol::HandshakeAnswerLength;

    StationLink(); // throws const char* when the adapter library is incomplete
    ~StationLink() override;

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

    int recoveries = 0; // failed exchanges this job recovered from
    bool connected = true;
    FtdLibrary library;
    qint32 dataModelVersion = 0;
    // How long a search waits for a port another program holds before it names the holder.
    int heldPortWaitMs = 5000;

private:
    std::unique_ptr<FtdDevice> device; // usbDevice points to it

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
    enum class Outcome { NotFound, InvalidMode, Found, Held };
    Outcome searchAdapters(bool silent, bool reconnect, quint8 *answer);
    Outcome searchOrWait(bool silent, bool reconnect, quint8 *answer);
    // connectDevice, or with anyMode reconnectDevice: a station in another mode counts too.
    bool findStation(bool silent, bool anyMode);
    Outcome lastOutcome = Outcome::NotFound;
    void reportVersions(const quint8 *answer);
};

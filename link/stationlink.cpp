#include "stationlink.h"

#include "ftd2xx/adapterports.h"
#include "frame.h"
#include "ftddevice.h"
#include "logging.h"
#include "model/versiontext.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <cstring>
#include <memory>
#include <optional>

QMutex &stationMutex()
{
    static QMutex mutex;
    return mutex;
}

StationLink::StationLink() : device(std::make_unique<FtdDevice>(library))
{
    usbDevice = device.get();
    // A job that has ended lets go of its adapter, so the command-line tool and other programs
    // can use the station while the window is idle. Runs on the job's thread, as its last act.
    connect(
        this, &QThread::finished, this, [this] { usbDevice->close(); }, Qt::DirectConnection);
}

StationLink::~StationLink() = default;

StationLink::Outcome StationLink::searchAdapters(bool silent, bool reconnect, quint8 *goodAnswer)
{
    const quint32 count = library.nr_devices();
    // Its own handle first: when its port has gone, closeAll does not list it.
    usbDevice->close();
    library.closeAll();
    if (!silent)
        emit signal_nr_devices(int(count));

    std::optional<QMutexLocker<QMutex>> lock;
    if (!reconnect)
        lock.emplace(&stationMutex());
    bool found = false;
    bool validMode = false;
    // A station that answered in another mode is reported as such even when a later adapter
    // stays silent: "no station" would send the user looking for a cable.
    bool wrongModeSeen = false;
    for (quint32 index = 0; index < count; ++index) {
        throwIfStopped();
        bool ok = usbDevice->open(int(index));
        if (!silent)
            emit signal_info_openDevice(int(index), usbDevice->serialNr);
        if (!ok)
            continue;
        ok = usbDevice->setBaudRate(115200);
        if (!silent)
            emit signal_info_setBaudRate(115200, ok);
        if (!ok)
            continue;
        ok = usbDevice->setDataCharacteristics(FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
        if (!silent)
            emit signal_info_setDataCharacteristics(QStringLiteral("8-N-1"), ok);
        if (!ok)
            continue;
        ok = usbDevice->setTimeouts(500, 0);
        if (!silent)
            emit signal_info_setTimeouts(500, 0, ok);
        if (!ok)
            continue;
        usbDevice->setLatencyTimer(2);
        usbDevice->purge(FT_PURGE_RX);

        quint8 answer[handshakeAnswerLength] = {};
        // One damaged or lost answer does not make a station missing: it is asked once more.
        bool match = false;
        for (int attempt = 0; attempt < 2 && !match; ++attempt) {
            const int tries = retryCount();
            if (attempt > 0) {
                usbDevice->purge(FT_PURGE_RX);
                setRetries(1);
            }
            bool answered = true;
            try {
                exchangeData(Protocol::HandshakeRequest, int(sizeof Protocol::HandshakeRequest),
                             answer, handshakeAnswerLength);
            } catch (const ex_stopped &) {
                setRetries(tries);
                throw;
            } catch (...) {
                qCDebug(lcLink, "exchangeData exception!");
                answered = false;
            }
            setRetries(tries);
            if (!silent)
                emit signal_info_sendHandshake(answered);
            if (!answered)
                continue;
            // An answer that is not the handshake's (another echo or status) is no station's
            // greeting: asked again like a damaged one.
            const bool crcOk = answerFrameOk(answer, handshakeAnswerLength);
            match = crcOk && checkAnswer(Protocol::HandshakeRequest, answer,
                                         handshakeAnswerLength) == AnswerCheck::Taken;
            if (!silent)
                emit signal_info_receiveHandshake(0, hexString(answer, handshakeAnswerLength),
                                                  crcOk, match);
        }
        if (!match)
            continue;
        if (reconnect)
            qCDebug(lcLink).noquote() << QStringLiteral("Hauptoperation: %1   Unteroperation: %2   "
                                                        "Parameter: %3 ")
                                             .arg(answer[0])
                                             .arg(answer[1])
                                             .arg(answer[3]);
        found = true;
        std::memcpy(goodAnswer, answer, handshakeAnswerLength);
        if (answer[3] == 'Y') {
            validMode = true;
            break;
        }
        validMode = false;
        wrongModeSeen = true;
    }
    lock.reset();
    if (validMode)
        return Outcome::Found;
    if (found || wrongModeSeen)
        return Outcome::InvalidMode;
    return Outcome::NotFound;
}

void StationLink::reportVersions(const quint8 *answer)
{
    emit signal_info_gleistronVersion(serialText(answer), versionText(readWord(answer + 4)),
                                      versionText(readWord(answer + 6)),
                                      versionText(readWord(answer + 8)));
}

// A port that another program holds for a moment (the window's search, a probe of ModemManager)
// is waited for; after heldPortWaitMs the holder is named instead of "no station".
StationLink::Outcome StationLink::searchOrWait(bool silent, bool reconnect, quint8 *answer)
{
    Outcome outcome = searchAdapters(silent, reconnect, answer);
    if (outcome != Outcome::NotFound || silent || heldPortWaitMs <= 0)
        return outcome;
    QElapsedTimer waiting;
    waiting.start();
    for (;;) {
        QString port, holder;
        for (const AdapterPorts::Port &listed : AdapterPorts::list()) {
            holder = AdapterPorts::holder(listed.path);
            if (!holder.isEmpty()) {
                port = listed.path;
                break;
            }
        }
        if (holder.isEmpty())
            return outcome;
        if (waiting.elapsed() >= heldPortWaitMs) {
            qCDebug(lcLink).noquote() << QStringLiteral("%1 is held by %2").arg(port, holder);
            emit signal_info_portHeld(port, holder);
            return Outcome::Held;
        }
        pause(250);
        throwIfStopped();
        outcome = searchAdapters(true, reconnect, answer);
        if (outcome != Outcome::NotFound)
            return outcome;
    }
}

bool StationLink::connectDevice(bool silent)
{
    return findStation(silent, false);
}

bool StationLink::reconnectDevice(bool silent)
{
    return findStation(silent, true);
}

bool StationLink::findStation(bool silent, bool anyMode)
{
    quint8 answer[handshakeAnswerLength] = {};
    const Outcome outcome = searchOrWait(silent, anyMode, answer);
    lastOutcome = outcome;
    if (outcome == Outcome::Held)
        return false;
    if (outcome == Outcome::NotFound) {
        if (!silent)
            emit signal_info_noGleistron();
        qCDebug(lcLink, "Gleistron not found");
        return false;
    }
    // The firmware update talks to the station in whatever mode it is; the data sets need the
    // PC mode.
    if (outcome == Outcome::InvalidMode && !anyMode) {
        if (!silent)
            emit signal_info_invalidMode();
        qCDebug(lcLink, "Gleistron in invalid mode");
        return false;
    }
    dataModelVersion = readWord(answer + 8);
    if (!silent)
        reportVersions(answer);
    return true;
}

bool StationLink::recoverConnection()
{
    throwIfStopped();
    ++recoveries;
    usbDevice->resetDevice();
    const bool ok = connectDevice(true);
    if (!ok && lastOutcome == Outcome::InvalidMode) {
        // Someone left the PC mode on the station; retrying would wait for ever. Reported as
        // what it is, not as a lost link first.
        qCDebug(lcLink, "Gleistron in invalid mode during a transfer");
        emit signal_info_invalidMode();
        throw ex_wrongMode();
    }
    if (connected) {
        emit signal_exchange_failed();
        connected = false;
    }
    if (ok) {
        emit signal_reconnected();
        connected = true;
    }
    return ok;
}

void StationLink::exchangeStalled()
{
    // The long waits after a commit (up to 120 tries) may be what the station needs, so they
    // stay; but the user hears within seconds that it has stopped answering.
    if (connected) {
        emit signal_exchange_failed();
        connected = false;
    }
}

void StationLink::noteAnswered()
{
    if (!connected) {
        emit signal_reconnected();
        connected = true;
    }
}

StationLink::AnswerCheck StationLink::checkAnswer(const quint8 *request, const quint8 *answer,
                                          int answerLength, bool emptyAllowed)
{
    if (!answerFrameOk(answer, answerLength)) {
        qCDebug(lcLink, "CRC ERROR");
        return AnswerCheck::Damaged;
    }
    const bool statusOk =
        answer[0] == Frame::StatusOk || (emptyAllowed && answer[0] == Frame::StatusEmpty);
    if (answer[1] == request[1] && statusOk)
        return AnswerCheck::Taken;
    qCDebug(lcLink, "unexpected answer %02x %02x to sub-operation %02x", answer[0], answer[1],
            request[1]);
    return AnswerCheck::Unexpected;
}

void StationLink::exchangeUntil(const quint8 *request, int requestLength, quint8 *answer,
                            int answerLength, const std::function<AnswerCheck()> &accept,
                            const char *failureLine, int failureNumber, int retriesEachTry)
{
    int unexpected = 0;
    for (;;) {
        if (retriesEachTry > 0)
            setRetries(retriesEachTry);
        try {
            exchangeData(request, requestLength, answer, answerLength);
            const AnswerCheck check = accept();
            if (check == AnswerCheck::Taken) {
                noteAnswered();
                return;
            }
            if (check == AnswerCheck::Unexpected)
                ++unexpected;
        } catch (const ex_stopped &) {
            throw;
        } catch (...) {
            qCDebug(lcLink, "exchange failed: %s", caughtFailure());
        }
        if (failureLine)
            qCDebug(lcData, failureLine, failureNumber);
        if (unexpected >= unexpectedAnswerLimit) {
            qCDebug(lcLink).noquote()
                << QStringLiteral("giving up on %1 after %2 unexpected answers")
                       .arg(hexString(request, requestLength))
                       .arg(unexpected);
            throw ex_unexpectedAnswer();
        }
        recoverConnection();
    }
}

void StationLink::exchangeUntilAnswered(const quint8 *request, int requestLength, quint8 *answer,
                                    int answerLength, const char *failureLine, int failureNumber,
                                    bool emptyAllowed)
{
    exchangeUntil(
        request, requestLength, answer, answerLength,
        [&] { return checkAnswer(request, answer, answerLength, emptyAllowed); }, failureLine,
        failureNumber);
}

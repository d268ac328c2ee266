// The commands that update a device on the LSB bus through the station.

#include "comm2pc.h"
#include "link/frame.h"
#include "link/logging.h"
#include "link/protocol.h"

#include <cstring>

// An answer damaged on the wire, or whole but not the command's (another echo or length), is
// asked for again: the init only reads, and a datagram lands at its address however often it
// comes. The end command, which makes the device take the firmware, is sent once.
bool Comm2Pc::lsbExchange(const quint8 *request, int requestLength, quint8 *answer,
                          int answerLength, const char *errorMessage)
{
    const int attempts = request[1] == Protocol::LsbEndSubOp ? 1 : unexpectedAnswerLimit;
    bool ok = false;
    for (int attempt = 0; attempt < attempts && !ok; ++attempt) {
        try {
            exchangeData(request, requestLength, answer, answerLength);
        } catch (const ex_stopped &) {
            throw;
        } catch (...) {
            qCDebug(lcLsb, "%s: %s", errorMessage, caughtFailure());
            break;
        }
        if (!answerFrameOk(answer, answerLength)) {
            qCDebug(lcLsb, "CRC ERROR");
            continue;
        }
        // The station's status byte for these commands is its own; the echo is the command's.
        ok = answer[1] == request[1];
        if (!ok)
            qCDebug(lcLsb, "unexpected answer %02x %02x to sub-operation %02x", answer[0],
                    answer[1], request[1]);
    }
    if (!ok)
        emit signal_info_communicationError(QString::fromLatin1(errorMessage), false);
    return ok;
}

bool Comm2Pc::update_LSB_init(quint8 *answer)
{
    return lsbExchange(Protocol::LsbInitRequest, int(sizeof Protocol::LsbInitRequest), answer,
                       Protocol::LsbInitAnswerLength, "error:update_LSB_init()");
}

bool Comm2Pc::update_LSB_data(quint16 address, quint8 n, const quint8 *data)
{
    quint8 request[Frame::MaxLength];
    request[0] = Frame::MainLsbUpdate;
    request[1] = Protocol::LsbDataSubOp;
    request[2] = quint8(n + 6);
    writeWord(request + 3, address);
    if (n)
        std::memcpy(request + 5, data, n);
    finishFrame(request);
    qCDebug(lcLsb).noquote()
        << QStringLiteral("update_LSB_data %1 %2 %3").arg(address).arg(n).arg(n ? data[0] : 0);
    qCDebug(lcLsb).noquote() << hexString(request, n + 6);
    quint8 answer[Protocol::LsbAnswerLength];
    return lsbExchange(request, n + 6, answer, Protocol::LsbAnswerLength,
                       "error:update_LSB_data()");
}

bool Comm2Pc::update_LSB_end(quint16 word1, quint16 word2, quint16 word3, quint16 length)
{
    quint8 request[Protocol::LsbEndRequestLength] = {Frame::MainLsbUpdate, Protocol::LsbEndSubOp,
                                                     Protocol::LsbEndRequestLength};
    writeWord(request + 3, word1);
    writeWord(request + 5, word2);
    writeWord(request + 7, word3);
    request[9] = 0;
    request[10] = 0;
    writeWord(request + 11, length);
    finishFrame(request);
    quint8 answer[Protocol::LsbAnswerLength];
    return lsbExchange(request, Protocol::LsbEndRequestLength, answer, Protocol::LsbAnswerLength,
                       "error:update_LSB_data()");
}

// The station's data-set commands: one read, one write and mostly one commit per data set.
// Every failure of a read or write recovers the link and repeats the same request.

#include "link/comm2pc.h"
#include "link/frame.h"
#include "link/logging.h"

#include <cstring>

namespace {
constexpr int MaxAnswer = 71;

int buildRequest(quint8 *request, quint8 subOp, std::initializer_list<int> params,
                 const quint8 *data = nullptr, int dataSize = 0, int spareBytes = 0)
{
    int i = 3;
    for (int p : params)
        request[i++] = quint8(p);
    if (data) {
        std::memcpy(request + i, data, size_t(dataSize));
        i += dataSize;
    }
    for (int k = 0; k < spareBytes; ++k)
        request[i++] = 0;
    const int length = i + 1;
    request[0] = Frame::MainStation;
    request[1] = subOp;
    request[2] = quint8(length);
    finishFrame(request);
    return length;
}
} // namespace

QList<int> Comm2Pc::emptyKeys(const quint8 *answer, int dataOffset, int dataSize, int key)
{
    QList<int> keys{key};
    const int numbers = qMin(32, dataSize / 2);
    for (int i = 0; i < numbers; ++i) {
        const quint16 next = readWord(answer + dataOffset + 2 * i);
        if (next == 0xFFFF)
            break;
        keys.append(next);
    }
    return keys;
}

Comm2Pc::BlockResult Comm2Pc::readBlock(const ReadSpec &shape, std::initializer_list<int> params,
                                        quint8 *dest, int key, const char *failureLine,
                                        int failureNumber)
{
    quint8 request[8];
    const int length = buildRequest(request, shape.subOp, params);
    const int dataOffset = 3 + int(params.size());
    quint8 answer[MaxAnswer] = {};
    exchangeUntilAnswered(request, length, answer, shape.answerLength, failureLine, failureNumber);
    BlockResult result = BlockResult::Ignored;
    if (shape.echo == EchoRule::Unchecked ||
        (answer[1] == shape.subOp && answer[0] == Frame::StatusOk))
        result = BlockResult::Copied;
    else if (answer[1] != shape.subOp)
        result = BlockResult::WrongEcho;
    else if (answer[0] == Frame::StatusEmpty && shape.emptyList)
        result = BlockResult::Empty;
    if (result == BlockResult::Copied) {
        std::memcpy(dest, answer + dataOffset, size_t(shape.dataSize));
        return result;
    }
    // A block that did not arrive must not keep what an earlier document held there.
    std::memset(dest, 0, size_t(shape.dataSize));
    if (result == BlockResult::Empty)
        emptyRecords = emptyKeys(answer, dataOffset, shape.dataSize, key);
    else
        incompleteRead = true;
    return result;
}

bool Comm2Pc::readRecord(const ReadSpec &shape, int blocks, int n, bool wideNumber, quint8 *dest,
                         const char *failureLine)
{
    for (int b = 0; b < blocks; ++b) {
        const BlockResult result =
            wideNumber ? readBlock(shape, {n >> 8, n & 0xFF, b}, dest + b * 64, n, failureLine, n)
                       : readBlock(shape, {n & 0xFF, b}, dest + b * 64, n, failureLine, n);
        if (result == BlockResult::Empty ||
            (result == BlockResult::WrongEcho && shape.echo == EchoRule::Abandon)) {
            std::memset(dest + (b + 1) * 64, 0, size_t((blocks - b - 1) * 64));
            return false;
        }
    }
    return true;
}

bool Comm2Pc::backup_Lok_load(int n, quint8 *dest)
{
    return readRecord({0x0B, 71, 64, true, EchoRule::Abandon}, 4, n, true, dest);
}

bool Comm2Pc::backup_Lokliste_load(quint8 *dest)
{
    const ReadSpec shape{0x6E, 70, 64, false, EchoRule::Abandon};
    for (int list = 0; list < 4; ++list) {
        for (int b = 0; b < 4; ++b) {
            if (readBlock(shape, {list, b}, dest + list * 256 + b * 64, list) ==
                BlockResult::WrongEcho) {
                const int done = list * 256 + (b + 1) * 64;
                std::memset(dest + done, 0, size_t(4 * 256 - done));
                return false;
            }
        }
    }
    return true;
}

bool Comm2Pc::backup_Gleisplan_load(int p, int c, int r, quint8 *dest)
{
    const BlockResult result =
        readBlock({0x1F, 71, 64, true, EchoRule::Abandon}, {p, r, c}, dest, c * 256 + r);
    return result == BlockResult::Copied || result == BlockResult::Ignored;
}

bool Comm2Pc::backup_Weichen_load(int n, quint8 *dest)
{
    return readBlock({0x29, 71, 64, true, EchoRule::Skip}, {n >> 8, n & 0xFF}, dest, n) !=
           BlockResult::Empty;
}

bool Comm2Pc::backup_Rueckmelder_load(int n, quint8 *dest)
{
    return readRecord({0x33, 71, 64, true, EchoRule::Skip}, 4, n, true, dest);
}

bool Comm2Pc::backup_S88_load(quint8 *dest)
{
    qCDebug(lcData, "backup_S88_load");
    const ReadSpec shape{0x66, 69, 64, false, EchoRule::Unchecked};
    for (int part = 0; part < 4; ++part)
        readBlock(shape, {part}, dest + part * 64, part);
    return true;
}

bool Comm2Pc::backup_SystemKonfiguration_load(quint8 *dest)
{
    qCDebug(lcData, "backup_SystemKonfiguration_load");
    for (int part = 0; part < 4; ++part) {
        quint8 request[8];
        const int length = buildRequest(request, 0x64, {part});
        quint8 answer[MaxAnswer] = {};
        for (;;) {
            bool exchanged = false;
            try {
                exchangeData(request, length, answer, 69);
                exchanged = true;
            } catch (const ex_stopped &) {
                throw;
            } catch (...) {
            }
            if (exchanged) {
                qCDebug(lcData).noquote() << hexString(answer, 69);
                qCDebug(lcData).noquote()
                    << QStringLiteral("Systemkonfig part %1 loading ... ").arg(part);
                if (answerFrameOk(answer, 69)) {
                    noteAnswered();
                    break;
                }
                qCDebug(lcData, "CRC ERROR");
            }
            recoverConnection();
        }
        std::memcpy(dest + part * 64, answer + 4, 64);
    }
    return true;
}

bool Comm2Pc::backup_Fahrstrassen_load(int n, quint8 *dest)
{
    return readRecord({0x3D, 71, 64, true, EchoRule::Skip}, 8, n, true, dest);
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_load(int n, quint8 *dest)
{
    return readRecord({0x47, 71, 64, true, EchoRule::Skip}, 8, n, true, dest);
}

bool Comm2Pc::backup_LSB_load(int n, quint8 *dest)
{
    return readBlock({0x51, 38, 32, true, EchoRule::Skip}, {n >> 8, n & 0xFF}, dest, n) !=
           BlockResult::Empty;
}

bool Comm2Pc::backup_HSB_load(int n, quint8 *dest)
{
    const bool ok = readRecord({0x5B, 71, 64, true, EchoRule::Skip}, 4, n, false, dest);
    if (!ok)
        qCDebug(lcData, "HSB[%d] ist leer.", n);
    return ok;
}

bool Comm2Pc::backup_Lokbild_load(int n, quint8 *dest)
{
    const bool ok = readRecord({0x19, 70, 64, true, EchoRule::Skip}, 192, n, false, dest,
                               "lokbild %d connection failure");
    if (!ok)
        qCDebug(lcData, "Lokbild [%d] ist leer.", n);
    return ok;
}

void Comm2Pc::writeBlock(quint8 subOp, std::initializer_list<int> params, const quint8 *data,
                         int dataSize, int spareBytes, int answerLength)
{
    quint8 request[Frame::MaxLength];
    const int length = buildRequest(request, subOp, params, data, dataSize, spareBytes);
    quint8 answer[MaxAnswer];
    exchangeUntilAnswered(request, length, answer, answerLength);
}

bool Comm2Pc::backup_Lok_save(int n, const quint8 *src)
{
    for (int b = 0; b < 4; ++b)
        writeBlock(0x0C, {n >> 8, n & 0xFF, b}, src + b * 64, 64, 0, 7);
    return true;
}

bool Comm2Pc::backup_Lokliste_save(const quint8 *src)
{
    for (int list = 0; list < 4; ++list) {
        for (int b = 0; b < 4; ++b)
            writeBlock(0x6F, {list, b}, src + list * 256 + b * 64, 64, 0, 6);
    }
    return true;
}

bool Comm2Pc::backup_Gleisplan_save(int p, int c, int r, const quint8 *src)
{
    writeBlock(0x20, {p, r, c}, src, 64, 0, 7);
    return true;
}

bool Comm2Pc::backup_Weichen_save(int n, const quint8 *src)
{
    writeBlock(0x2A, {n >> 8, n & 0xFF}, src, 64, 1, 7);
    return true;
}

bool Comm2Pc::backup_Rueckmelder_save(int n, const quint8 *src)
{
    for (int b = 0; b < 4; ++b)
        writeBlock(0x34, {n >> 8, n & 0xFF, b}, src + b * 64, 64, 0, 7);
    return true;
}

bool Comm2Pc::backup_S88_save(const quint8 *src)
{
    for (int part = 0; part < 4; ++part)
        writeBlock(0x67, {part}, src + part * 64, 64, 0, 5);
    return true;
}

bool Comm2Pc::backup_SystemKonfiguration_save(const quint8 *src)
{
    for (int part = 0; part < 4; ++part)
        writeBlock(0x65, {part}, src + part * 64, 64, 0, 5);
    return true;
}

bool Comm2Pc::backup_Fahrstrassen_save(int n, const quint8 *src)
{
    for (int b = 0; b < 8; ++b)
        writeBlock(0x3E, {n >> 8, n & 0xFF, b}, src + b * 64, 64, 0, 7);
    return true;
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_save(int n, const quint8 *src)
{
    for (int b = 0; b < 8; ++b)
        writeBlock(0x48, {n >> 8, n & 0xFF, b}, src + b * 64, 64, 0, 7);
    return true;
}

bool Comm2Pc::backup_LSB_save(int n, const quint8 *src)
{
    writeBlock(0x52, {n >> 8, n & 0xFF}, src, 32, 0, 6);
    return true;
}

bool Comm2Pc::backup_HSB_save(int n, const quint8 *src)
{
    for (int b = 0; b < 4; ++b)
        writeBlock(0x5C, {n & 0xFF, b}, src + b * 64, 64, 1, 6);
    return true;
}

bool Comm2Pc::backup_Lokbild_save(int n, const quint8 *src)
{
    for (int b = 0; b < 192; ++b)
        writeBlock(0x1A, {n & 0xFF, b}, src + b * 64, 64, 0, 6);
    return true;
}

bool Comm2Pc::commit(quint8 subOp, int requestLength, int group, int answerLength, int retryCount,
                     const char *failureLine)
{
    quint8 request[5];
    if (requestLength == 5)
        buildRequest(request, subOp, {group});
    else
        buildRequest(request, subOp, {});
    quint8 answer[MaxAnswer];
    for (;;) {
        setRetries(retryCount);
        try {
            exchangeData(request, requestLength, answer, answerLength);
            noteAnswered();
            return true;
        } catch (const ex_stopped &) {
            throw;
        } catch (...) {
            if (failureLine)
                qCDebug(lcData, "%s", failureLine);
        }
        recoverConnection();
    }
}

bool Comm2Pc::backup_Lok_commit()
{
    return commit(0x0D, 4, 0, 5, 20, "LokSaver FAILED");
}

bool Comm2Pc::backup_Lokliste_commit()
{
    return commit(0x70, 4, 0, 5, 20, "LoklisteSaver FAILED");
}

bool Comm2Pc::backup_Gleisplan_commit()
{
    return commit(0x21, 4, 0, 5, 20, "GleisplanSaver FAILED");
}

bool Comm2Pc::backup_Weichen_commit()
{
    quint8 request[4];
    buildRequest(request, 0x2B, {});
    quint8 answer[MaxAnswer];
    for (;;) {
        try {
            exchangeData(request, 4, answer, 5);
            if (answerFrameOk(answer, 5) && answer[1] == 0x2B && answer[3] == 1) {
                noteAnswered();
                return true;
            }
        } catch (const ex_stopped &) {
            throw;
        } catch (...) {
        }
        recoverConnection();
    }
}

bool Comm2Pc::backup_Rueckmelder_commit()
{
    return commit(0x35, 4, 0, 5, 20, "RückmelderSaver FAILED");
}

bool Comm2Pc::backup_Fahrstrassen_commit()
{
    return commit(0x3F, 4, 0, 5, 20, "FahrstrassenSaver FAILED");
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_commit(int group)
{
    return commit(0x49, 5, group, 6, 120, "FahrstrassenAusleuchtungSaver FAILED");
}

bool Comm2Pc::backup_LSB_commit()
{
    return commit(0x53, 4, 0, 5, 20, "LSB Saver FAILED");
}

bool Comm2Pc::backup_HSB_commit()
{
    return commit(0x5D, 4, 0, 5, 20, "HSB Saver FAILED");
}

bool Comm2Pc::backup_Lokbild_commit(int n)
{
    return commit(0x1B, 5, n, 6, 20, nullptr);
}

bool Comm2Pc::backup_finalize()
{
    quint8 request[4];
    buildRequest(request, 0xFB, {});
    quint8 answer[4];
    setRetries(10);
    // Its failure is not the user's concern, so neither is its waiting.
    reportStalls = false;
    try {
        exchangeData(request, 4, answer, 4);
        reportStalls = true;
        return true;
    } catch (const ex_stopped &) {
        reportStalls = true;
        throw;
    } catch (...) {
        reportStalls = true;
        qCDebug(lcData, "backup_finalize FAILED");
        return false;
    }
}

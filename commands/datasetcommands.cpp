// The station's data-set commands: one read, one write and mostly one commit per data set.
// Every failure of a read, write or commit recovers the link and repeats the same request.

#include "comm2pc.h"
#include "link/frame.h"
#include "link/logging.h"
#include "link/protocol.h"

#include <cstring>

using namespace Protocol;

namespace {
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

// Every block either arrives whole or the station names the record empty; an answer the
// command does not allow is asked for again, and one that stays so ends the transfer.
Comm2Pc::BlockResult Comm2Pc::readBlock(const Read &shape, std::initializer_list<int> params,
                                        quint8 *dest, int key, int failureNumber)
{
    quint8 request[8];
    const int length = buildRequest(request, shape.subOp, params);
    const int dataOffset = 3 + int(params.size());
    quint8 answer[MaxAnswer] = {};
    exchangeUntilAnswered(request, length, answer, shape.answerLength, shape.failureLine,
                          failureNumber, shape.emptyList);
    if (answer[0] == Frame::StatusOk) {
        std::memcpy(dest, answer + dataOffset, size_t(shape.dataSize));
        return BlockResult::Copied;
    }
    // A block that did not arrive must not keep what an earlier document held there.
    std::memset(dest, 0, size_t(shape.dataSize));
    emptyRecords = emptyKeys(answer, dataOffset, shape.dataSize, key);
    return BlockResult::Empty;
}

bool Comm2Pc::readRecord(const Read &shape, int n, bool wideNumber, quint8 *dest)
{
    for (int b = 0; b < shape.blocks; ++b) {
        const BlockResult result =
            wideNumber ? readBlock(shape, {n >> 8, n & 0xFF, b}, dest + b * 64, n, n)
                       : readBlock(shape, {n & 0xFF, b}, dest + b * 64, n, n);
        if (result == BlockResult::Empty) {
            std::memset(dest + (b + 1) * 64, 0, size_t((shape.blocks - b - 1) * 64));
            return false;
        }
    }
    return true;
}

bool Comm2Pc::backup_Lok_load(int n, quint8 *dest)
{
    return readRecord(LokRead, n, true, dest);
}

bool Comm2Pc::backup_Lokliste_load(quint8 *dest)
{
    for (int list = 0; list < 4; ++list) {
        for (int b = 0; b < LoklisteRead.blocks; ++b)
            readBlock(LoklisteRead, {list, b}, dest + list * 256 + b * 64, list);
    }
    return true;
}

bool Comm2Pc::backup_Gleisplan_load(int p, int c, int r, quint8 *dest)
{
    return readBlock(GleisplanRead, {p, r, c}, dest, c * 256 + r) == BlockResult::Copied;
}

bool Comm2Pc::backup_Weichen_load(int n, quint8 *dest)
{
    return readBlock(WeichenRead, {n >> 8, n & 0xFF}, dest, n) == BlockResult::Copied;
}

bool Comm2Pc::backup_Rueckmelder_load(int n, quint8 *dest)
{
    return readRecord(RueckmelderRead, n, true, dest);
}

bool Comm2Pc::backup_S88_load(quint8 *dest)
{
    qCDebug(lcData, "backup_S88_load");
    for (int part = 0; part < S88Read.blocks; ++part)
        readBlock(S88Read, {part}, dest + part * 64, part);
    return true;
}

bool Comm2Pc::backup_SystemKonfiguration_load(quint8 *dest)
{
    qCDebug(lcData, "backup_SystemKonfiguration_load");
    for (int part = 0; part < SystemRead.blocks; ++part) {
        quint8 request[8];
        const int length = buildRequest(request, SystemRead.subOp, {part});
        quint8 answer[MaxAnswer] = {};
        exchangeUntil(request, length, answer, SystemRead.answerLength, [&] {
            qCDebug(lcData).noquote() << hexString(answer, SystemRead.answerLength);
            qCDebug(lcData).noquote()
                << QStringLiteral("Systemkonfig part %1 loading ... ").arg(part);
            return checkAnswer(request, answer, SystemRead.answerLength);
        });
        std::memcpy(dest + part * 64, answer + 4, size_t(SystemRead.dataSize));
    }
    return true;
}

bool Comm2Pc::backup_Fahrstrassen_load(int n, quint8 *dest)
{
    return readRecord(RouteRead, n, true, dest);
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_load(int n, quint8 *dest)
{
    return readRecord(IlluminationRead, n, true, dest);
}

bool Comm2Pc::backup_LSB_load(int n, quint8 *dest)
{
    return readBlock(LsbRead, {n >> 8, n & 0xFF}, dest, n) != BlockResult::Empty;
}

bool Comm2Pc::backup_HSB_load(int n, quint8 *dest)
{
    const bool ok = readRecord(HsbRead, n, false, dest);
    if (!ok)
        qCDebug(lcData, "HSB[%d] ist leer.", n);
    return ok;
}

bool Comm2Pc::backup_Lokbild_load(int n, quint8 *dest)
{
    const bool ok = readRecord(LokbildRead, n, false, dest);
    if (!ok)
        qCDebug(lcData, "Lokbild [%d] ist leer.", n);
    return ok;
}

void Comm2Pc::writeBlocks(const Write &shape, std::initializer_list<int> head, bool blockNumber,
                          const quint8 *src)
{
    for (int b = 0; b < shape.blocks; ++b) {
        quint8 request[Frame::MaxLength];
        quint8 params[4];
        int count = 0;
        for (int p : head)
            params[count++] = quint8(p);
        if (blockNumber)
            params[count++] = quint8(b);
        const int length =
            count == 1   ? buildRequest(request, shape.subOp, {params[0]}, src + b * 64,
                                        shape.dataSize, shape.spareBytes)
            : count == 2 ? buildRequest(request, shape.subOp, {params[0], params[1]}, src + b * 64,
                                        shape.dataSize, shape.spareBytes)
                         : buildRequest(request, shape.subOp, {params[0], params[1], params[2]},
                                        src + b * 64, shape.dataSize, shape.spareBytes);
        quint8 answer[MaxAnswer];
        exchangeUntilAnswered(request, length, answer, shape.answerLength);
    }
}

bool Comm2Pc::backup_Lok_save(int n, const quint8 *src)
{
    writeBlocks(LokWrite, {n >> 8, n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::backup_Lokliste_save(const quint8 *src)
{
    for (int list = 0; list < 4; ++list)
        writeBlocks(LoklisteWrite, {list}, true, src + list * 256);
    return true;
}

bool Comm2Pc::backup_Gleisplan_save(int p, int c, int r, const quint8 *src)
{
    writeBlocks(GleisplanWrite, {p, r, c}, false, src);
    return true;
}

bool Comm2Pc::backup_Weichen_save(int n, const quint8 *src)
{
    writeBlocks(WeichenWrite, {n >> 8, n & 0xFF}, false, src);
    return true;
}

bool Comm2Pc::backup_Rueckmelder_save(int n, const quint8 *src)
{
    writeBlocks(RueckmelderWrite, {n >> 8, n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::backup_S88_save(const quint8 *src)
{
    writeBlocks(S88Write, {}, true, src);
    return true;
}

bool Comm2Pc::backup_SystemKonfiguration_save(const quint8 *src)
{
    writeBlocks(SystemWrite, {}, true, src);
    return true;
}

bool Comm2Pc::backup_Fahrstrassen_save(int n, const quint8 *src)
{
    writeBlocks(RouteWrite, {n >> 8, n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_save(int n, const quint8 *src)
{
    writeBlocks(IlluminationWrite, {n >> 8, n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::backup_LSB_save(int n, const quint8 *src)
{
    writeBlocks(LsbWrite, {n >> 8, n & 0xFF}, false, src);
    return true;
}

bool Comm2Pc::backup_HSB_save(int n, const quint8 *src)
{
    writeBlocks(HsbWrite, {n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::backup_Lokbild_save(int n, const quint8 *src)
{
    writeBlocks(LokbildWrite, {n & 0xFF}, true, src);
    return true;
}

bool Comm2Pc::commit(const Commit &shape, int number)
{
    quint8 request[5];
    if (shape.requestLength == 5)
        buildRequest(request, shape.subOp, {number});
    else
        buildRequest(request, shape.subOp, {});
    quint8 answer[MaxAnswer];
    exchangeUntil(
        request, shape.requestLength, answer, shape.answerLength,
        [&] {
            const AnswerCheck check = checkAnswer(request, answer, shape.answerLength);
            // The switching-article commit also says whether it stored the writes.
            if (check == AnswerCheck::Taken && shape.subOp == WeichenCommit.subOp && answer[3] != 1)
                return AnswerCheck::Unexpected;
            return check;
        },
        shape.failureLine, 0, shape.retries);
    return true;
}

bool Comm2Pc::backup_Lok_commit()
{
    return commit(LokCommit);
}

bool Comm2Pc::backup_Lokliste_commit()
{
    return commit(LoklisteCommit);
}

bool Comm2Pc::backup_Gleisplan_commit()
{
    return commit(GleisplanCommit);
}

bool Comm2Pc::backup_Weichen_commit()
{
    return commit(WeichenCommit);
}

bool Comm2Pc::backup_Rueckmelder_commit()
{
    return commit(RueckmelderCommit);
}

bool Comm2Pc::backup_Fahrstrassen_commit()
{
    return commit(RouteCommit);
}

bool Comm2Pc::backup_FahrstrassenAusleuchtung_commit(int group)
{
    return commit(IlluminationCommit, group);
}

bool Comm2Pc::backup_LSB_commit()
{
    return commit(LsbCommit);
}

bool Comm2Pc::backup_HSB_commit()
{
    return commit(HsbCommit);
}

bool Comm2Pc::backup_Lokbild_commit(int n)
{
    return commit(LokbildCommit, n);
}

bool Comm2Pc::backup_finalize()
{
    quint8 request[4];
    buildRequest(request, Finalize.subOp, {});
    quint8 answer[4];
    setRetries(Finalize.retries);
    // Its failure is not the user's concern, so neither is its waiting.
    reportStalls = false;
    try {
        exchangeData(request, Finalize.requestLength, answer, Finalize.answerLength);
        reportStalls = true;
        if (checkAnswer(request, answer, Finalize.answerLength) == AnswerCheck::Taken)
            return true;
        qCDebug(lcData, "%s", Finalize.failureLine);
        return false;
    } catch (const ex_stopped &) {
        reportStalls = true;
        throw;
    } catch (...) {
        reportStalls = true;
        qCDebug(lcData, "%s", Finalize.failureLine);
        return false;
    }
}

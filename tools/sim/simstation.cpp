#include "simstation.h"

#include "backupfile/backupfile.h"
#include "model/versiontext.h"
#include "link/frame.h"
#include "simprotocol.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

using namespace Catalogue;

bool SimStation::setSerial(const QString &hex8)
{
    const QByteArray bytes = QByteArray::fromHex(hex8.toLatin1());
    if (hex8.size() != 8 || bytes.size() != 4 ||
        bytes.toHex().toUpper() != hex8.toUpper().toLatin1())
        return false;
    for (int i = 0; i < 4; ++i)
        serial[i] = quint8(bytes[i]);
    return true;
}

QString SimStation::serialText() const
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(serial), 4).toHex())
        .toUpper();
}

QString SimStation::softwareText() const
{
    return versionText(softwareVersion);
}

QByteArray SimStation::frame(quint8 status, quint8 subOp, int length, const quint8 *payload,
                             int payloadSize) const
{
    QByteArray bytes(length, '\0');
    quint8 *a = reinterpret_cast<quint8 *>(bytes.data());
    a[0] = status;
    a[1] = subOp;
    a[2] = quint8(length);
    if (payload && payloadSize > 0)
        std::memcpy(a + 3, payload, size_t(qMin(payloadSize, length - 4)));
    finishFrame(a);
    return bytes;
}

QByteArray SimStation::handshake(char mode) const
{
    quint8 payload[23] = {};
    payload[0] = quint8(mode);
    writeWord(payload + 1, softwareVersion);
    writeWord(payload + 3, protocolVersion);
    writeWord(payload + 5, dataModelVersion);
    // The PC reads the serial number from frame offsets 16, 14, 18, 11, in that order.
    payload[16 - 3] = serial[0];
    payload[14 - 3] = serial[1];
    payload[18 - 3] = serial[2];
    payload[11 - 3] = serial[3];
    return frame(Frame::StatusOk, 0x00, 27, payload, 23);
}

QByteArray SimStation::emptyAnswer(quint8 subOp, int length, const quint8 *r, int params,
                                   const QList<int> &keys) const
{
    quint8 payload[80];
    std::memset(payload, 0xFF, sizeof payload);
    std::memcpy(payload, r + 3, size_t(params));
    const int room = (length - 4 - params) / 2;
    for (int i = 0; i < keys.size() && i < room && i < 32; ++i)
        writeWord(payload + params + 2 * i, quint16(keys.at(i)));
    return frame(Frame::StatusEmpty, subOp, length, payload, length - 4);
}

QList<int> SimStation::emptyAfter(int statusOffset, int n, int count) const
{
    QList<int> keys;
    for (int k = n + 1; k < count && keys.size() < 32; ++k) {
        if (image.recordStatus[size_t(statusOffset + k)] <= 0)
            keys.append(k);
    }
    return keys;
}

bool SimStation::planBlockEmpty(int plan, int row, int column) const
{
    const quint8 *block = image.bank(1) + GleisplanOffset * (plan + 1) + row * 1024 + column * 8;
    for (int i = 0; i < 64; ++i) {
        if (block[i] != 0)
            return false;
    }
    return true;
}

// In the order the PC asks for the blocks: row by row, eight columns at a time.
QList<int> SimStation::emptyPlanKeysAfter(int plan, int row, int column) const
{
    QList<int> keys;
    int r = row;
    int c = column + 8;
    while (keys.size() < 32 && r < 64) {
        if (c >= 128) {
            c = 0;
            ++r;
            continue;
        }
        if (planBlockEmpty(plan, r, c))
            keys.append(c * 256 + r);
        c += 8;
    }
    return keys;
}

SimStation::Reply SimStation::answer(const QByteArray &request, char mode)
{
    Reply reply;
    int v[3] = {};
    reply.reject = SimProtocol::check(request, v);
    if (!reply.reject.isEmpty())
        return reply;
    const quint8 *r = reinterpret_cast<const quint8 *>(request.constData());
    const SimProtocol::Command &c = *SimProtocol::find(r[0], r[1]);
    switch (c.kind) {
    case SimProtocol::Kind::LsbInit:
    case SimProtocol::Kind::LsbData:
    case SimProtocol::Kind::LsbEnd:
        reply.bytes = lsbAnswer(r, int(request.size()));
        return reply;
    case SimProtocol::Kind::Handshake:
        if (dropStagedOnHandshake)
            pending.clear(); // a new session: what was not committed is gone
        reply.bytes = handshake(mode);
        return reply;
    default:
        break;
    }
    if (mode != 'Y')
        return reply; // outside its PC mode the station takes no data commands
    switch (c.kind) {
    case SimProtocol::Kind::Read:
        reply.bytes = readAnswer(c, r, v);
        break;
    case SimProtocol::Kind::Write:
        reply.bytes = writeAnswer(c, r, v);
        break;
    case SimProtocol::Kind::Commit:
        reply.bytes = commitAnswer(c, v);
        reply.commit = true;
        break;
    case SimProtocol::Kind::Finalize:
        reply.bytes = frame(Frame::StatusOk, c.subOp, 4, nullptr, 0);
        break;
    default:
        break;
    }
    return reply;
}

// Where a record's block lives on the station, and the status byte of its record (or null).
quint8 *SimStation::place(quint8 subOp, const int *v, qint8 **status)
{
    auto statusOf = [this](int offset, int k) { return &image.recordStatus[size_t(offset + k)]; };
    *status = nullptr;
    switch (subOp) {
    case 0x0B:
    case 0x0C:
        *status = statusOf(StatusLokomotiven, v[0]);
        return image.bank(0) + LokOffset + v[0] * 256 + v[1] * 64;
    case 0x6E:
    case 0x6F:
        return image.bank(0) + LoklistenOffset + v[0] * 256 + v[1] * 64;
    case 0x1F:
    case 0x20:
        return image.bank(1) + GleisplanOffset * (v[0] + 1) + v[1] * 1024 + v[2] * 8;
    case 0x29:
    case 0x2A:
        *status = statusOf(StatusWeichen, v[0]);
        return image.bank(1) + WeichenOffset + v[0] * 64;
    case 0x33:
    case 0x34:
        *status = statusOf(StatusRueckmelder, v[0]);
        return image.bank(2) + RueckmelderOffset + v[0] * 256 + v[1] * 64;
    case 0x66:
    case 0x67:
        return image.bank(0) + S88Offset + v[0] * 64;
    case 0x64:
    case 0x65:
        return image.bank(0) + SystemOffset + v[0] * 64;
    case 0x3D:
    case 0x3E:
        *status = statusOf(StatusFahrstrassen, v[0]);
        return image.bank(0) + RouteOffset + v[0] * 512 + v[1] * 64;
    case 0x47:
    case 0x48:
        return image.bank(2) + AusleuchtungOffset + v[0] * 512 + v[1] * 64;
    case 0x51:
    case 0x52:
        *status = statusOf(StatusLsb, v[0]);
        return image.bank(0) + LsbOffset + v[0] * 32;
    case 0x5B:
    case 0x5C:
        *status = statusOf(StatusHsb, v[0]);
        return image.bank(0) + HsbOffset + v[0] * 256 + v[1] * 64;
    case 0x19:
    case 0x1A:
        *status = statusOf(StatusLokbilder, v[0]);
        return image.lokbild(v[0]) + v[1] * 64;
    }
    return nullptr;
}

QByteArray SimStation::readAnswer(const SimProtocol::Command &c, const quint8 *r, const int *v)
{
    const int params = c.requestLength - 4;
    qint8 *status = nullptr;
    const quint8 *data = place(c.subOp, v, &status);
    const int size = c.subOp == 0x51 ? 32 : 64;
    if (c.subOp == 0x1F && planBlockEmpty(v[0], v[1], v[2]))
        return emptyAnswer(c.subOp, c.answerLength, r, params,
                           emptyPlanKeysAfter(v[0], v[1], v[2]));
    if (c.subOp == 0x47 && !illuminated.testBit(v[0]))
        return emptyAnswer(c.subOp, c.answerLength, r, params, illuminationEmptyAfter(v[0]));
    if (status && *status <= 0) {
        const int offset = int(status - image.recordStatus.data()) - v[0];
        const int records = c.subOp == 0x51   ? 2048
                            : c.subOp == 0x5B ? 256
                            : c.subOp == 0x19 ? 100
                                              : 1024;
        return emptyAnswer(c.subOp, c.answerLength, r, params, emptyAfter(offset, v[0], records));
    }
    quint8 payload[80] = {};
    std::memcpy(payload, r + 3, size_t(params));
    std::memcpy(payload + params, data, size_t(size));
    return frame(Frame::StatusOk, c.subOp, c.answerLength, payload, c.answerLength - 4);
}

QByteArray SimStation::writeAnswer(const SimProtocol::Command &c, const quint8 *r, const int *v)
{
    const int params = c.requestLength - 4 - c.dataSize - c.spareBytes;
    qint8 *status = nullptr;
    quint8 *dest = place(c.subOp, v, &status);
    int key = c.commit;
    if (c.subOp == 0x48)
        key = 0x4900 + v[0] / 128;
    else if (c.subOp == 0x1A)
        key = 0x1B00 + v[0];
    pending[key].append({dest,
                         QByteArray(reinterpret_cast<const char *>(r + 3 + params), c.dataSize),
                         status, c.subOp == 0x48 ? v[0] : -1});
    return frame(Frame::StatusOk, c.subOp, c.answerLength, r + 3, c.answerLength - 4);
}

QByteArray SimStation::commitAnswer(const SimProtocol::Command &c, const int *v)
{
    int key = c.subOp;
    if (c.subOp == 0x49)
        key = 0x4900 + v[0];
    else if (c.subOp == 0x1B)
        key = 0x1B00 + v[0];
    quint8 result = 1;
    if (c.subOp == 0x2B && ++weichenCommits == weichenCommitFail)
        result = 0; // refused once: the writes stay staged
    else
        applyStaged(key);
    const quint8 payload[2] = {c.requestLength == 5 ? quint8(v[0]) : result, result};
    return frame(Frame::StatusOk, c.subOp, c.answerLength, payload, 2);
}

void SimStation::applyStaged(int key)
{
    for (const Pending &write : pending.take(key)) {
        std::memcpy(write.dest, write.data.constData(), size_t(write.data.size()));
        if (flipStored > 0 && random &&
            std::uniform_real_distribution<double>(0.0, 1.0)(*random) < flipStored) {
            const int at =
                std::uniform_int_distribution<int>(0, int(write.data.size()) - 1)(*random);
            write.dest[at] ^= quint8(1 << std::uniform_int_distribution<int>(0, 7)(*random));
        }
        if (write.status)
            *write.status = 1;
        if (write.illumination >= 0)
            illuminated.setBit(write.illumination);
    }
}

QList<int> SimStation::illuminationEmptyAfter(int n) const
{
    QList<int> keys;
    for (int k = n + 1; k < 1024 && keys.size() < 32; ++k) {
        if (!illuminated.testBit(k))
            keys.append(k);
    }
    return keys;
}

QByteArray SimStation::lsbAnswer(const quint8 *r, int length)
{
    const quint8 ack[2] = {r[1], 1};
    switch (r[1]) {
    case 0x00: {
        quint8 payload[27] = {};
        payload[0] = lsb.updateMode ? 'U' : 'N';
        writeWord(payload + 21, lsb.address);
        writeWord(payload + 23, lsb.type);
        payload[25] = lsb.hardware;
        payload[26] = lsb.software;
        return frame(Frame::MainLsbUpdate, 0x00, 31, payload, 27);
    }
    case 0x59: {
        if (!lsb.updateMode)
            return QByteArray();
        const int address = readWord(r + 3);
        const int n = length - 6;
        if (lsbReceived.size() < address + n)
            lsbReceived.resize(address + n, '\0');
        std::memcpy(lsbReceived.data() + address, r + 5, size_t(n));
        lsbDatagrams.append({address, n});
        return frame(Frame::MainLsbUpdate, 0x59, 5, ack, 1);
    }
    case 0x5A: {
        if (!lsb.updateMode)
            return QByteArray();
        const int total = readWord(r + 11);
        lsbReceived.resize(total, '\0');
        std::fprintf(stderr, "gleistron-sim: firmware of %d bytes in %d datagrams received\n",
                     total, int(lsbDatagrams.size()));
        if (!lsbSavePath.isEmpty()) {
            QSaveFile file(lsbSavePath);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(lsbReceived);
                file.commit();
            }
        }
        return frame(Frame::MainLsbUpdate, 0x5A, 5, ack, 1);
    }
    default:
        return QByteArray();
    }
}

bool SimStation::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    BackupFile::read(file, image, nullptr);
    // A file keeps illumination beside every route it holds.
    for (int n = 0; n < 1024; ++n)
        illuminated.setBit(n, image.recordStatus[size_t(StatusFahrstrassen + n)] > 0);
    return true;
}

bool SimStation::save(const QString &path)
{
    // The station holds every data set; the file lists its used records.
    image.presentSets.fill(1);
    image.s88Present = true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return BackupFile::write(file, image, serialText(), softwareText()) && file.commit();
}

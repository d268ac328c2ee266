#include "simstation.h"

#include "backupfile/backupfile.h"
#include "link/comm2pc.h"
#include "link/frame.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

using namespace Catalogue;

namespace {
int word(const quint8 *r)
{
    return readWord(r);
}
} // namespace

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
    return Comm2Pc::versionText(softwareVersion);
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

QByteArray SimStation::answer(const QByteArray &request, char mode)
{
    const quint8 *r = reinterpret_cast<const quint8 *>(request.constData());
    const int length = int(request.size());
    if (r[0] == Frame::MainLsbUpdate)
        return lsbAnswer(r, length);
    if (r[0] != Frame::MainStation)
        return QByteArray();
    if (r[1] == 0x00)
        return handshake(mode);
    if (mode != 'Y')
        return QByteArray(); // outside its PC mode the station takes no data commands
    switch (r[1]) {
    case 0x0B:
    case 0x6E:
    case 0x1F:
    case 0x29:
    case 0x33:
    case 0x66:
    case 0x64:
    case 0x3D:
    case 0x47:
    case 0x51:
    case 0x5B:
    case 0x19:
        return readAnswer(r, length);
    case 0x0C:
    case 0x6F:
    case 0x20:
    case 0x2A:
    case 0x34:
    case 0x67:
    case 0x65:
    case 0x3E:
    case 0x48:
    case 0x52:
    case 0x5C:
    case 0x1A:
        return writeAnswer(r, length);
    case 0x0D:
    case 0x70:
    case 0x21:
    case 0x2B:
    case 0x35:
    case 0x3F:
    case 0x49:
    case 0x53:
    case 0x5D:
    case 0x1B:
    case 0xFB:
        return commitAnswer(r, length);
    default:
        return QByteArray();
    }
}

QByteArray SimStation::readAnswer(const quint8 *r, int length)
{
    const quint8 subOp = r[1];
    const int params = length - 4;
    const quint8 *data = nullptr;
    int size = 64;
    int answerLength = 71;
    int statusOffset = -1;
    int n = 0;
    int records = 0;
    switch (subOp) {
    case 0x0B: // locomotive n, block b
        n = word(r + 3) % 1024;
        data = image.bank(0) + LokOffset + n * 256 + (r[5] & 3) * 64;
        statusOffset = StatusLokomotiven, records = 1024;
        break;
    case 0x6E:
        data = image.bank(0) + LoklistenOffset + (r[3] & 3) * 256 + (r[4] & 3) * 64;
        answerLength = 70;
        break;
    case 0x1F: { // plan, row, column
        const int plan = r[3] % 3, row = r[4] % 64, column = (r[5] % 128) & ~7;
        if (planBlockEmpty(plan, row, column))
            return emptyAnswer(subOp, 71, r, params, emptyPlanKeysAfter(plan, row, column));
        data = image.bank(1) + GleisplanOffset * (plan + 1) + row * 1024 + column * 8;
        break;
    }
    case 0x29:
        n = word(r + 3) % 1024;
        data = image.bank(1) + WeichenOffset + n * 64;
        statusOffset = StatusWeichen, records = 1024;
        break;
    case 0x33:
        n = word(r + 3) % 1024;
        data = image.bank(2) + RueckmelderOffset + n * 256 + (r[5] & 3) * 64;
        statusOffset = StatusRueckmelder, records = 1024;
        break;
    case 0x66:
        data = image.bank(0) + S88Offset + (r[3] & 3) * 64;
        answerLength = 69;
        break;
    case 0x64:
        data = image.bank(0) + SystemOffset + (r[3] & 3) * 64;
        answerLength = 69;
        break;
    case 0x3D:
    case 0x47:
        n = word(r + 3) % 1024;
        data = (subOp == 0x3D ? image.bank(0) + RouteOffset : image.bank(2) + AusleuchtungOffset) +
               n * 512 + (r[5] & 7) * 64;
        statusOffset = StatusFahrstrassen, records = 1024;
        break;
    case 0x51:
        n = word(r + 3) % 2048;
        data = image.bank(0) + LsbOffset + n * 32;
        size = 32;
        answerLength = 38;
        statusOffset = StatusLsb, records = 2048;
        break;
    case 0x5B:
        n = r[3];
        data = image.bank(0) + HsbOffset + n * 256 + (r[4] & 3) * 64;
        statusOffset = StatusHsb, records = 256;
        break;
    case 0x19:
        n = r[3] % 100;
        data = image.lokbild(n) + (r[4] % 192) * 64;
        answerLength = 70;
        statusOffset = StatusLokbilder, records = 100;
        break;
    }
    if (statusOffset >= 0 && image.recordStatus[size_t(statusOffset + n)] <= 0)
        return emptyAnswer(subOp, answerLength, r, params, emptyAfter(statusOffset, n, records));
    quint8 payload[80] = {};
    std::memcpy(payload, r + 3, size_t(params));
    std::memcpy(payload + params, data, size_t(size));
    return frame(Frame::StatusOk, subOp, answerLength, payload, answerLength - 4);
}

void SimStation::stage(int commitKey, quint8 *dest, const quint8 *data, int size, qint8 *status)
{
    pending[commitKey].append(
        {dest, QByteArray(reinterpret_cast<const char *>(data), size), status});
}

QByteArray SimStation::writeAnswer(const quint8 *r, int length)
{
    const quint8 subOp = r[1];
    int n = 0;
    auto statusOf = [this](int offset, int k) { return &image.recordStatus[size_t(offset + k)]; };
    switch (subOp) {
    case 0x0C:
        n = word(r + 3) % 1024;
        stage(0x0D, image.bank(0) + LokOffset + n * 256 + (r[5] & 3) * 64, r + 6, 64,
              statusOf(StatusLokomotiven, n));
        break;
    case 0x6F:
        stage(0x70, image.bank(0) + LoklistenOffset + (r[3] & 3) * 256 + (r[4] & 3) * 64, r + 5, 64,
              nullptr);
        break;
    case 0x20: {
        const int plan = r[3] % 3, row = r[4] % 64, column = (r[5] % 128) & ~7;
        stage(0x21, image.bank(1) + GleisplanOffset * (plan + 1) + row * 1024 + column * 8, r + 6,
              64, nullptr);
        break;
    }
    case 0x2A:
        n = word(r + 3) % 1024;
        stage(0x2B, image.bank(1) + WeichenOffset + n * 64, r + 5, 64, statusOf(StatusWeichen, n));
        break;
    case 0x34:
        n = word(r + 3) % 1024;
        stage(0x35, image.bank(2) + RueckmelderOffset + n * 256 + (r[5] & 3) * 64, r + 6, 64,
              statusOf(StatusRueckmelder, n));
        break;
    case 0x67:
        stage(0x35, image.bank(0) + S88Offset + (r[3] & 3) * 64, r + 4, 64, nullptr);
        break;
    case 0x65:
        stage(0x70, image.bank(0) + SystemOffset + (r[3] & 3) * 64, r + 4, 64, nullptr);
        break;
    case 0x3E:
        n = word(r + 3) % 1024;
        stage(0x3F, image.bank(0) + RouteOffset + n * 512 + (r[5] & 7) * 64, r + 6, 64,
              statusOf(StatusFahrstrassen, n));
        break;
    case 0x48:
        n = word(r + 3) % 1024;
        stage(0x4900 + n / 128, image.bank(2) + AusleuchtungOffset + n * 512 + (r[5] & 7) * 64,
              r + 6, 64, nullptr);
        break;
    case 0x52:
        n = word(r + 3) % 2048;
        stage(0x53, image.bank(0) + LsbOffset + n * 32, r + 5, 32, statusOf(StatusLsb, n));
        break;
    case 0x5C:
        n = r[3];
        stage(0x5D, image.bank(0) + HsbOffset + n * 256 + (r[4] & 3) * 64, r + 5, 64,
              statusOf(StatusHsb, n));
        break;
    case 0x1A:
        n = r[3] % 100;
        stage(0x1B00 + n, image.lokbild(n) + (r[4] % 192) * 64, r + 5, 64,
              statusOf(StatusLokbilder, n));
        break;
    }
    const int answerLength = (subOp == 0x0C || subOp == 0x20 || subOp == 0x2A || subOp == 0x34 ||
                              subOp == 0x3E || subOp == 0x48)
                                 ? 7
                             : (subOp == 0x67 || subOp == 0x65) ? 5
                                                                : 6;
    Q_UNUSED(length);
    return frame(Frame::StatusOk, subOp, answerLength, r + 3, answerLength - 4);
}

QByteArray SimStation::commitAnswer(const quint8 *r, int length)
{
    const quint8 subOp = r[1];
    if (subOp == 0xFB)
        return frame(Frame::StatusOk, subOp, 4, nullptr, 0);
    int key = subOp;
    if (subOp == 0x49)
        key = 0x4900 + (r[3] & 7);
    else if (subOp == 0x1B)
        key = 0x1B00 + r[3] % 100;
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
    }
    const quint8 payload[2] = {length == 5 ? r[3] : quint8(1), 1};
    return frame(Frame::StatusOk, subOp, length == 5 ? 6 : 5, payload, 2);
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
    return true;
}

bool SimStation::save(const QString &path)
{
    // The station holds every data set; the file lists its used records.
    image.presentSets.fill(1);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return BackupFile::write(file, image, serialText(), softwareText()) && file.commit();
}

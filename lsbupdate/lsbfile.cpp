#include "lsbfile.h"

#include "link/logging.h"

#include <QFile>

namespace {
// Formatted extraction of an unsigned 16-bit number: leading white space (newlines included)
// is skipped, then at least one digit.
bool readNumber(const QByteArray &data, qsizetype &at, quint16 &value)
{
    while (at < data.size() && std::isspace(uchar(data[at])))
        ++at;
    const qsizetype start = at;
    quint32 number = 0;
    while (at < data.size() && data[at] >= '0' && data[at] <= '9') {
        number = number * 10 + quint32(data[at++] - '0');
        if (number > 0xFFFF)
            return false;
    }
    value = quint16(number);
    return at > start;
}
} // namespace

LsbFile::Result LsbFile::open(const QString &path)
{
    // The name is used as the file system gives it: no lossy 8-bit conversion.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result::CannotOpen;
    return load(file.readAll());
}

LsbFile::Result LsbFile::load(const QByteArray &contents)
{
    data = contents;
    position = 0;
    if (!readNumber(data, position, type) || !readNumber(data, position, softwareVersion))
        return Result::InvalidHeader;
    const qsizetype newline = data.indexOf('\n', position);
    if (newline < 0 || newline - position > 9)
        return Result::InvalidHeader;
    position = newline + 1;
    return Result::Ok;
}

LsbFile::Result LsbFile::readPayload()
{
    // 496 lines fill 65472 bytes; a file much larger than that is refused before reading on.
    if (data.size() - position > qsizetype(MaxPayload) / 132 * LineSize + 2 * LineSize)
        return Result::TooLarge;
    payload.assign(size_t(data.size() - position) + LineSize, 0);
    int length = 0;
    int line = 0;
    for (;;) {
        const int n = int(qMin<qsizetype>(LineSize, data.size() - position));
        ++line;
        quint8 check = 0;
        for (int i = 0; i < n; ++i) {
            check ^= quint8(data[position + i]);
            payload[size_t(length + i)] = quint8(data[position + i]);
        }
        position += n;
        length += n - 1; // the check byte is overwritten by the next line
        if (check != 0) {
            failedLine = line;
            qCDebug(lcLsb).noquote() << QStringLiteral("CRC Error in line %1 !").arg(line);
            return Result::LineCheckFailed;
        }
        if (n < LineSize)
            break; // the stream is exhausted
    }
    payloadLength = length + 1;
    // Lengths and datagram addresses travel as 16-bit numbers: a longer payload would wrap.
    if (payloadLength > MaxPayload)
        return Result::TooLarge;
    payload.resize(size_t(payloadLength));
    qCDebug(lcLsb).noquote() << QStringLiteral(
                                    "last_data_pos = %1  Expected nr of LSB datagrams: %2")
                                    .arg(payloadLength)
                                    .arg((payloadLength + 127) / 128);
    qCDebug(lcLsb).noquote() << QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(payload.data()), payloadLength).toHex());
    return Result::Ok;
}

namespace LsbDevice {

QString typeName(quint16 type)
{
    switch (type) {
    case 0:
        return QStringLiteral("kein Gerät!");
    case 4:
        return QStringLiteral("Orvandel Booster");
    case 110:
        return QStringLiteral("Orvandel 6083 Multiplex-Signalmodul");
    case 111:
        return QStringLiteral("Orvandel Koppler");
    case 230:
        return QStringLiteral("Orvandel 60832 Doppel-Multiplexer Signalmodul");
    default:
        return QStringLiteral("kein updatebares Gerät!");
    }
}

bool isUpdatable(quint16 type)
{
    return type == 4 || type == 230;
}

} // namespace LsbDevice

#include "frame.h"

#include <QByteArray>
#include <array>

namespace {
constexpr std::array<quint8, 256> makeTable()
{
    std::array<quint8, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint8 crc = quint8(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? quint8((crc << 1) ^ 0x31) : quint8(crc << 1);
        table[i] = crc;
    }
    return table;
}
constexpr std::array<quint8, 256> crcTable = makeTable();
static_assert(crcTable[1] == 0x31 && crcTable[2] == 0x62);
} // namespace

quint8 frameChecksum(const quint8 *data, int length)
{
    quint8 crc = 0xFF;
    for (int i = 0; i < length; ++i)
        crc = crcTable[crc ^ data[i]];
    return crc;
}

void finishFrame(quint8 *frame)
{
    const int length = frame[2];
    frame[length - 1] = frameChecksum(frame, length - 1);
}

bool answerChecksumOk(const quint8 *answer, int bytesRead)
{
    if (bytesRead < 4)
        return false;
    const int length = answer[2];
    if (length < 4 || length > bytesRead)
        return false;
    return frameChecksum(answer, length - 1) == answer[length - 1];
}

bool answerFrameOk(const quint8 *answer, int expectedLength)
{
    return answer[2] == expectedLength && answerChecksumOk(answer, expectedLength);
}

quint16 readWord(const quint8 *bytes)
{
    return quint16((bytes[0] << 8) | bytes[1]);
}

void writeWord(quint8 *bytes, quint16 value)
{
    bytes[0] = quint8(value >> 8);
    bytes[1] = quint8(value & 0xFF);
}

QString hexString(const quint8 *bytes, int length)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), length).toHex());
}

QString serialText(const quint8 *answer)
{
    const quint8 serial[4] = {answer[16], answer[14], answer[18], answer[11]};
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(serial), 4).toHex())
        .toUpper();
}

#include "simstation.h"

#include "link/frame.h"

#include <cstring>

bool SimStation::setSerial(const QString &hex8)
{
    const QByteArray bytes = QByteArray::fromHex(hex8.toLatin1());
    if (hex8.size() != 8 || bytes.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i)
        serial[i] = quint8(bytes[i]);
    return true;
}

QByteArray SimStation::handshake(char mode) const
{
    QByteArray frame(27, '\0');
    quint8 *a = reinterpret_cast<quint8 *>(frame.data());
    a[0] = Frame::StatusOk;
    a[1] = 0x00;
    a[2] = 27;
    a[3] = quint8(mode);
    writeWord(a + 4, softwareVersion);
    writeWord(a + 6, protocolVersion);
    writeWord(a + 8, dataModelVersion);
    // The PC reads the serial number from offsets 16, 14, 18, 11, in that order.
    a[16] = serial[0];
    a[14] = serial[1];
    a[18] = serial[2];
    a[11] = serial[3];
    finishFrame(a);
    return frame;
}

QByteArray SimStation::answer(const QByteArray &request, char mode)
{
    const quint8 *r = reinterpret_cast<const quint8 *>(request.constData());
    if (r[0] == Frame::MainStation && r[1] == 0x00)
        return handshake(mode);
    if (r[0] == Frame::MainStation && r[1] == 0x0B && request.size() == 7) {
        const int n = readWord(r + 3) & 0x3FF;
        const int block = r[5] & 3;
        QByteArray frame(71, '\0');
        quint8 *a = reinterpret_cast<quint8 *>(frame.data());
        a[0] = Frame::StatusOk;
        a[1] = 0x0B;
        a[2] = 71;
        a[3] = r[3];
        a[4] = r[4];
        a[5] = r[5];
        std::memcpy(a + 6, image.bank(0) + Catalogue::LokOffset + n * 256 + block * 64, 64);
        finishFrame(a);
        return frame;
    }
    return QByteArray();
}

#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// An LSB firmware file: a header line with device type and software version, then 133-byte
// lines of 132 payload bytes and a check byte that makes the line's XOR zero.
class LsbFile
{
public:
    enum class Result {
        Ok,
        CannotOpen,
        InvalidHeader, // not two decimal numbers with at most 9 further characters on the line
        TooLarge,      // the payload would not fit the update's 16-bit lengths and addresses
        LineCheckFailed,
    };

    static constexpr int LineSize = 133;
    static constexpr int MaxPayload = 65535;

    // Reads the header; the lines follow with readPayload().
    Result open(const QString &path);
    Result load(const QByteArray &contents);
    Result readPayload();

    quint16 type = 0;
    quint16 softwareVersion = 0;
    std::vector<quint8> payload; // length() valid bytes
    int length() const { return payloadLength; }
    int failedLine = 0; // 1-based line whose check failed

private:
    QByteArray data;
    qsizetype position = 0;
    int payloadLength = 0;
};

// Device types of the LSB bus as the update page names them.
namespace LsbDevice {
QString typeName(quint16 type);
bool isUpdatable(quint16 type);
} // namespace LsbDevice

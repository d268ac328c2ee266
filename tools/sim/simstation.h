#pragma once

#include "datasets/dataimage.h"

#include <QByteArray>
#include <QString>

// The station's behaviour behind the wire: takes one checked request frame and gives the answer
// frame, or an empty array when the station stays silent.
class SimStation
{
public:
    quint16 softwareVersion = 1300;
    quint16 protocolVersion = 3;
    quint16 dataModelVersion = 2000;
    quint8 serial[4] = {0x56, 0x34, 0x78, 0x12}; // in the order the window shows them

    bool setSerial(const QString &hex8);

    // mode: the handshake mode byte of the adapter the request came through.
    QByteArray answer(const QByteArray &request, char mode);

    DataImage image;

private:
    QByteArray handshake(char mode) const;
};

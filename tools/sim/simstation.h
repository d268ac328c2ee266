#pragma once

#include "datasets/dataimage.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <random>

// The station's behaviour behind the wire: takes one checked request frame and gives the answer
// frame, or an empty array when the station stays silent. Writes wait in a pending list until
// their data set's commit makes them the station's content.
class SimStation
{
public:
    quint16 softwareVersion = 1300;
    quint16 protocolVersion = 3;
    quint16 dataModelVersion = 2000;
    quint8 serial[4] = {0x56, 0x34, 0x78, 0x12}; // in the order the window shows them

    bool setSerial(const QString &hex8);
    QString serialText() const;
    QString softwareText() const;

    // mode: the handshake mode byte of the adapter the request came through.
    QByteArray answer(const QByteArray &request, char mode);

    bool load(const QString &path);
    bool save(const QString &path);
    void fillSample();

    DataImage image;

    // The device editor in LSB update mode, holding one device.
    struct LsbDevice
    {
        bool updateMode = false;
        quint16 address = 0;
        quint16 type = 0;
        quint8 hardware = 0;
        quint8 software = 0;
    } lsb;
    double flipStored = 0; // probability that a committed block is stored with a bit flipped
    std::mt19937 *random = nullptr;
    QString lsbSavePath;    // where the received firmware is written at the end command
    QByteArray lsbReceived; // firmware bytes by datagram address
    QList<QPair<int, int>> lsbDatagrams; // address and length of each datagram

private:
    struct Pending
    {
        quint8 *dest;
        QByteArray data;
        qint8 *status; // marked present on commit, may be null
    };

    QByteArray handshake(char mode) const;
    QByteArray readAnswer(const quint8 *r, int length);
    QByteArray writeAnswer(const quint8 *r, int length);
    QByteArray commitAnswer(const quint8 *r, int length);
    QByteArray lsbAnswer(const quint8 *r, int length);
    QByteArray frame(quint8 status, quint8 subOp, int length, const quint8 *payload,
                     int payloadSize) const;
    QByteArray emptyAnswer(quint8 subOp, int length, const quint8 *r, int params,
                           const QList<int> &keys) const;
    bool planBlockEmpty(int plan, int row, int column) const;
    QList<int> emptyAfter(int statusOffset, int n, int count) const;
    QList<int> emptyPlanKeysAfter(int plan, int row, int column) const;
    void stage(int commitKey, quint8 *dest, const quint8 *data, int size, qint8 *status);

    QHash<int, QList<Pending>> pending;
};

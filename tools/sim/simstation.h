#pragma once

#include "model/dataimage.h"
#include "simprotocol.h"

#include <QBitArray>
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

    struct Reply
    {
        QByteArray bytes; // empty: the station stays silent
        QString reject;   // why the request was refused, when it was
        bool commit = false;
    };
    // mode: the handshake mode byte of the adapter the request came through.
    Reply answer(const QByteArray &request, char mode);

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
    QBitArray illuminated{1024}; // routes whose illumination the station holds
    bool dropStagedOnHandshake = false;
    int weichenCommitFail = 0; // the n-th switching-article commit is refused once
    double flipStored = 0;     // probability that a committed block is stored with a bit flipped
    std::mt19937 *random = nullptr;
    QString lsbSavePath;    // where the received firmware is written at the end command
    QByteArray lsbReceived; // firmware bytes by datagram address
    QList<QPair<int, int>> lsbDatagrams; // address and length of each datagram

private:
    struct Pending
    {
        quint8 *dest;
        QByteArray data;
        qint8 *status;    // marked present on commit, may be null
        int illumination; // route whose illumination this is, or -1
    };

    QByteArray handshake(char mode) const;
    quint8 *place(quint8 subOp, const int *v, qint8 **status);
    QByteArray readAnswer(const SimProtocol::Command &c, const quint8 *r, const int *v);
    QByteArray writeAnswer(const SimProtocol::Command &c, const quint8 *r, const int *v);
    QByteArray commitAnswer(const SimProtocol::Command &c, const int *v);
    void applyStaged(int key);
    QList<int> illuminationEmptyAfter(int n) const;
    QByteArray lsbAnswer(const quint8 *r, int length);
    QByteArray frame(quint8 status, quint8 subOp, int length, const quint8 *payload,
                     int payloadSize) const;
    QByteArray emptyAnswer(quint8 subOp, int length, const quint8 *r, int params,
                           const QList<int> &keys) const;
    bool planBlockEmpty(int plan, int row, int column) const;
    QList<int> emptyAfter(int statusOffset, int n, int count) const;
    QList<int> emptyPlanKeysAfter(int plan, int row, int column) const;

    QHash<int, QList<Pending>> pending;
    int weichenCommits = 0;
};

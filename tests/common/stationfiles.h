#pragma once

#include "backupfile/backupfile.h"
#include "model/uploadcheck.h"

#include <QBuffer>
#include <QFile>
#include <QString>
#include <memory>

// Compares what two simulated stations saved: B, restored from A's data, must hold exactly A's
// data. One allowance: the upload always writes record 0, so where A has no record 0, B holds a
// zero-filled one. Returns what differs, or an empty string.
inline QString stationDifference(const QString &pathA, const QString &pathB)
{
    using namespace Catalogue;
    auto load = [](const QString &path, DataImage &image, BackupFile::ReadResult &meta) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        meta = BackupFile::read(file, image, nullptr);
        return true;
    };
    auto a = std::make_unique<DataImage>();
    auto b = std::make_unique<DataImage>();
    BackupFile::ReadResult metaA, metaB;
    if (!load(pathA, *a, metaA) || !load(pathB, *b, metaB))
        return QStringLiteral("a station file is missing");
    for (int set : {Lokomotiven, Weichen, Rueckmelder, Fahrstrassen, Lsb, Hsb}) {
        const Entry &e = entry(set);
        qint8 &statusB = b->recordStatus[size_t(e.statusOffset)];
        if (a->recordStatus[size_t(e.statusOffset)] > 0 || statusB <= 0)
            continue;
        const int bank = set == Weichen ? 1 : set == Rueckmelder ? 2 : 0;
        const int offset = set == Lokomotiven    ? LokOffset
                           : set == Weichen      ? WeichenOffset
                           : set == Rueckmelder  ? RueckmelderOffset
                           : set == Fahrstrassen ? RouteOffset
                           : set == Lsb          ? LsbOffset
                                                 : HsbOffset;
        const QByteArray record(reinterpret_cast<const char *>(b->bank(bank) + offset),
                                e.recordSize);
        if (record != QByteArray(e.recordSize, '\0'))
            return QStringLiteral("%1: record 0 written with data").arg(e.key);
        statusB = a->recordStatus[size_t(e.statusOffset)];
    }
    QBuffer bufferA, bufferB;
    bufferA.open(QIODevice::WriteOnly);
    bufferB.open(QIODevice::WriteOnly);
    BackupFile::write(bufferA, *a, metaA.serial, metaA.softwareVersion);
    BackupFile::write(bufferB, *b, metaB.serial, metaB.softwareVersion);
    const QByteArray bytesA = bufferA.data(), bytesB = bufferB.data();
    if (bytesA == bytesB)
        return QString();
    int at = 0;
    while (at < bytesA.size() && at < bytesB.size() && bytesA[at] == bytesB[at])
        ++at;
    return QStringLiteral("station files differ from byte %1 (%2 and %3 bytes)")
        .arg(at)
        .arg(bytesA.size())
        .arg(bytesB.size());
}

// The records of `set` that the backup holds and the station does not hold the same way, as
// the verify after a restore names them.
inline QList<UploadCheck::Difference> setDifferences(const QString &backup, const QString &station,
                                                     const QString &set)
{
    auto sent = std::make_unique<DataImage>();
    auto held = std::make_unique<DataImage>();
    for (const auto &[path, image] :
         {std::pair{backup, sent.get()}, std::pair{station, held.get()}}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {{QStringLiteral("missing"), 0, 0}};
        BackupFile::read(file, *image, nullptr);
    }
    sent->selectedSets[size_t(Catalogue::indexOfKey(set))] = 1;
    return UploadCheck::compare(*sent, *held, nullptr);
}

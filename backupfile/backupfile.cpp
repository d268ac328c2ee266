#include "backupfile.h"

#include "link/logging.h"

#include <QIODevice>
#include <cstring>

using namespace Catalogue;

namespace {

struct Section
{
    const char *keyword;
    int set;     // presentSets index, -1 for companions and the end mark
    int records; // 0: a block section
    int size;    // bytes per record or block
    int bank;    // -1: locomotive images
    int offset;
    int statusOffset; // -1: no status
};

const Section sections[] = {
    {"LOKOMOTIVEN", Lokomotiven, 1024, 256, 0, LokOffset, StatusLokomotiven},
    {"LOKLISTEN", -1, 4, 256, 0, LoklistenOffset, -1},
    {"GLEISPLAN1", Gleisplan1, 0, 65536, 1, GleisplanOffset * 1, -1},
    {"GLEISPLAN2", Gleisplan2, 0, 65536, 1, GleisplanOffset * 2, -1},
    {"GLEISPLAN3", Gleisplan3, 0, 65536, 1, GleisplanOffset * 3, -1},
    {"WEICHEN", Weichen, 1024, 64, 1, WeichenOffset, StatusWeichen},
    {"RUECKMELDER", Rueckmelder, 1024, 256, 2, RueckmelderOffset, StatusRueckmelder},
    {"FAHRSTRASSEN", Fahrstrassen, 1024, 512, 0, RouteOffset, StatusFahrstrassen},
    {"LSB", Lsb, 2048, 32, 0, LsbOffset, StatusLsb},
    {"HSB", Hsb, 256, 256, 0, HsbOffset, StatusHsb},
    {"SYSTEMKONFIGURATION", System, 0, 256, 0, SystemOffset, -1},
    {"S88", System, 0, 256, 0, S88Offset, -1},
    {"LOKBILDER", Lokbilder, 100, LokbildSize, -1, 0, StatusLokbilder},
    {"END", -1, 0, 0, 0, 0, -1},
};

bool isRoutes(const Section &s)
{
    return s.set == Fahrstrassen;
}

bool isS88(const Section &s)
{
    return std::strcmp(s.keyword, "S88") == 0;
}

bool isCompanion(const Section &s)
{
    return s.set == -1 && s.size > 0;
}

const quint8 *place(const DataImage &image, const Section &s, int n)
{
    if (s.bank < 0)
        return image.lokbild(n);
    return image.bank(s.bank) + s.offset + n * s.size;
}

quint8 *place(DataImage &image, const Section &s, int n)
{
    return const_cast<quint8 *>(place(static_cast<const DataImage &>(image), s, n));
}

const quint8 *illumination(const DataImage &image, int n)
{
    return image.bank(2) + AusleuchtungOffset + n * 512;
}

// A line of at most 99 bytes, its LF removed. False when nothing could be read or the line was
// longer: both end the parsing.
bool readLine(QIODevice &in, QByteArray &line)
{
    line.clear();
    char c = 0;
    bool readSomething = false;
    while (in.getChar(&c)) {
        readSomething = true;
        if (c == '\n')
            return true;
        if (line.size() == 99)
            return false;
        line.append(c);
    }
    return readSomething;
}

// The decimal number at the start of a line, after leading blanks.
bool leadingNumber(const QByteArray &line, long &number)
{
    int i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+'))
        negative = line[i++] == '-';
    if (i >= line.size() || line[i] < '0' || line[i] > '9')
        return false;
    number = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && number < 1000000)
        number = number * 10 + (line[i++] - '0');
    if (negative)
        number = -number;
    return true;
}

bool readExactly(QIODevice &in, quint8 *dest, int size)
{
    return in.read(reinterpret_cast<char *>(dest), size) == size;
}

} // namespace

QString BackupFile::proposedName(const QString &serial, const QDate &date)
{
    return QStringLiteral("Gleistron-%1-%2.GTB2")
        .arg(serial.isEmpty() ? QStringLiteral("unbekannt") : serial.toUpper(),
             date.toString(Qt::ISODate));
}

bool BackupFile::write(QIODevice &out, const DataImage &image, const QString &serial,
                       const QString &softwareVersion)
{
    bool ok = true;
    auto put = [&](const char *data, qint64 size) {
        if (ok && out.write(data, size) != size)
            ok = false;
    };
    auto line = [&](const QByteArray &text) {
        put(text.constData(), text.size());
        put("\n", 1);
    };
    line("<meta>");
    line("seriennummer=" + serial.toLatin1());
    line("softwareversion=" + softwareVersion.toLatin1());
    line("</meta>");

    for (const Section &s : sections) {
        if (s.size == 0)
            continue;
        bool present = isCompanion(s) ? image.presentSets[Lokomotiven] != 0
                                      : image.presentSets[size_t(s.set)] != 0;
        // S88 lives in the system configuration's part of the file; without data of its own
        // it is left out, so that opening the file cannot take zeros for it.
        if (isS88(s))
            present = present && image.s88Present;
        if (!present)
            continue;
        line(s.keyword);
        if (s.records == 0) {
            put(reinterpret_cast<const char *>(place(image, s, 0)), s.size);
            put("\n\n", 2);
            continue;
        }
        for (int n = 0; n < s.records; ++n) {
            if (s.statusOffset >= 0 && image.recordStatus[size_t(s.statusOffset + n)] <= 0)
                continue;
            line(QByteArray::number(n));
            put(reinterpret_cast<const char *>(place(image, s, n)), s.size);
            if (isRoutes(s))
                put(reinterpret_cast<const char *>(illumination(image, n)), 512);
            put("\n", 1);
        }
        put("\n", 1);
    }
    line("END");
    return ok;
}

BackupFile::ReadResult BackupFile::read(QIODevice &in, DataImage &image, qint8 *routeStatus)
{
    ReadResult result;
    QByteArray line;
    bool metaDone = false;
    bool endReached = false;
    // Like a stream that has failed: nothing more is read once a line could not be.
    bool failed = false;
    auto nextLine = [&](QByteArray &into) {
        if (!failed && !readLine(in, into))
            failed = true;
        return !failed;
    };
    while (nextLine(line)) {
        if (line.startsWith("</meta>"))
            metaDone = true;
        if (!metaDone) {
            if (line.startsWith("seriennummer=")) {
                const QByteArray value = line.mid(13);
                if (value.size() <= 11)
                    result.serial = QString::fromLatin1(value);
            } else if (line.startsWith("softwareversion=")) {
                const QByteArray value = line.mid(16);
                if (value.size() <= 7)
                    result.softwareVersion = QString::fromLatin1(value);
            }
            continue;
        }
        const Section *found = nullptr;
        for (const Section &s : sections) {
            if (line.startsWith(s.keyword)) {
                found = &s;
                break;
            }
        }
        if (!found)
            continue;
        const Section &s = *found;
        if (s.size == 0) {
            qCDebug(lcFile, "END successfully reached!");
            endReached = true;
            break;
        }
        if (!isS88(s))
            qCDebug(lcFile, "%s: ", s.keyword);
        if (s.records == 0) {
            if (!readExactly(in, place(image, s, 0), s.size)) {
                std::memset(place(image, s, 0), 0, size_t(s.size));
                result.incomplete = true;
                break;
            }
            if (isS88(s))
                image.s88Present = true;
            else
                image.presentSets[size_t(s.set)] = 1;
            QByteArray rest;
            nextLine(rest);
            continue;
        }
        if (s.statusOffset >= 0)
            std::fill_n(&image.recordStatus[size_t(s.statusOffset)], s.records, qint8(-1));
        if (isRoutes(s) && routeStatus)
            std::fill_n(routeStatus, 1024, qint8(-1));
        bool sectionEnded = false;
        int lines = 0;
        while (!failed && !in.atEnd()) {
            QByteArray numberLine;
            if (!nextLine(numberLine))
                break;
            ++lines;
            long n = 0;
            if (!leadingNumber(numberLine, n) || n < 0 || n >= s.records) {
                sectionEnded = true;
                break;
            }
            bool complete = readExactly(in, place(image, s, int(n)), s.size);
            qCDebug(lcFile, "[%d] reading %d bytes", int(n), s.size);
            if (isRoutes(s)) {
                complete =
                    readExactly(in, const_cast<quint8 *>(illumination(image, int(n))), 512) &&
                    complete;
                qCDebug(lcFile, "[%d] reading %d bytes", int(n), 512);
            }
            // A record cut off by the end of the file is not taken as present.
            if (!complete) {
                failed = true;
                break;
            }
            if (s.statusOffset >= 0)
                image.recordStatus[size_t(s.statusOffset + n)] = 1;
            if (isRoutes(s) && routeStatus)
                routeStatus[n] = 1;
            QByteArray rest;
            nextLine(rest);
        }
        if (s.set == Lokomotiven) {
            qCDebug(lcFile, "getLine: %d", lines);
            qCDebug(lcFile, "part end");
        }
        if (isRoutes(s))
            result.routesRead = true;
        // A set is held only when its section ran to its end; otherwise its records stay
        // readable but nothing marks it present, so no upload sends it as the station's data.
        if (!sectionEnded) {
            result.incomplete = true;
            if (isCompanion(s))
                image.presentSets[Lokomotiven] = 0; // the lists belong to the locomotives
            break;
        }
        if (s.set >= 0)
            image.presentSets[size_t(s.set)] = 1;
    }
    if (!endReached)
        result.incomplete = true;
    return result;
}

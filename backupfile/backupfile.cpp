#include "backupfile.h"

#include "link/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
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

QString BackupFile::normalizedName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return path + QStringLiteral(".GTB2");
    return suffix.toUpper() == QLatin1String("GTB2") ? path : QString();
}

QString BackupFile::freeName(const QString &folder, const QString &serial, const QDate &date)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString name = proposedName(serial, date);
    auto in = [&](const QString &file) { return folder.isEmpty() ? file : dir.filePath(file); };
    QString path = in(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = in(QString(name).replace(QLatin1String(".GTB2"), QStringLiteral("-%1.GTB2").arg(n)));
    return path;
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

bool BackupFile::ReadResult::damagedSet(int set) const
{
    return std::any_of(damage.begin(), damage.end(),
                       [set](const Damage &d) { return d.set == set; });
}

QString BackupFile::describe(const Damage &d)
{
    static const char *const what[] = {
        "the section appears twice",       "a record number that is not a number",
        "a record number out of range",    "a record number not in ascending order",
        "the file ends inside a record",   "the locomotive lists are missing",
        "the meta block is not as written"};
    const QString text = d.kind == Damage::Cut && d.set < 0
                             ? QStringLiteral("the file ends before its end mark")
                             : QLatin1String(what[d.kind]);
    return QStringLiteral("%1, line %2: %3").arg(d.section).arg(d.line).arg(text);
}

BackupFile::ReadResult BackupFile::read(QIODevice &in, DataImage &image, qint8 *routeStatus)
{
    ReadResult result;
    QByteArray line;
    bool metaDone = false;
    bool endReached = false;
    bool serialSeen = false, softwareSeen = false;
    int lineNumber = 0;
    bool listsRead = false;
    QList<const Section *> seen;
    // Like a stream that has failed: nothing more is read once a line could not be.
    bool failed = false;
    auto nextLine = [&](QByteArray &into) {
        if (!failed && !readLine(in, into))
            failed = true;
        if (!failed)
            ++lineNumber;
        return !failed;
    };
    auto damaged = [&](BackupFile::Damage::Kind kind, const Section &s) {
        const int set = s.set >= 0 ? s.set : (isCompanion(s) ? int(Lokomotiven) : -1);
        result.damage.append({kind, set, QString::fromLatin1(s.keyword), lineNumber});
        qCDebug(lcFile, "damaged: %s", qPrintable(describe(result.damage.last())));
    };
    auto metaDamaged = [&] {
        if (std::none_of(result.damage.begin(), result.damage.end(),
                         [](const Damage &d) { return d.kind == Damage::Meta; }))
            result.damage.append({Damage::Meta, -1, QStringLiteral("<meta>"), lineNumber});
    };
    while (nextLine(line)) {
        if (line.startsWith("</meta>")) {
            metaDone = true;
            if (!serialSeen || !softwareSeen)
                metaDamaged();
        }
        if (!metaDone) {
            if (lineNumber == 1 && line != "<meta>")
                metaDamaged();
            if (line.startsWith("seriennummer=")) {
                const QByteArray value = line.mid(13);
                serialSeen = true;
                if (value.size() <= 11)
                    result.serial = QString::fromLatin1(value);
                else
                    metaDamaged();
            } else if (line.startsWith("softwareversion=")) {
                const QByteArray value = line.mid(16);
                softwareSeen = true;
                if (value.size() <= 7)
                    result.softwareVersion = QString::fromLatin1(value);
                else
                    metaDamaged();
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
        // A section read twice would leave the second one's records over the first's.
        const bool repeated = seen.contains(&s);
        seen.append(&s);
        if (repeated)
            damaged(Damage::Repeated, s);
        if (!isS88(s))
            qCDebug(lcFile, "%s: ", s.keyword);
        if (s.records == 0) {
            if (!readExactly(in, place(image, s, 0), s.size)) {
                std::memset(place(image, s, 0), 0, size_t(s.size));
                result.incomplete = true;
                damaged(Damage::Cut, s);
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
        bool sectionDamaged = false;
        int lines = 0;
        long last = -1;
        while (!failed && !in.atEnd()) {
            QByteArray numberLine;
            if (!nextLine(numberLine))
                break;
            ++lines;
            long n = 0;
            // The writer ends a section with an empty line; any other line here is damage.
            if (numberLine.trimmed().isEmpty()) {
                sectionEnded = true;
                break;
            }
            const bool number = leadingNumber(numberLine, n);
            if (!number || n < 0 || n >= s.records || n <= last) {
                damaged(!number                   ? Damage::BadNumber
                        : n < 0 || n >= s.records ? Damage::OutOfRange
                                                  : Damage::NotAscending,
                        s);
                sectionEnded = true;
                sectionDamaged = true;
                break;
            }
            last = n;
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
                damaged(Damage::Cut, s);
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
            if (!result.damagedSet(s.set >= 0 ? s.set : int(Lokomotiven)))
                damaged(Damage::Cut, s);
            if (isCompanion(s))
                image.presentSets[Lokomotiven] = 0; // the lists belong to the locomotives
            break;
        }
        if (isCompanion(s) && !sectionDamaged && !repeated)
            listsRead = true;
        if (s.set >= 0 && !sectionDamaged && !repeated)
            image.presentSets[size_t(s.set)] = 1;
    }
    if (!metaDone)
        metaDamaged();
    if (!endReached) {
        result.incomplete = true;
        if (std::none_of(result.damage.begin(), result.damage.end(),
                         [](const Damage &d) { return d.kind == Damage::Cut; }))
            result.damage.append({Damage::Cut, -1, QStringLiteral("END"), lineNumber});
    }
    // Locomotives without their lists would restore as four empty lists.
    if (image.presentSets[Lokomotiven] && !listsRead && !result.damagedSet(Lokomotiven))
        result.damage.append(
            {Damage::ListsMissing, int(Lokomotiven), QStringLiteral("LOKLISTEN"), lineNumber});
    for (const Damage &d : std::as_const(result.damage)) {
        if (d.set >= 0)
            image.presentSets[size_t(d.set)] = 0;
    }
    if (result.damagedSet(System))
        image.s88Present = false;
    return result;
}

#include "backupfile.h"

#include "link/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <array>
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

// Records by the data image's addresses; the blocks by the section's place.
const quint8 *place(const DataImage &image, const Section &s, int n)
{
    if (s.records > 0)
        return s.set >= 0 ? image.record(s.set, n) : image.lokliste(n);
    return image.bank(s.bank) + s.offset;
}

quint8 *place(DataImage &image, const Section &s, int n)
{
    return const_cast<quint8 *>(place(static_cast<const DataImage &>(image), s, n));
}

const quint8 *illumination(const DataImage &image, int n)
{
    return image.illumination(n);
}

// CRC-32 as zip and PNG use it (reflected, polynomial 0xEDB88320): any change of up to four
// bytes in a row is found for certain, and any other tool can compute it. Eight bytes a step.
quint32 crc32(quint32 crc, const char *data, qint64 size)
{
    static const auto tables = [] {
        std::array<std::array<quint32, 256>, 8> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (size_t i = 0; i < 256; ++i) {
            for (size_t k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
        }
        return t;
    }();
    const auto *p = reinterpret_cast<const quint8 *>(data);
    crc = ~crc;
    for (; size >= 8; size -= 8, p += 8) {
        const quint32 low = crc ^ quint32(p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^
              tables[0][p[7]];
    }
    for (; size > 0; --size, ++p)
        crc = tables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Begins with no keyword of the format, so readers that do not know it skip the line.
const QByteArray checksumPrefix = QByteArrayLiteral("#crc32 ");

QByteArray checksumLine(quint32 crc)
{
    return checksumPrefix + QByteArray::number(crc, 16).rightJustified(8, '0');
}

} // namespace

// Every record of every set, the longest meta lines.
qint64 BackupFile::largestFile()
{
    // The meta block's four lines, its checksum line and the file's.
    qint64 size = 4 * 100 + 2 * (checksumLine(0).size() + 1);
    for (const Section &s : sections) {
        const qint64 keyword = qint64(std::strlen(s.keyword)) + 1;
        const qint64 checksum = checksumLine(0).size() + 1;
        if (s.size == 0)
            size += keyword;
        else if (s.records == 0)
            size += keyword + s.size + 2 + checksum;
        else
            size +=
                keyword + 1 + checksum + qint64(s.records) * (s.size + (isRoutes(s) ? 512 : 0) + 1);
        for (int n = 0; n < s.records; ++n)
            size += QByteArray::number(n).size() + 1;
    }
    return size;
}

namespace {

// The file in memory, read line by line as the writer wrote it.
class Lines
{
public:
    explicit Lines(const QByteArray &data) : data(data) {}
    // The next line without its LF. False at the end of the file, or for a last line without
    // its LF (the writer ends every line with one) or longer than 99 bytes.
    bool next(QByteArray &line)
    {
        const qsizetype lf = data.indexOf('\n', pos);
        if (lf < 0 || lf - pos > 99) {
            longLine = lf >= 0;
            return false;
        }
        line = data.mid(pos, lf - pos);
        pos = lf + 1;
        ++number;
        return true;
    }
    // The next line, not consumed.
    bool peek(QByteArray &line) const
    {
        Lines copy(*this);
        return copy.next(line);
    }
    // Exactly `size` bytes; false when the file ends first (what there is is copied).
    bool take(quint8 *dest, int size)
    {
        const qsizetype n = std::min(qsizetype(size), data.size() - pos);
        std::memcpy(dest, data.constData() + pos, size_t(n));
        pos += n;
        return n == size;
    }
    // The bytes that follow are exactly `text`; consumed only then.
    bool expect(const char *text)
    {
        const qsizetype n = qsizetype(std::strlen(text));
        if (data.size() - pos < n || std::memcmp(data.constData() + pos, text, size_t(n)) != 0)
            return false;
        pos += n;
        number += int(std::count(text, text + n, '\n'));
        return true;
    }
    quint32 crcSince(qsizetype from) const { return crc32(0, data.constData() + from, pos - from); }
    bool atEnd() const { return pos >= data.size(); }

    const QByteArray &data;
    qsizetype pos = 0;
    int number = 0;
    bool longLine = false;
};

// A record number as the writer writes it: decimal, no sign, blank or leading zero.
bool recordNumber(const QByteArray &line, long &number)
{
    if (line.isEmpty() || line.size() > 6 || (line.size() > 1 && line[0] == '0'))
        return false;
    number = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return true;
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
    const QString name = proposedName(serial, date);
    const QString base = folder.isEmpty() ? name : QDir(folder).filePath(name);
    QString path = base;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = numberedName(base, n);
    return path;
}

QString BackupFile::numberedName(const QString &path, int n)
{
    if (n <= 1)
        return path;
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty())
        return path + QStringLiteral("-%1").arg(n);
    return path.left(path.size() - suffix.size() - 1) + QStringLiteral("-%1.").arg(n) + suffix;
}

bool BackupFile::write(QIODevice &out, const DataImage &image, const QString &serial,
                       const QString &softwareVersion)
{
    bool ok = true;
    quint32 crc = 0, total = 0;
    auto put = [&](const char *data, qint64 size) {
        crc = crc32(crc, data, size);
        total = crc32(total, data, size);
        if (ok && out.write(data, size) != size)
            ok = false;
    };
    auto line = [&](const QByteArray &text) {
        put(text.constData(), text.size());
        put("\n", 1);
    };
    // Each part of the file proves itself: the line after it carries the checksum of its bytes.
    auto endPart = [&] {
        line(checksumLine(crc));
        crc = 0;
    };
    line("<meta>");
    line("seriennummer=" + serial.toLatin1());
    line("softwareversion=" + softwareVersion.toLatin1());
    line("</meta>");
    endPart();

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
            endPart();
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
        endPart();
    }
    line("END");
    // Read by no program that stops at the end mark: the checksum of the whole file before it.
    line(checksumLine(total));
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
        "the section appears twice",
        "a record number that is not a number",
        "a record number out of range",
        "a record number not in ascending order",
        "the file ends inside a record",
        "the locomotive lists are missing",
        "the meta block is not as written",
        "a record or block not followed by its line end; the rest of the file is not read",
        "a line that is not as written; the rest of the file is not read",
        "the checksum does not match (at END: the file as a whole, a part left out or added)",
        "the section has no checksum line",
        "the file is larger than any backup; nothing is read"};
    const QString text = d.kind == Damage::Cut && d.set < 0
                             ? QStringLiteral("the file ends before its end mark")
                             : QLatin1String(what[d.kind]);
    return QStringLiteral("%1, line %2: %3").arg(d.section).arg(d.line).arg(text);
}

BackupFile::ReadResult BackupFile::read(QIODevice &in, DataImage &image, qint8 *routeStatus)
{
    ReadResult result;
    // Checked before anything is read: memory stays bounded by what a backup can be.
    const qint64 limit = largestFile();
    if (!in.isSequential() && in.size() - in.pos() > limit) {
        result.incomplete = true;
        result.damage.append({Damage::TooLarge, -1, QString(), 0});
        return result;
    }
    // What the file holds, not the bound: the bound is the size of a full backup.
    const QByteArray data = in.read(in.isSequential() ? limit + 1 : in.size() - in.pos());
    if (data.size() > limit) {
        result.incomplete = true;
        result.damage.append({Damage::TooLarge, -1, QString(), 0});
        return result;
    }
    Lines lines(data);
    QByteArray line;
    auto setOf = [](const Section &s) {
        return s.set >= 0 ? s.set : (isCompanion(s) ? int(Lokomotiven) : -1);
    };
    auto damaged = [&](Damage::Kind kind, int set, const QString &section) {
        result.damage.append({kind, set, section, lines.number});
        qCDebug(lcFile, "damaged: %s", qPrintable(describe(result.damage.last())));
    };
    auto metaDamaged = [&] {
        if (std::none_of(result.damage.begin(), result.damage.end(),
                         [](const Damage &d) { return d.kind == Damage::Meta; }))
            damaged(Damage::Meta, -1, QStringLiteral("<meta>"));
    };
    // The checksum line after a part, when the file carries them. False when the part is not
    // proven whole.
    bool withChecksums = false;
    // A file carries checksums when any part of it does: then a part without one is damaged
    // (known only at the end when the meta block lost its line).
    bool anyChecksum = false;
    QList<Damage> unproven;
    auto checked = [&](qsizetype from, int set, const QString &section) {
        const quint32 crc = lines.crcSince(from);
        QByteArray next;
        if (!lines.peek(next) || !next.startsWith(checksumPrefix)) {
            if (withChecksums)
                damaged(Damage::ChecksumMissing, set, section);
            else
                unproven.append({Damage::ChecksumMissing, set, section, lines.number});
            return !withChecksums;
        }
        anyChecksum = true;
        lines.next(next);
        if (next != checksumLine(crc)) {
            damaged(Damage::Checksum, set, section);
            return false;
        }
        return true;
    };

    // The meta block: "<meta>", the serial, the software version, "</meta>".
    bool metaDone = false;
    bool serialSeen = false, softwareSeen = false;
    while (!metaDone && lines.next(line)) {
        if (line.startsWith("</meta>")) {
            metaDone = true;
            if (!serialSeen || !softwareSeen || line != "</meta>")
                metaDamaged();
        } else if (lines.number == 1) {
            if (line != "<meta>")
                metaDamaged();
        } else if (line.startsWith("seriennummer=") && !serialSeen) {
            const QByteArray value = line.mid(13);
            serialSeen = true;
            if (value.size() <= 11)
                result.serial = QString::fromLatin1(value);
            else
                metaDamaged();
        } else if (line.startsWith("softwareversion=") && serialSeen && !softwareSeen) {
            const QByteArray value = line.mid(16);
            softwareSeen = true;
            if (value.size() <= 7)
                result.softwareVersion = QString::fromLatin1(value);
            else
                metaDamaged();
        } else {
            metaDamaged();
        }
    }
    if (!metaDone) {
        metaDamaged();
        result.incomplete = true;
        damaged(Damage::Cut, -1, QStringLiteral("END"));
        return result;
    }
    {
        QByteArray next;
        withChecksums = lines.peek(next) && next.startsWith(checksumPrefix);
        checked(0, -1, QStringLiteral("<meta>"));
    }

    bool endReached = false;
    bool stopped = false;
    bool listsRead = false;
    bool allChecked = withChecksums;
    QList<const Section *> seen;
    QString after = QStringLiteral("<meta>"); // the last part read, to say where a stray line is
    while (!stopped) {
        const qsizetype sectionStart = lines.pos;
        if (!lines.next(line)) {
            if (lines.longLine) {
                damaged(Damage::Unexpected, -1, after);
                stopped = true;
            }
            break;
        }
        const Section *found = nullptr;
        for (const Section &s : sections) {
            if (line == s.keyword) {
                found = &s;
                break;
            }
        }
        if (!found) {
            damaged(Damage::Unexpected, -1, after);
            stopped = true;
            break;
        }
        const Section &s = *found;
        if (s.size == 0) {
            qCDebug(lcFile, "END successfully reached!");
            endReached = true;
            break;
        }
        const int set = setOf(s);
        const QString keyword = QString::fromLatin1(s.keyword);
        after = keyword;
        // A section read twice would leave the second one's records over the first's.
        const bool repeated = seen.contains(&s);
        seen.append(&s);
        if (repeated)
            damaged(Damage::Repeated, set, keyword);
        if (!isS88(s))
            qCDebug(lcFile, "%s: ", s.keyword);
        if (s.records == 0) {
            if (!lines.take(place(image, s, 0), s.size)) {
                std::memset(place(image, s, 0), 0, size_t(s.size));
                damaged(Damage::Cut, set, keyword);
                stopped = true;
                break;
            }
            if (!lines.expect("\n\n")) {
                std::memset(place(image, s, 0), 0, size_t(s.size));
                damaged(Damage::NoLineEnd, set, keyword);
                stopped = true;
                break;
            }
            if (!checked(sectionStart, set, keyword))
                allChecked = false;
            else if (!repeated && isS88(s))
                image.s88Present = true;
            else if (!repeated)
                image.presentSets[size_t(s.set)] = 1;
            continue;
        }
        if (s.statusOffset >= 0)
            std::fill_n(&image.recordStatus[size_t(s.statusOffset)], s.records, qint8(-1));
        if (isRoutes(s) && routeStatus)
            std::fill_n(routeStatus, 1024, qint8(-1));
        bool sectionEnded = false;
        int records = 0;
        long last = -1;
        while (!stopped) {
            QByteArray numberLine;
            if (!lines.next(numberLine)) {
                damaged(lines.longLine ? Damage::Unexpected : Damage::Cut, set, keyword);
                stopped = true;
                break;
            }
            ++records;
            // The writer ends a section with an empty line.
            if (numberLine.isEmpty()) {
                sectionEnded = true;
                break;
            }
            long n = 0;
            const bool number = recordNumber(numberLine, n);
            if (!number || n >= s.records || n <= last) {
                damaged(!number          ? Damage::BadNumber
                        : n >= s.records ? Damage::OutOfRange
                                         : Damage::NotAscending,
                        set, keyword);
                stopped = true;
                break;
            }
            last = n;
            bool complete = lines.take(place(image, s, int(n)), s.size);
            qCDebug(lcFile, "[%d] reading %d bytes", int(n), s.size);
            if (isRoutes(s) && complete) {
                complete = lines.take(const_cast<quint8 *>(illumination(image, int(n))), 512);
                qCDebug(lcFile, "[%d] reading %d bytes", int(n), 512);
            }
            // A record cut off by the end of the file is not taken as present.
            if (!complete) {
                damaged(Damage::Cut, set, keyword);
                stopped = true;
                break;
            }
            if (!lines.expect("\n")) {
                damaged(Damage::NoLineEnd, set, keyword);
                stopped = true;
                break;
            }
            if (s.statusOffset >= 0)
                image.recordStatus[size_t(s.statusOffset + n)] = 1;
            if (isRoutes(s) && routeStatus)
                routeStatus[n] = 1;
        }
        if (s.set == Lokomotiven) {
            qCDebug(lcFile, "getLine: %d", records);
            qCDebug(lcFile, "part end");
        }
        if (isRoutes(s))
            result.routesRead = true;
        // A set is held only when its section ran to its end and proved whole; otherwise its
        // records stay readable but nothing marks it present, so no upload sends it.
        if (!sectionEnded)
            break;
        const bool whole = checked(sectionStart, set, keyword);
        allChecked = allChecked && whole;
        if (isCompanion(s) && whole && !repeated)
            listsRead = true;
        if (s.set >= 0 && whole && !repeated)
            image.presentSets[size_t(s.set)] = 1;
    }
    if (!endReached) {
        result.incomplete = true;
        if (!stopped)
            damaged(Damage::Cut, -1, QStringLiteral("END"));
    }
    for (const Damage &d : std::as_const(unproven)) {
        if (anyChecksum)
            damaged(d.kind, d.set, d.section);
    }
    // The whole file proves itself too: a section left out, or anything after its end.
    if (endReached && anyChecksum) {
        const quint32 crc = lines.crcSince(0);
        QByteArray last;
        if (!lines.next(last) || last != checksumLine(crc) || !lines.atEnd()) {
            result.incomplete = true;
            damaged(Damage::Checksum, -1, QStringLiteral("END"));
        }
    }
    result.checksums = allChecked && anyChecksum && unproven.isEmpty() && !result.incomplete;
    // Locomotives without their lists would restore as four empty lists.
    if (image.presentSets[Lokomotiven] && !listsRead && !result.damagedSet(Lokomotiven))
        damaged(Damage::ListsMissing, int(Lokomotiven), QStringLiteral("LOKLISTEN"));
    for (const Damage &d : std::as_const(result.damage)) {
        if (d.set >= 0)
            image.presentSets[size_t(d.set)] = 0;
    }
    if (result.damagedSet(System))
        image.s88Present = false;
    return result;
}

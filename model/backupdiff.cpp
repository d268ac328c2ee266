#include "backupdiff.h"

#include "routerecord.h"
#include "uploadrules.h"

#include <QByteArray>
#include <QCoreApplication>
#include <cstring>

using namespace Catalogue;

namespace BackupDiff {

namespace {

bool same(const quint8 *x, const quint8 *y, int size)
{
    return std::memcmp(x, y, size_t(size)) == 0;
}

QString routeComment(const DataImage &image, int n)
{
    quint8 route[RouteRecord::Size];
    image.copyRoute(n, route);
    return RouteRecord::comment(route);
}

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

const QString arrow = QStringLiteral(" → ");

QString hex(const quint8 *bytes, int size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), size).toHex(' ');
}

// The runs of differing bytes, a gap of a few equal bytes bridged so that one edit reads as
// one range; each range's bytes cut after 16, the ranges after 8.
void byteRanges(QStringList &lines, const quint8 *x, const quint8 *y, int size, int base = 0)
{
    constexpr int Bridged = 4, ShownBytes = 16, ShownRanges = 8;
    int ranges = 0;
    for (int at = 0; at < size;) {
        if (x[at] == y[at]) {
            ++at;
            continue;
        }
        int end = at + 1; // one past the last differing byte of the range
        for (int next = end; next < size && next < end + Bridged; ++next) {
            if (x[next] != y[next])
                end = next + 1;
        }
        if (++ranges <= ShownRanges) {
            const int shown = qMin(end - at, ShownBytes);
            const QString more = end - at > shown ? QStringLiteral(" …") : QString();
            const QString where =
                end - at == 1 ? QStringLiteral("Byte %1").arg(base + at)
                              : QStringLiteral("Bytes %1–%2").arg(base + at).arg(base + end - 1);
            lines << where + QStringLiteral(": ") + hex(x + at, shown) + more + arrow +
                         hex(y + at, shown) + more;
        }
        at = end;
    }
    if (ranges > ShownRanges)
        lines << translated(QT_TRANSLATE_NOOP("MainWindow", "und %1 weitere Bereiche"))
                     .arg(ranges - ShownRanges);
}

QString rowText(const QList<RouteRow> &rows, int i)
{
    const RouteRow row = rows.value(i);
    if (row.isEmpty())
        return QStringLiteral("-");
    QStringList parts;
    for (const QString &part : {row.type, row.address, row.command}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

void routeDetails(QStringList &lines, const DataImage &a, const DataImage &b, int n)
{
    quint8 x[RouteRecord::Size], y[RouteRecord::Size];
    a.copyRoute(n, x);
    b.copyRoute(n, y);
    const DecodedRoute before = RouteRecord::decode(x), after = RouteRecord::decode(y);
    const qsizetype shown = lines.size();
    auto field = [&lines](const char *label, const QString &old, const QString &now) {
        if (old != now)
            lines << translated(label).arg(old + arrow + now);
    };
    field(QT_TRANSLATE_NOOP("MainWindow", "Kommentar: %1"),
          QLatin1Char('"') + before.comment + QLatin1Char('"'),
          QLatin1Char('"') + after.comment + QLatin1Char('"'));
    field(QT_TRANSLATE_NOOP("MainWindow", "Modus: %1"), before.mode, after.mode);
    field(QT_TRANSLATE_NOOP("MainWindow", "Starttaste: %1"),
          RouteRecord::keyText(before.startPlan, before.startRow, before.startColumn),
          RouteRecord::keyText(after.startPlan, after.startRow, after.startColumn));
    field(
        QT_TRANSLATE_NOOP("MainWindow", "Zieltaste: %1"),
        RouteRecord::keyText(before.destinationPlan, before.destinationRow,
                             before.destinationColumn),
        RouteRecord::keyText(after.destinationPlan, after.destinationRow, after.destinationColumn));
    for (int card = 2; card <= 7; ++card) {
        const QList<RouteRow> &old = before.cards[size_t(card - 2)];
        const QList<RouteRow> &now = after.cards[size_t(card - 2)];
        for (int i = 0; i < qMax(old.size(), now.size()); ++i) {
            const QString was = rowText(old, i), is = rowText(now, i);
            if (was != is)
                lines << QStringLiteral("%1 %2: ")
                                 .arg(translated(RouteRecord::cardTitle(card)))
                                 .arg(RouteRecord::slotNumber(card, i)) +
                             was + arrow + is;
        }
    }
    // Bytes the tab shows nothing of (and the illumination, which it does not show) by place:
    // every change says something.
    if (lines.size() == shown && !same(x, y, RouteRecord::Size))
        byteRanges(lines, x, y, RouteRecord::Size);
    byteRanges(lines, a.illumination(n), b.illumination(n), 512, RouteRecord::Size);
}

} // namespace

QString changeText(Line::Change change)
{
    switch (change) {
    case Line::Added:
        return QStringLiteral("added");
    case Line::Removed:
        return QStringLiteral("removed");
    default:
        return QStringLiteral("changed");
    }
}

QList<Line> compare(const DataImage &a, const DataImage &b, const DataImage *only)
{
    QList<Line> lines;
    auto add = [&lines](const QString &set, int n, bool inA, bool inB, bool equal,
                        const QString &note = QString()) {
        if (inA && inB && equal)
            return;
        if (!inA && !inB)
            return;
        lines.append({set, n, !inA ? Line::Added : !inB ? Line::Removed : Line::Changed, note});
    };
    auto considered = [&](int set) {
        return (!only || only->selectedSets[size_t(set)]) &&
               (a.presentSets[size_t(set)] || b.presentSets[size_t(set)]);
    };
    // S88 travels with two sets: its line follows the first of them that is compared.
    const int s88After = considered(Rueckmelder) ? Rueckmelder : System;
    for (int set = 0; set < DataSetCount; ++set) {
        if (only && !only->selectedSets[size_t(set)])
            continue;
        const bool heldA = a.presentSets[size_t(set)] != 0;
        const bool heldB = b.presentSets[size_t(set)] != 0;
        if (!heldA && !heldB)
            continue;
        const Entry &e = entry(set);
        if (set >= Gleisplan1 && set <= Gleisplan3) {
            for (int r = 0; r < 64; ++r) {
                for (int c = 0; c < 128; c += 8) {
                    const quint8 *x = a.gleisplan(set - Gleisplan1, r, c);
                    const quint8 *y = b.gleisplan(set - Gleisplan1, r, c);
                    // Every byte counts, also in a block no cell of which is used; a held
                    // plan's first block is sent always.
                    const bool equal = same(x, y, 64);
                    const bool sentX = UploadRules::planBlockSent(x, r, c);
                    const bool sentY = UploadRules::planBlockSent(y, r, c);
                    const bool neither = !sentX && !sentY;
                    add(QLatin1String(e.key), r * 16 + c / 8,
                        heldA && (sentX || (neither && heldB && !equal)),
                        heldB && (sentY || (neither && heldA && !equal)), equal);
                }
            }
            continue;
        }
        if (set == System) {
            add(QLatin1String(e.key), 0, heldA, heldB,
                same(a.systemKonfiguration(), b.systemKonfiguration(), 256));
            if (set == s88After)
                add(QStringLiteral("s88"), 0, a.s88Present, b.s88Present,
                    same(a.s88(), b.s88(), 256));
            continue;
        }
        // Image 0 is never read from a station nor sent to one.
        for (int n = set == Lokbilder ? 1 : 0; n < e.records; ++n) {
            // As a restore writes them: record 0 of a held set always, zeros where absent.
            const bool inA = heldA && (n == 0 || a.recordStatus[size_t(e.statusOffset + n)] > 0);
            const bool inB = heldB && (n == 0 || b.recordStatus[size_t(e.statusOffset + n)] > 0);
            if (!inA && !inB)
                continue;
            bool equal = same(a.record(set, n), b.record(set, n), e.recordSize);
            if (set == Fahrstrassen)
                equal = equal && same(a.illumination(n), b.illumination(n), 512);
            // The comment is read only for a line: a history compares a year of backups.
            const bool line = !(inA && inB && equal);
            add(QLatin1String(e.key), n, inA, inB, equal,
                set == Fahrstrassen && line ? routeComment(inB ? b : a, n) : QString());
        }
        if (set == Lokomotiven) {
            for (int l = 0; l < 4; ++l)
                add(QStringLiteral("loklisten"), l, heldA, heldB,
                    same(a.lokliste(l), b.lokliste(l), 256));
        }
        if (set == s88After)
            add(QStringLiteral("s88"), 0, a.s88Present, b.s88Present, same(a.s88(), b.s88(), 256));
    }
    return lines;
}

bool isRecord(const QString &set, int number)
{
    if (set == QLatin1String("loklisten"))
        return number >= 0 && number < 4;
    if (set == QLatin1String("s88"))
        return number == 0;
    const int index = indexOfKey(set);
    if (index < 0)
        return false;
    if (index >= Gleisplan1 && index <= Gleisplan3)
        return number >= 0 && number < 64 * 16;
    if (index == System)
        return number == 0;
    return number >= (index == Lokbilder ? 1 : 0) && number < entry(index).records;
}

QStringList details(const DataImage &a, const DataImage &b, const Line &line)
{
    QStringList lines;
    if (line.change != Line::Changed)
        return lines;
    if (line.set == QLatin1String("loklisten")) {
        byteRanges(lines, a.lokliste(line.number), b.lokliste(line.number), 256);
        return lines;
    }
    if (line.set == QLatin1String("s88")) {
        byteRanges(lines, a.s88(), b.s88(), 256);
        return lines;
    }
    const int set = indexOfKey(line.set);
    if (set < 0)
        return lines;
    if (set >= Gleisplan1 && set <= Gleisplan3) {
        const int r = line.number / 16, first = line.number % 16 * 8;
        for (int c = first; c < first + 8; ++c) {
            const quint8 *x = a.gleisplan(set - Gleisplan1, r, c);
            const quint8 *y = b.gleisplan(set - Gleisplan1, r, c);
            if (!same(x, y, 8))
                lines << RouteRecord::keyText(QString::number(set - Gleisplan1 + 1),
                                              QString::number(r), QString::number(c)) +
                             QStringLiteral(": ") + hex(x, 8) + arrow + hex(y, 8);
        }
        return lines;
    }
    if (set == System)
        byteRanges(lines, a.systemKonfiguration(), b.systemKonfiguration(), 256);
    else if (set == Fahrstrassen)
        routeDetails(lines, a, b, line.number);
    else
        byteRanges(lines, a.record(set, line.number), b.record(set, line.number),
                   entry(set).recordSize);
    return lines;
}

} // namespace BackupDiff

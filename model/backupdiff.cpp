#include "backupdiff.h"

#include "routerecord.h"
#include "uploadrules.h"

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
    return RouteRecord::decode(route, 12, 20, 12).comment;
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
            QString note;
            if (set == Fahrstrassen) {
                equal = equal && same(a.illumination(n), b.illumination(n), 512);
                note = routeComment(inB ? b : a, n);
            }
            add(QLatin1String(e.key), n, inA, inB, equal, note);
        }
        if (set == Lokomotiven) {
            for (int l = 0; l < 4; ++l)
                add(QStringLiteral("loklisten"), l, heldA, heldB,
                    same(a.lokliste(l), b.lokliste(l), 256));
        }
        if (set == s88After)
            add(QStringLiteral("s88"), 0, a.s88Present, b.s88Present,
                same(a.s88(), b.s88(), 256));
    }
    return lines;
}

} // namespace BackupDiff

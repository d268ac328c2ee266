#include "uploadcheck.h"

#include "uploadrules.h"

#include <algorithm>
#include <cstring>

using namespace Catalogue;

namespace UploadCheck {

void selectReadBack(const DataImage &sent, DataImage &readBack)
{
    for (int set = 0; set < DataSetCount; ++set)
        readBack.selectedSets[size_t(set)] = UploadRules::takesPart(sent, set) ? 1 : 0;
}

QList<Difference> compare(const DataImage &sent, const DataImage &back, int *compared)
{
    QList<Difference> differences;
    int count = 0;
    auto check = [&](const char *set, int number, const quint8 *a, const quint8 *b, int size,
                     bool present) {
        ++count;
        if (!present) { // the station reports a record empty that was sent
            differences.append({QLatin1String(set), number, 0});
            return;
        }
        for (int i = 0; i < size; ++i) {
            if (a[i] != b[i]) {
                differences.append({QLatin1String(set), number, i});
                return;
            }
        }
    };
    auto stationOnly = [&](const char *set, int number) {
        ++count;
        differences.append({QLatin1String(set), number, 0, true});
    };
    auto held = [&](int statusOffset, int n) {
        return back.recordStatus[size_t(statusOffset + n)] > 0;
    };
    auto records = [&](int set) {
        const Entry &e = entry(set);
        for (int n = 0; n < e.records; ++n) {
            if (!UploadRules::recordSent(sent, e.statusOffset, n)) {
                if (held(e.statusOffset, n))
                    stationOnly(e.key, n);
                continue;
            }
            check(e.key, n, sent.record(set, n), back.record(set, n), e.recordSize,
                  back.recordStatus[size_t(e.statusOffset + n)] > 0);
        }
    };
    auto part = [&](int set) { return UploadRules::takesPart(sent, set); };

    if (part(Lokomotiven)) {
        records(Lokomotiven);
        for (int l = 0; l < 4; ++l)
            check("loklisten", l, sent.lokliste(l), back.lokliste(l), 256, true);
    }
    for (int plan = 0; plan < 3; ++plan) {
        if (!part(Gleisplan1 + plan))
            continue;
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 128; c += 8) {
                const quint8 *block = sent.gleisplan(plan, r, c);
                const quint8 *onStation = back.gleisplan(plan, r, c);
                const char *key = entry(Gleisplan1 + plan).key;
                // A block empty on both sides is not sent, so the station keeps its own bytes
                // there; where they differ from the document's, that is a difference as a
                // compare shows it.
                if (UploadRules::planBlockSent(onStation, r, c) &&
                    !UploadRules::planBlockSent(block, r, c))
                    stationOnly(key, r * 16 + c / 8);
                else if (UploadRules::planBlockSent(block, r, c) ||
                         std::memcmp(block, onStation, 64) != 0)
                    check(key, r * 16 + c / 8, block, onStation, 64, true);
            }
        }
    }
    if (part(Weichen))
        records(Weichen);
    if (part(Rueckmelder))
        records(Rueckmelder);
    // The read-back of either set holds the station's S88 configuration; a document that holds
    // one is equal to the station only when the station holds the same (a restore of the
    // system configuration alone does not send it).
    const bool s88Compared = sent.s88Present && (part(Rueckmelder) || part(System));
    if (s88Compared && part(Rueckmelder))
        check("s88", 0, sent.s88(), back.s88(), 256, true);
    if (part(Fahrstrassen)) {
        for (int n = 0; n < 1024; ++n) {
            const bool present = held(StatusFahrstrassen, n);
            if (!UploadRules::recordSent(sent, StatusFahrstrassen, n)) {
                if (present)
                    stationOnly("fahrstrassen", n);
                continue;
            }
            const int before = int(differences.size());
            check("fahrstrassen", n, sent.record(Fahrstrassen, n), back.record(Fahrstrassen, n),
                  512, present);
            if (differences.size() == before) {
                --count;
                check("fahrstrassen", n, sent.illumination(n), back.illumination(n), 512, true);
                if (differences.size() > before)
                    differences.last().byte += 512; // in the illumination half
            }
        }
    }
    if (part(Lsb))
        records(Lsb);
    if (part(Hsb))
        records(Hsb);
    if (part(System)) {
        check("system", 0, sent.systemKonfiguration(), back.systemKonfiguration(), 256, true);
        if (s88Compared && !part(Rueckmelder))
            check("s88", 0, sent.s88(), back.s88(), 256, true);
    }
    if (part(Lokbilder)) {
        for (int n = 1; n < LokbildCount; ++n) {
            if (UploadRules::imageSent(sent, n))
                check("lokbilder", n, sent.lokbild(n), back.lokbild(n), LokbildSize,
                      held(StatusLokbilder, n));
            else if (held(StatusLokbilder, n))
                stationOnly("lokbilder", n);
        }
    }
    if (compared)
        *compared = count;
    return differences;
}

int stationOnlyCount(const QList<Difference> &differences)
{
    return int(std::count_if(differences.begin(), differences.end(),
                             [](const Difference &d) { return d.stationOnly; }));
}

} // namespace UploadCheck

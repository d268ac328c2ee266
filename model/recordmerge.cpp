#include "recordmerge.h"

#include "backupdiff.h"
#include "transferplan.h"
#include "uploadrules.h"

#include <QStringList>
#include <algorithm>
#include <cstring>

using namespace Catalogue;

namespace RecordMerge {

namespace {

bool isPlan(int set)
{
    return set >= Gleisplan1 && set <= Gleisplan3;
}

constexpr int PlanBlock = 64; // eight cells of eight bytes

quint8 *planBlock(DataImage &image, int set, int number)
{
    return image.gleisplan(set - Gleisplan1, number / 16, number % 16 * 8);
}

const quint8 *planBlock(const DataImage &image, int set, int number)
{
    return image.gleisplan(set - Gleisplan1, number / 16, number % 16 * 8);
}

} // namespace

QList<Record> parse(const QString &text, QString *error)
{
    QList<Record> records;
    const auto wrong = [&records, error](const QString &why) {
        records.clear();
        *error = why;
        return records;
    };
    for (const QString &group : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = group.section(QLatin1Char(':'), 0, 0).trimmed();
        const int set = indexOfKey(key);
        if (!group.contains(QLatin1Char(':')) || (set < 0 && !BackupDiff::isRecord(key, 0)))
            return wrong(QStringLiteral("%1 is not <set>:<number>[,<number>...]").arg(group));
        if (set < 0 || set == System)
            return wrong(QStringLiteral("%1 travels only with its whole set: restore it with "
                                        "--sets")
                             .arg(key));
        for (const QString &n : group.section(QLatin1Char(':'), 1).split(QLatin1Char(','))) {
            bool numeric = false;
            const int number = n.trimmed().toInt(&numeric);
            if (!numeric || !BackupDiff::isRecord(key, number))
                return wrong(QStringLiteral("%1 has no record %2").arg(key, n.trimmed()));
            if (!records.contains(Record{set, number}))
                records.append({set, number});
        }
    }
    if (records.isEmpty())
        return wrong(QStringLiteral("no record named"));
    std::sort(records.begin(), records.end(), [](const Record &a, const Record &b) {
        return a.set != b.set ? a.set < b.set : a.number < b.number;
    });
    return records;
}

std::array<quint8, DataSetCount> sets(const QList<Record> &records)
{
    std::array<quint8, DataSetCount> selected{};
    for (const Record &r : records)
        selected[size_t(r.set)] = 1;
    return selected;
}

bool held(const DataImage &image, const Record &record)
{
    if (!image.presentSets[size_t(record.set)])
        return false;
    if (isPlan(record.set))
        return UploadRules::planBlockSent(planBlock(image, record.set, record.number),
                                          record.number / 16, record.number % 16 * 8);
    return record.number == 0 ||
           image.recordStatus[size_t(entry(record.set).statusOffset + record.number)] > 0;
}

void take(DataImage &to, const DataImage &from, const Record &record)
{
    if (isPlan(record.set)) {
        std::memcpy(planBlock(to, record.set, record.number),
                    planBlock(from, record.set, record.number), PlanBlock);
        return;
    }
    const Entry &e = entry(record.set);
    std::memcpy(to.record(record.set, record.number), from.record(record.set, record.number),
                size_t(e.recordSize));
    to.recordStatus[size_t(e.statusOffset + record.number)] =
        from.recordStatus[size_t(e.statusOffset + record.number)];
    if (record.set == Fahrstrassen)
        std::memcpy(to.illumination(record.number), from.illumination(record.number), 512);
}

QString text(const Record &record)
{
    return QStringLiteral("%1:%2").arg(QLatin1String(entry(record.set).key)).arg(record.number);
}

int estimatedSeconds(const std::array<quint8, DataSetCount> &sets)
{
    quint32 blocks = 0;
    for (int set = 0; set < DataSetCount; ++set) {
        if (sets[size_t(set)])
            blocks += TransferPlan::of(set).weight;
    }
    return int((2 * blocks * 86 + 9999) / 10000);
}

} // namespace RecordMerge

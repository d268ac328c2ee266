// diff: two backups, or a backup and the station, a line per differing record; history: the
// backups of a folder in which one record changed.

#include "cli.h"

#include "backupfile/backupfolder.h"
#include "backupfile/document.h"

#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace Cli {

int commandDiff(const QStringList &args, const Options &options)
{
    auto a = std::make_unique<Document>();
    std::unique_ptr<Document> b;
    TransferSession session;
    const DataImage *other = nullptr; // what A is compared with
    QList<BackupDiff::Line> lines;
    bool damaged = false;
    if (options.station) {
        if (!selectSets(options.sets, a->image))
            return usage(QStringLiteral("--sets takes set keys or all"));
        if (!openDocument(args.at(1), *a, &damaged))
            return BadUsage;
        bool interrupted = false;
        const TransferSession::Result result = runSession(
            session, options, [&] { session.compare(*a); }, &interrupted);
        if (interrupted || result.outcome != TransferSession::Outcome::Done)
            return exitCodeOf(result) == Done ? Failed : exitCodeOf(result);
        lines = result.lines;
        other = session.comparedStation();
    } else {
        b = std::make_unique<Document>();
        bool damagedA = false, damagedB = false;
        if (!openDocument(args.at(1), *a, &damagedA) || !openDocument(args.at(2), *b, &damagedB))
            return BadUsage;
        lines = BackupDiff::compare(a->image, b->image);
        damaged = damagedA || damagedB;
        other = &b->image;
    }
    for (const BackupDiff::Line &line : std::as_const(lines)) {
        std::printf("%s %d %s%s\n", qPrintable(line.set), line.number,
                    qPrintable(BackupDiff::changeText(line.change)),
                    line.note.isEmpty() ? "" : qPrintable(QLatin1Char(' ') + escaped(line.note)));
        if (options.details && other) {
            for (const QString &detail : BackupDiff::details(a->image, *other, line))
                std::printf("  %s\n", qPrintable(escaped(detail)));
        }
    }
    std::fflush(stdout);
    // What is whole was compared; the damaged rest cannot be called the same.
    if (damaged)
        return BadUsage;
    return lines.isEmpty() ? Done : Failed;
}

int commandHistory(const QString &dir, const QString &record)
{
    const QString set = record.section(QLatin1Char(':'), 0, 0);
    bool numeric = false;
    const int number = record.section(QLatin1Char(':'), 1).toInt(&numeric);
    if (!record.contains(QLatin1Char(':')) || !numeric || !BackupDiff::isRecord(set, number))
        return usage(QStringLiteral("history takes a record as <set>:<number>, numbered as diff "
                                    "prints it"));
    if (!QFileInfo(dir).isDir())
        return usage(QStringLiteral("%1 is not a folder").arg(dir));
    const BackupFolder::RecordHistory history = BackupFolder(dir).recordHistory(set, number);
    for (const BackupFolder::RecordChange &change : history.changes) {
        std::printf("%s %s %s%s\n", qPrintable(change.backup.date.toString(Qt::ISODate)),
                    qPrintable(escaped(QFileInfo(change.backup.path).fileName())),
                    qPrintable(BackupDiff::changeText(change.line.change)),
                    change.line.note.isEmpty()
                        ? ""
                        : qPrintable(QLatin1Char(' ') + escaped(change.line.note)));
        for (const QString &detail : change.details)
            std::printf("  %s\n", qPrintable(escaped(detail)));
    }
    std::fflush(stdout);
    for (const QString &path : history.damaged)
        failure(QStringLiteral("%1 is damaged: only what of it is whole was compared").arg(path));
    for (const QString &path : history.unreadable)
        failure(QStringLiteral("%1 cannot be read: left out").arg(path));
    return history.unreadable.isEmpty() && history.damaged.isEmpty() ? Done : Failed;
}

} // namespace Cli

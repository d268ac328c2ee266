// diff: two backups, or a backup and the station, a line per differing record.

#include "cli.h"

#include "backupfile/document.h"

#include <cstdio>
#include <memory>

namespace Cli {

int commandDiff(const QStringList &args, const Options &options)
{
    auto a = std::make_unique<Document>();
    QList<BackupDiff::Line> lines;
    bool damaged = false;
    if (options.station) {
        if (!selectSets(options.sets, a->image))
            return usage(QStringLiteral("--sets takes set keys or all"));
        if (!openDocument(args.at(1), *a, &damaged))
            return BadUsage;
        TransferSession session;
        bool interrupted = false;
        const TransferSession::Result result = runSession(
            session, options, [&] { session.compare(*a); }, &interrupted);
        if (interrupted || result.outcome != TransferSession::Outcome::Done)
            return exitCodeOf(result) == Done ? Failed : exitCodeOf(result);
        lines = result.lines;
    } else {
        auto b = std::make_unique<Document>();
        bool damagedA = false, damagedB = false;
        if (!openDocument(args.at(1), *a, &damagedA) || !openDocument(args.at(2), *b, &damagedB))
            return BadUsage;
        lines = BackupDiff::compare(a->image, b->image);
        damaged = damagedA || damagedB;
    }
    for (const BackupDiff::Line &line : std::as_const(lines)) {
        std::printf("%s %d %s%s\n", qPrintable(line.set), line.number,
                    qPrintable(BackupDiff::changeText(line.change)),
                    line.note.isEmpty() ? "" : qPrintable(QLatin1Char(' ') + escaped(line.note)));
    }
    std::fflush(stdout);
    // What is whole was compared; the damaged rest cannot be called the same.
    if (damaged)
        return BadUsage;
    return lines.isEmpty() ? Done : Failed;
}

} // namespace Cli

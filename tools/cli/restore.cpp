// restore: a backup's sets into the station, with its safety steps.

#include "cli.h"

#include "backupfile/document.h"
#include "datasets/comm_backup_upload.h"

#include <cstdio>
#include <memory>

namespace Cli {

int commandRestore(const QString &path, const Options &options)
{
    auto document = std::make_unique<Document>();
    if (!selectSets(options.sets, document->image))
        return usage(QStringLiteral("--sets takes set keys or all"));
    TransferSession::RestoreOptions restore;
    restore.verify = options.verify;
    if (!options.keepPrevious.isEmpty()) {
        restore.keepPrevious = BackupFile::normalizedName(options.keepPrevious);
        if (restore.keepPrevious.isEmpty())
            return usage(QStringLiteral("--keep-previous writes a .GTB2 file"));
    }
    if (!openDocument(path, *document))
        return Failed;
    // A bad target for the previous state is the caller's mistake: nothing is read or sent.
    if (!restore.keepPrevious.isEmpty()) {
        if (const SessionProblem problem =
                TransferSession::keepPreviousProblem(restore.keepPrevious, path);
            !problem.none()) {
            failure(problemText(problem) + QStringLiteral("; nothing was read or sent"));
            return Document::nameTaken(restore.keepPrevious) ? BadUsage : Failed;
        }
    }

    TransferSession session;
    bool interrupted = false;
    const TransferSession::Result result = runSession(
        session, options, [&] { session.restore(*document, restore); }, &interrupted);
    if (result.outcome == TransferSession::Outcome::Failed && !result.problem.none()) {
        failure(problemText(result.problem));
        // An existing PREV, only found when it came to be written: refused as at the start.
        return result.keptFileTaken ? BadUsage : Failed;
    }
    if (result.outcome != TransferSession::Outcome::Done || interrupted)
        return exitCodeOf(result) == Done ? Failed : exitCodeOf(result);
    if (!options.verify) {
        // The station may have dropped writes staged before a lost link: only a comparison
        // could tell, so the restore is not reported as done.
        if (!result.unconfirmedSets.isEmpty()) {
            failure(QStringLiteral("not confirmed; run restore --verify to compare"));
            return Failed;
        }
        return Done;
    }
    for (const UploadCheck::Difference &d : result.differences) {
        if (d.stationOnly)
            std::printf("station-only %s %d\n", qPrintable(d.set), d.number);
        else
            std::printf("differs %s %d byte %d\n", qPrintable(d.set), d.number, d.byte);
    }
    std::fflush(stdout);
    if (result.compared == 0) {
        failure(QStringLiteral("verify: no record was compared"));
        return Failed;
    }
    if (!result.differences.isEmpty()) {
        const int stationOnly = UploadCheck::stationOnlyCount(result.differences);
        failure(QStringLiteral("verify: %1 of %2 records differ")
                    .arg(result.differences.size())
                    .arg(result.compared));
        if (stationOnly > 0)
            failure(QStringLiteral("%1 records are on the station only: the station keeps them "
                                   "(it has no command that deletes a record); delete them on "
                                   "the station if they should go")
                        .arg(stationOnly));
        return Failed;
    }
    std::fprintf(stderr, "verify: all %d records match\n", result.compared);
    return Done;
}

} // namespace Cli

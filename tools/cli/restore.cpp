// restore: a backup's sets into the station, with its safety steps.

#include "cli.h"

#include "backupfile/document.h"
#include "datasets/comm_backup_upload.h"
#include "model/durationtext.h"

#include <cstdio>
#include <memory>

namespace Cli {

namespace {

// What taking the records back will change and how long it takes; the records the file does
// not hold, which stay. The records that are held, empty when none is.
QList<RecordMerge::Record> announceRecords(const Document &document,
                                           const QList<RecordMerge::Record> &records)
{
    QList<RecordMerge::Record> held;
    QStringList names;
    for (const RecordMerge::Record &record : records) {
        if (RecordMerge::held(document.image, record)) {
            held.append(record);
            names << RecordMerge::text(record);
        } else {
            failure(QStringLiteral("%1 is not in the file: the station has no delete, so it "
                                   "keeps that record as it is")
                        .arg(RecordMerge::text(record)));
        }
    }
    if (held.isEmpty())
        return held;
    const auto sets = RecordMerge::sets(held);
    QStringList keys;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (sets[size_t(set)])
            keys << QLatin1String(Catalogue::entry(set).key);
    }
    say(QStringLiteral("taking back %1; reads %2 from the station and sends each set back "
                       "whole with only these records changed, about %3")
            .arg(names.join(QLatin1Char(' ')), keys.join(QLatin1Char(',')),
                 durationText(RecordMerge::estimatedSeconds(sets))));
    return held;
}

} // namespace

int commandRestore(const QString &path, const Options &options)
{
    auto document = std::make_unique<Document>();
    QList<RecordMerge::Record> records;
    if (!options.records.isEmpty()) {
        QString error;
        records = RecordMerge::parse(options.records, &error);
        if (records.isEmpty())
            return usage(QStringLiteral("--records: %1").arg(error));
    } else if (!selectSets(options.sets, document->image)) {
        return usage(QStringLiteral("--sets takes set keys or all"));
    }
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

    if (!records.isEmpty()) {
        records = announceRecords(*document, records);
        if (records.isEmpty()) {
            failure(QStringLiteral("no chosen record is in the file; nothing was read or sent"));
            return Failed;
        }
    }

    TransferSession session;
    bool interrupted = false;
    const TransferSession::Result result = runSession(
        session, options,
        [&] {
            if (records.isEmpty())
                session.restore(*document, restore);
            else
                session.restoreRecords(*document, records, restore);
        },
        &interrupted);
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

// backup: the station's sets into a new file.

#include "cli.h"

#include "backupfile/document.h"

#include <QDate>
#include <QDir>
#include <QSaveFile>
#include <memory>

namespace Cli {

int commandBackup(QString path, const Options &options)
{
    // Only a .GTB2 name opens again: a name without an extension gets it, another one is
    // refused before the station is asked for anything.
    const bool named = !path.isEmpty();
    if (named) {
        path = BackupFile::normalizedName(path);
        if (path.isEmpty())
            return usage(QStringLiteral("backup files end in .GTB2"));
    }
    auto document = std::make_unique<Document>();
    if (!selectSets(options.sets, document->image))
        return usage(QStringLiteral("--sets takes set keys or all"));
    {
        // Find out now, not after the transfer, that the file cannot be written.
        const QString probePath =
            named ? path : QDir::current().absoluteFilePath(QStringLiteral("Gleistron-probe.GTB2"));
        QSaveFile probe(probePath);
        if (!probe.open(QIODevice::WriteOnly)) {
            failure(QStringLiteral("cannot write %1: %2").arg(probePath, probe.errorString()));
            return Failed;
        }
        probe.cancelWriting();
    }
    TransferSession session;
    bool interrupted = false;
    const TransferSession::Result result = runSession(
        session, options, [&] { session.download(*document); }, &interrupted);
    if (interrupted || result.outcome != TransferSession::Outcome::Done) {
        if (interrupted || result.outcome == TransferSession::Outcome::Stopped)
            failure(QStringLiteral("no file was written"));
        return exitCodeOf(result) == Done ? Failed : exitCodeOf(result);
    }
    if (named) {
        if (!document->save(path)) {
            failure(QStringLiteral("cannot write %1: %2").arg(path, document->errorText));
            return Failed;
        }
    } else {
        // Created at the moment of writing: a backup of the day that appeared meanwhile (another
        // run here) keeps its name, this one takes the next.
        path = BackupFile::proposedName(result.serial, QDate::currentDate());
        if (document->saveNumbered(path) != Document::Created::Yes) {
            failure(QStringLiteral("cannot write %1: %2").arg(path, document->errorText));
            return Failed;
        }
        path = document->filePath;
    }
    TransferEvent kept;
    kept.kind = TransferEvent::Kind::KeptFile;
    kept.path = path;
    report(kept);
    return Done;
}

} // namespace Cli

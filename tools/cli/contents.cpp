// What a backup file holds, set by set.

#include "cli.h"

#include "backupfile/document.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace Cli {

int commandContents(const QString &path)
{
    auto document = std::make_unique<Document>();
    bool damaged = false;
    if (!openDocument(path, *document, &damaged))
        return Failed;
    std::printf("serial %s\nsoftware %s\nchecksums %s\n", qPrintable(document->sourceSerial),
                qPrintable(document->sourceSoftware), document->checksums ? "yes" : "no");
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (!document->image.presentSets[size_t(set)])
            continue;
        const Catalogue::Entry &e = Catalogue::entry(set);
        if (e.statusOffset < 0) {
            std::printf("%s block\n", e.key);
            continue;
        }
        // Counted as the window counts them: record 0, which every upload writes, is not.
        std::printf("%s %d\n", e.key, document->image.presentRecords(set));
    }
    std::fflush(stdout);
    return damaged ? Failed : Done;
}

int commandCheck(const QString &path)
{
    QStringList files;
    if (QFileInfo(path).isDir()) {
        const QDir dir(path);
        // Unreadable ones too: a backup that cannot be read is a finding.
        for (const QString &name : dir.entryList(
                 {QStringLiteral("*.GTB2"), QStringLiteral("*.GTB")},
                 QDir::Files | QDir::System | QDir::Hidden, QDir::Name | QDir::IgnoreCase))
            files << dir.filePath(name);
    } else {
        files << path;
    }
    bool anyDamaged = false;
    for (const QString &file : std::as_const(files)) {
        auto document = std::make_unique<Document>();
        QString problem;
        const QFileInfo info(file);
        // Not opened: a pipe would wait for a writer.
        const Document::Opened opened =
            info.isFile() ? document->open(file) : Document::Opened::CannotOpen;
        if (!info.isFile())
            document->errorText = info.isSymLink() ? QStringLiteral("a link to nothing")
                                                   : QStringLiteral("not a regular file");
        switch (opened) {
        case Document::Opened::NotABackup:
            problem = QStringLiteral("not a backup file (.GTB2 or .GTB)");
            break;
        case Document::Opened::CannotOpen:
            problem = QStringLiteral("cannot be read: ") + document->errorText;
            break;
        case Document::Opened::NotComplete:
            problem = QStringLiteral("not a complete backup");
            break;
        default:
            for (const BackupFile::Damage &d : std::as_const(document->damage))
                problem += (problem.isEmpty() ? QString() : QStringLiteral("; ")) +
                           BackupFile::describe(d);
            break;
        }
        anyDamaged = anyDamaged || !problem.isEmpty();
        if (!problem.isEmpty())
            std::printf("damaged %s: %s\n", qPrintable(file), qPrintable(problem));
        else
            std::printf("%s %s\n", document->checksums ? "ok" : "unchecked", qPrintable(file));
    }
    std::fflush(stdout);
    return anyDamaged ? Failed : Done;
}

} // namespace Cli

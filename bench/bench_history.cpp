// The history of one record over a year of daily backups: 365 backups of a station whose every
// record is present, one route changed now and then, read by `gleistron-cli history`: its wall
// time and peak memory against what two documents take.

#include "backupfile/backupfile.h"

#include "fulldocument.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

int main()
{
    using namespace Catalogue;
    QTemporaryDir dir;
    auto image = std::make_unique<DataImage>();
    fullDocument(*image);
    const QDate first(2026, 1, 1);
    for (int day = 0; day < 365; ++day) {
        // Every day some locomotives run; every 30th day route 12 gets another comment.
        image->record(Lokomotiven, day % 1000)[40] ^= 1;
        if (day % 30 == 0)
            image->record(Fahrstrassen, 12)[0] = quint8('A' + day / 30);
        QSaveFile file(
            dir.filePath(BackupFile::proposedName(QStringLiteral("56347812"), first.addDays(day))));
        if (!file.open(QIODevice::WriteOnly) ||
            !BackupFile::write(file, *image, "56347812", "1.300") || !file.commit()) {
            std::fprintf(stderr, "cannot write the backups\n");
            return 1;
        }
    }
    image.reset();

    QProcess cli;
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(GLEISTRON_CLI),
              {QStringLiteral("history"), dir.path(), QStringLiteral("fahrstrassen:12")});
    cli.waitForFinished(600000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const int lines = int(cli.readAllStandardOutput().count('\n'));
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("history of a route over 365 full daily backups (%d lines)\t<= 5 s\t%.1f s\n",
                lines, seconds);
    // A document: four banks and the locomotive images.
    const double documentMb = (BankCount * BankSize + LokbildCount * LokbildSize) / 1e6;
    std::printf("its peak memory\t<= 2 documents (%.1f MB) + the program\t%.1f MB\n",
                2 * documentMb, usage.ru_maxrss / 1e3);
    return cli.exitCode();
}

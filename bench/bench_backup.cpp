// Backup benchmarks over the simulated station:
//  (a) full download and upload of a station whose every record is present, no wire delay:
//      the program's CPU time per exchange and its peak memory;
//  (b) at 115200 baud, switching articles and LSB devices down and up: total time against the
//      sum of the wire times of the exchanges;
//  (c) saving and opening the full document as .GTB2.

#include "backupfile/backupfile.h"
#include "datasets/comm_backup_download.h"
#include "datasets/comm_backup_upload.h"

#include "cputime.h"
#include "fulldocument.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <sys/resource.h>

using namespace Catalogue;

namespace {
long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Station
{
public:
    explicit Station(const QStringList &args)
    {
        process.start(QStringLiteral(GLEISTRON_SIM),
                      args + QStringList{"--link-dir", dir.path(), "--log", log()});
        process.waitForStarted();
        QByteArray out;
        while (!out.contains("READY") && process.waitForReadyRead(5000))
            out += process.readAll();
        qputenv("GLEISTRON_PORTS", dir.filePath(QStringLiteral("gleistron0")).toLocal8Bit());
    }
    ~Station()
    {
        process.terminate();
        process.waitForFinished();
    }
    QString log() const { return dir.filePath(QStringLiteral("log")); }
    // Requests answered, and the bytes of requests and answers together.
    void traffic(long &exchanges, long &bytes) const
    {
        exchanges = bytes = 0;
        QFile file(log());
        if (!file.open(QIODevice::ReadOnly))
            return;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine();
            const long n = (line.size() - 1 - line.indexOf(' ', line.indexOf(' ', 3) + 1)) / 3;
            if (line.startsWith("rx "))
                ++exchanges;
            bytes += n;
        }
    }

private:
    QTemporaryDir dir;
    QProcess process;
};

template <typename Job> double runJob(DataImage &image, double &cpu)
{
    Job job;
    job.setDocument(&image);
    QElapsedTimer clock;
    const double cpuStart = cpuSeconds();
    clock.start();
    job.start();
    job.wait();
    cpu = cpuSeconds() - cpuStart;
    return clock.nsecsElapsed() / 1e9;
}
} // namespace

int main(int argc, char **argv)
{
    // As gleistron-cli runs: the reader's per-record debug lines would measure the terminal.
    qputenv("QT_LOGGING_RULES", "gleistron.*.debug=false");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.GTB2"));
    auto document = std::make_unique<DataImage>();
    fullDocument(*document);

    // (c) save and open
    double saveMs = 1e9, openMs = 1e9;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        QSaveFile out(full);
        out.open(QIODevice::WriteOnly);
        BackupFile::write(out, *document, "56347812", "1.300");
        out.commit();
        saveMs = std::min(saveMs, clock.nsecsElapsed() / 1e6);
        auto back = std::make_unique<DataImage>();
        clock.restart();
        QFile in(full);
        in.open(QIODevice::ReadOnly);
        BackupFile::read(in, *back, nullptr);
        openMs = std::min(openMs, clock.nsecsElapsed() / 1e6);
    }
    std::printf("saving the full document as .GTB2 (%.1f MB)\t<= 30 ms\t%.1f ms\n",
                QFile(full).size() / 1e6, saveMs);
    std::printf("opening it\t<= 30 ms\t%.1f ms\n", openMs);
    // The same file as written before checksums: the difference is what the check adds.
    QByteArray older;
    {
        QFile in(full);
        in.open(QIODevice::ReadOnly);
        older = in.readAll();
        for (qsizetype at = 0; (at = older.indexOf("\n#crc32 ", at)) >= 0;)
            older.remove(at + 1, 16);
    }
    double olderMs = 1e9;
    for (int round = 0; round < 5; ++round) {
        auto back = std::make_unique<DataImage>();
        QBuffer in(&older);
        in.open(QIODevice::ReadOnly);
        QElapsedTimer clock;
        clock.start();
        BackupFile::read(in, *back, nullptr);
        olderMs = std::min(olderMs, clock.nsecsElapsed() / 1e6);
    }
    std::printf("opening it without checksum lines\t(for comparison)\t%.1f ms\n", olderMs);

    // (a) full transfers, no wire delay
    long exchanges = 0, bytes = 0;
    {
        Station station({"--load", full});
        auto image = std::make_unique<DataImage>();
        image->selectedSets.fill(1);
        double cpu = 0;
        const double seconds = runJob<Comm_backup_download>(*image, cpu);
        station.traffic(exchanges, bytes);
        std::printf(
            "full download (%ld exchanges in %.1f s): CPU per exchange\t<= 50 us\t%.1f us\n",
            exchanges, seconds, cpu / double(exchanges) * 1e6);
    }
    {
        Station station({});
        double cpu = 0;
        const double seconds = runJob<Comm_backup_upload>(*document, cpu);
        station.traffic(exchanges, bytes);
        std::printf("full upload (%ld exchanges in %.1f s): CPU per exchange\t<= 50 us\t%.1f us\n",
                    exchanges, seconds, cpu / double(exchanges) * 1e6);
    }
    std::printf("peak memory of the full transfers\t-\t%.1f MiB\n", peakKilobytes() / 1024.0);

    // (b) at 115200 baud
    auto partial = std::make_unique<DataImage>();
    for (int set : {Weichen, Lsb})
        partial->selectedSets[size_t(set)] = 1;
    double total = 0, wire = 0;
    long count = 0;
    {
        Station station({"--load", full, "--baud", "115200"});
        double cpu = 0;
        total += runJob<Comm_backup_download>(*partial, cpu);
        station.traffic(exchanges, bytes);
        count += exchanges;
        wire += bytes * 10.0 / 115200;
    }
    {
        Station station({"--baud", "115200"});
        double cpu = 0;
        total += runJob<Comm_backup_upload>(*partial, cpu);
        station.traffic(exchanges, bytes);
        count += exchanges;
        wire += bytes * 10.0 / 115200;
    }
    std::printf("switching articles and LSB down and up at 115200 baud (%ld exchanges): "
                "%.2f s against %.2f s of wire time\twithin 3 %%\t+%.1f %%\n",
                count, total, wire, (total / wire - 1) * 100);
    return 0;
}

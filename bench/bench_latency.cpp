// What a real adapter's latency timer costs, and where an exchange's time goes:
//  (a) a full backup at 115200 baud on paper, with the adapter's timer at 16 ms (as it comes)
//      and at 2 ms (as the program sets it), from the traffic of a real full download;
//  (b) measured for the switching articles, through an adapter modelled by the simulated
//      station, once with a timer the program can set and once with one it cannot;
//  (c) the turnaround at the station (answer written to next request read) and the program's
//      own share of it (answer read to next request written);
//  (d) the window's longest event-loop stall during a full download, offscreen.

#include "backupfile/backupfile.h"
#include "fulldocument.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class Station
{
public:
    Station(const QStringList &args, const QString &dirPath) : dir(dirPath)
    {
        process.start(QStringLiteral(GLEISTRON_SIM),
                      args + QStringList{"--link-dir", dir, "--log", log()});
        process.waitForStarted();
        QByteArray out;
        while (!out.contains("READY") && process.waitForReadyRead(5000))
            out += process.readAll();
    }
    ~Station()
    {
        process.terminate();
        process.waitForFinished();
    }
    QString port() const { return dir + QStringLiteral("/gleistron0"); }
    QString log() const { return dir + QStringLiteral("/log"); }

private:
    QString dir;
    QProcess process;
};

struct Traffic
{
    long exchanges = 0;
    long bytes = 0;
    long partialAnswers = 0; // answers whose last 62-byte packet is not full
    std::vector<double> turnaroundUs;
};

Traffic readLog(const QString &path)
{
    Traffic t;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return t;
    double lastAnswer = -1;
    while (!file.atEnd()) {
        const QList<QByteArray> parts = file.readLine().trimmed().split(' ');
        if (parts.size() < 4)
            continue;
        const long n = long(parts.size()) - 3;
        const double at = parts[2].toDouble();
        if (parts[0] == "rx") {
            ++t.exchanges;
            t.bytes += n;
            if (lastAnswer >= 0)
                t.turnaroundUs.push_back((at - lastAnswer) * 1e6);
        } else if (parts[0] == "tx") {
            t.bytes += n;
            t.partialAnswers += n % 62 != 0;
            lastAnswer = at;
        }
    }
    std::sort(t.turnaroundUs.begin(), t.turnaroundUs.end());
    return t;
}

double quantile(const std::vector<double> &sorted, double q)
{
    return sorted.empty() ? 0 : sorted[size_t(q * double(sorted.size() - 1))];
}

// gleistron-cli backup of some sets; the wall time, and the program's own share of each
// exchange as our adapter library traced it.
double cliBackup(const QString &port, const QString &sets, const QString &out, QString &share)
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GLEISTRON_PORTS"), port);
    env.insert(QStringLiteral("GLEISTRON_FTD2XX_TURNAROUND"), out + QStringLiteral(".share"));
    cli.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    cli.start(QStringLiteral(GLEISTRON_CLI), {"backup", out, "--sets", sets});
    cli.waitForFinished(-1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QFile trace(out + QStringLiteral(".share"));
    share = trace.open(QIODevice::ReadOnly) ? QString::fromLatin1(trace.readAll().trimmed())
                                            : QString();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "gleistron.*.debug=false");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.GTB2"));
    {
        auto document = std::make_unique<DataImage>();
        fullDocument(*document);
        QSaveFile out(full);
        out.open(QIODevice::WriteOnly);
        BackupFile::write(out, *document, "56347812", "1.300");
        out.commit();
    }

    // (d) and the traffic of (a): a full download through the window.
    double stallMs = 0;
    Traffic fullTraffic;
    {
        QDir().mkpath(dir.filePath(QStringLiteral("d")));
        Station station({"--load", full}, dir.filePath(QStringLiteral("d")));
        qputenv("GLEISTRON_PORTS", station.port().toLocal8Bit());
        MainWindow w;
        w.show();
        w.findChild<QPushButton *>("pushButton_backup_dir_comm_pc")->click();
        w.findChild<QCheckBox *>("checkBox_select_all")->setChecked(true);
        QElapsedTimer clock;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        qint64 expected = 0;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (expected > 0)
                stallMs = std::max(stallMs, (now - expected) / 1e6);
            expected = now + 5000000;
        });
        clock.start();
        probe.start(5);
        w.findChild<QPushButton *>("pushButton_backup_download")->click();
        while (w.jobsRunning() ||
               !w.findChild<QPushButton *>("pushButton_backup_download")->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        probe.stop();
        fullTraffic = readLog(station.log());
    }

    // (a) on paper
    const double wire = fullTraffic.bytes * 10.0 / 115200;
    for (int timer : {16, 2})
        std::printf("full backup at 115200 baud (%ld exchanges), latency timer %d ms, on paper"
                    "\t-\t%.0f s (wire %.0f s)\n",
                    fullTraffic.exchanges, timer, wire + fullTraffic.partialAnswers * timer / 1e3,
                    wire);

    // (b), (c): the switching articles through a modelled adapter
    for (const bool settable : {true, false}) {
        const QString where = dir.filePath(settable ? QStringLiteral("b1") : QStringLiteral("b2"));
        QDir().mkpath(where);
        QStringList args{"--load", full, "--baud", "115200", "--usb-latency", "16"};
        if (!settable)
            args << "--usb-latency-fixed";
        Station station(args, where);
        QString share;
        const double seconds = cliBackup(station.port(), QStringLiteral("weichen"),
                                         where + QStringLiteral("/w.GTB2"), share);
        const Traffic t = readLog(station.log());
        const double partWire = t.bytes * 10.0 / 115200;
        std::printf("switching articles at 115200 baud, adapter timer 16 ms, %s (%ld exchanges)"
                    "\t-\t%.2f s (wire %.2f s)\n",
                    settable ? "set to 2 ms by the program" : "not settable", t.exchanges, seconds,
                    partWire);
        if (!settable)
            continue;
        std::printf("turnaround at the station, answer out to next request in: median / 99 %% / "
                    "max\t-\t%.0f / %.0f / %.0f us\n",
                    quantile(t.turnaroundUs, 0.5), quantile(t.turnaroundUs, 0.99),
                    t.turnaroundUs.empty() ? 0.0 : t.turnaroundUs.back());
        const QStringList s = share.split(' ');
        if (s.size() == 4)
            std::printf("program's share, answer read to next request written: median / 99 %% / "
                        "max\tmedian <= 30 us\t%s / %s / %s us\n",
                        qPrintable(s[1]), qPrintable(s[2]), qPrintable(s[3]));
    }
    std::printf("window's longest event-loop stall during a full download (%ld exchanges)"
                "\t<= 20 ms\t%.1f ms\n",
                fullTraffic.exchanges, stallMs);
    return 0;
}

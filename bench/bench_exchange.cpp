// Exchanges per second over the simulated station without wire delay, and the program's CPU
// time per exchange (a 7-byte locomotive read with its 71-byte answer).

#include "commands/comm2pc.h"

#include "cputime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {
class Bench : public Comm2Pc
{
public:
    bool ok = false;
    int exchanges = 0;
    double seconds = 0;
    double cpu = 0;

protected:
    void run() override
    {
        if (!connectDevice(true))
            return;
        quint8 request[7] = {0x59, 0x0B, 0x07, 0x00, 0x00, 0x00, 0x00};
        quint8 answer[71];
        QElapsedTimer clock;
        const double cpuStart = cpuSeconds();
        clock.start();
        for (exchanges = 0; clock.elapsed() < 3000; ++exchanges) {
            request[4] = quint8(exchanges);
            request[5] = quint8(exchanges & 3);
            exchangeUntilAnswered(withChecksum(request), 7, answer, 71);
        }
        seconds = clock.nsecsElapsed() / 1e9;
        cpu = cpuSeconds() - cpuStart;
        ok = true;
    }

private:
    static quint8 *withChecksum(quint8 *request);
};
} // namespace

#include "link/frame.h"

quint8 *Bench::withChecksum(quint8 *request)
{
    finishFrame(request);
    return request;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral(GLEISTRON_SIM), {"--link-dir", dir.path()});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(5000))
        return 1;
    while (!sim.readAll().contains("READY"))
        sim.waitForReadyRead(5000);
    qputenv("GLEISTRON_PORTS", dir.filePath(QStringLiteral("gleistron0")).toLocal8Bit());

    Bench bench;
    bench.start();
    bench.wait();
    sim.terminate();
    sim.waitForFinished();
    if (!bench.ok) {
        std::fprintf(stderr, "no station\n");
        return 1;
    }
    std::printf("exchanges per second, no wire delay\t-\t%.0f\n", bench.exchanges / bench.seconds);
    std::printf("CPU per exchange (7-byte request, 71-byte answer)\t<= 50 us\t%.1f us\n",
                bench.cpu / bench.exchanges * 1e6);
    return 0;
}

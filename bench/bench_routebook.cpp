// The route book of 1000 routes: of a full document (every record present, random content, as
// the other benchmarks take it), and of routes with every slot of every card programmed.

#include "fulldocument.h"
#include "routes/routebook.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>

using namespace Catalogue;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto full = std::make_unique<DataImage>();
    fullDocument(*full);
    auto image = std::make_unique<DataImage>();
    image->presentSets[Fahrstrassen] = 1;
    const int kinds[] = {1, 10, 11, 20, 2, 80, 90, 91, 100, 110, 200};
    for (int n = 1; n <= 1000; ++n) {
        quint8 r[512];
        std::memset(r, 0, sizeof r);
        std::snprintf(reinterpret_cast<char *>(r), 30, "Einfahrt Gleis %d von Nord", n % 40);
        r[31] = 0, r[32] = quint8(n % 30), r[33] = quint8(n % 90);
        for (int i = 0; i < 2; ++i)
            r[38 + 2 * i + 1] = quint8(n + i), r[204 + 2 * i + 1] = quint8(n + 7 + i);
        for (int i = 0; i < 12; ++i)
            r[46 + 2 * i + 1] = quint8(i + 1);
        for (int slot = 0; slot < 20; ++slot) {
            r[84 + 6 * slot] = quint8(kinds[(slot + n) % 11]);
            r[84 + 6 * slot + 3] = quint8(slot + n);
            r[282 + 6 * slot] = quint8(kinds[(slot + 3) % 11]);
            r[282 + 6 * slot + 3] = quint8(slot + 1);
        }
        for (int slot = 0; slot < 12; ++slot) {
            r[210 + 6 * slot] = quint8(kinds[(slot + 5) % 11]);
            r[210 + 6 * slot + 3] = quint8(slot + n);
        }
        image->storeRoute(n, r);
        image->recordStatus[size_t(StatusFahrstrassen + n)] = 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("buch.pdf"));
    for (const auto &[name, document] :
         {std::pair{"a full document", full.get()},
          std::pair{"1000 routes with every slot programmed", image.get()}}) {
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            QString error;
            if (!RouteBook::write(path, RouteExport::held(*document),
                                  {"56347812", "1.300", "voll.GTB2", {}}, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            best = std::min(best, clock.nsecsElapsed() / 1e9);
        }
        std::printf("route book of %s (1000 routes, %lld KiB)\t< 2 s\t%.2f s\n", name,
                    QFileInfo(path).size() / 1024, best);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("route book: peak memory of the whole process\t< 100 MiB\t%.1f MiB\n",
                usage.ru_maxrss / 1024.0);
    return 0;
}

// Importing a complete legacy file, and decoding one route into the tree and showing it.

#include "backupfile/backupfile.h"
#include "backupfile/legacyimport.h"
#include "ui/documentactions.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

using namespace Catalogue;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    // A complete legacy file; about half its bytes need two UTF-8 bytes.
    QString text(int(LegacyImport::CompleteLength), QChar());
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort((i * 37) & 0xFF));
    QByteArray file = text.toUtf8();
    double importMs = 1e9;
    for (int round = 0; round < 5; ++round) {
        auto image = std::make_unique<DataImage>();
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        QElapsedTimer clock;
        clock.start();
        LegacyImport::read(buffer, *image, nullptr);
        importMs = std::min(importMs, clock.nsecsElapsed() / 1e6);
    }
    std::printf("importing a complete old-format file (%lld characters)\t<= 60 ms\t%.1f ms\n",
                LegacyImport::CompleteLength, importMs);

    // Two busy routes, shown in turn.
    auto image = std::make_unique<DataImage>();
    image->presentSets[Fahrstrassen] = 1;
    for (int n : {1, 2}) {
        quint8 *r = image->bank(0) + RouteOffset + n * 512;
        std::memset(r, 0, 512);
        std::memcpy(r, "Einfahrt Gleis 4 von Nord", 25);
        for (int i = 0; i < 12; ++i)
            r[46 + 2 * i + 1] = quint8(i + 1);
        const int kinds[] = {1, 10, 11, 20, 2, 80, 90, 91, 100, 110, 200};
        for (int slot = 0; slot < 20; ++slot) {
            r[84 + 6 * slot] = quint8(kinds[slot % 11]);
            r[282 + 6 * slot] = quint8(kinds[(slot + 3) % 11]);
            r[282 + 6 * slot + 3] = quint8(slot + 1);
        }
        for (int slot = 0; slot < 12; ++slot)
            r[210 + 6 * slot] = quint8(kinds[(slot + 5) % 11]);
        image->recordStatus[size_t(StatusFahrstrassen + n)] = 1;
    }
    const QString path = dir.filePath(QStringLiteral("routes.GTB2"));
    QSaveFile out(path);
    out.open(QIODevice::WriteOnly);
    BackupFile::write(out, *image, QString(), QString());
    out.commit();

    MainWindow window;
    window.show();
    window.documentActions().openFile(path);
    auto *list = window.findChild<QListWidget *>(QStringLiteral("listWidget_Fahrstrassen"));
    const int rounds = 400;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        list->setCurrentRow(i % 2); // each change decodes and shows the route
    std::printf("decoding a route into the tree and showing it\t<= 2 ms\t%.3f ms\n",
                clock.nsecsElapsed() / 1e6 / rounds);
    return 0;
}

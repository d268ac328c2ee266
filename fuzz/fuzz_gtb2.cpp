// The .GTB2 reader on arbitrary bytes, and the writer on what it read.
#include "backupfile/backupfile.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static DataImage *image = new DataImage;
    static qint8 routes[1024];
    image->presentSets.fill(0);
    image->recordStatus.fill(0);
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const BackupFile::ReadResult meta = BackupFile::read(in, *image, routes);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    BackupFile::write(buffer, *image, meta.serial, meta.softwareVersion);
    return 0;
}

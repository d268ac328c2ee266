// The .GTB2 reader on arbitrary bytes, and the writer on what it read: that reads back whole.
#include "backupfile/backupfile.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static DataImage *image = new DataImage;
    static qint8 routes[1024];
    image->presentSets.fill(0);
    image->recordStatus.fill(0);
    image->s88Present = false;
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const BackupFile::ReadResult meta = BackupFile::read(in, *image, routes);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    BackupFile::write(buffer, *image, meta.serial, meta.softwareVersion);
    // What the writer writes reads back whole and writes again the same bytes.
    static DataImage *again = new DataImage;
    again->presentSets.fill(0);
    again->recordStatus.fill(0);
    again->s88Present = false;
    QBuffer written(&out);
    written.open(QIODevice::ReadOnly);
    const BackupFile::ReadResult back = BackupFile::read(written, *again, nullptr);
    QByteArray twice;
    QBuffer second(&twice);
    second.open(QIODevice::WriteOnly);
    BackupFile::write(second, *again, back.serial, back.softwareVersion);
    if (!back.damage.isEmpty() || twice != out)
        __builtin_trap();
    return 0;
}

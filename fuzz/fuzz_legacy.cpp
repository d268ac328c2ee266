// The old-format importer on arbitrary bytes, whatever encoding they claim.
#include "backupfile/legacyimport.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static DataImage *image = new DataImage;
    static qint8 routes[1024];
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    LegacyImport::read(in, *image, routes);
    return 0;
}

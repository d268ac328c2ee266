// The firmware file reader on arbitrary bytes.
#include "lsbupdate/lsbfile.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LsbFile file;
    if (file.load(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))) ==
        LsbFile::Result::Ok) {
        if (file.readPayload() == LsbFile::Result::Ok && file.length() > 65535)
            __builtin_trap(); // a length that the update's 16-bit fields cannot carry
    }
    return 0;
}

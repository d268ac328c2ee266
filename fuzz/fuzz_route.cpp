// Route decoding on arbitrary records, with the card counts the window uses.
#include "model/routerecord.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quint8 record[RouteRecord::Size];
    std::memset(record, 0xFF, sizeof record);
    std::memcpy(record, data, std::min(size, sizeof record));
    const DecodedRoute route = RouteRecord::decode(record);
    if (route.comment.size() > 30 || route.cards[3].size() != 20)
        __builtin_trap();
    if (size >= 6)
        RouteRecord::commandRow(quint16(data[2] << 8 | data[3]), data[0], data[1],
                                quint16(data[4] << 8 | data[5]));
    RouteRecord::commandKindName(size ? data[0] : 0);
    return 0;
}

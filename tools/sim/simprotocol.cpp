#include "simprotocol.h"

#include "link/frame.h"

namespace SimProtocol {

namespace {

constexpr quint8 Y = 0x59;
constexpr quint8 U = 0x55;

const Field Word1024{2, 1024, 1};
const Field Word2048{2, 2048, 1};
const Field Block4{1, 4, 1};
const Field Block8{1, 8, 1};
const Field Part4{1, 4, 1};
const Field List4{1, 4, 1};
const Field Plan{1, 3, 1};
const Field Row{1, 64, 1};
const Field Column{1, 128, 8};
const Field Hsb{1, 256, 1};
const Field Image{1, 100, 1};
const Field ImageBlock{1, 192, 1};
const Field Group{1, 8, 1};

const Command commands[] = {
    {Y, 0x00, Kind::Handshake, 8, 27, {}, 0, 0, 0},
    // Reads
    {Y, 0x0B, Kind::Read, 7, 71, {Word1024, Block4}, 0, 0, 0x0D},
    {Y, 0x6E, Kind::Read, 6, 70, {List4, Block4}, 0, 0, 0x70},
    {Y, 0x1F, Kind::Read, 7, 71, {Plan, Row, Column}, 0, 0, 0x21},
    {Y, 0x29, Kind::Read, 6, 71, {Word1024}, 0, 0, 0x2B},
    {Y, 0x33, Kind::Read, 7, 71, {Word1024, Block4}, 0, 0, 0x35},
    {Y, 0x66, Kind::Read, 5, 69, {Part4}, 0, 0, 0x35},
    {Y, 0x64, Kind::Read, 5, 69, {Part4}, 0, 0, 0x70},
    {Y, 0x3D, Kind::Read, 7, 71, {Word1024, Block8}, 0, 0, 0x3F},
    {Y, 0x47, Kind::Read, 7, 71, {Word1024, Block8}, 0, 0, 0x49},
    {Y, 0x51, Kind::Read, 6, 38, {Word2048}, 0, 0, 0x53},
    {Y, 0x5B, Kind::Read, 6, 71, {Hsb, Block4}, 0, 0, 0x5D},
    {Y, 0x19, Kind::Read, 6, 70, {Image, ImageBlock}, 0, 0, 0x1B},
    // Writes, each staged until its commit
    {Y, 0x0C, Kind::Write, 71, 7, {Word1024, Block4}, 64, 0, 0x0D},
    {Y, 0x6F, Kind::Write, 70, 6, {List4, Block4}, 64, 0, 0x70},
    {Y, 0x20, Kind::Write, 71, 7, {Plan, Row, Column}, 64, 0, 0x21},
    {Y, 0x2A, Kind::Write, 71, 7, {Word1024}, 64, 1, 0x2B},
    {Y, 0x34, Kind::Write, 71, 7, {Word1024, Block4}, 64, 0, 0x35},
    {Y, 0x67, Kind::Write, 69, 5, {Part4}, 64, 0, 0x35},
    {Y, 0x65, Kind::Write, 69, 5, {Part4}, 64, 0, 0x70},
    {Y, 0x3E, Kind::Write, 71, 7, {Word1024, Block8}, 64, 0, 0x3F},
    {Y, 0x48, Kind::Write, 71, 7, {Word1024, Block8}, 64, 0, 0x49},
    {Y, 0x52, Kind::Write, 38, 6, {Word2048}, 32, 0, 0x53},
    {Y, 0x5C, Kind::Write, 71, 6, {Hsb, Block4}, 64, 1, 0x5D},
    {Y, 0x1A, Kind::Write, 70, 6, {Image, ImageBlock}, 64, 0, 0x1B},
    // Commits
    {Y, 0x0D, Kind::Commit, 4, 5, {}, 0, 0, 0x0D},
    {Y, 0x70, Kind::Commit, 4, 5, {}, 0, 0, 0x70},
    {Y, 0x21, Kind::Commit, 4, 5, {}, 0, 0, 0x21},
    {Y, 0x2B, Kind::Commit, 4, 5, {}, 0, 0, 0x2B},
    {Y, 0x35, Kind::Commit, 4, 5, {}, 0, 0, 0x35},
    {Y, 0x3F, Kind::Commit, 4, 5, {}, 0, 0, 0x3F},
    {Y, 0x49, Kind::Commit, 5, 6, {Group}, 0, 0, 0x49},
    {Y, 0x53, Kind::Commit, 4, 5, {}, 0, 0, 0x53},
    {Y, 0x5D, Kind::Commit, 4, 5, {}, 0, 0, 0x5D},
    {Y, 0x1B, Kind::Commit, 5, 6, {Image}, 0, 0, 0x1B},
    {Y, 0xFB, Kind::Finalize, 4, 4, {}, 0, 0, 0},
    // LSB update: the data length varies (0-64 bytes), checked apart
    {U, 0x00, Kind::LsbInit, 6, 31, {}, 0, 0, 0},
    {U, 0x59, Kind::LsbData, 6, 5, {{2, 65536, 1}}, 0, 0, 0},
    {U, 0x5A, Kind::LsbEnd, 14, 5, {}, 0, 0, 0},
};

QString hex(int value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

} // namespace

const quint8 handshakeRequest[20] = {0x59, 0x00, 0x08, 0x00, 0x03, 0x07, 0xD0, 0xD9, 0x0A, 0x09,
                                     0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x00, 0x00};

const Command *find(quint8 main, quint8 subOp)
{
    for (const Command &c : commands) {
        if (c.main == main && c.subOp == subOp)
            return &c;
    }
    return nullptr;
}

QString check(const QByteArray &request, int values[3])
{
    const quint8 *r = reinterpret_cast<const quint8 *>(request.constData());
    const int size = int(request.size());
    if (size < 4)
        return QStringLiteral("frame of %1 bytes").arg(size);
    if (r[2] != size)
        return QStringLiteral("length byte %1 on a frame of %2 bytes").arg(r[2]).arg(size);
    const Command *c = find(r[0], r[1]);
    if (!c)
        return QStringLiteral("unknown command %1 %2").arg(hex(r[0]), hex(r[1]));
    if (c->kind == Kind::LsbData) {
        if (size < 6 || size > 6 + 64)
            return QStringLiteral("length byte %1, a datagram takes 6 to 70").arg(size);
    } else if (size != c->requestLength) {
        return QStringLiteral("length byte %1, expected %2").arg(size).arg(c->requestLength);
    }
    if (frameChecksum(r, size - 1) != r[size - 1])
        return QStringLiteral("bad checksum");
    if (c->kind == Kind::Handshake &&
        request != QByteArray(reinterpret_cast<const char *>(handshakeRequest), 8))
        return QStringLiteral("handshake parameters");
    if (c->kind == Kind::LsbInit && (r[3] != 0x6D || r[4] != 0x04))
        return QStringLiteral("update init parameters");
    if (c->kind == Kind::LsbEnd && (r[9] != 0 || r[10] != 0))
        return QStringLiteral("update end bytes 9-10 not zero");
    int at = 3;
    for (int i = 0; i < 3; ++i) {
        values[i] = 0;
        const Field &f = c->fields[i];
        if (f.size == 0)
            continue;
        const int value = f.size == 2 ? readWord(r + at) : r[at];
        at += f.size;
        if (value >= f.limit || value % f.step != 0)
            return QStringLiteral("parameter %1 is %2, out of range").arg(i + 1).arg(value);
        values[i] = value;
    }
    if (c->kind == Kind::LsbData && values[0] + (size - 6) > 65536)
        return QStringLiteral("datagram beyond 64 KiB");
    for (int k = 0; k < c->spareBytes; ++k) {
        if (r[at + c->dataSize + k] != 0)
            return QStringLiteral("spare byte not zero");
    }
    return QString();
}

} // namespace SimProtocol

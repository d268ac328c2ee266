#include "legacyimport.h"

#include "model/versiontext.h"

#include <QIODevice>
#include <QStringDecoder>
#include <cstring>
#include <vector>

using namespace Catalogue;

namespace {

// The decoded text as data bytes: one character a byte, 0x3F beyond U+00FF.
std::vector<quint8> decode(const QByteArray &raw, bool *invalid = nullptr)
{
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    if (const auto detected = QStringConverter::encodingForData(raw))
        encoding = *detected;
    // Stateless: a sequence cut off at the end becomes U+FFFD, like any invalid one, so 0x3F.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(raw);
    if (invalid)
        *invalid = decoder.hasError();
    std::vector<quint8> bytes;
    bytes.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes.push_back(0x3F); // one character beyond the BMP
            ++i;
            continue;
        }
        bytes.push_back(c.unicode() <= 0xFF ? quint8(c.unicode()) : quint8(0x3F));
    }
    return bytes;
}

class Cursor
{
public:
    explicit Cursor(const std::vector<quint8> &data) : data(data) {}
    // Copies the next piece; true when it was complete.
    bool take(quint8 *dest, int size)
    {
        const size_t n = std::min(size_t(size), data.size() - std::min(position, data.size()));
        if (n)
            std::memcpy(dest, data.data() + position, n);
        position += size_t(size);
        return n == size_t(size);
    }
    qint64 consumed() const { return qint64(std::min(position, data.size())); }

private:
    const std::vector<quint8> &data;
    size_t position = 0;
};

} // namespace

qint64 LegacyImport::decodedLength(const QByteArray &raw)
{
    bool invalid = false;
    const qint64 length = qint64(decode(raw, &invalid).size());
    return invalid ? -1 : length;
}

LegacyImport::Result LegacyImport::read(QIODevice &in, DataImage &image, qint8 *routeStatus)
{
    const std::vector<quint8> data = decode(in.readAll());
    Cursor cursor(data);
    Result result;

    quint8 header[4096] = {};
    cursor.take(header, 4096);
    result.softwareVersion = versionText(quint16(header[0] << 8 | header[1]));
    const quint8 serial[4] = {header[16], header[18], header[14], header[21]};
    result.serial =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(serial), 4).toHex());
    quint8 skipped[4096];
    cursor.take(skipped, 4096);

    // Records the file does not hold in full are not taken as present: a short file must not
    // leave them marked from an earlier document.
    auto records = [&](int set) {
        const Entry &e = entry(set);
        for (int n = 0; n < e.records; ++n) {
            const bool whole = cursor.take(image.record(set, n), e.recordSize);
            image.recordStatus[size_t(e.statusOffset + n)] = whole ? 1 : 0;
        }
    };
    records(Lokomotiven);
    records(Weichen);
    records(Rueckmelder);
    for (int piece = 0; piece < 3 * 65536 / 8; ++piece)
        cursor.take(image.gleisplan(0) + piece * 8, 8);
    for (int n = 0; n < 1024; ++n) {
        const bool whole = cursor.take(image.record(Fahrstrassen, n), 512);
        image.recordStatus[size_t(StatusFahrstrassen + n)] = whole ? 1 : 0;
        if (routeStatus)
            routeStatus[n] = whole ? 1 : 0;
    }
    for (int n = 0; n < 1024; ++n)
        cursor.take(image.illumination(n), 512);
    cursor.take(image.s88(), 256);
    cursor.take(image.systemKonfiguration(), 256);
    cursor.take(image.lokliste(0), 4 * 256);
    records(Lsb);
    records(Hsb);
    for (int n = 0; n < LokbildCount; ++n) {
        const bool whole = cursor.take(image.lokbild(n), LokbildSize);
        image.recordStatus[size_t(StatusLokbilder + n)] = whole ? 1 : 0;
    }
    image.presentSets.fill(1);
    image.s88Present = true;
    result.characters = cursor.consumed();
    return result;
}

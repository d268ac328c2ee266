// Importing backups of the old format.

#include "backupfile/backupfile.h"
#include "backupfile/legacyimport.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QTest>

using namespace Catalogue;

namespace {
// A legacy file: every byte written as the character of the same number, UTF-8 encoded.
QByteArray legacyFile(const QByteArray &bytes,
                      QStringConverter::Encoding encoding = QStringConverter::Utf8,
                      bool bom = false)
{
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.append(QChar(uchar(b)));
    QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                         : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

QByteArray completeData()
{
    QByteArray data(int(LegacyImport::CompleteLength), '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 31 + i / 4096) & 0xFF);
    data[0] = 0x05;
    data[1] = 0x14;
    data[16] = 0x12;
    data[18] = 0x34;
    data[14] = char(0xAB);
    data[21] = 0x0C;
    return data;
}

LegacyImport::Result import(const QByteArray &file, DataImage &image)
{
    QByteArray copy = file;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return LegacyImport::read(buffer, image, nullptr);
}
} // namespace

class TestLegacyImport : public QObject
{
    Q_OBJECT
private slots:
    void completeFileAndRoundTrip();
    void header_data();
    void header();
    void shortFile();
    void charactersBeyondLatin1();
    void otherEncodings();
};

void TestLegacyImport::completeFileAndRoundTrip()
{
    const QByteArray data = completeData();
    auto image = std::make_unique<DataImage>();
    const LegacyImport::Result result = import(legacyFile(data), *image);
    QCOMPARE(result.characters, LegacyImport::CompleteLength);
    QCOMPARE(result.softwareVersion, QStringLiteral("1.300"));
    QCOMPARE(result.serial, QStringLiteral("1234ab0c"));
    for (quint8 flag : image->presentSets)
        QCOMPARE(flag, quint8(1));
    for (qint8 status : image->recordStatus)
        QCOMPARE(status, qint8(1));

    // Items in the file's order: the S88 block comes before the system configuration.
    const char *d = data.constData();
    int at = 8192;
    QVERIFY(std::memcmp(image->bank(0) + LokOffset, d + at, 1024 * 256) == 0);
    at += 1024 * 256 + 1024 * 64 + 1024 * 256;
    QVERIFY(std::memcmp(image->bank(1) + GleisplanOffset, d + at, 3 * 65536) == 0);
    at += 3 * 65536 + 2 * 1024 * 512;
    QVERIFY(std::memcmp(image->bank(0) + S88Offset, d + at, 256) == 0);
    QVERIFY(std::memcmp(image->bank(0) + SystemOffset, d + at + 256, 256) == 0);
    QVERIFY(std::memcmp(image->lokbild(99), d + data.size() - LokbildSize, LokbildSize) == 0);

    // Saved as .GTB2 it holds every record of every set, the lists, both blocks, 100 images.
    QByteArray gtb2;
    QBuffer out(&gtb2);
    out.open(QIODevice::WriteOnly);
    QVERIFY(BackupFile::write(out, *image, result.serial.toUpper(), result.softwareVersion));
    auto back = std::make_unique<DataImage>();
    QBuffer in(&gtb2);
    in.open(QIODevice::ReadOnly);
    const BackupFile::ReadResult meta = BackupFile::read(in, *back, nullptr);
    QCOMPARE(meta.serial, QStringLiteral("1234AB0C"));
    QCOMPARE(back->recordStatus, image->recordStatus);
    QCOMPARE(back->presentSets, image->presentSets);
    for (const char *keyword : {"LOKLISTEN\n", "SYSTEMKONFIGURATION\n", "S88\n", "LOKBILDER\n0\n",
                                "\n99\n", "LSB\n0\n", "\n2047\n"})
        QVERIFY2(gtb2.contains(keyword), keyword);
    for (int bank = 0; bank < 3; ++bank)
        QVERIFY(std::memcmp(back->bank(bank), image->bank(bank), BankSize) == 0);
    QVERIFY(std::memcmp(back->lokbild(0), image->lokbild(0), LokbildSize) == 0);
}

void TestLegacyImport::header_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QString>("version");
    QTest::newRow("1.300") << QByteArray("\x05\x14", 2) << "1.300";
    QTest::newRow("1.200") << QByteArray("\x04\xB0", 2) << "1.200";
    QTest::newRow("0.812") << QByteArray("\x03\x2C", 2) << "0.812";
}

void TestLegacyImport::header()
{
    QFETCH(QByteArray, first);
    QFETCH(QString, version);
    QByteArray data(4096, '\0');
    data.replace(0, 2, first);
    auto image = std::make_unique<DataImage>();
    QCOMPARE(import(legacyFile(data), *image).softwareVersion, version);
}

void TestLegacyImport::shortFile()
{
    // Stops in the middle of locomotive 3: locomotives 0-2 are whole, the rest is not taken.
    QByteArray data = completeData().left(8192 + 3 * 256 + 100);
    auto image = std::make_unique<DataImage>();
    image->recordStatus.fill(1); // as an earlier document left them
    std::fill_n(image->lokbild(5), LokbildSize, quint8(0x77));
    const LegacyImport::Result result = import(legacyFile(data), *image);
    QCOMPARE(result.characters, qint64(data.size()));
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 2]), 1);
    QCOMPARE(int(image->recordStatus[StatusLokomotiven + 3]), 0);
    QCOMPARE(int(image->recordStatus[StatusLokbilder + 5]), 0);
    QCOMPARE(image->lokbild(5)[0], quint8(0x77)); // image areas keep what they held
    QCOMPARE(image->bank(0)[LokOffset + 3 * 256 + 99], quint8(data[8192 + 3 * 256 + 99]));
    QCOMPARE(image->presentSets[Hsb], quint8(1));
}

void TestLegacyImport::charactersBeyondLatin1()
{
    QString text(8192 + 4, QChar(u'a'));
    text[8192] = QChar(0x20AC); // euro sign
    text[8193] = QChar(u'\u00FF');
    text.insert(8194, QString::fromUcs4(U"\U0001F682")); // one character beyond the BMP
    QByteArray file = text.toUtf8();
    file.append("\xC3", 1); // a broken sequence at the end
    auto image = std::make_unique<DataImage>();
    import(file, *image);
    const quint8 *lok = image->bank(0) + LokOffset;
    QCOMPARE(lok[0], quint8(0x3F));
    QCOMPARE(lok[1], quint8(0xFF));
    QCOMPARE(lok[2], quint8(0x3F));
    QCOMPARE(lok[3], quint8('a'));
    QCOMPARE(lok[4], quint8('a'));
    QCOMPARE(lok[5], quint8(0x3F)); // the broken sequence
    QCOMPARE(lok[6], quint8(0));    // beyond the end of the file
}

void TestLegacyImport::otherEncodings()
{
    QByteArray data(4096, '\0');
    data[0] = 0x05;
    data[1] = 0x14;
    for (auto encoding : {QStringConverter::Utf8, QStringConverter::Utf16LE,
                          QStringConverter::Utf16BE, QStringConverter::Utf32LE}) {
        auto image = std::make_unique<DataImage>();
        const LegacyImport::Result result = import(legacyFile(data, encoding, true), *image);
        QCOMPARE(result.softwareVersion, QStringLiteral("1.300"));
        QCOMPARE(result.characters, qint64(4096));
    }
}

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "tst_legacyimport.moc"

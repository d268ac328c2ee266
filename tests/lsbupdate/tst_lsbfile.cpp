// Reading LSB firmware files.

#include "../common/lsbfiles.h"
#include "lsbupdate/lsbfile.h"

#include <QTemporaryDir>
#include <QTest>

class TestLsbFile : public QObject
{
    Q_OBJECT
private slots:
    void wellFormed_data();
    void wellFormed();
    void refused_data();
    void refused();
    void lineCheck();
    void nameOutsideLatin1();

private:
    QTemporaryDir dir;
};

void TestLsbFile::wellFormed_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("tail");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("length");
    QTest::newRow("three lines") << QByteArray("4 10\n") << 3 << 0 << 4 << 10 << 396;
    QTest::newRow("carriage return") << QByteArray("230 17\r\n") << 1 << 0 << 230 << 17 << 132;
    QTest::newRow("header only") << QByteArray("4 1\r\n") << 0 << 0 << 4 << 1 << 0;
    QTest::newRow("short last line") << QByteArray(" \n 4\t9   \n") << 2 << 10 << 4 << 9 << 274;
    QTest::newRow("nine further characters")
        << QByteArray("4 9 abcdefgh\n") << 1 << 0 << 4 << 9 << 132;
    QTest::newRow("largest payload") << QByteArray("4 9\n") << 496 << 63 << 4 << 9 << 65535;
}

void TestLsbFile::wellFormed()
{
    QFETCH(QByteArray, header);
    QFETCH(int, lines);
    QFETCH(int, tail);
    QFETCH(int, type);
    QFETCH(int, version);
    QFETCH(int, length);
    const QString path = dir.filePath(QStringLiteral("ok.lsb"));
    QVERIFY(LsbFiles::write(path, LsbFiles::firmware(header, lines, tail)));
    LsbFile file;
    QCOMPARE(file.open(path), LsbFile::Result::Ok);
    QCOMPARE(int(file.type), type);
    QCOMPARE(int(file.softwareVersion), version);
    QCOMPARE(file.readPayload(), LsbFile::Result::Ok);
    QCOMPARE(file.length(), length);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(file.payload.data()), file.length()),
             LsbFiles::payload(lines, tail));
}

void TestLsbFile::refused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("headerFails");
    QTest::newRow("words in the header") << QByteArray("booster ten\n") << true;
    QTest::newRow("one number") << QByteArray("230\n") << true;
    QTest::newRow("ten further characters")
        << QByteArray("4 9 abcdefghi\n") + LsbFiles::line(0) << true;
    QTest::newRow("number beyond 16 bits") << QByteArray("70000 1\n") << true;
    QTest::newRow("no line end") << QByteArray("4 9") << true;
    QTest::newRow("payload beyond 65535 bytes") << LsbFiles::firmware("4 9\n", 496, 64) << false;
    QTest::newRow("far too long") << LsbFiles::firmware("4 9\n", 600) << false;
}

void TestLsbFile::refused()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, headerFails);
    const QString path = dir.filePath(QStringLiteral("bad.lsb"));
    QVERIFY(LsbFiles::write(path, content));
    LsbFile file;
    if (headerFails) {
        QCOMPARE(file.open(path), LsbFile::Result::InvalidHeader);
        return;
    }
    QCOMPARE(file.open(path), LsbFile::Result::Ok);
    QCOMPARE(file.readPayload(), LsbFile::Result::TooLarge);
}

void TestLsbFile::lineCheck()
{
    QByteArray content = LsbFiles::firmware("4 9\n", 4);
    content[4 + 2 * 133 + 40] = char(content[4 + 2 * 133 + 40] ^ 0x01); // line 3 XORs to 1
    const QString path = dir.filePath(QStringLiteral("check.lsb"));
    QVERIFY(LsbFiles::write(path, content));
    LsbFile file;
    QCOMPARE(file.open(path), LsbFile::Result::Ok);
    QCOMPARE(file.readPayload(), LsbFile::Result::LineCheckFailed);
    QCOMPARE(file.failedLine, 3);

    // A file cut off in its last line: the short line's check byte does not match either.
    QByteArray cut = LsbFiles::firmware("4 9\n", 2, 40);
    cut[int(cut.size()) - 5] = char(cut.at(int(cut.size()) - 5) ^ 0x10);
    QVERIFY(LsbFiles::write(path, cut));
    LsbFile shortLast;
    QCOMPARE(shortLast.open(path), LsbFile::Result::Ok);
    QCOMPARE(shortLast.readPayload(), LsbFile::Result::LineCheckFailed);
    QCOMPARE(shortLast.failedLine, 3);
    LsbFile missing;
    QCOMPARE(missing.open(dir.filePath(QStringLiteral("none.lsb"))), LsbFile::Result::CannotOpen);
}

void TestLsbFile::nameOutsideLatin1()
{
    const QString path = dir.filePath(QStringLiteral("Прошивка-бустер.lsb"));
    QVERIFY(LsbFiles::write(path, LsbFiles::firmware("4 9\n", 1)));
    LsbFile file;
    QCOMPARE(file.open(path), LsbFile::Result::Ok);
    QCOMPARE(file.readPayload(), LsbFile::Result::Ok);
    QCOMPARE(file.length(), 132);
}

QTEST_GUILESS_MAIN(TestLsbFile)
#include "tst_lsbfile.moc"

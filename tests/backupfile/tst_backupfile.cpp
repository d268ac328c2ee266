// The .GTB2 writer and reader, byte for byte, and the reader on damaged files.

#include "backupfile/backupfile.h"
#include "backupfile/backupfolder.h"
#include "backupfile/document.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Catalogue;

namespace {
QByteArray written(const DataImage &image, const QString &serial = QStringLiteral("56347812"),
                   const QString &software = QStringLiteral("1.300"))
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    BackupFile::write(buffer, image, serial, software);
    return bytes;
}

BackupFile::ReadResult readInto(const QByteArray &bytes, DataImage &image,
                                qint8 *routeStatus = nullptr)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return BackupFile::read(buffer, image, routeStatus);
}

// CRC-32 bit by bit, as zip computes it; "123456789" gives cbf43926.
quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
    }
    return ~crc;
}

// A part of the file followed by the line that proves it.
QByteArray proven(const QByteArray &part)
{
    return part + "#crc32 " + QByteArray::number(crc32(part), 16).rightJustified(8, '0') + "\n";
}

const QByteArray meta = "<meta>\nseriennummer=56347812\nsoftwareversion=1.300\n</meta>\n";

// A save under a file size limit of 64 bytes, as the system enforces one (its signal ignored,
// as the programs do).
template <typename Save> BackupFolder::Saved underSizeLimit(Save save)
{
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 64;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0)
        return {};
    const BackupFolder::Saved saved = save();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    return saved;
}

void fill(quint8 *dest, int size, quint8 seed)
{
    for (int i = 0; i < size; ++i)
        dest[i] = quint8(seed + i * 7);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every name in a folder, hidden ones too.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}
} // namespace

class TestBackupFile : public QObject
{
    Q_OBJECT
private slots:
    void onlyOnePlan();
    void locomotivesWithoutRecords();
    void roundTrip();
    void damagedFiles_data();
    void damagedFiles();
    void smallDamageIsFound();
    void freeNames();
    void backupFolder();
    void changeSummary();
    void cutShort();
    void newFiles_data();
    void newFiles();
    void folderRemovesOnlyBackups();
};

void TestBackupFile::onlyOnePlan()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets[Gleisplan2] = 1;
    fill(image->bank(1) + 0x20000, 65536, 3);
    QCOMPARE(crc32("123456789"), 0xCBF43926u);
    const QByteArray expected =
        proven(proven(meta) +
               proven("GLEISPLAN2\n" +
                      QByteArray(reinterpret_cast<const char *>(image->bank(1) + 0x20000), 65536) +
                      "\n\n") +
               "END\n");
    QCOMPARE(written(*image), expected);
}

void TestBackupFile::locomotivesWithoutRecords()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets[Lokomotiven] = 1;
    fill(image->bank(0) + LoklistenOffset, 1024, 1);
    QByteArray lists = "LOKLISTEN\n";
    for (int l = 0; l < 4; ++l)
        lists +=
            QByteArray::number(l) + "\n" +
            QByteArray(reinterpret_cast<const char *>(image->bank(0) + LoklistenOffset + l * 256),
                       256) +
            "\n";
    const QByteArray expected =
        proven(proven(meta) + proven("LOKOMOTIVEN\n\n") + proven(lists + "\n") + "END\n");
    QCOMPARE(written(*image), expected);
}

void TestBackupFile::roundTrip()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets.fill(1);
    // Records full of line feeds must come back unchanged: they are read by count.
    for (int n : {0, 5, 1023}) {
        std::fill_n(image->bank(0) + LokOffset + n * 256, 256, quint8('\n'));
        image->recordStatus[size_t(StatusLokomotiven + n)] = 1;
    }
    fill(image->bank(0) + RouteOffset + 700 * 512, 512, 9);
    fill(image->bank(2) + AusleuchtungOffset + 700 * 512, 512, 10);
    image->recordStatus[StatusFahrstrassen + 700] = 1;
    fill(image->bank(0) + LsbOffset + 2047 * 32, 32, 11);
    image->recordStatus[StatusLsb + 2047] = 1;
    fill(image->lokbild(99), LokbildSize, 12);
    image->recordStatus[StatusLokbilder + 99] = 1;
    fill(image->bank(0) + SystemOffset, 256, 13);
    fill(image->bank(0) + S88Offset, 256, 14);
    image->s88Present = true;
    fill(image->bank(1) + GleisplanOffset * 3, 65536, 15);
    const QByteArray bytes = written(*image);
    // The largest file a backup can be is opened (the meta lines may be up to 99 bytes long).
    auto full = std::make_unique<DataImage>();
    full->presentSets.fill(1);
    full->recordStatus.fill(1);
    full->s88Present = true;
    const QByteArray fullest = written(*full, "12345678901", "1.23456");
    // The bound is this file with each of its four meta lines at the longest, 100 bytes.
    const QList<QByteArray> meta = fullest.left(1000).split('\n').mid(0, 4);
    qint64 shorter = 0;
    for (const QByteArray &line : meta)
        shorter += 100 - (line.size() + 1);
    QCOMPARE(BackupFile::largestFile(), fullest.size() + shorter);

    auto back = std::make_unique<DataImage>();
    std::array<qint8, 1024> routes{};
    const BackupFile::ReadResult result = readInto(bytes, *back, routes.data());
    QCOMPARE(result.serial, QStringLiteral("56347812"));
    QCOMPARE(result.softwareVersion, QStringLiteral("1.300"));
    QVERIFY(result.routesRead);
    QCOMPARE(back->presentSets, image->presentSets);
    QVERIFY(back->s88Present);
    QVERIFY(!result.incomplete);
    for (int i = 0; i < StatusSize; ++i) {
        const qint8 expected = image->recordStatus[size_t(i)] > 0 ? 1 : -1;
        QCOMPARE(back->recordStatus[size_t(i)], expected);
    }
    QCOMPARE(routes[700], qint8(1));
    QCOMPARE(routes[699], qint8(-1));
    for (int bank = 0; bank < BankCount; ++bank)
        QVERIFY2(std::equal(back->bank(bank), back->bank(bank) + BankSize, image->bank(bank)),
                 qPrintable(QString::number(bank)));
    QVERIFY(std::equal(back->lokbild(99), back->lokbild(99) + LokbildSize, image->lokbild(99)));
    QCOMPARE(written(*back), bytes);
}

void TestBackupFile::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("locomotives");
    QTest::addColumn<int>("record");        // checked locomotive record
    QTest::addColumn<int>("status");        // its status afterwards
    QTest::addColumn<bool>("switching");    // WEICHEN recognised after the locomotives
    QTest::addColumn<QList<int>>("damage"); // the kinds the reader names, in order
    using D = BackupFile::Damage;
    const QByteArray rec(256, 'x');
    const QByteArray lists = "LOKLISTEN\n0\n" + QByteArray(256, 'l') + "\n\n";
    QTest::newRow("no </meta>") << QByteArray("<meta>\nseriennummer=AB\nLOKOMOTIVEN\n3\n") + rec +
                                       "\n\nEND\n"
                                << "AB" << false << 3 << 0 << false << QList<int>{D::Meta, D::Cut};
    // Damage in the meta block alone leaves the data as it is.
    QTest::newRow("serial too long")
        << QByteArray("<meta>\nseriennummer=123456789012\nsoftwareversion=1.3\n</meta>\n"
                      "LOKOMOTIVEN\n3\n") +
               rec + "\n\n" + lists + "END\n"
        << "" << true << 3 << 1 << false << QList<int>{D::Meta};
    const QByteArray meta = "<meta>\nseriennummer=AB\nsoftwareversion=1.3\n</meta>\n";
    QTest::newRow("whole") << meta + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + lists + "WEICHEN\n\nEND\n"
                           << "AB" << true << 3 << 1 << true << QList<int>{};
    // A record number out of range, not a number, not as the writer writes it or not
    // ascending: the set is damaged, not held, and nothing after it is read.
    QTest::newRow("number 1024") << meta + "LOKOMOTIVEN\n3\n" + rec + "\n1024\n" + rec + "\n" +
                                        lists + "WEICHEN\n\nEND\n"
                                 << "AB" << false << 3 << 1 << false << QList<int>{D::OutOfRange};
    QTest::newRow("not a number") << meta + "LOKOMOTIVEN\n3\n" + rec + "\nx\n" + lists +
                                         "WEICHEN\n\nEND\n"
                                  << "AB" << false << 3 << 1 << false << QList<int>{D::BadNumber};
    QTest::newRow("leading zero") << meta + "LOKOMOTIVEN\n03\n" + rec + "\n\n" + lists +
                                         "WEICHEN\n\nEND\n"
                                  << "AB" << false << 3 << -1 << false << QList<int>{D::BadNumber};
    QTest::newRow("number twice") << meta + "LOKOMOTIVEN\n3\n" + rec + "\n3\n" + rec + "\n\n" +
                                         lists + "WEICHEN\n\nEND\n"
                                  << "AB" << false << 3 << 1 << false
                                  << QList<int>{D::NotAscending};
    QTest::newRow("not ascending")
        << meta + "LOKOMOTIVEN\n3\n" + rec + "\n2\n" + rec + "\n\n" + lists + "WEICHEN\n\nEND\n"
        << "AB" << false << 3 << 1 << false << QList<int>{D::NotAscending};
    // After a record or block exactly the line end the writer puts there: a byte more or less
    // shifts everything after it.
    QTest::newRow("record a byte long")
        << meta + "LOKOMOTIVEN\n3\n" + rec + "x\n\n" + lists + "WEICHEN\n\nEND\n"
        << "AB" << false << 3 << -1 << false << QList<int>{D::NoLineEnd};
    QTest::newRow("block a byte short")
        << meta + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + lists + "S88\n" + QByteArray(255, 's') +
               "\n\nWEICHEN\n\nEND\n"
        << "AB" << true << 3 << 1 << false << QList<int>{D::NoLineEnd};
    QTest::newRow("a stray line") << meta + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + lists +
                                         "\nWEICHEN\n\nEND\n"
                                  << "AB" << true << 3 << 1 << false << QList<int>{D::Unexpected};
    QByteArray crlf = meta + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + lists + "WEICHEN\n\nEND\n";
    crlf.replace("\n", "\r\n");
    QTest::newRow("line ends converted")
        << crlf << "AB\r" << false << 3 << 0 << false << QList<int>{D::Meta, D::Unexpected};
    QTest::newRow("line too long")
        << meta + QByteArray(120, 'L') + "\nLOKOMOTIVEN\n3\n" + rec + "\n\nEND\n"
        << "AB" << false << 3 << 0 << false << QList<int>{D::Unexpected};
    // A file that carries checksums: a part that does not match, or lacks its line, is not
    // taken; the parts that prove themselves are.
    QByteArray locomotives = "LOKOMOTIVEN\n3\n" + rec + "\n\n";
    const QByteArray sum = proven(locomotives).mid(locomotives.size());
    locomotives[20] = 'y';
    QTest::newRow("checksum differs") << proven(proven(meta) + locomotives + sum + proven(lists) +
                                                proven("WEICHEN\n\n") + "END\n")
                                      << "AB" << false << 3 << 1 << true << QList<int>{D::Checksum};
    QTest::newRow("checksum missing")
        << proven(proven(meta) + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + proven(lists) +
                  proven("WEICHEN\n\n") + "END\n")
        << "AB" << false << 3 << 1 << true << QList<int>{D::ChecksumMissing};
    // Without the meta block's line the file still carries checksums: every part needs one.
    QTest::newRow("checksums stripped")
        << proven(meta + "LOKOMOTIVEN\n3\n" + rec + "\n\n" + proven(lists) + proven("WEICHEN\n\n") +
                  "END\n")
        << "AB" << false << 3 << 1 << true << QList<int>{D::ChecksumMissing, D::ChecksumMissing};
    // The file as a whole proves itself: a part left out, or anything after it, is damage.
    const QByteArray whole = proven(meta) + proven("LOKOMOTIVEN\n3\n" + rec + "\n\n") +
                             proven(lists) + proven("WEICHEN\n\n") + "END\n";
    QByteArray shorter = proven(whole);
    shorter.remove(shorter.indexOf("WEICHEN"), proven("WEICHEN\n\n").size());
    QTest::newRow("a part left out")
        << shorter << "AB" << true << 3 << 1 << false << QList<int>{D::Checksum};
    QTest::newRow("more after the end") << proven(whole) + proven(whole) << "AB" << true << 3 << 1
                                        << true << QList<int>{D::Checksum};
    QTest::newRow("proven") << proven(whole) << "AB" << true << 3 << 1 << true << QList<int>{};
}

void TestBackupFile::damagedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, serial);
    QFETCH(bool, locomotives);
    QFETCH(int, record);
    QFETCH(int, status);
    QFETCH(bool, switching);
    QFETCH(QList<int>, damage);
    auto image = std::make_unique<DataImage>();
    const BackupFile::ReadResult result = readInto(file, *image);
    QCOMPARE(result.serial, serial);
    QCOMPARE(image->presentSets[Lokomotiven] != 0, locomotives);
    QCOMPARE(int(image->recordStatus[size_t(StatusLokomotiven + record)]), status);
    QCOMPARE(image->presentSets[Weichen] != 0, switching);
    if (status == 1)
        QCOMPARE(image->bank(0)[LokOffset + record * 256], quint8('x'));
    QList<int> kinds;
    for (const BackupFile::Damage &d : result.damage)
        kinds.append(d.kind);
    QCOMPARE(kinds, damage);
}

// Every byte of a written file changed, a byte inserted or removed there, at a few thousand
// places: the reader calls the file damaged, or it reads back to exactly what was written.
void TestBackupFile::smallDamageIsFound()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets.fill(1);
    image->presentSets[Gleisplan2] = image->presentSets[Gleisplan3] = 0;
    image->s88Present = true;
    fill(image->bank(0), BankSize, 1);
    fill(image->bank(1), BankSize, 2);
    fill(image->bank(2), BankSize, 3);
    fill(image->lokbild(7), LokbildSize, 4);
    for (int status : {StatusLokomotiven + 1, StatusLokomotiven + 98, StatusWeichen + 0,
                       StatusWeichen + 1023, StatusRueckmelder + 5, StatusFahrstrassen + 12,
                       StatusLsb + 2047, StatusHsb + 3, StatusLokbilder + 7})
        image->recordStatus[size_t(status)] = 1;
    const QByteArray original = written(*image);

    auto back = std::make_unique<DataImage>();
    int found = 0, harmless = 0;
    auto judge = [&](const QByteArray &file, const char *what, qsizetype at) {
        back->presentSets.fill(0);
        back->recordStatus.fill(0);
        back->s88Present = false;
        const BackupFile::ReadResult result = readInto(file, *back);
        if (!result.damage.isEmpty()) {
            ++found;
            return;
        }
        QVERIFY2(
            written(*back) == original,
            qPrintable(QStringLiteral("%1 at %2 taken as whole").arg(QLatin1String(what)).arg(at)));
        ++harmless;
    };
    QList<qsizetype> places;
    for (qsizetype p = 0; p < original.size(); ++p) {
        const bool nearLineEnd = original.mid(qMax<qsizetype>(0, p - 2), 5).contains('\n');
        if (p % 37 == 0 || nearLineEnd)
            places.append(p);
    }
    QVERIFY(places.size() > 2000);
    for (qsizetype p : std::as_const(places)) {
        QByteArray changed = original;
        changed[p] = char(p % 3 == 0 ? '\n' : original[p] ^ (1 << (p % 8)));
        if (changed[p] != original[p])
            judge(changed, "a changed byte", p);
        judge(QByteArray(original).insert(p, p % 2 ? '\n' : original[p]), "an inserted byte", p);
        judge(QByteArray(original).remove(p, 1), "a removed byte", p);
        if (QTest::currentTestFailed())
            return;
    }
    judge(QByteArray(original).replace("\n", "\r\n"), "line ends converted", 0);
    QCOMPARE(harmless + found,
             3 * places.size() + 1 -
                 int(std::count_if(places.begin(), places.end(), [&](qsizetype p) {
                     return (p % 3 == 0 ? '\n' : char(original[p] ^ (1 << (p % 8)))) == original[p];
                 })));
    // Bytes after the end mark are not read: the only harmless places.
    QVERIFY(harmless < 10);
}

void TestBackupFile::freeNames()
{
    // Never the name of an earlier backup of the day: -2, -3, -4 ...
    QTemporaryDir dir;
    const QDate day(2026, 12, 9);
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        const QString path = BackupFile::freeName(dir.path(), "56347812", day);
        names.append(QFileInfo(path).fileName());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(names,
             QStringList(
                 {"Gleistron-56347812-2026-12-09.GTB2", "Gleistron-56347812-2026-12-09-2.GTB2",
                  "Gleistron-56347812-2026-12-09-3.GTB2", "Gleistron-56347812-2026-12-09-4.GTB2"}));
    QCOMPARE(BackupFile::normalizedName("a/b"), QStringLiteral("a/b.GTB2"));
    QCOMPARE(BackupFile::normalizedName("b.gtb2"), QStringLiteral("b.gtb2"));
    QVERIFY(BackupFile::normalizedName("b.txt").isEmpty());
}

// Dated backups that are written only when the station changed, rotated by station, and that
// never take a file the program did not name.
void TestBackupFile::backupFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("neu/sicherungen")); // made when missing
    BackupFolder backups(folder);
    auto document = std::make_unique<Document>();
    document->setSource("56347812", "1.300"); // as a download leaves it
    document->image.presentSets[Weichen] = 1;
    document->image.recordStatus[StatusWeichen + 1] = 1;
    const auto change = [&document](quint8 seed) {
        fill(document->image.bank(1) + WeichenOffset + 64, 64, seed);
    };
    change(1);
    const QDate day(2026, 12, 9);
    BackupFolder::Saved saved = backups.save(*document, "56347812", 3, day);
    QCOMPARE(saved.outcome, BackupFolder::Saved::Written);
    QCOMPARE(QFileInfo(saved.path).fileName(),
             QStringLiteral("Gleistron-56347812-2026-12-09.GTB2"));
    const QString first = saved.path;
    // The same data again: nothing written, the newest named.
    saved = backups.save(*document, "56347812", 3, day.addDays(1));
    QCOMPARE(saved.outcome, BackupFolder::Saved::Unchanged);
    QCOMPARE(saved.path, first);
    // More sets with the same records is not the same backup.
    document->image.presentSets[Rueckmelder] = 1;
    QCOMPARE(backups.save(*document, "56347812", 3, day).outcome, BackupFolder::Saved::Written);
    document->image.presentSets[Rueckmelder] = 0;

    // A renamed copy, another station's backup and a look-alike name are never removed.
    QVERIFY(QFile::copy(first, QDir(folder).filePath("vor dem Umbau.GTB2")));
    QVERIFY(QFile::copy(first, QDir(folder).filePath("Gleistron-11111111-2020-01-01.GTB2")));
    QVERIFY(QFile::copy(first, QDir(folder).filePath("Gleistron-56347812-2020-01-01-alt.GTB2")));
    QVERIFY(QFile::copy(first, QDir(folder).filePath("Gleistron-56347812-2020-01-01.GTB2")));
    QStringList removed;
    for (quint8 seed = 2; seed < 6; ++seed) {
        change(seed);
        saved = backups.save(*document, "56347812", 3, day);
        QCOMPARE(saved.outcome, BackupFolder::Saved::Written);
        removed << saved.removed;
    }
    QStringList kept;
    for (const BackupFolder::Backup &backup : backups.backups("56347812"))
        kept << QFileInfo(backup.path).fileName();
    QCOMPARE(kept, (QStringList{"Gleistron-56347812-2026-12-09-4.GTB2",
                                "Gleistron-56347812-2026-12-09-5.GTB2",
                                "Gleistron-56347812-2026-12-09-6.GTB2"}));
    QCOMPARE(removed.size(), 4); // the one of 2020 (oldest first), then the day's first three
    QVERIFY(QFileInfo(removed.first()).fileName().startsWith("Gleistron-56347812-2020-01-01"));
    for (const char *name : {"vor dem Umbau.GTB2", "Gleistron-11111111-2020-01-01.GTB2",
                             "Gleistron-56347812-2020-01-01-alt.GTB2"})
        QVERIFY2(QFile::exists(QDir(folder).filePath(name)), name);

    // Compared with the newest backup of that station only: data as an older one holds is a
    // new backup, data as the newest holds is not.
    change(4); // as -5 holds
    QCOMPARE(backups.save(*document, "56347812", 3, day).outcome, BackupFolder::Saved::Written);
    QCOMPARE(backups.save(*document, "56347812", 3, day).outcome, BackupFolder::Saved::Unchanged);

    // A save that fails (the file size limit cuts the write short) leaves no file and removes
    // nothing.
    change(9);
    saved = underSizeLimit([&] { return backups.save(*document, "56347812", 1, day); });
    QCOMPARE(saved.outcome, BackupFolder::Saved::Failed);
    QCOMPARE(saved.error, QStringLiteral("File too large")); // not a cut file called a backup
    QVERIFY(!QFile::exists(saved.path));
    QCOMPARE(backups.backups("56347812").size(), 3);

    // The list of the window: newest first, what each holds and what changed.
    const QList<BackupFolder::Listed> listed = backups.history();
    QCOMPARE(listed.size(), 4);
    QCOMPARE(QFileInfo(listed.at(0).backup.path).fileName(),
             QStringLiteral("Gleistron-56347812-2026-12-09-7.GTB2"));
    QCOMPARE(listed.at(0).sets, QStringLiteral("Schaltartikel"));
    QCOMPARE(listed.at(0).changes, QStringLiteral("1 Schaltartikel geändert"));
    QCOMPARE(listed.at(3).backup.serial, QStringLiteral("11111111"));
    QVERIFY(listed.at(3).changes.isEmpty()); // that station's first

    // One byte of the newest changed on disk: the list marks it, not its predecessor.
    QFile newest(listed.at(0).backup.path);
    QVERIFY(newest.open(QIODevice::ReadWrite));
    QByteArray bytes = newest.readAll();
    bytes[bytes.indexOf("WEICHEN\n") + 20] ^= 1;
    QVERIFY(newest.seek(0) && newest.write(bytes) == bytes.size());
    newest.close();
    const QList<BackupFolder::Listed> again = backups.history();
    QVERIFY(again.at(0).readable && again.at(0).damaged);
    QVERIFY(!again.at(1).damaged);
}

void TestBackupFile::changeSummary()
{
    using Line = BackupDiff::Line;
    const QList<Line> lines{
        {"lokomotiven", 3, Line::Changed, {}}, {"lokomotiven", 4, Line::Changed, {}},
        {"lokomotiven", 9, Line::Changed, {}}, {"lokomotiven", 12, Line::Removed, {}},
        {"fahrstrassen", 17, Line::Added, {}}, {"gleisplan2", 33, Line::Changed, {}},
        {"gleisplan2", 34, Line::Changed, {}}};
    QCOMPARE(BackupFolder::changeText(lines),
             QStringLiteral("3 Lokomotiven geändert, 1 Lokomotive entfernt, "
                            "2 Blöcke von Gleisplan 2 geändert, 1 Fahrstrasse neu"));
    QVERIFY(BackupFolder::changeText({}).isEmpty());
}

void TestBackupFile::cutShort()
{
    auto image = std::make_unique<DataImage>();
    image->presentSets[Lokomotiven] = 1;
    image->presentSets[Lokbilder] = 1;
    for (int n : {1, 2}) {
        image->recordStatus[size_t(StatusLokomotiven + n)] = 1;
        fill(image->bank(0) + LokOffset + n * 256, 256, quint8(n));
    }
    image->recordStatus[StatusLokbilder + 4] = 1;
    fill(image->lokbild(4), LokbildSize, 4);
    const QByteArray full = written(*image);
    const int imageStart = int(full.indexOf("LOKBILDER\n4\n")) + 12;

    auto back = std::make_unique<DataImage>();
    std::fill_n(back->lokbild(4), LokbildSize, quint8(0xAB));
    readInto(full.left(imageStart + 100), *back);
    QCOMPARE(int(back->recordStatus[StatusLokomotiven + 2]), 1);
    // The image that was cut off is not taken as present; its first bytes did arrive.
    QCOMPARE(int(back->recordStatus[StatusLokbilder + 4]), -1);
    QCOMPARE(back->lokbild(4)[0], image->lokbild(4)[0]);
    QCOMPARE(back->lokbild(4)[200], quint8(0xAB));
}

// A file that must not exist is created when it is written and replaces nothing: not a file,
// not a link to one, not a link that leads nowhere yet. A numbered name passes over them.
void TestBackupFile::newFiles_data()
{
    QTest::addColumn<QString>("there"); // what holds the name beforehand
    QTest::addColumn<bool>("numbered");
    for (const char *there : {"nothing", "file", "link", "dangling link"}) {
        QTest::addRow("%s", there) << QString(there) << false;
        QTest::addRow("%s, numbered", there) << QString(there) << true;
    }
}

void TestBackupFile::newFiles()
{
    QFETCH(QString, there);
    QFETCH(bool, numbered);
    QTemporaryDir dir;
    const QString path = dir.filePath("Gleistron-56347812-2026-12-09.GTB2");
    const QString mine = dir.filePath("mine.GTB2");
    const QByteArray users = "the user's own file\n";
    if (there == "file")
        QVERIFY(put(path, users));
    if (there == "link")
        QVERIFY(put(mine, users));
    if (there.contains("link"))
        QVERIFY(QFile::link("mine.GTB2", path));
    const QStringList before = entries(dir.path());

    auto document = std::make_unique<Document>();
    document->image.presentSets[Weichen] = 1;
    document->image.recordStatus[StatusWeichen + 1] = 1;
    fill(document->image.bank(1) + WeichenOffset + 64, 64, 5);
    const Document::Created created =
        numbered ? document->saveNumbered(path) : document->saveNew(path);

    const bool free = there == "nothing";
    QString made;
    if (free)
        made = path;
    else if (numbered)
        made = dir.filePath("Gleistron-56347812-2026-12-09-2.GTB2");
    QCOMPARE(created, made.isEmpty() ? Document::Created::NameTaken : Document::Created::Yes);
    if (!made.isEmpty()) {
        QCOMPARE(document->filePath, made);
        QVERIFY(!QFileInfo(made).isSymLink());
        auto back = std::make_unique<Document>();
        QCOMPARE(back->open(made), Document::Opened::Ok);
        QCOMPARE(back->image.presentRecords(Weichen), 1);
        QCOMPARE(back->image.bank(1)[WeichenOffset + 64 + 9],
                 document->image.bank(1)[WeichenOffset + 64 + 9]);
    }
    // What held the name is as it was, and a link still leads where it led.
    if (there == "file")
        QCOMPARE(contents(path), users);
    if (there.contains("link")) {
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(QFile::symLinkTarget(path), mine);
        QCOMPARE(contents(mine), there == "link" ? users : QByteArray());
        QCOMPARE(QFileInfo::exists(mine), there == "link");
    }
    // Nothing else is left in the folder, no temporary file either.
    QStringList after = before;
    if (!made.isEmpty() && !after.contains(QFileInfo(made).fileName()))
        after << QFileInfo(made).fileName();
    after.sort();
    QCOMPARE(entries(dir.path()), after);
}

// Rotation removes only what surely is the station's backup: no link, no file that does not read
// as one, no other station's. A dated name taken by a link that leads nowhere is not written
// through: the backup takes the next number.
void TestBackupFile::folderRemovesOnlyBackups()
{
    QTemporaryDir dir;
    BackupFolder backups(dir.path());
    auto document = std::make_unique<Document>();
    document->setSource("56347812", "1.300");
    document->image.presentSets[Weichen] = 1;
    document->image.recordStatus[StatusWeichen + 1] = 1;
    fill(document->image.bank(1) + WeichenOffset + 64, 64, 1);
    const BackupFolder::Saved older = backups.save(*document, "56347812", 10, QDate(2026, 12, 1));
    QCOMPARE(older.outcome, BackupFolder::Saved::Written);

    const QDir folder(dir.path());
    const QString link = folder.filePath("Gleistron-56347812-2026-11-01.GTB2");
    const QString unreadable = folder.filePath("Gleistron-56347812-2026-11-02.GTB2");
    const QString otherStation = folder.filePath("Gleistron-56347812-2026-11-03.GTB2");
    const QString dangling = folder.filePath("Gleistron-56347812-2026-12-09.GTB2");
    QVERIFY(QFile::link(older.path, link));
    QVERIFY(put(unreadable, "keine Datensicherung\n"));
    {
        auto other = std::make_unique<Document>();
        other->setSource("11111111", "1.300");
        other->image.presentSets[Weichen] = 1;
        QVERIFY(other->save(otherStation));
    }
    QVERIFY(QFile::link("weg.GTB2", dangling));

    fill(document->image.bank(1) + WeichenOffset + 64, 64, 2);
    const BackupFolder::Saved saved = backups.save(*document, "56347812", 1, QDate(2026, 12, 9));
    QCOMPARE(saved.outcome, BackupFolder::Saved::Written);
    QCOMPARE(QFileInfo(saved.path).fileName(),
             QStringLiteral("Gleistron-56347812-2026-12-09-2.GTB2"));
    QVERIFY(!QFileInfo::exists(folder.filePath("weg.GTB2")));
    QCOMPARE(saved.removed, QStringList{older.path});
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(contents(unreadable), QByteArray("keine Datensicherung\n"));
    QVERIFY(QFileInfo::exists(otherStation));

    // A write beyond the file size limit fails with the system's words and leaves nothing.
    const QStringList before = entries(dir.path());
    fill(document->image.bank(1) + WeichenOffset + 64, 64, 3);
    const BackupFolder::Saved cut =
        underSizeLimit([&] { return backups.save(*document, "56347812", 1, QDate(2026, 12, 9)); });
    QCOMPARE(cut.outcome, BackupFolder::Saved::Failed);
    QCOMPARE(cut.error, QStringLiteral("File too large"));
    QCOMPARE(entries(dir.path()), before);
}

QTEST_GUILESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"

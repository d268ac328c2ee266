// Every route of a document as data (text, CSV, JSON), and as a book read back from its PDF.

#include "../common/clirun.h"
#include "../common/routebytes.h"
#include "backupfile/backupfile.h"
#include "model/dataimage.h"
#include "routes/routebook.h"
#include "routes/routeexport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

namespace {
const QString trickyComment = QStringLiteral("Gleis <2> & \"Nord\"");

// Route 5 uses every command kind, route 12 is programmed but empty, route 17 throws turnout
// 44 the other way.
std::unique_ptr<DataImage> craftedRoutes()
{
    auto image = std::make_unique<DataImage>();
    for (int n = 0; n < 1024; ++n)
        image->recordStatus[size_t(Catalogue::StatusFahrstrassen + n)] = -1;
    image->presentSets[Catalogue::Fahrstrassen] = 1;
    Record five;
    five.comment(trickyComment.toLatin1())
        .byte(30, 0)
        .byte(31, 0)
        .byte(32, 4)
        .byte(33, 7)
        .word(38, 300)
        .byte(42, 0) // card 2: contact 300 free
        .set(0, 1, 3, 44)
        .set(1, 2, 1, 7)
        .set(2, 10, 1, 9)
        .set(3, 11, 4, 20)
        .set(4, 20, 3, 30)
        .set(5, 80, 1, 400)
        .set(6, 90, 0, 12, 25)
        .set(7, 91, 0, 0, 7)
        .set(8, 100, 18, 0)
        .set(9, 100, 2, 33)
        .set(10, 110, 1, 33, 3)
        .set(11, 200, 0, 18, 10)
        .word(282 + 2, 600)
        .word(282 + 4, 1)       // card 5 pair 1: contact 600 permanently occupied ...
        .slot(288, 1, 0, 45, 0) // ... throws turnout 45
        .release(0, 1, 1, 44);
    Record twelve;
    twelve.byte(30, 2);
    Record seventeen;
    seventeen.comment("Einfahrt Gleis 1").byte(30, 1).set(0, 1, 1, 44);
    for (const auto &[n, record] : {std::pair{5, &five}, {12, &twelve}, {17, &seventeen}}) {
        image->storeRoute(n, record->bytes);
        image->recordStatus[size_t(Catalogue::StatusFahrstrassen + n)] = 1;
    }
    return image;
}

QString writeBackup(const QTemporaryDir &dir, const DataImage &image, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    BackupFile::write(file, image, QStringLiteral("56347812"), QStringLiteral("1.300"));
    return path;
}

// The PDF's text, page by page.
QStringList pdfPages(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, "-"});
    if (!pdftotext.waitForFinished(60000))
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
}
} // namespace

class TestRouteBook : public QObject
{
    Q_OBJECT
private slots:
    void exports();
    void index();
    void book();
    void routesKeptWhole();
    void commandLine();
};

void TestRouteBook::exports()
{
    const auto image = craftedRoutes();
    const QList<HeldRoute> routes = RouteExport::held(*image);
    QCOMPARE(routes.size(), 3);
    QCOMPARE(RouteExport::held(*image, {17, 12}).size(), 2);

    QJsonParseError error;
    const QJsonArray array = QJsonDocument::fromJson(RouteExport::json(routes), &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(array.size(), 3);
    const QJsonObject five = array.at(0).toObject();
    QCOMPARE(five.value("number").toInt(), 5);
    QCOMPARE(five.value("comment").toString(), trickyComment);
    QCOMPARE(five.value("mode").toString(), QStringLiteral("Vollautomatik"));
    QCOMPARE(five.value("start").toObject().value("plan").toString(), QStringLiteral("1"));
    QVERIFY(five.value("destination").isNull());
    const QJsonArray cards = five.value("cards").toArray();
    QCOMPARE(cards.size(), 6);
    QCOMPARE(cards.at(2).toObject().value("title").toString(), QStringLiteral("Stellbefehle"));
    QStringList setting;
    for (const QJsonValue &row : cards.at(2).toObject().value("rows").toArray())
        setting << row["type"].toString() + '|' + row["address"].toString() + '|' +
                       row["command"].toString();
    QCOMPARE(setting,
             (QStringList{"Weiche|44|abzweig 3-Weg", "Beleuchtung/Sonstiges|7|ein",
                          "Lichtsignal|10|Hp1", "KS-Lichtsignal|21|Ks2", "Formsignal|31|Hp2",
                          "Rückmelder|400|belegt", "Sperrzeit|12|2.5 Sek", "Sanduhr|-|0.7 Sek",
                          "Lok Fahrbefehl|ZUG-ID|RNORM", "Lok Fahrbefehl|33|WNORM",
                          "Lok Funktionsbefehl|33|F3 ON", "Schaffner|18|1.0 Sek"}));
    // Card 5 numbers its rows in pairs.
    const QJsonArray pair = cards.at(3).toObject().value("rows").toArray();
    QCOMPARE(pair.size(), 2);
    QCOMPARE(pair.at(0)["command"].toString(), QStringLiteral("belegt (Permanent)"));
    QCOMPARE(pair.at(1)["nr"].toInt(), 1);

    // CSV: a header, a line per row, a quoted comment, and a line for the route without rows.
    const QStringList csv = QString::fromUtf8(RouteExport::csv(routes)).split("\r\n");
    QCOMPARE(csv.first(), QStringLiteral("Fahrstrasse,Kommentar,Karte,Typ,Adresse,Befehl"));
    QVERIFY(
        csv.contains(QStringLiteral("5,\"Gleis <2> & \"\"Nord\"\"\",4,Weiche,44,abzweig 3-Weg")));
    QVERIFY(csv.contains(QStringLiteral("12,,,,,")));
    QCOMPARE(csv.filter(QRegularExpression("^5,")).size(), 16);
}

void TestRouteBook::index()
{
    const auto image = craftedRoutes();
    Record hundred;
    hundred.byte(30, 1).set(0, 1, 1, 100);
    image->storeRoute(18, hundred.bytes);
    image->recordStatus[size_t(Catalogue::StatusFahrstrassen + 18)] = 1;
    const QStringList lines = RouteExport::indexLines(RouteExport::held(*image));
    QVERIFY2(lines.contains(QStringLiteral(
                 "Weiche 44: 5 (abzweig 3-Weg, Fahrstrasse auflösen: gerade), 17 (gerade)")),
             qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral("Weiche 45: 5 (Schaltgleisfunktionen: abzweig)")));
    QVERIFY(lines.contains(QStringLiteral("Rückmelder 300: 5 (Fahrstrasse aufrufen: frei)")));
    QVERIFY(lines.contains(QStringLiteral("Lok Fahrbefehl 33: 5 (WNORM)")));
    // A pause has no address and a train's own locomotive no number: neither is an element.
    QVERIFY(lines.filter("Sanduhr").isEmpty());
    QVERIFY(lines.filter("ZUG-ID").isEmpty());
    // By kind, then by address as a number.
    QStringList turnouts = lines.filter(QRegularExpression("^Weiche \\d+:"));
    for (QString &line : turnouts)
        line = line.section(':', 0, 0);
    QCOMPARE(turnouts, (QStringList{"Weiche 44", "Weiche 45", "Weiche 100"}));
}

void TestRouteBook::book()
{
    QTemporaryDir dir;
    const auto image = craftedRoutes();
    const QString path = dir.filePath(QStringLiteral("buch.pdf"));
    QString error;
    QVERIFY(RouteBook::write(
        path, RouteExport::held(*image),
        {"56347812", "1.300", "anlage.GTB2", QDateTime(QDate(2026, 12, 9), QTime(14, 3))}, &error));
    const QStringList pages = pdfPages(path);
    QVERIFY2(pages.size() >= 4, qPrintable(pages.join("|")));
    const QString title = pages.at(0).simplified();
    for (const char *text :
         {"Fahrstrassenbuch", "Gleistron 56347812, Software 1.300", "Datensicherung: anlage.GTB2",
          "Gedruckt am 09.12.2026 14:03", "Fahrstrassen: 3"})
        QVERIFY2(title.contains(QLatin1String(text)), qPrintable(title));
    const QString all = pages.join(QLatin1Char('\n'));
    // Contents: number, comment as it reads (not as markup), and the page it is on.
    const QRegularExpression contentsLine(QStringLiteral("^5\\s+Gleis <2> & \"Nord\"\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch entry = contentsLine.match(pages.at(1));
    QVERIFY2(entry.hasMatch(), qPrintable(pages.at(1)));
    const int page = entry.captured(1).toInt();
    QVERIFY(pages.value(page - 1).contains(QStringLiteral("Fahrstrasse 5 – Gleis <2> & \"Nord\"")));
    QVERIFY(all.contains(QStringLiteral("(keine Einträge)")));
    QVERIFY(all.contains(QStringLiteral("Karte 5: Schaltgleisfunktionen")));
    // The index, and a page number on every page.
    QVERIFY(all.contains(
        QStringLiteral("Weiche 44: 5 (abzweig 3-Weg, Fahrstrasse auflösen: gerade), 17 (gerade)")));
    for (int i = 0; i < pages.size() - 1; ++i)
        QVERIFY2(pages.at(i).contains(
                     QStringLiteral("Seite %1 von %2").arg(i + 1).arg(pages.size() - 1)),
                 qPrintable(pages.at(i)));

    // A folder that is not there: no book, and the reason.
    QVERIFY(!RouteBook::write(dir.filePath(QStringLiteral("fehlt/buch.pdf")),
                              RouteExport::held(*image), {}, &error));
    QVERIFY(!error.isEmpty());
}

void TestRouteBook::routesKeptWhole()
{
    // Sixty routes of ten rows each: none starts on one page and ends on the next, and the
    // contents name the page each starts on, also where one goes on to a new page.
    auto image = std::make_unique<DataImage>();
    image->presentSets[Catalogue::Fahrstrassen] = 1;
    for (int n = 1; n <= 60; ++n) {
        Record record;
        record.comment(QStringLiteral("Strecke %1").arg(n).toLatin1()).byte(30, 0);
        for (int i = 0; i < 10; ++i)
            record.set(i, 1, i % 2, 100 * n + i);
        image->storeRoute(n, record.bytes);
        image->recordStatus[size_t(Catalogue::StatusFahrstrassen + n)] = 1;
    }
    // And one longer than a page: every slot of two cards programmed.
    Record longest;
    longest.comment("Alles").byte(30, 0);
    for (int i = 0; i < 12; ++i)
        longest.word(46 + 2 * i, 300 + i).byte(70 + i, 0); // feedback contacts
    for (int i = 0; i < 20; ++i) {
        longest.set(i, 1, 0, 7000 + i);
        longest.slot(282 + 6 * i, 1, 0, i % 2 ? 7500 + i : 400 + i, 0);
    }
    for (int i = 0; i < 12; ++i)
        longest.release(i, 1, 1, 8000 + i);
    image->storeRoute(61, longest.bytes);
    image->recordStatus[size_t(Catalogue::StatusFahrstrassen + 61)] = 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lang.pdf"));
    QString error;
    QVERIFY(RouteBook::write(path, RouteExport::held(*image), {}, &error));
    const QStringList pages = pdfPages(path);
    const QString contents = pages.mid(1, 2).join('\n');
    for (int n = 1; n <= 60; ++n) {
        const QString heading = QStringLiteral("Fahrstrasse %1 – Strecke %1").arg(n);
        const QRegularExpressionMatch entry =
            QRegularExpression(QStringLiteral("^\\s*%1\\s+Strecke %1\\s+(\\d+)$").arg(n),
                               QRegularExpression::MultilineOption)
                .match(contents);
        const QString lastRow = QStringLiteral("Weiche %1").arg(100 * n + 9);
        int headingPage = -1, lastPage = -2;
        for (int p = 0; p < pages.size(); ++p) {
            if (pages.at(p).contains(heading))
                headingPage = p;
            if (pages.at(p).simplified().contains(QStringLiteral("10 ") + lastRow))
                lastPage = p;
        }
        QVERIFY2(headingPage >= 0 && headingPage == lastPage, qPrintable(heading));
        QCOMPARE(entry.captured(1).toInt(), headingPage + 1);
    }
    int start = -1, end = -1;
    for (int p = 0; p < pages.size(); ++p) {
        if (pages.at(p).contains(QStringLiteral("Fahrstrasse 61 – Alles")))
            start = p;
        if (pages.at(p).contains(QStringLiteral("Weiche 8011")))
            end = p;
    }
    QVERIFY(start > 0 && end > start);
    const QRegularExpressionMatch entry =
        QRegularExpression(QStringLiteral("^\\s*61\\s+Alles\\s+(\\d+)$"),
                           QRegularExpression::MultilineOption)
            .match(contents);
    QCOMPARE(entry.captured(1).toInt(), start + 1);
}

void TestRouteBook::commandLine()
{
    QTemporaryDir dir;
    const auto image = craftedRoutes();
    const QString file = writeBackup(dir, *image, QStringLiteral("anlage.GTB2"));
    // Text as `route` prints each route, one after another.
    const CliRun text = runCli({"routes", file}, QString());
    QCOMPARE(text.exitCode, 0);
    const CliRun one = runCli({"route", file, "17"}, QString());
    QVERIFY(text.out.endsWith(one.out));
    QVERIFY(text.out.contains(QStringLiteral("Kommentar: \"Gleis <2> & \"Nord\"\"")));
    const CliRun json = runCli({"routes", file, "--format", "json", "--lang", "en"}, QString());
    QCOMPARE(json.exitCode, 0);
    const QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QCOMPARE(array.size(), 3);
    QCOMPARE(array.at(2)["cards"][2]["title"].toString(), QStringLiteral("Setting commands"));
    QCOMPARE(runCli({"routes", file, "--format", "xml"}, QString()).exitCode, 2);
    QCOMPARE(runCli({"routes", file, "--format", "csv"}, QString()).out.count('\n'), 19);

    const QString pdf = dir.filePath(QStringLiteral("book.pdf"));
    const CliRun book = runCli({"route-book", file, pdf, "--lang", "en"}, QString());
    QCOMPARE(book.exitCode, 0);
    const QString all = pdfPages(pdf).join('\n');
    QVERIFY(all.contains(QStringLiteral("Route book")));
    QVERIFY(all.contains(QStringLiteral("Contents")));
    QVERIFY(all.contains(QStringLiteral("Index of elements")));
    QVERIFY(all.contains(QStringLiteral("Backup: anlage.GTB2")));

    // A backup without routes has no book.
    auto empty = std::make_unique<DataImage>();
    const QString none = writeBackup(dir, *empty, QStringLiteral("leer.GTB2"));
    QCOMPARE(runCli({"route-book", none, dir.filePath("leer.pdf")}, QString()).exitCode, 1);
    QVERIFY(!QFile::exists(dir.filePath("leer.pdf")));
}

QTEST_MAIN(TestRouteBook)
#include "tst_routebook.moc"

// The routes tab through the window: list colours, the shown route, the loader, the printout;
// and the tab on its own.

#include "../common/simprocess.h"
#include "../common/windowtest.h"
#include "backupfile/backupfile.h"
#include "backupfile/document.h"
#include "ui/documentactions.h"
#include "ui/jobhost.h"
#include "ui/mainwindow.h"
#include "ui/routestab.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>
#include <QTreeWidget>
#include <cstring>

using namespace Catalogue;

class TestRoutesTab : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startState();
    void openedFileColoursAndShows();
    void clearTurnsEverythingGray();
    void loaderReports();
    void languageSwitchKeepsTree();
    void tabWithoutWindow();
    void printout();
    void listFilterAndBook();
    void loaderReadsTheStation();

private:
    QColor colourOf(MainWindow &w, int entry)
    {
        return find<QListWidget>(w, "listWidget_Fahrstrassen")->item(entry)->foreground().color();
    }
    QString cell(MainWindow &w, int card, int row, int column)
    {
        return find<QTreeWidget>(w, "treeWidget_Fahrstrassen")
            ->topLevelItem(card - 2)
            ->child(row)
            ->text(column);
    }
    void select(MainWindow &w, int entry)
    {
        find<QListWidget>(w, "listWidget_Fahrstrassen")->setCurrentRow(entry);
    }
    QString writeRoutesFile(const QList<int> &numbers = {5, 700}); // routes at indices 5 and 700
    std::unique_ptr<WorkingDirectory> dir;
};

void TestRoutesTab::init()
{
    dir = std::make_unique<WorkingDirectory>();
}

void TestRoutesTab::cleanup()
{
    dir.reset();
}

QString TestRoutesTab::writeRoutesFile(const QList<int> &numbers)
{
    auto image = std::make_unique<DataImage>();
    image->presentSets[Fahrstrassen] = 1;
    for (int n : numbers) {
        quint8 *r = image->bank(0) + RouteOffset + n * 512;
        std::memset(r, 0xFF, 512);
        std::memcpy(r, n == 5 ? "Gleis <2> & 3\0" : "Nord\0", n == 5 ? 14 : 5);
        r[30] = 0;
        r[31] = 1, r[32] = 4, r[33] = 7;
        r[84] = 1, r[85] = 1, r[86] = 0, r[87] = 12; // card 4: turnout 12 straight
        image->recordStatus[size_t(StatusFahrstrassen + n)] = 1;
    }
    const QString path = dir->filePath(QStringLiteral("routes.GTB2"));
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    BackupFile::write(file, *image, QString(), QString());
    file.commit();
    return path;
}

void TestRoutesTab::startState()
{
    MainWindow w;
    auto *list = find<QListWidget>(w, "listWidget_Fahrstrassen");
    QCOMPARE(list->count(), 1000);
    QCOMPARE(list->item(999)->text(), QStringLiteral("1000"));
    for (int entry : {0, 500, 999})
        QCOMPARE(colourOf(w, entry), QColor(Qt::gray));
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_nr")->text(), QString());
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("(noch nicht geladen!)"));
    QCOMPARE(find<QLabel>(w, "label_ZIEL_SP")->text(), QStringLiteral("-"));
    auto *tree = find<QTreeWidget>(w, "treeWidget_Fahrstrassen");
    QCOMPARE(tree->topLevelItem(3)->childCount(), 20);
    QCOMPARE(tree->topLevelItem(3)->child(3)->text(1), QStringLiteral("2")); // pairs on card 5
    QCOMPARE(tree->topLevelItem(5)->text(4), QStringLiteral("Fahrstrasse auflösen"));
    select(w, 2);
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_nr")->text(), QStringLiteral("3"));
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("(nicht geladen!)"));
}

void TestRoutesTab::openedFileColoursAndShows()
{
    MainWindow w;
    select(w, 4);
    w.documentActions().openFile(writeRoutesFile());
    // The route selected before the open keeps its old view until the selection changes.
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("(nicht geladen!)"));
    QCOMPARE(colourOf(w, 4), QColor(Qt::black));
    QCOMPARE(colourOf(w, 699), QColor(Qt::black));
    QCOMPARE(colourOf(w, 5), QColor(Qt::darkGreen));
    QCOMPARE(colourOf(w, 999), QColor(Qt::darkGreen));
    select(w, 5);
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("Datensatz ist leer!"));
    select(w, 4);
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_nr")->text(), QStringLiteral("5"));
    QCOMPARE(find<QLineEdit>(w, "lineEdit_Fahrstrasse_TXT")->text(),
             QStringLiteral("Gleis <2> & 3"));
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(), QStringLiteral("Vollautomatik"));
    QCOMPARE(find<QLabel>(w, "label_START_PL")->text(), QStringLiteral("2"));
    QCOMPARE(find<QLabel>(w, "label_ZIEL_PL")->text(), QStringLiteral("-"));
    QCOMPARE(cell(w, 4, 0, 2), QStringLiteral("Weiche"));
    QCOMPARE(cell(w, 4, 0, 3), QStringLiteral("12"));
    QCOMPARE(cell(w, 4, 0, 4), QStringLiteral("gerade"));
    select(w, 5);
    QCOMPARE(cell(w, 4, 0, 2), QString()); // cleared for a route without record
}

void TestRoutesTab::clearTurnsEverythingGray()
{
    MainWindow w;
    w.documentActions().openFile(writeRoutesFile());
    w.documentActions().clearNow();
    for (int entry : {4, 5, 699, 999})
        QCOMPARE(colourOf(w, entry), QColor(Qt::gray));
    select(w, 999);
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("(nicht geladen!)"));
}

void TestRoutesTab::loaderReports()
{
    MainWindow w;
    w.routesTab().routesLoaded(7, false);
    QCOMPARE(int(w.document().image.recordStatus[size_t(Catalogue::StatusFahrstrassen + 7)]), 0);
    QCOMPARE(colourOf(w, 6), QColor(Qt::gray));
    w.routesTab().routesLoaded(7, true);
    QCOMPARE(int(w.document().image.recordStatus[size_t(Catalogue::StatusFahrstrassen + 7)]), 1);
    QCOMPARE(colourOf(w, 6), QColor(Qt::black));
    w.routesTab().routesLoaded(0, true); // index 0 is not listed
    QCOMPARE(int(w.document().image.recordStatus[size_t(Catalogue::StatusFahrstrassen + 0)]), 1);
    QCOMPARE(colourOf(w, 0), QColor(Qt::gray));
}

void TestRoutesTab::languageSwitchKeepsTree()
{
    MainWindow w;
    w.documentActions().openFile(writeRoutesFile());
    select(w, 4);
    find<QRadioButton>(w, "radioButton_English")->click();
    QCOMPARE(find<QLabel>(w, "label_START_PL")->text(), QStringLiteral("-"));
    QCOMPARE(find<QLineEdit>(w, "lineEdit_Fahrstrasse_TXT")->text(),
             QStringLiteral("Gleis <2> & 3"));
    QCOMPARE(cell(w, 4, 0, 3), QStringLiteral("12"));
    // The header's own text for an empty route follows the switch too.
    find<QRadioButton>(w, "radioButton_German")->click();
    select(w, 5);
    QVERIFY(QFile::copy(QStringLiteral(GLEISTRON_QM), QStringLiteral("language_en.qm")));
    find<QRadioButton>(w, "radioButton_English")->click();
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(),
             QStringLiteral("Record is empty!"));
    find<QRadioButton>(w, "radioButton_German")->click();
}

// A document and a host are all the tab needs; the application's language change reaches its
// form and its own texts, and the route shown stays.
void TestRoutesTab::tabWithoutWindow()
{
    struct Host : JobHost
    {
        bool refuseWhileBusy() override { return true; }
        void trackJob(StationLink *, bool) override {}
        void connectStatus(StationLink *) override {}
        QString stationSerial() const override { return QString(); }
    } host;
    Document document;
    QCOMPARE(document.open(writeRoutesFile()), Document::Opened::Ok);
    RoutesTab tab(host, document);
    tab.build();
    tab.routesLoaded(1024, true);
    QCOMPARE(tab.objectName(), QStringLiteral("tab_Routes"));
    const auto label = [&tab](const char *name) {
        auto *found = tab.findChild<QLabel *>(QLatin1String(name));
        return found ? found->text() : QStringLiteral("<missing>");
    };
    tab.findChild<QListWidget *>(QStringLiteral("listWidget_Fahrstrassen"))->setCurrentRow(5);
    QCOMPARE(label("label_Fahrstrasse_modus"), QStringLiteral("Datensatz ist leer!"));
    QCOMPARE(label("label_Fahrstrassen_anzahl"), QStringLiteral("2 Fahrstrassen belegt"));

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(GLEISTRON_QM)));
    QCoreApplication::installTranslator(&english);
    QTRY_COMPARE(label("label_kommentar_caption"), QStringLiteral("Comment:"));
    QCOMPARE(label("label_Fahrstrasse_modus"), QStringLiteral("Record is empty!"));
    QCOMPARE(label("label_Fahrstrassen_anzahl"), QStringLiteral("2 routes held"));
    QCOMPARE(label("label_Fahrstrasse_nr"), QStringLiteral("6"));
    QCoreApplication::removeTranslator(&english);
    QTRY_COMPARE(label("label_kommentar_caption"), QStringLiteral("Kommentar:"));
    QCOMPARE(label("label_Fahrstrasse_modus"), QStringLiteral("Datensatz ist leer!"));
}

void TestRoutesTab::printout()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    QVERIFY2(!pdftotext.isEmpty() && !pdfinfo.isEmpty(), "poppler-utils missing");
    MainWindow w;
    w.documentActions().openFile(writeRoutesFile());
    select(w, 4);
    {
        // No viewer on the path: the console says where the file is and that none opened it.
        QTemporaryDir nothing;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(nothing.path()));
        w.routesTab().print();
        qputenv("PATH", path);
    }
    QVERIFY(QFile::exists(QStringLiteral("Fahrstrasse.pdf")));
    const QString console = find<QTextEdit>(w, "textEdit_console")->toPlainText();
    QVERIFY2(console.contains(QStringLiteral("Fahrstrasse.pdf geschrieben nach ") +
                              QFileInfo(QStringLiteral("Fahrstrasse.pdf")).absoluteFilePath()),
             qPrintable(console));
    QVERIFY(console.contains(QStringLiteral("Kein Programm zum Anzeigen von PDF-Dateien")));
    QProcess info;
    info.start(pdfinfo, {QStringLiteral("Fahrstrasse.pdf")});
    QVERIFY(info.waitForFinished());
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(meta.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(meta));
    QVERIFY2(meta.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842")),
             qPrintable(meta));
    QProcess text;
    text.start(pdftotext, {QStringLiteral("Fahrstrasse.pdf"), QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    if (qEnvironmentVariableIsSet("KEEP_PDF"))
        QFile::copy(QStringLiteral("Fahrstrasse.pdf"), qEnvironmentVariable("KEEP_PDF"));
    QVERIFY2(page.contains(QStringLiteral("\"Gleis <2> & 3\"")), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("Fahrstrasse 5")), qPrintable(page));
}

// The list names each held route by its comment, filters by number or text and by held, and
// the book takes the selected routes when more than one is selected.
void TestRoutesTab::listFilterAndBook()
{
    MainWindow w;
    auto *list = find<QListWidget>(w, "listWidget_Fahrstrassen");
    auto *hint = find<QLabel>(w, "label_Fahrstrassen_hinweis");
    auto *book = w.findChild<QAction *>(QStringLiteral("actionFahrstrassenbuch"));
    QVERIFY(!hint->isHidden());
    QVERIFY(!book->isEnabled());
    w.documentActions().openFile(writeRoutesFile({5, 700, 1010}));
    QVERIFY(hint->isHidden());
    QVERIFY(book->isEnabled());
    // Loaded, none chosen yet; the count says what the list leaves out.
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_modus")->text(), QString());
    QCOMPARE(find<QLabel>(w, "label_Fahrstrassen_anzahl")->text(),
             QStringLiteral("3 Fahrstrassen belegt, davon 1 mit Nummer über 1000 (nicht in der "
                            "Liste, aber im Fahrstrassenbuch und im Export)"));
    QCOMPARE(list->item(4)->text(), QStringLiteral("5  Gleis <2> & 3"));
    QCOMPARE(list->item(699)->text(), QStringLiteral("700  Nord"));
    QCOMPARE(list->item(5)->text(), QStringLiteral("6"));
    QCOMPARE(colourOf(w, 4), QColor(Qt::black)); // the colours stay
    if (qEnvironmentVariableIsSet("KEEP_SCREENSHOTS")) {
        find<QTabWidget>(w, "tabWidget")->setCurrentIndex(2);
        select(w, 4);
        w.show();
        w.grab().save(qEnvironmentVariable("KEEP_SCREENSHOTS") + "/routes.png");
    }

    const auto shown = [list] {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->isHidden())
                texts << list->item(i)->text();
        }
        return texts;
    };
    auto *filter = find<QLineEdit>(w, "lineEdit_Fahrstrassen_filter");
    filter->setText(QStringLiteral("nord"));
    QCOMPARE(shown(), QStringList{"700  Nord"});
    filter->setText(QStringLiteral("70"));
    QCOMPARE(shown().size(), 11); // 70 and 700 to 709, not 7
    QVERIFY(!shown().contains(QStringLiteral("7")));
    filter->clear();
    find<QCheckBox>(w, "checkBox_Fahrstrassen_belegt")->setChecked(true);
    QCOMPARE(shown(), (QStringList{"5  Gleis <2> & 3", "700  Nord"}));
    // The last key goes to the last route shown, and shows that one.
    find<QTabWidget>(w, "tabWidget")->setCurrentIndex(2);
    w.show();
    select(w, 4);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentRow(), 699);
    QCOMPARE(find<QLabel>(w, "label_Fahrstrasse_nr")->text(), QStringLiteral("700"));

    // One route selected: the book holds all; two: the two.
    select(w, 4);
    QVERIFY(w.routesTab().bookRoutes().isEmpty());
    list->item(699)->setSelected(true);
    QCOMPARE(w.routesTab().bookRoutes(), (QList<int>{5, 700}));
    list->item(699)->setSelected(false);
    list->item(5)->setSelected(true); // an empty route: nothing to print of it
    QVERIFY(w.routesTab().writeBook(QStringLiteral("buch.pdf")));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("buch.pdf"), QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(pages.contains(QStringLiteral("Fahrstrassen: 1")), qPrintable(pages));
    QVERIFY(!pages.contains(QStringLiteral("Nord")));
    QVERIFY(w.routesTab().exportCsv(QStringLiteral("routen.csv")));
    QFile csv(QStringLiteral("routen.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), QByteArray("Fahrstrasse,Kommentar,Karte,Typ,Adresse,Befehl\r\n"
                                       "5,Gleis <2> & 3,4,Weiche,12,gerade\r\n"));
    // Unwritable: said in the console, nothing claimed.
    QVERIFY(!w.routesTab().writeBook(QStringLiteral("fehlt/buch.pdf")));
    QVERIFY(
        find<QTextEdit>(w, "textEdit_console")->toPlainText().contains("kann nicht geschrieben"));

    w.documentActions().clearNow();
    QVERIFY(!hint->isHidden());
    QVERIFY(!book->isEnabled());
    QCOMPARE(list->item(4)->text(), QStringLiteral("5"));
}

void TestRoutesTab::loaderReadsTheStation()
{
    SimProcess sim({"--sample"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    MainWindow w;
    w.routesTab().startLoader();
    QTRY_VERIFY_WITH_TIMEOUT(!w.jobsRunning(), 60000);
    QTRY_COMPARE(colourOf(w, 0), QColor(Qt::black)); // route 1 of the sample
    QCOMPARE(colourOf(w, 89), QColor(Qt::gray));     // route 90 is empty there
    select(w, 0);
    QCOMPARE(find<QLineEdit>(w, "lineEdit_Fahrstrasse_TXT")->text(),
             QStringLiteral("Einfahrt Gleis 1"));
}

QTEST_MAIN(TestRoutesTab)
#include "tst_routestab.moc"

// Every text the code and the window hand to the translator has an English translation.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
// context + '\x1f' + source, for every message that has a finished translation (or any, when
// `anyMessage` is set)
QSet<QString> messages(const QString &path, bool anyMessage)
{
    QSet<QString> found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return found;
    QXmlStreamReader xml(&file);
    QString context, source, translation;
    bool unfinished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("translation")) {
                unfinished = xml.attributes().hasAttribute(QLatin1String("type"));
                translation = xml.readElementText(
                    QXmlStreamReader::IncludeChildElements); // plural forms inside
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            if (anyMessage || (!unfinished && !translation.isEmpty()))
                found.insert(context + QChar(0x1f) + source);
        }
    }
    return found;
}
} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void everyTextTranslated();
};

void TestCatalogue::everyTextTranslated()
{
    QTemporaryDir dir;
    const QString extracted = dir.filePath(QStringLiteral("code.ts"));
    QStringList folders;
    for (const char *folder :
         {"app", "ui", "model", "link", "commands", "backupfile", "datasets", "lsbupdate", "routes",
          "workflows"})
        folders << QDir(QStringLiteral(GLEISTRON_SOURCE)).filePath(QLatin1String(folder));
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUPDATE),
                  QStringList{"-silent"} + folders + QStringList{"-ts", extracted});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    const QSet<QString> inCode = messages(extracted, true);
    QVERIFY(inCode.size() > 100);
    const QSet<QString> translated = messages(
        QDir(QStringLiteral(GLEISTRON_SOURCE)).filePath("resources/language_en.ts"), false);
    QStringList missing;
    for (const QString &message : inCode) {
        if (!translated.contains(message))
            missing << QString(message).replace(QChar(0x1f), QLatin1String(": "));
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"

#include "backupfolder.h"

#include "backupfile.h"
#include "document.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <memory>

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// A set's records as one and as several, as the summary of changes counts them ("counted"
// keeps them apart from the check boxes' captions).
struct Text
{
    const char *source;
    const char *comment;
};
struct Noun
{
    const char *key;
    Text one;
    Text many;
};

const Noun nouns[] = {
    {"lokomotiven", QT_TRANSLATE_NOOP3("MainWindow", "Lokomotive", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Lokomotiven", "counted")},
    {"loklisten", QT_TRANSLATE_NOOP3("MainWindow", "Lokliste", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Loklisten", "counted")},
    {"gleisplan1", QT_TRANSLATE_NOOP3("MainWindow", "Block von Gleisplan 1", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Blöcke von Gleisplan 1", "counted")},
    {"gleisplan2", QT_TRANSLATE_NOOP3("MainWindow", "Block von Gleisplan 2", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Blöcke von Gleisplan 2", "counted")},
    {"gleisplan3", QT_TRANSLATE_NOOP3("MainWindow", "Block von Gleisplan 3", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Blöcke von Gleisplan 3", "counted")},
    {"weichen", QT_TRANSLATE_NOOP3("MainWindow", "Schaltartikel", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Schaltartikel", "counted")},
    {"rueckmelder", QT_TRANSLATE_NOOP3("MainWindow", "Rückmelder", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Rückmelder", "counted")},
    {"fahrstrassen", QT_TRANSLATE_NOOP3("MainWindow", "Fahrstrasse", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Fahrstrassen", "counted")},
    {"lsb", QT_TRANSLATE_NOOP3("MainWindow", "LSB-Gerät", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "LSB-Geräte", "counted")},
    {"hsb", QT_TRANSLATE_NOOP3("MainWindow", "HSB-Gerät", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "HSB-Geräte", "counted")},
    {"system", QT_TRANSLATE_NOOP3("MainWindow", "Systemkonfiguration", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Systemkonfiguration", "counted")},
    {"s88", QT_TRANSLATE_NOOP3("MainWindow", "S88-Konfiguration", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "S88-Konfiguration", "counted")},
    {"lokbilder", QT_TRANSLATE_NOOP3("MainWindow", "Lokbild", "counted"),
     QT_TRANSLATE_NOOP3("MainWindow", "Lokbilder", "counted")},
};

bool sameData(const Document &a, const Document &b)
{
    return a.image.presentSets == b.image.presentSets && a.image.s88Present == b.image.s88Present &&
           BackupDiff::compare(a.image, b.image).isEmpty();
}

} // namespace

BackupFolder::BackupFolder(const QString &path) : folder(path) {}

QString BackupFolder::defaultPath()
{
    return QDir::home().filePath(QStringLiteral("Gleistron-Sicherungen"));
}

QList<BackupFolder::Backup> BackupFolder::backups(const QString &serial) const
{
    // The names BackupFile::freeName gives, and no others.
    static const QRegularExpression pattern(QStringLiteral(
        "^Gleistron-([0-9A-Za-z]+)-(\\d{4}-\\d{2}-\\d{2})(?:-([2-9]|[1-9]\\d+))?\\.GTB2$"));
    QList<Backup> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("Gleistron-*.GTB2")}, QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        Backup backup{dir.filePath(name), match.captured(1),
                      QDate::fromString(match.captured(2), Qt::ISODate),
                      match.captured(3).isEmpty() ? 1 : match.captured(3).toInt()};
        if (!backup.date.isValid() || (!serial.isEmpty() && backup.serial != serial.toUpper()))
            continue;
        found << backup;
    }
    std::sort(found.begin(), found.end(), [](const Backup &a, const Backup &b) {
        return a.date != b.date ? a.date < b.date : a.number < b.number;
    });
    return found;
}

namespace {

// A backup the folder may compare with and remove: a regular file, not a link to one, that
// opens whole, without damage even in its meta block, and names the station.
std::unique_ptr<Document> ownBackup(const QString &path, const QString &serial)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return nullptr;
    auto document = std::make_unique<Document>();
    if (document->open(path) != Document::Opened::Ok || !document->damage.isEmpty() ||
        document->sourceSerial.toUpper() != serial.toUpper())
        return nullptr;
    return document;
}

} // namespace

BackupFolder::Saved BackupFolder::save(Document &document, const QString &serial, int keep,
                                       const QDate &today)
{
    Saved saved;
    if (!QDir().mkpath(folder)) {
        saved.error = translated("Der Ordner %1 kann nicht angelegt werden.").arg(folder);
        return saved;
    }
    const QString base = QDir(folder).filePath(BackupFile::proposedName(serial, today));
    const QString named = QFileInfo(base).fileName().section(QLatin1Char('-'), 1, 1);
    QList<Backup> earlier;
    for (const Backup &backup : backups())
        if (backup.serial == named)
            earlier << backup;
    for (auto newest = earlier.crbegin(); newest != earlier.crend(); ++newest) {
        if (const auto held = ownBackup(newest->path, serial)) {
            if (sameData(*held, document)) {
                saved.outcome = Saved::Unchanged;
                saved.path = newest->path;
                return saved;
            }
            break;
        }
    }
    // After the day's last number, not in a gap that rotation left: names sort as they were
    // written. A name taken meanwhile (another run into this folder) gets the next one.
    int number = 0;
    for (const Backup &backup : std::as_const(earlier)) {
        if (backup.date == today)
            number = qMax(number, backup.number);
    }
    if (document.saveNumbered(base, number + 1) != Document::Created::Yes) {
        saved.error = document.errorText;
        return saved; // nothing removed after a failed save
    }
    saved.outcome = Saved::Written;
    saved.path = document.filePath;
    // Only what is surely this station's backup goes: not a link, not a file that does not
    // read as one.
    QStringList own;
    for (const Backup &backup : backups()) {
        if (backup.serial == named && (backup.path == saved.path || ownBackup(backup.path, serial)))
            own << backup.path;
    }
    for (int i = 0; i < own.size() - keep; ++i) {
        if (own.at(i) != saved.path && QFile::remove(own.at(i)))
            saved.removed << own.at(i);
    }
    return saved;
}

QList<BackupFolder::Listed> BackupFolder::history(int limit) const
{
    QList<Backup> all = backups();
    std::sort(all.begin(), all.end(), [](const Backup &a, const Backup &b) {
        return a.date != b.date ? a.date > b.date : a.number > b.number;
    });
    all = all.mid(0, limit);
    QList<Listed> listed;
    for (const Backup &backup : std::as_const(all))
        listed.append({backup, QFileInfo(backup.path).lastModified(), QString(), QString(), true,
                       false, QString()});
    // Station by station, oldest first, with only the one before kept open: a full backup
    // takes some megabytes in memory.
    QStringList serials;
    for (const Backup &backup : std::as_const(all)) {
        if (!serials.contains(backup.serial))
            serials << backup.serial;
    }
    for (const QString &serial : std::as_const(serials)) {
        std::unique_ptr<Document> previous;
        const QList<Backup> ofStation = backups(serial);
        // From the one before the oldest listed.
        int first = 0;
        while (first < ofStation.size() &&
               std::none_of(listed.cbegin(), listed.cend(), [&](const Listed &entry) {
                   return entry.backup.path == ofStation.at(first).path;
               }))
            ++first;
        for (const Backup &backup : ofStation.mid(qMax(0, first - 1))) {
            auto current = std::make_unique<Document>();
            const Document::Opened how = current->open(backup.path);
            const bool whole = how == Document::Opened::Ok && current->damage.isEmpty();
            for (Listed &entry : listed) {
                if (entry.backup.path != backup.path)
                    continue;
                entry.readable = whole || how == Document::Opened::Incomplete;
                entry.damaged = entry.readable && !whole;
                if (!whole)
                    break;
                entry.sets = setsText(*current);
                if (previous) {
                    entry.changes = changesSince(*previous, *current);
                    entry.previous = previous->filePath;
                }
            }
            if (whole)
                previous = std::move(current);
        }
    }
    return listed;
}

BackupFolder::RecordHistory BackupFolder::recordHistory(const QString &set, int number) const
{
    using namespace Catalogue;
    RecordHistory history;
    // The set whose presence says whether a backup holds the record: the locomotive lists
    // travel with the locomotives, S88 has a mark of its own.
    const bool s88 = set == QLatin1String("s88");
    const int held = set == QLatin1String("loklisten") ? int(Lokomotiven)
                     : s88                             ? int(System)
                                                       : indexOfKey(set);
    if (held < 0)
        return history;
    auto holds = [&](const Document &document) {
        return s88 ? document.image.s88Present : document.image.presentSets[size_t(held)] != 0;
    };
    QStringList serials;
    for (const Backup &backup : backups()) {
        if (!serials.contains(backup.serial))
            serials << backup.serial;
    }
    // Two documents, swapped: each opening reuses the memory of the one two before.
    auto previous = std::make_unique<Document>(), current = std::make_unique<Document>();
    for (const QString &serial : std::as_const(serials)) {
        bool before = false;
        for (const Backup &backup : backups(serial)) {
            const Document::Opened how = current->open(backup.path);
            if (how != Document::Opened::Ok && how != Document::Opened::Incomplete) {
                history.unreadable << backup.path;
                continue;
            }
            if (how != Document::Opened::Ok || current->incomplete)
                history.damaged << backup.path;
            if (!holds(*current))
                continue;
            if (before) {
                // The selection of the comparison: only the record's set.
                previous->image.selectedSets.fill(0);
                previous->image.selectedSets[size_t(held)] = 1;
                const QList<BackupDiff::Line> lines =
                    BackupDiff::compare(previous->image, current->image, &previous->image);
                for (const BackupDiff::Line &line : lines) {
                    if (line.set == set && line.number == number)
                        history.changes.append(
                            {backup, line,
                             BackupDiff::details(previous->image, current->image, line)});
                }
            }
            std::swap(previous, current);
            before = true;
        }
    }
    std::stable_sort(history.changes.begin(), history.changes.end(),
                     [](const RecordChange &x, const RecordChange &y) {
                         return x.backup.date != y.backup.date ? x.backup.date < y.backup.date
                                                               : x.backup.number < y.backup.number;
                     });
    return history;
}

// The sets both hold compared record by record; a set only one of them holds is named, not
// counted as records gone or come (a "Vorher sichern" file holds only what an upload replaced).
QList<BackupDiff::Line> BackupFolder::linesSince(const Document &previous, const Document &current)
{
    DataImage both;
    for (int set = 0; set < Catalogue::DataSetCount; ++set)
        both.selectedSets[size_t(set)] =
            current.image.presentSets[size_t(set)] && previous.image.presentSets[size_t(set)];
    return BackupDiff::compare(previous.image, current.image, &both);
}

QString BackupFolder::changesSince(const Document &previous, const Document &current)
{
    QStringList onlyNow, onlyBefore;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        const bool now = current.image.presentSets[size_t(set)] != 0;
        const bool before = previous.image.presentSets[size_t(set)] != 0;
        if (now != before)
            (now ? onlyNow : onlyBefore) << translated(Catalogue::entry(set).name);
    }
    const QList<BackupDiff::Line> lines = linesSince(previous, current);
    QString text = lines.isEmpty() ? translated("keine Änderung") : changeText(lines);
    if (!onlyNow.isEmpty())
        text += QStringLiteral("; ") +
                translated("nur in dieser: %1").arg(onlyNow.join(QStringLiteral(", ")));
    if (!onlyBefore.isEmpty())
        text += QStringLiteral("; ") +
                translated("nicht in dieser: %1").arg(onlyBefore.join(QStringLiteral(", ")));
    return text;
}

QString BackupFolder::changeText(const QList<BackupDiff::Line> &lines)
{
    // set key -> counts of added, removed, changed
    QMap<QString, std::array<int, 3>> counts;
    for (const BackupDiff::Line &line : lines)
        ++counts[line.set][size_t(line.change)];
    QStringList parts;
    for (const Noun &noun : nouns) {
        const auto found = counts.constFind(QLatin1String(noun.key));
        if (found == counts.constEnd())
            continue;
        const char *const changes[3] = {QT_TRANSLATE_NOOP("MainWindow", "%1 %2 neu"),
                                        QT_TRANSLATE_NOOP("MainWindow", "%1 %2 entfernt"),
                                        QT_TRANSLATE_NOOP("MainWindow", "%1 %2 geändert")};
        for (int change : {2, 0, 1}) {
            const int n = (*found)[size_t(change)];
            const Text &text = n == 1 ? noun.one : noun.many;
            if (n > 0)
                parts << translated(changes[change])
                             .arg(n)
                             .arg(QCoreApplication::translate("MainWindow", text.source,
                                                              text.comment));
        }
    }
    return parts.join(QStringLiteral(", "));
}

QString BackupFolder::setsText(const Document &document)
{
    QStringList names;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (document.image.presentSets[size_t(set)])
            names << translated(Catalogue::entry(set).name);
    }
    if (names.size() == Catalogue::DataSetCount)
        return translated("alle");
    return names.join(QStringLiteral(", "));
}

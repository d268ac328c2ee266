#include "document.h"

#include "legacyimport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Catalogue;

Document::Opened Document::open(const QString &path)
{
    const QString upper = path.toUpper();
    const bool legacy = upper.endsWith(QLatin1String(".GTB"));
    if (!legacy && !upper.endsWith(QLatin1String(".GTB2")))
        return Opened::NotABackup;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errorText = file.errorString();
        return Opened::CannotOpen;
    }
    // Checked before the document is touched: a cut or foreign file would import as a station
    // whose configuration is all zeros. The size first, so that no file is read into memory
    // beyond what a backup can be.
    if (legacy &&
        (file.size() < LegacyImport::CompleteLength || file.size() > LegacyImport::LargestFile ||
         LegacyImport::decodedLength(file.readAll()) != LegacyImport::CompleteLength))
        return Opened::NotComplete;
    if (!legacy && file.size() > BackupFile::largestFile())
        return Opened::NotComplete;
    file.seek(0);
    clear();
    setFile(path);
    Opened opened = Opened::Ok;
    if (legacy) {
        const LegacyImport::Result result = LegacyImport::read(file, image, nullptr);
        setSource(result.serial, result.softwareVersion);
    } else {
        const BackupFile::ReadResult result = BackupFile::read(file, image, nullptr);
        setSource(result.serial, result.softwareVersion);
        damage = result.damage;
        checksums = result.checksums;
        incomplete = result.incomplete;
        const bool setDamaged = std::any_of(damage.begin(), damage.end(),
                                            [](const BackupFile::Damage &d) { return d.set >= 0; });
        if (result.incomplete || setDamaged)
            opened = Opened::Incomplete;
    }
    for (int set = 0; set < DataSetCount; ++set) {
        if (image.presentSets[size_t(set)])
            sources[size_t(set)] = {sourceSerial.toUpper(), sourceSoftware, fileName, {}};
    }
    return opened;
}

bool Document::writeWhole(QFileDevice &file)
{
    // A write the system cut short (a file size limit) reaches the file device as a short
    // count that it does not report: the bytes on disk must be all the bytes written.
    errno = 0;
    const bool complete =
        BackupFile::write(file, image, sourceSerial.toUpper(), sourceSoftware) && file.flush();
    const bool cut = complete && file.size() != file.pos();
    if (complete && !cut)
        return true;
    // The system's own words ("No space left on device"), not the device's generic ones.
    errorText = cut ? QString() : file.errorString();
    if (errorText.isEmpty() || errorText == QLatin1String("Unknown error"))
        errorText = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno))
                               : QStringLiteral("not every byte reached the file");
    return false;
}

bool Document::save(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        errorText = file.errorString();
        return false;
    }
    if (!writeWhole(file) || !file.commit()) {
        if (errorText.isEmpty())
            errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    setFile(path);
    modified = false;
    return true;
}

bool Document::nameTaken(const QString &path)
{
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

Document::Created Document::saveNew(const QString &path)
{
    return create(path, false, 1);
}

Document::Created Document::saveNumbered(const QString &path, int first)
{
    return create(path, true, qMax(1, first));
}

Document::Created Document::create(const QString &path, bool numbered, int first)
{
    errorText.clear();
    // Beside the target, so that the link stays on one file system; hidden, and with a name no
    // listing of backups takes.
    const QFileInfo target(path);
    QString temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target.dir().filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(QFile::encodeName(temporary).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        errorText = QString::fromLocal8Bit(std::strerror(errno));
        return Created::Failed;
    }
    const QByteArray temporaryName = QFile::encodeName(temporary);
    // Gone whatever happens: it was never a backup, only its bytes on the way.
    struct Remove
    {
        const QByteArray &name;
        ~Remove() { ::unlink(name.constData()); }
    } remove{temporaryName};
    {
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            errorText = file.errorString();
            return Created::Failed;
        }
        if (!writeWhole(file))
            return Created::Failed;
        if (::fsync(fd) != 0) {
            errorText = QString::fromLocal8Bit(std::strerror(errno));
            return Created::Failed;
        }
    }
    // link(2) refuses a name that is taken by anything, a dangling link included, and never
    // follows it. A file system without hard links (FAT) gets a rename that refuses the same.
    for (int n = first;; ++n) {
        const QString name = numbered ? BackupFile::numberedName(path, n) : path;
        const QByteArray encoded = QFile::encodeName(name);
        int error = ::link(temporaryName.constData(), encoded.constData()) == 0 ? 0 : errno;
        if (error == EPERM || error == EOPNOTSUPP || error == EMLINK)
            error = ::renameat2(AT_FDCWD, temporaryName.constData(), AT_FDCWD, encoded.constData(),
                                RENAME_NOREPLACE) == 0
                        ? 0
                        : errno;
        if (error == 0) {
            setFile(name);
            modified = false;
            return Created::Yes;
        }
        errorText = QString::fromLocal8Bit(std::strerror(error));
        if (error != EEXIST)
            return Created::Failed;
        if (!numbered)
            return Created::NameTaken;
    }
}

void Document::setFile(const QString &path)
{
    filePath = path;
    fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void Document::clear()
{
    image.presentSets.fill(0);
    image.s88Present = false;
    image.recordStatus.fill(0);
    for (int bank = 0; bank < BankCount; ++bank)
        std::fill_n(image.bank(bank), BankSize, quint8(0));
    sourceSerial.clear();
    sourceSoftware.clear();
    sources.fill(Source{});
    damage.clear();
    checksums = false;
    incomplete = false;
    modified = false;
}

bool Document::holdsData() const
{
    return std::any_of(image.presentSets.begin(), image.presentSets.end(),
                       [](quint8 f) { return f != 0; });
}

void Document::setSource(const QString &serial, const QString &software)
{
    sourceSerial = serial;
    sourceSoftware = software;
}

void Document::downloaded(const QList<int> &sets, const QString &serial, const QString &software)
{
    const Source station{serial.toUpper(), software, QString(), QDateTime::currentDateTime()};
    for (int set = 0; set < DataSetCount; ++set) {
        if (sets.contains(set))
            sources[size_t(set)] = station;
        else if (image.selectedSets[size_t(set)] && !image.presentSets[size_t(set)])
            sources[size_t(set)] = Source{}; // cut: no longer held
    }
    // The meta block names one station: the new one only when every held set is its.
    bool allFromStation = true;
    for (int set = 0; set < DataSetCount; ++set) {
        if (image.presentSets[size_t(set)] && sources[size_t(set)].serial != station.serial)
            allFromStation = false;
    }
    if (allFromStation || sourceSerial.isEmpty())
        setSource(serial, software);
    modified = true;
}

bool Document::mixedSources() const
{
    const Source *first = nullptr;
    for (int set = 0; set < DataSetCount; ++set) {
        if (!image.presentSets[size_t(set)])
            continue;
        const Source &s = sources[size_t(set)];
        if (!first)
            first = &s;
        else if (s.serial != first->serial || s.file != first->file)
            return true;
    }
    return false;
}

QString Document::sourceText(const Source &source)
{
    if (!source.file.isEmpty())
        return source.file;
    if (source.serial.isEmpty() && !source.when.isValid())
        return QString();
    return QStringLiteral("Gleistron %1, %2")
        .arg(source.serial, source.when.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

bool Document::damagedSet(int set) const
{
    return std::any_of(damage.begin(), damage.end(),
                       [set](const BackupFile::Damage &d) { return d.set == set; });
}

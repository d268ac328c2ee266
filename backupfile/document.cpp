#include "document.h"

#include "legacyimport.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

using namespace Catalogue;

Document::Opened Document::open(const QString &path)
{
    const QString upper = path.toUpper();
    const bool legacy = upper.endsWith(QLatin1String(".GTB"));
    if (!legacy && !upper.endsWith(QLatin1String(".GTB2")))
        return Opened::NotABackup;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Opened::CannotOpen;
    // Checked before the document is touched: a cut or foreign file would import as a station
    // whose configuration is all zeros.
    if (legacy && LegacyImport::decodedLength(file.readAll()) != LegacyImport::CompleteLength)
        return Opened::NotComplete;
    file.seek(0);
    clear();
    filePath = path;
    fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (legacy) {
        const LegacyImport::Result result = LegacyImport::read(file, image, nullptr);
        setSource(result.serial, result.softwareVersion);
        return Opened::Ok;
    }
    const BackupFile::ReadResult result = BackupFile::read(file, image, nullptr);
    setSource(result.serial, result.softwareVersion);
    return result.incomplete ? Opened::Incomplete : Opened::Ok;
}

bool Document::save(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !BackupFile::write(file, image, sourceSerial.toUpper(), sourceSoftware) || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    filePath = path;
    fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    modified = false;
    return true;
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

#include "ftdlibrary.h"

#include "logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <vector>

QString FtdLibrary::libraryLocation()
{
    const QString explicitPath = qEnvironmentVariable("GLEISTRON_FTD2XX");
    if (!explicitPath.isEmpty())
        return explicitPath;
    if (QCoreApplication::instance()) {
        const QDir appDir(QCoreApplication::applicationDirPath());
        const QStringList candidates = {
            appDir.filePath(QStringLiteral("libftd2xx.so")),
            appDir.filePath(QStringLiteral(GLEISTRON_PRIVATE_LIBDIR "/libftd2xx.so")),
        };
        for (const QString &candidate : candidates) {
            if (QFileInfo::exists(candidate))
                return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return QStringLiteral("ftd2xx");
}

FtdLibrary::FtdLibrary() : library(std::make_unique<QLibrary>(libraryLocation()))
{
    library->load();
    if (!library->isLoaded()) {
        qCDebug(lcLink) << library->errorString();
        throw "Library not found!";
    }
    FT_ListDevices = reinterpret_cast<FT_ListDevices_t>(library->resolve("FT_ListDevices"));
    FT_GetDeviceInfoList =
        reinterpret_cast<FT_GetDeviceInfoList_t>(library->resolve("FT_GetDeviceInfoList"));
    FT_CreateDeviceInfoList =
        reinterpret_cast<FT_CreateDeviceInfoList_t>(library->resolve("FT_CreateDeviceInfoList"));
    FT_Close = reinterpret_cast<FT_Close_t>(library->resolve("FT_Close"));
    if (!FT_ListDevices)
        throw "FT_ListDevices not loaded!";
    if (!FT_GetDeviceInfoList)
        throw "FT_GetDeviceInfoList not loaded!";
    if (!FT_CreateDeviceInfoList)
        throw "FT_CreateDeviceInfoList not loaded!";
    if (!FT_Close)
        throw "FT_Close not loaded!";
}

// The library stays loaded for the life of the process: other workers may still use it.
FtdLibrary::~FtdLibrary() = default;

quint32 FtdLibrary::nr_devices()
{
    DWORD count = 0;
    DWORD dummy = 0;
    if (FT_ListDevices(&count, &dummy, FT_LIST_NUMBER_ONLY) != FT_OK) {
        qCDebug(lcLink, "# nr_devices() failed!!");
        return 0;
    }
    qCDebug(lcLink, "# in nr_devices(): nr = %ld, dummy = %ld", long(count), long(dummy));
    return count;
}

bool FtdLibrary::closeAll()
{
    DWORD num = 0;
    if (FT_CreateDeviceInfoList(&num) != FT_OK)
        return false;
    qCDebug(lcLink, "# in closeAll(): numDevs = %ld", long(num));
    if (num > 0) {
        // Sized by the real node size (104 bytes here), never by the 100 bytes of 32-bit Windows.
        std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(num);
        if (FT_GetDeviceInfoList(nodes.data(), &num) != FT_OK)
            return false;
        for (DWORD i = 0; i < num && i < nodes.size(); ++i)
            FT_Close(nodes[i].ftHandle);
    }
    qCDebug(lcLink, "# closeAll completed");
    return true;
}

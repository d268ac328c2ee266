#include "adapterports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace AdapterPorts {

namespace {

// The device a path names (a link resolved), or the path itself when it does not exist.
QString deviceOf(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString ttyName(const QString &device)
{
    return QFileInfo(deviceOf(device)).fileName();
}

QString readAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

QString processName(const QString &pid)
{
    return readAttribute(QStringLiteral("/proc/%1/comm").arg(pid));
}

} // namespace

bool usbIdentity(const QString &device, Port &port, const QString &sysfs)
{
    const QString tty = QStringLiteral("%1/class/tty/%2/device").arg(sysfs, ttyName(device));
    QString dir = QFileInfo(tty).canonicalFilePath();
    const QString top = QFileInfo(sysfs).canonicalFilePath();
    // tty -> USB interface -> USB device; a few levels at most.
    for (int level = 0; level < 4 && !dir.isEmpty() && dir != top; ++level) {
        const QString vendor = readAttribute(dir + QStringLiteral("/idVendor"));
        if (!vendor.isEmpty()) {
            port.vendorId = quint16(vendor.toUInt(nullptr, 16));
            port.productId =
                quint16(readAttribute(dir + QStringLiteral("/idProduct")).toUInt(nullptr, 16));
            port.serial = readAttribute(dir + QStringLiteral("/serial"));
            port.description = readAttribute(dir + QStringLiteral("/product"));
            return true;
        }
        dir = QFileInfo(dir).path();
    }
    return false;
}

std::vector<Port> list()
{
    std::vector<Port> ports;
    const QString configured = qEnvironmentVariable("GLEISTRON_PORTS");
    if (!configured.isEmpty()) {
        for (const QString &entry : configured.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            Port port;
            port.path = entry.trimmed();
            port.configured = true;
            usbIdentity(port.path, port);
            if (port.serial.isEmpty())
                port.serial = QFileInfo(port.path).fileName();
            if (port.description.isEmpty())
                port.description = QStringLiteral("Gleistron USB");
            ports.push_back(port);
        }
        return ports;
    }
    return makerPorts(QStringLiteral("/sys"));
}

std::vector<Port> makerPorts(const QString &sysfs)
{
    std::vector<Port> ports;
    QStringList names = QDir(sysfs + QStringLiteral("/class/tty"))
                            .entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end());
    // Only the maker's adapters: another USB serial device (a modem, a board) is never opened.
    for (const QString &name : names) {
        Port port;
        if (!usbIdentity(name, port, sysfs) || port.vendorId != makerVendorId)
            continue;
        port.path = QStringLiteral("/dev/") + name;
        if (port.serial.isEmpty())
            port.serial = name;
        ports.push_back(port);
    }
    return ports;
}

QString latencyAttribute(const QString &path)
{
    const QString attribute =
        QStringLiteral("/sys/class/tty/%1/device/latency_timer").arg(ttyName(path));
    if (QFileInfo::exists(attribute))
        return attribute;
    const QString simulated = path + QStringLiteral(".latency_timer");
    return QFileInfo::exists(simulated) ? simulated : QString();
}

QString lockHolder(const QString &device)
{
    QString name = deviceOf(device);
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name = QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString &dir :
         {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QStringLiteral("/etc/locks"),
          QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
          QStringLiteral("/tmp"), QStringLiteral("/var/tmp"), QDir::tempPath()}) {
        QFile lock(QDir(dir).filePath(name));
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = lock.readAll().split('\n');
        const QByteArray pid = lines.value(0).trimmed();
        // A lock left by a process that has ended names nobody.
        if (pid.toLongLong() > 0 && pid.toLongLong() != ::getpid() &&
            QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)))
            return QStringLiteral("%1 (pid %2)")
                .arg(QString::fromLocal8Bit(lines.value(1).trimmed()), QString::fromLatin1(pid));
    }
    return QString();
}

QStringList openedBy(const QString &device)
{
    QStringList users;
    const QString target = QFileInfo(device).canonicalFilePath();
    // A pseudo-terminal's far end keeps it open by design (the simulated station): only its
    // lock file tells of a holder.
    if (target.isEmpty() || target.startsWith(QLatin1String("/dev/pts/")))
        return users;
    const QString self = QString::number(::getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        if (pid.isEmpty() || !pid.at(0).isDigit() || pid == self)
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        const QStringList entries = fds.entryList(QDir::Files | QDir::System);
        for (const QString &fd : entries) {
            if (QFile::symLinkTarget(fds.filePath(fd)) == target) {
                users << QStringLiteral("%1 (pid %2)").arg(processName(pid), pid);
                break;
            }
        }
    }
    return users;
}

QString holder(const QString &device)
{
    const QString locked = lockHolder(device);
    if (!locked.isEmpty())
        return locked;
    return openedBy(device).value(0);
}

} // namespace AdapterPorts

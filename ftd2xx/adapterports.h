#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The adapter list of our adapter library, and what the system says about each port. Shared by
// the library and the program (the port checks), so both see the same ports. Reads sysfs, not
// udev's database: a system without udevd lists the same adapters.
namespace AdapterPorts {

constexpr quint16 makerVendorId = 0x0403;

struct Port
{
    QString path;   // as listed: a GLEISTRON_PORTS entry (possibly a link) or /dev/ttyUSBn
    QString serial; // the USB serial number, else the path's file name
    QString description;
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool configured = false; // from GLEISTRON_PORTS
};

// GLEISTRON_PORTS in its order when set, else every tty whose USB device has the maker's vendor
// id, ordered by name.
std::vector<Port> list();
// The ttys of the maker's adapters in a sysfs mounted at `sysfs`: what list() finds without
// GLEISTRON_PORTS, under /sys.
std::vector<Port> makerPorts(const QString &sysfs);

// The USB device above a tty (/dev/ttyUSB0 or its name), from sysfs; false for a port that is
// not on USB (a pseudo-terminal). Fills ids, serial and description.
bool usbIdentity(const QString &device, Port &port, const QString &sysfs = QStringLiteral("/sys"));

// The latency timer of a port: the kernel driver's attribute of its tty, else a simulated
// adapter's file beside the listed path; empty when it has none.
QString latencyAttribute(const QString &path);

// The program holding a device by its lock file, "name (pid N)", or empty when no living
// process other than this one holds one.
QString lockHolder(const QString &device);
// Other processes that have the device open, "name (pid N)" each (only those this user may
// look into).
QStringList openedBy(const QString &device);
// The lock holder, else the first process that has it open; empty when nobody else does.
QString holder(const QString &device);

} // namespace AdapterPorts

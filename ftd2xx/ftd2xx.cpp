// Our adapter library: the vendor library's binary interface over the kernel's serial driver.
// Adapters are the paths in GLEISTRON_PORTS, or every serial port with the adapter maker's USB
// vendor id.

#include "adapterports.h"
#include "d2xx.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <linux/serial.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

#define FT_EXPORT extern "C" __attribute__((visibility("default")))

Q_LOGGING_CATEGORY(lcAdapter, "gleistron.adapter", QtInfoMsg)

namespace {

constexpr ULONG adapterId = 0x04036001;
constexpr ULONG deviceType232R = 5;

using Adapter = AdapterPorts::Port;

struct Port
{
    std::mutex callMutex; // one call at a time on a handle
    std::unique_ptr<QSerialPort> serial;
    QString device; // canonical path: one owner per device
    QString listed; // the path as listed, beside which a simulated adapter keeps its attributes
    ULONG readTimeoutMs = 0;
    ULONG writeTimeoutMs = 0;
    // What FT_SetLatencyTimer changed, put back at FT_Close: the adapter is left as found.
    QString latencyFile;
    QByteArray latencyBefore;
    bool lowLatencySet = false;
};

std::mutex registryMutex;
std::map<quintptr, std::shared_ptr<Port>> openPorts;
quintptr nextHandle = 1;
std::vector<Adapter> infoListSnapshot;

std::vector<Adapter> listAdapters()
{
    return AdapterPorts::list();
}

std::shared_ptr<Port> portFor(FT_HANDLE handle)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    const auto it = openPorts.find(reinterpret_cast<quintptr>(handle));
    return it == openPorts.end() ? nullptr : it->second;
}

void copyText(char *dest, size_t size, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const size_t n = std::min(size - 1, size_t(bytes.size()));
    std::memcpy(dest, bytes.constData(), n);
    dest[n] = 0;
}

// Tells the causes apart: a port another program holds, one the user may not open, one that
// has gone. A permission error is also what the serial port reports for a held lock.
// Each cause once a port, while it lasts: a search that waits for a held port asks often.
std::map<QString, QString> reportedFailures;

void reportOpenFailure(const QString &path, const QString &device, const QSerialPort &port)
{
    QString text;
    const QString holder = AdapterPorts::holder(device);
    const bool mayOpen = ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
    if (!QFileInfo::exists(device))
        text = QStringLiteral("%1 has gone: was the adapter unplugged?").arg(path);
    else if (!holder.isEmpty() || (port.error() == QSerialPort::PermissionError && mayOpen))
        text = QStringLiteral("%1 is in use by another program%2")
                   .arg(path, holder.isEmpty() ? QString() : QStringLiteral(": ") + holder);
    else if (port.error() == QSerialPort::PermissionError)
        text =
            QStringLiteral("permission denied on %1: is the user in the dialout group?").arg(path);
    else
        text = QStringLiteral("cannot open %1: %2").arg(path, port.errorString());
    std::lock_guard<std::mutex> lock(registryMutex);
    QString &last = reportedFailures[path];
    if (last != text)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    last = text;
}

// The serial port reports a time-out under varying error codes; only the clock tells.
bool timedOut(const QElapsedTimer &clock, int wait)
{
    return wait >= 0 && clock.elapsed() >= wait - 1;
}

// Clears a sticky error so that the next call judges only its own outcome.
bool failed(QSerialPort &port)
{
    const bool bad =
        port.error() != QSerialPort::NoError && port.error() != QSerialPort::TimeoutError;
    port.clearError();
    return bad;
}

void restoreLatency(Port &port)
{
    if (port.lowLatencySet && port.serial->isOpen()) {
        serial_struct flags{};
        const int fd = int(port.serial->handle());
        if (::ioctl(fd, TIOCGSERIAL, &flags) == 0) {
            flags.flags &= ~ASYNC_LOW_LATENCY;
            ::ioctl(fd, TIOCSSERIAL, &flags);
        }
    }
    port.lowLatencySet = false;
    if (!port.latencyFile.isEmpty()) {
        QFile file(port.latencyFile);
        if (file.exists() && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(port.latencyBefore + '\n');
    }
    port.latencyFile.clear();
}

// A port whose device has gone is closed at once: the kernel keeps the tty's number while a
// handle is open, so the replugged adapter would come back under another name. The handle
// stays valid (and fails) until FT_Close.
bool releaseIfGone(Port &port)
{
    if (!port.serial->isOpen() || QFileInfo::exists(port.device))
        return false;
    qCDebug(lcAdapter, "%s: the device has gone; its port is closed", qPrintable(port.listed));
    port.lowLatencySet = false;
    port.serial->close();
    return true;
}

FT_STATUS ioError(Port &port)
{
    releaseIfGone(port);
    return FT_IO_ERROR;
}

} // namespace

FT_EXPORT FT_STATUS FT_ListDevices(PVOID arg1, PVOID arg2, DWORD flags)
{
    const std::vector<Adapter> adapters = listAdapters();
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1)
            return FT_INVALID_PARAMETER;
        *static_cast<DWORD *>(arg1) = DWORD(adapters.size());
        return FT_OK;
    }
    if (flags & FT_LIST_BY_INDEX) {
        const quintptr index = reinterpret_cast<quintptr>(arg1);
        if (index >= adapters.size())
            return FT_DEVICE_NOT_FOUND;
        if (!arg2)
            return FT_INVALID_PARAMETER;
        const Adapter &adapter = adapters[index];
        copyText(static_cast<char *>(arg2), 64,
                 (flags & FT_OPEN_BY_DESCRIPTION) ? adapter.description : adapter.serial);
        return FT_OK;
    }
    return FT_NOT_SUPPORTED;
}

FT_EXPORT FT_STATUS FT_CreateDeviceInfoList(LPDWORD numDevs)
{
    if (!numDevs)
        return FT_INVALID_PARAMETER;
    std::vector<Adapter> adapters = listAdapters();
    std::lock_guard<std::mutex> lock(registryMutex);
    // Handles of ports that have gone are not listed, so nobody would close them: let go of
    // their devices now (unless a call is running on one; it fails and lets go itself).
    for (const auto &entry : openPorts) {
        std::unique_lock<std::mutex> call(entry.second->callMutex, std::try_to_lock);
        if (call.owns_lock() && entry.second->serial)
            releaseIfGone(*entry.second);
    }
    infoListSnapshot = std::move(adapters);
    *numDevs = DWORD(infoListSnapshot.size());
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE *dest, LPDWORD numDevs)
{
    if (!dest || !numDevs)
        return FT_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(registryMutex);
    const DWORD count = DWORD(infoListSnapshot.size());
    for (DWORD i = 0; i < count; ++i) {
        FT_DEVICE_LIST_INFO_NODE &node = dest[i];
        std::memset(&node, 0, sizeof node);
        node.Type = deviceType232R;
        node.ID = adapterId;
        node.LocId = i + 1;
        copyText(node.SerialNumber, sizeof node.SerialNumber, infoListSnapshot[i].serial);
        copyText(node.Description, sizeof node.Description, infoListSnapshot[i].description);
        const QString device = QFileInfo(infoListSnapshot[i].path).canonicalFilePath();
        for (const auto &[handle, port] : openPorts) {
            if (!device.isEmpty() && port->device == device) {
                node.Flags |= FT_FLAGS_OPENED;
                node.ftHandle = reinterpret_cast<FT_HANDLE>(handle);
            }
        }
    }
    *numDevs = count;
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *handle)
{
    if (!handle)
        return FT_INVALID_PARAMETER;
    const std::vector<Adapter> adapters = listAdapters();
    if (deviceNumber < 0 || size_t(deviceNumber) >= adapters.size())
        return FT_DEVICE_NOT_FOUND;
    // Resolved anew at every open: a station that came back on a new terminal is found again.
    const QFileInfo info(adapters[size_t(deviceNumber)].path);
    if (!info.exists())
        return FT_DEVICE_NOT_FOUND;
    const QString device = info.canonicalFilePath();
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        for (const auto &entry : openPorts) {
            if (entry.second->device == device)
                return FT_DEVICE_NOT_OPENED; // one owner per adapter, as with the real driver
        }
    }
    auto port = std::make_shared<Port>();
    port->device = device;
    port->listed = info.absoluteFilePath();
    port->serial = std::make_unique<QSerialPort>();
    port->serial->setPortName(device);
    if (!port->serial->open(QIODevice::ReadWrite)) {
        reportOpenFailure(info.filePath(), device, *port->serial);
        return FT_DEVICE_NOT_OPENED;
    }
    std::lock_guard<std::mutex> lock(registryMutex);
    reportedFailures.erase(info.filePath());
    const quintptr id = nextHandle++;
    openPorts[id] = port;
    *handle = reinterpret_cast<FT_HANDLE>(id);
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Close(FT_HANDLE handle)
{
    if (!handle)
        return FT_INVALID_HANDLE;
    std::shared_ptr<Port> port;
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        const auto it = openPorts.find(reinterpret_cast<quintptr>(handle));
        if (it == openPorts.end())
            return FT_INVALID_HANDLE;
        port = it->second;
        openPorts.erase(it);
    }
    std::lock_guard<std::mutex> call(port->callMutex);
    restoreLatency(*port);
    port->serial->close();
    port->serial.reset();
    return FT_OK;
}

// With GLEISTRON_FTD2XX_TURNAROUND=FILE, the time from a read that got its whole answer to the
// next write (the program's own share of each exchange) is written to FILE at exit: count,
// median, 99th percentile and maximum in microseconds. For the benchmarks.
class Turnaround
{
public:
    Turnaround() : file(qgetenv("GLEISTRON_FTD2XX_TURNAROUND")) { clock.start(); }
    ~Turnaround()
    {
        if (file.isEmpty() || gaps.empty())
            return;
        std::sort(gaps.begin(), gaps.end());
        if (FILE *out = std::fopen(file.constData(), "w")) {
            const auto at = [this](double q) { return gaps[size_t(q * double(gaps.size() - 1))]; };
            std::fprintf(out, "%zu %.1f %.1f %.1f\n", gaps.size(), at(0.5) / 1000.0,
                         at(0.99) / 1000.0, gaps.back() / 1000.0);
            std::fclose(out);
        }
    }
    void answered()
    {
        if (!file.isEmpty())
            last = clock.nsecsElapsed();
    }
    void written()
    {
        if (file.isEmpty() || last < 0)
            return;
        gaps.push_back(double(clock.nsecsElapsed() - last));
        last = -1;
    }

private:
    QByteArray file;
    QElapsedTimer clock;
    qint64 last = -1;
    std::vector<double> gaps;
} turnaround;

#define WITH_PORT(handle)                                                                          \
    const std::shared_ptr<Port> port = portFor(handle);                                            \
    if (!port)                                                                                     \
        return FT_INVALID_HANDLE;                                                                  \
    std::lock_guard<std::mutex> call(port->callMutex);                                             \
    if (!port->serial->isOpen())                                                                   \
        return FT_IO_ERROR;                                                                        \
    QSerialPort &serial = *port->serial

FT_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE handle)
{
    WITH_PORT(handle);
    serial.clear(QSerialPort::AllDirections);
    return failed(serial) ? FT_IO_ERROR : FT_OK;
}

FT_EXPORT FT_STATUS FT_SetBaudRate(FT_HANDLE handle, ULONG baudRate)
{
    WITH_PORT(handle);
    if (baudRate == 0)
        return FT_INVALID_BAUD_RATE;
    const bool ok = serial.setBaudRate(qint32(baudRate));
    return ok && !failed(serial) ? FT_OK : FT_INVALID_BAUD_RATE;
}

FT_EXPORT FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, UCHAR wordLength, UCHAR stopBits,
                                              UCHAR parity)
{
    WITH_PORT(handle);
    if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) ||
        (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2) || parity > FT_PARITY_EVEN)
        return FT_INVALID_PARAMETER;
    const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                            QSerialPort::EvenParity};
    bool ok = serial.setDataBits(wordLength == FT_BITS_8 ? QSerialPort::Data8 : QSerialPort::Data7);
    ok = serial.setStopBits(stopBits == FT_STOP_BITS_1 ? QSerialPort::OneStop
                                                       : QSerialPort::TwoStop) &&
         ok;
    ok = serial.setParity(parities[parity]) && ok;
    ok = serial.setFlowControl(QSerialPort::NoFlowControl) && ok;
    return ok && !failed(serial) ? FT_OK : FT_IO_ERROR;
}

FT_EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG writeTimeoutMs)
{
    WITH_PORT(handle);
    Q_UNUSED(serial);
    port->readTimeoutMs = readTimeoutMs;
    port->writeTimeoutMs = writeTimeoutMs;
    return FT_OK;
}

// The adapter keeps a partly filled packet until its latency timer runs out (16 ms by default).
// The kernel driver offers the timer as an attribute beside the tty, writable by root (our udev
// rule sets it at plug-in), a simulated adapter as a file beside its port. Where it cannot be
// written, the low-latency flag, which any user may set, makes the driver use 1 ms. What is
// changed here is put back at FT_Close: the adapter is left as it was found.
FT_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR latencyMs)
{
    WITH_PORT(handle);
    if (latencyMs < 2)
        return FT_INVALID_PARAMETER;
    const QByteArray wanted = QByteArray::number(latencyMs);
    const QString attribute = AdapterPorts::latencyAttribute(port->listed);
    bool timerSet = false;
    if (!attribute.isEmpty()) {
        QFile file(attribute);
        const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : "";
        file.close();
        if (before == wanted) {
            timerSet = true;
        } else if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(wanted + '\n') > 0 && file.flush()) {
            timerSet = true;
            if (port->latencyFile.isEmpty() && !before.isEmpty()) {
                port->latencyFile = attribute;
                port->latencyBefore = before;
            }
        }
    }
    bool flagSet = false;
    if (!timerSet) {
        serial_struct flags{};
        const int fd = int(serial.handle());
        if (::ioctl(fd, TIOCGSERIAL, &flags) == 0) {
            flagSet = flags.flags & ASYNC_LOW_LATENCY;
            if (!flagSet) {
                flags.flags |= ASYNC_LOW_LATENCY;
                flagSet = port->lowLatencySet = ::ioctl(fd, TIOCSSERIAL, &flags) == 0;
            }
        }
        qCDebug(lcAdapter, "%s: no latency timer attribute could be written%s",
                qPrintable(port->listed),
                flagSet ? "; the low-latency flag is set until the port is closed"
                        : ", and the driver takes no low-latency flag");
    }
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Purge(FT_HANDLE handle, ULONG mask)
{
    WITH_PORT(handle);
    if (mask & FT_PURGE_RX)
        serial.clear(QSerialPort::Input);
    if (mask & FT_PURGE_TX)
        serial.clear(QSerialPort::Output);
    return failed(serial) ? FT_IO_ERROR : FT_OK;
}

FT_EXPORT FT_STATUS FT_Write(FT_HANDLE handle, LPVOID buffer, DWORD toWrite, LPDWORD written)
{
    turnaround.written();
    WITH_PORT(handle);
    if (!written || (!buffer && toWrite > 0))
        return FT_INVALID_PARAMETER;
    *written = 0;
    serial.clearError();
    if (serial.write(static_cast<const char *>(buffer), toWrite) < 0)
        return ioError(*port);
    QElapsedTimer clock;
    clock.start();
    while (serial.bytesToWrite() > 0) {
        int wait = -1; // a write time-out of 0 means none
        if (port->writeTimeoutMs > 0) {
            wait = int(port->writeTimeoutMs - clock.elapsed());
            if (wait <= 0)
                break;
        }
        if (!serial.waitForBytesWritten(wait) && !timedOut(clock, wait)) {
            serial.clearError();
            return ioError(*port);
        }
    }
    const qint64 pending = serial.bytesToWrite();
    *written = DWORD(toWrite - std::min<qint64>(pending, toWrite));
    if (pending > 0)
        serial.clear(QSerialPort::Output);
    return FT_OK;
}

FT_EXPORT FT_STATUS FT_Read(FT_HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD returned)
{
    WITH_PORT(handle);
    if (!returned || (!buffer && toRead > 0))
        return FT_INVALID_PARAMETER;
    char *dest = static_cast<char *>(buffer);
    DWORD got = 0;
    serial.clearError();
    QElapsedTimer clock;
    clock.start();
    while (got < toRead) {
        if (serial.bytesAvailable() > 0) {
            const qint64 n = serial.read(dest + got, toRead - got);
            if (n < 0)
                return ioError(*port);
            got += DWORD(n);
            continue;
        }
        int wait = -1; // a read time-out of 0 waits for all bytes
        if (port->readTimeoutMs > 0) {
            wait = int(qint64(port->readTimeoutMs) - clock.elapsed());
            if (wait <= 0)
                break;
        }
        if (!serial.waitForReadyRead(wait) && !timedOut(clock, wait)) {
            serial.clearError();
            return ioError(*port); // hang-up or read error before the time-out: the port is gone
        }
    }
    *returned = got;
    if (got < toRead && releaseIfGone(*port))
        return FT_IO_ERROR;
    if (got == toRead && got > 0)
        turnaround.answered();
    return FT_OK;
}

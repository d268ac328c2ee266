#include "ptyport.h"

#include "link/frame.h"
#include "simprotocol.h"
#include "simstation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

void WireConditions::applyWrongEcho(const QByteArray &request, int answerNumber, QByteArray &answer)
{
    if (wrongEchoAt > 0 && answerNumber == wrongEchoAt) {
        wrongEchoRequest = request;
        wrongEchoLeft = wrongEchoTimes;
    }
    if (wrongEchoLeft <= 0 || request != wrongEchoRequest)
        return;
    --wrongEchoLeft;
    // The next sub-operation: for a read the matching write's, as a confused station might.
    answer[1] = char(quint8(answer.at(1)) + 1);
    finishFrame(reinterpret_cast<quint8 *>(answer.data()));
}

bool WireConditions::happens(double probability)
{
    if (probability <= 0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(random) < probability;
}

PtyPort::PtyPort(int index, const QString &mode, SimStation &station, WireConditions &wire,
                 const QString &linkDir, QObject *parent)
    : QObject(parent), index(index), mode(mode), station(station), wire(wire)
{
    if (!linkDir.isEmpty())
        linkPath = QDir(linkDir).absoluteFilePath(QStringLiteral("gleistron%1").arg(index));
}

int PtyPort::latencyMs() const
{
    QFile attribute(linkPath + QStringLiteral(".latency_timer"));
    const int set = attribute.open(QIODevice::ReadOnly) ? attribute.readAll().trimmed().toInt() : 0;
    return set > 0 ? qMin(set, wire.usbLatencyMs) : wire.usbLatencyMs;
}

PtyPort::~PtyPort()
{
    if (!pending.isEmpty())
        reject(pending, QStringLiteral("incomplete frame"));
    closeTerminal();
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        QFile::remove(linkPath + QStringLiteral(".latency_timer"));
    }
}

QString PtyPort::path() const
{
    return linkPath.isEmpty() ? terminalPath : linkPath;
}

bool PtyPort::create()
{
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return false;
    const char *name = ptsname(master);
    if (!name)
        return false;
    terminalPath = QString::fromLocal8Bit(name);
    slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return false;
    termios settings{};
    tcgetattr(slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
    if (!linkPath.isEmpty()) {
        QFile::remove(linkPath);
        QDir().mkpath(QFileInfo(linkPath).absolutePath());
        if (!QFile::link(terminalPath, linkPath))
            return false;
        if (wire.usbLatencyMs > 0 && !wire.latencyFixed) {
            // The adapter's latency timer as an attribute beside the port, as the kernel keeps
            // one beside a real adapter's tty: our adapter library writes what the program set.
            QFile attribute(linkPath + QStringLiteral(".latency_timer"));
            if (attribute.open(QIODevice::WriteOnly | QIODevice::Truncate))
                attribute.write(QByteArray::number(wire.usbLatencyMs) + '\n');
        }
    }
    pending.clear();
    unplugged = false;
    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtyPort::readRequests);
    return true;
}

void PtyPort::closeTerminal()
{
    delete notifier;
    notifier = nullptr;
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
    slave = master = -1;
}

bool PtyPort::readAvailable()
{
    char buffer[512];
    bool any = false;
    while (master >= 0) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        const qint64 now = wire.clock.nsecsElapsed();
        if (!any) {
            // A frame that stopped half-way and was not finished within 100 ms is given up,
            // as a station's receiver does after a pause in the middle of a frame.
            if (!pending.isEmpty() && now - arrivalNs > 100000000LL) {
                reject(pending, QStringLiteral("incomplete frame"));
                pending.clear();
            }
            arrivalNs = now;
        }
        any = true;
        if (now < refusedUntilNs)
            continue;
        pending.append(buffer, int(n));
    }
    return any;
}

void PtyPort::readRequests()
{
    readAvailable();
    handleFrames();
    // On a timed wire the next request is waited for here for a moment: waking from the event
    // loop would add a delay that no real wire has. A blocking poll, not a busy read: spinning
    // took a core from the program on a two-core machine and slowed each exchange.
    while (wire.baud > 0 && master >= 0 && !busy) {
        pollfd watch{master, POLLIN, 0};
        if (::poll(&watch, 1, 2) <= 0 || !readAvailable())
            break;
        handleFrames();
    }
}

void PtyPort::reject(const QByteArray &bytes, const QString &reason)
{
    ++wire.rejected;
    // The rest of this burst belongs to the refused frame; the PC only speaks again after
    // waiting for an answer.
    refusedUntilNs = wire.clock.nsecsElapsed() + 20000000LL;
    if (!wire.log)
        return;
    const QByteArray line = "REJECT " + QByteArray::number(index) + ' ' +
                            QByteArray::number(wire.clock.nsecsElapsed() / 1e9, 'f', 6) + ' ' +
                            bytes.toHex() + ' ' + reason.toUtf8() + '\n';
    wire.log->write(line);
    wire.log->flush();
}

void PtyPort::handleFrames()
{
    using namespace SimProtocol;
    while (!busy && !pending.isEmpty()) {
        const quint8 *p = reinterpret_cast<const quint8 *>(pending.constData());
        if (p[0] != Frame::MainStation && p[0] != Frame::MainLsbUpdate) {
            int k = 1;
            while (k < pending.size() && p[k] != Frame::MainStation && p[k] != Frame::MainLsbUpdate)
                ++k;
            reject(pending.left(k), QStringLiteral("no frame start"));
            pending.remove(0, k);
            continue;
        }
        if (pending.size() < 3)
            return;
        int length = p[2];
        if (length < 4) {
            reject(pending, QStringLiteral("length byte %1").arg(length));
            pending.clear();
            return;
        }
        // The handshake is written with twelve filler bytes behind it, all in one block.
        const bool handshake = p[0] == Frame::MainStation && p[1] == 0x00 && length == 8;
        const int take = handshake ? 20 : length;
        if (pending.size() < take)
            return;
        const QByteArray request = pending.left(length);
        const QByteArray filler = pending.mid(length, take - length);
        pending.remove(0, take);
        logFrame("rx", request + filler);
        const QString refused =
            handshake &&
                    filler != QByteArray(reinterpret_cast<const char *>(handshakeRequest) + 8, 12)
                ? QStringLiteral("handshake filler")
                : QString();
        int values[3];
        const QString reason = refused.isEmpty() ? check(request, values) : refused;
        if (!reason.isEmpty()) {
            reject(request + filler, reason);
            pending.clear();
            return;
        }
        if (mode == QLatin1String("silent") || unplugged)
            continue;
        const bool later = wire.modeAt > 0 && wire.answers + 1 >= wire.modeAt;
        const SimStation::Reply reply =
            station.answer(request, later ? wire.modeLater : mode.at(0).toLatin1());
        if (!reply.bytes.isEmpty()) {
            QByteArray bytes = reply.bytes;
            wire.applyWrongEcho(request, wire.answers + 1, bytes);
            sendAnswer(bytes, length, reply.commit);
        }
    }
}

void PtyPort::sendAnswer(QByteArray answer, int requestLength, bool commit)
{
    ++wire.answers;
    const bool unplugNow = wire.unplugAfter > 0 && wire.answers == wire.unplugAfter;
    const bool faults = wire.answers > wire.faultsAfter;
    if (faults && wire.happens(wire.drop)) {
        logFrame("tx-dropped", answer);
        answer.clear();
    } else if (faults && wire.happens(wire.corrupt)) {
        // Any byte may be hit, the data as well as the checksum.
        const int at = std::uniform_int_distribution<int>(0, int(answer.size()) - 1)(wire.random);
        answer[at] = char(answer.at(at) ^ std::uniform_int_distribution<int>(1, 255)(wire.random));
    } else if (faults && wire.happens(wire.truncate)) {
        answer.truncate(std::uniform_int_distribution<int>(1, int(answer.size()) - 1)(wire.random));
    }
    // The adapter hands full 62-byte packets on at once; a partly filled last one waits for
    // its latency timer.
    const int latency = wire.usbLatencyMs > 0 ? latencyMs() : 0;
    auto deliver = [this, answer, unplugNow, latency] {
        busy = false;
        if (!answer.isEmpty() && master >= 0) {
            const char *data = answer.constData();
            qsizetype left = answer.size();
            const qsizetype held = latency > 0 ? answer.size() % 62 : 0;
            while (left > 0) {
                if (left == held) {
                    const timespec pause{0, long(latency) * 1000000L};
                    nanosleep(&pause, nullptr);
                }
                const ssize_t n =
                    ::write(master, data, size_t(left > held && held > 0 ? left - held : left));
                if (n < 0) {
                    // A full terminal: wait until the program reads, but not for ever (a
                    // wire would not hold the bytes, and the station must still hear a stop).
                    pollfd out{master, POLLOUT, 0};
                    if (errno == EAGAIN && ::poll(&out, 1, 2000) > 0)
                        continue;
                    break;
                }
                data += n;
                left -= n;
            }
            logFrame("tx", answer); // after the write: the log must not delay the answer
        }
        if (unplugNow) {
            // From now on nothing is answered, as with the cable out; the terminal itself goes
            // a moment later, so that this last answer is still read before the hang-up.
            unplugged = true;
            QTimer::singleShot(100, this, &PtyPort::unplug);
        }
    };
    if (commit && wire.commitDelayMs > 0) {
        // The station is busy storing: nothing else is taken until the answer is out.
        busy = true;
        QTimer::singleShot(wire.commitDelayMs, this, [this, deliver] {
            deliver();
            readAvailable();
            handleFrames();
        });
        return;
    }
    if (wire.baud > 0) {
        // Microsecond-exact: a millisecond timer would add several percent to every exchange.
        const qint64 bytes = requestLength + answer.size();
        const qint64 dueNs = arrivalNs + bytes * 10 * 1000000000LL / wire.baud;
        // Sleep most of the way and spin the rest: waking from a sleep is late by tens of us.
        const qint64 sleepNs = dueNs - wire.clock.nsecsElapsed() - 200000;
        if (sleepNs > 0) {
            const timespec pause{time_t(sleepNs / 1000000000LL), long(sleepNs % 1000000000LL)};
            nanosleep(&pause, nullptr);
        }
        while (wire.clock.nsecsElapsed() < dueNs) {
        }
    }
    deliver();
}

void PtyPort::unplug()
{
    std::fprintf(stderr, "gleistron-sim: adapter %d unplugged for %d s\n", index,
                 wire.unplugSeconds);
    closeTerminal();
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
    QTimer::singleShot(wire.unplugSeconds * 1000, this, [this] {
        if (create())
            std::fprintf(stderr, "gleistron-sim: adapter %d back on %s\n", index,
                         qPrintable(terminalPath));
        else
            std::fprintf(stderr, "gleistron-sim: adapter %d could not come back\n", index);
    });
}

void PtyPort::logFrame(const char *direction, const QByteArray &bytes)
{
    if (!wire.log)
        return;
    const QByteArray line = QByteArray(direction) + ' ' + QByteArray::number(index) + ' ' +
                            QByteArray::number(wire.clock.nsecsElapsed() / 1e9, 'f', 6) + ' ' +
                            bytes.toHex(' ') + '\n';
    wire.log->write(line);
    wire.log->flush();
}

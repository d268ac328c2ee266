#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <random>

class QFile;
class QSocketNotifier;
class SimStation;

// What the wire does to answers, shared by all adapters of one simulated station.
struct WireConditions
{
    double drop = 0;
    double corrupt = 0;
    double truncate = 0;
    int baud = 0;
    int unplugAfter = 0; // answer count, 0 = never
    int unplugSeconds = 0;
    int faultsAfter = 0; // drop, corrupt and truncate only after this many answers
    int commitDelayMs = 0;
    int modeAt = 0; // from this answer on, the handshake reports modeLater
    char modeLater = 'Y';
    int rejected = 0;
    int usbLatencyMs = 0;      // 0: answers arrive whole; else the adapter's latency timer
    bool latencyFixed = false; // a driver that offers no latency attribute
    std::mt19937 random{1};
    int answers = 0;
    QFile *log = nullptr;
    QElapsedTimer clock;

    // --wrong-echo: answer number wrongEchoAt, and the answers to the same request after it
    // until wrongEchoTimes in all, carry another sub-operation (checksum and length valid).
    int wrongEchoAt = 0;
    int wrongEchoTimes = 1;
    QByteArray wrongEchoRequest;
    int wrongEchoLeft = 0;

    bool happens(double probability);
    // Gives `answer` (the answerNumber-th) a wrong echo when --wrong-echo asks for it.
    void applyWrongEcho(const QByteArray &request, int answerNumber, QByteArray &answer);
};

// One simulated adapter: a pseudo-terminal whose far end the program opens as a serial port.
class PtyPort : public QObject
{
    Q_OBJECT
public:
    PtyPort(int index, const QString &mode, SimStation &station, WireConditions &wire,
            const QString &linkDir, QObject *parent = nullptr);
    ~PtyPort() override;

    bool create();
    QString path() const; // the link when there is one, else the terminal

private:
    void readRequests();
    bool readAvailable();
    void handleFrames();
    void reject(const QByteArray &bytes, const QString &reason);
    void sendAnswer(QByteArray answer, int requestLength, bool commit);
    void unplug();
    void logFrame(const char *direction, const QByteArray &bytes);
    void closeTerminal();
    int latencyMs() const; // the timer as the program left it, at most usbLatencyMs

    int index;
    QString mode; // "Y", another letter, or "silent"
    SimStation &station;
    WireConditions &wire;
    QString linkPath;
    QString terminalPath;
    int master = -1;
    int slave = -1; // held open so the terminal survives the program closing its side
    QSocketNotifier *notifier = nullptr;
    QByteArray pending;
    bool unplugged = false;    // between the unplugging answer and the new terminal
    qint64 arrivalNs = 0;      // when the latest request bytes came in
    qint64 refusedUntilNs = 0; // the rest of a refused burst is dropped with it
    bool busy = false;         // an answer is still on its way (a delayed commit)
};

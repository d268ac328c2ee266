#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <exception>

class FtdDevice;

struct ex_timeout : std::exception
{
};
struct ex_noDevice : std::exception
{
};
struct ex_setupError : std::exception
{
};
struct ex_connectionError : std::exception
{
};
// The job was asked to end (window closed, tool interrupted); unwinds to run().
struct ex_stopped : std::exception
{
};
// The station came back in another mode during a transfer: waiting would not help.
struct ex_wrongMode : ex_stopped
{
};
// The station kept answering one request with a whole frame that the command does not allow
// (another echo, status or length): asking again would not help, and taking it would lose data.
struct ex_unexpectedAnswer : ex_stopped
{
};

// Owns the frame exchange with its retries and pauses; the base of every job.
class GleistronKommunikator : public QThread
{
public:
    GleistronKommunikator();
    ~GleistronKommunikator() override = default;

    // Writes the request and reads exactly answerLength bytes, each phase with `retries` tries
    // and a pause of `retryDelay` after every failed one. Throws on failure, true otherwise.
    bool exchangeData(const quint8 *request, int requestLength, quint8 *answer, int answerLength);
    void setRetries(int n);
    void setRetryDelay(quint32 ms);
    int retryCount() const { return retries; }

    // Asks the job to end at its next exchange or pause. Threads are never terminated.
    virtual void requestStop();
    bool stopRequested() const { return stopFlag.load(); }
    // Inside a catch block: what the exchange threw, for the debug lines.
    static const char *caughtFailure();

protected:
    // Called once per exchange phase when its tries have gone on for stallSeconds.
    virtual void exchangeStalled() {}
    static constexpr int stallMs = 8000;
    bool reportStalls = true;
    void throwIfStopped() const;
    void resetStop() { stopFlag = false; }
    void pause(quint32 ms);

    FtdDevice *usbDevice = nullptr;
    quint32 retryDelay = 1000;
    qint32 retries = 3;

private:
    QMutex pauseMutex;
    QWaitCondition pauseWake;
    std::atomic_bool stopFlag{false};
};

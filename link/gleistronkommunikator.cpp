#include "gleistronkommunikator.h"

#include "ftddevice.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

GleistronKommunikator::GleistronKommunikator() : QThread(nullptr) {}

void GleistronKommunikator::setRetries(int n)
{
    retries = n;
}

void GleistronKommunikator::setRetryDelay(quint32 ms)
{
    retryDelay = ms;
}

void GleistronKommunikator::requestStop()
{
    {
        QMutexLocker lock(&pauseMutex);
        stopFlag = true;
    }
    requestInterruption();
    pauseWake.wakeAll();
}

const char *GleistronKommunikator::caughtFailure()
{
    try {
        throw;
    } catch (const ex_timeout &) {
        return "time-out";
    } catch (const ex_connectionError &) {
        return "connection error";
    } catch (const ex_noDevice &) {
        return "no device";
    } catch (const ex_setupError &) {
        return "set-up error";
    } catch (const std::exception &e) {
        return e.what();
    } catch (...) {
        return "unknown failure";
    }
}

void GleistronKommunikator::throwIfStopped() const
{
    if (stopFlag.load())
        throw ex_stopped();
}

void GleistronKommunikator::pause(quint32 ms)
{
    QMutexLocker lock(&pauseMutex);
    QDeadlineTimer deadline(ms);
    while (!stopFlag.load() && !deadline.hasExpired())
        pauseWake.wait(&pauseMutex, deadline);
}

bool GleistronKommunikator::exchangeData(const quint8 *request, int requestLength, quint8 *answer,
                                         int answerLength)
{
    throwIfStopped();
    if (!usbDevice)
        throw ex_noDevice();
    for (int phase = 0; phase < 2; ++phase) {
        const bool writing = phase == 0;
        bool ok = true;
        bool timedOut = false;
        QElapsedTimer failing;
        bool stallReported = false;
        for (int triesLeft = qMax(retries, 1); triesLeft > 0; --triesLeft) {
            ok = true;
            timedOut = false;
            const int n = writing ? usbDevice->write(request, quint32(requestLength))
                                  : usbDevice->read(answer, quint32(answerLength));
            const int expected = writing ? requestLength : answerLength;
            bool again = false;
            if (n < 0) {
                ok = false;
                again = true;
            }
            if (n != expected) {
                timedOut = true;
                again = true;
            }
            if (!again)
                break;
            if (!failing.isValid())
                failing.start();
            pause(retryDelay);
            throwIfStopped();
            if (reportStalls && !stallReported && failing.elapsed() >= stallMs) {
                stallReported = true;
                exchangeStalled();
            }
        }
        if (!ok)
            throw ex_connectionError();
        if (timedOut)
            throw ex_timeout();
    }
    return true;
}

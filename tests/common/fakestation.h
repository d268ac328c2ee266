#pragma once

#include "link/frame.h"

#include <QByteArray>
#include <QLibrary>
#include <QList>

// Drives the scripted adapter library: queue answers, read back the frames the program wrote.
class FakeStation
{
public:
    bool load()
    {
        library.setFileName(QStringLiteral(FAKE_FTD2XX));
        if (!library.load())
            return false;
        resetFn = reinterpret_cast<void (*)(unsigned)>(library.resolve("fake_reset"));
        pushReadFn = reinterpret_cast<void (*)(int, const unsigned char *, int)>(
            library.resolve("fake_push_read"));
        writtenFn =
            reinterpret_cast<int (*)(int, unsigned char *, int)>(library.resolve("fake_written"));
        callsFn = reinterpret_cast<const char *(*)()>(library.resolve("fake_calls"));
        return resetFn && pushReadFn && writtenFn && callsFn;
    }
    void reset() { resetFn(1); }
    void push(const QByteArray &answer)
    {
        pushReadFn(int(answer.size()), reinterpret_cast<const unsigned char *>(answer.constData()),
                   int(answer.size()));
    }
    QList<QByteArray> written() const
    {
        QList<QByteArray> frames;
        for (int i = 0;; ++i) {
            const int n = writtenFn(i, nullptr, 0); // its size first: a block of any length
            if (n < 0)
                return frames;
            QByteArray frame(n, '\0');
            writtenFn(i, reinterpret_cast<unsigned char *>(frame.data()), n);
            frames.append(frame);
        }
    }
    QByteArray calls() const { return QByteArray(callsFn()); }

    // An answer frame with a good checksum: status, echo, length, payload, zero padding.
    static QByteArray answer(char status, quint8 subOp, int length, const QByteArray &payload)
    {
        QByteArray frame(length, '\0');
        frame[0] = status;
        frame[1] = char(subOp);
        frame[2] = char(length);
        for (int i = 0; i < payload.size() && 3 + i < length - 1; ++i)
            frame[3 + i] = payload[i];
        finishFrame(reinterpret_cast<quint8 *>(frame.data()));
        return frame;
    }
    static QByteArray withChecksum(QByteArray frame)
    {
        finishFrame(reinterpret_cast<quint8 *>(frame.data()));
        return frame;
    }

private:
    QLibrary library;
    void (*resetFn)(unsigned) = nullptr;
    void (*pushReadFn)(int, const unsigned char *, int) = nullptr;
    int (*writtenFn)(int, unsigned char *, int) = nullptr;
    const char *(*callsFn)() = nullptr;
};

#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstring>

// A 512-byte route record built field by field; unprogrammed (0xFF) until set.
struct Record
{
    quint8 bytes[512];
    Record() { std::memset(bytes, 0xFF, sizeof bytes); }
    Record &byte(int offset, int value)
    {
        bytes[offset] = quint8(value);
        return *this;
    }
    Record &word(int offset, int value)
    {
        bytes[offset] = quint8(value >> 8);
        bytes[offset + 1] = quint8(value);
        return *this;
    }
    Record &slot(int offset, int kind, int state, int address, int extra)
    {
        return byte(offset, kind)
            .byte(offset + 1, state)
            .word(offset + 2, address)
            .word(offset + 4, extra);
    }
    Record &comment(const QByteArray &text)
    {
        std::memset(bytes, 0, 30);
        std::memcpy(bytes, text.constData(), size_t(qMin(30, int(text.size()))));
        return *this;
    }
    // Card 4 ("Stellbefehle") slot i, and card 7 ("Fahrstrasse auflösen") slot i.
    Record &set(int i, int kind, int state, int address, int extra = 0)
    {
        return slot(84 + 6 * i, kind, state, address, extra);
    }
    Record &release(int i, int kind, int state, int address)
    {
        return slot(210 + 6 * i, kind, state, address, 0);
    }
};

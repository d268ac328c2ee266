// The built-in sample station: a small, plausible layout, the same on every run.

#include "simstation.h"

#include <cstring>
#include <random>

using namespace Catalogue;

namespace {

void text(quint8 *dest, int size, const char *value)
{
    std::memset(dest, 0, size_t(size));
    std::memcpy(dest, value, std::min(size_t(size), std::strlen(value)));
}

void word(quint8 *dest, int value)
{
    dest[0] = quint8(value >> 8);
    dest[1] = quint8(value);
}

struct RouteBuilder
{
    quint8 *r;
    void command(int offset, int kind, int state, int address, int extra)
    {
        r[offset] = quint8(kind);
        r[offset + 1] = quint8(state);
        word(r + offset + 2, address);
        word(r + offset + 4, extra);
    }
};

} // namespace

void SimStation::fillSample()
{
    std::mt19937 random(20261208);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };

    // Locomotives, with the four lists naming them.
    static const char *const names[] = {"BR 218 012", "BR 103 113", "V 100 2335", "ICE 3 Velaro",
                                        "BR 50 622",  "Koef II",    "E 94 088",   "VT 98",
                                        "BR 01 150",  "Taurus",     "BR 212 044", "Glaskasten",
                                        "BR 151 033", "Ae 6/6",     "BR 64 289",  "Schienenbus"};
    QList<int> locos;
    for (int i = 0; i < 41; ++i) {
        const int n = i < 30 ? i + 1 : i < 40 ? 100 + 3 * i : 1023;
        locos.append(n);
        quint8 *rec = image.record(Lokomotiven, n);
        for (int k = 0; k < 256; ++k)
            rec[k] = quint8(pick(0, 255));
        text(rec, 16, names[i % 16]);
        word(rec + 16, 3 + n);           // digital address
        rec[18] = quint8(pick(14, 128)); // speed steps
        image.recordStatus[size_t(StatusLokomotiven + n)] = 1;
    }
    quint8 *lists = image.lokliste(0);
    std::memset(lists, 0xFF, 4 * 256);
    for (int list = 0; list < 4; ++list) {
        for (int k = 0; k < 10; ++k)
            word(lists + list * 256 + 2 * k, locos.at((list * 7 + k) % locos.size()));
    }

    // Two track plans: a double-track oval with stations and sidings; the third plan is empty.
    for (int plan = 0; plan < 2; ++plan) {
        auto cell = [&](int row, int column, int type, int address) {
            quint8 *c = image.gleisplan(plan, row, column);
            c[0] = quint8(type);
            c[1] = quint8(pick(0, 7)); // direction
            word(c + 2, address);
            c[4] = quint8(plan);
        };
        const int top = 4 + plan * 6, bottom = 28 + plan * 4, left = 6, right = 90 - plan * 10;
        for (int column = left; column <= right; ++column) {
            cell(top, column, 1, 0);
            cell(bottom, column, 1, 0);
        }
        for (int row = top; row <= bottom; ++row) {
            cell(row, left, 2, 0);
            cell(row, right, 2, 0);
        }
        for (int k = 0; k < 12; ++k) {
            const int column = left + 6 + 6 * k;
            cell(top + 1, column, 10 + k % 3, 1 + k + plan * 20); // turnouts
            cell(bottom - 1, column, 20, 200 + k);                // signals
            cell(top + 2 + k % 5, column, 30, 300 + k);           // feedback contacts
        }
        image.presentSets[size_t(Gleisplan1 + plan)] = 1;
    }

    // Switching articles and feedback modules.
    for (int n = 0; n < 1024; ++n) {
        if (n == 0 || (n >= 420 && n % 5 != 0 && n != 1023))
            continue;
        quint8 *rec = image.record(Weichen, n);
        for (int k = 0; k < 64; ++k)
            rec[k] = quint8(pick(0, 255));
        word(rec, n + 1);
        image.recordStatus[size_t(StatusWeichen + n)] = 1;
    }
    for (int n = 0; n < 1024; ++n) {
        if (n >= 260 && n != 1023)
            continue;
        quint8 *rec = image.record(Rueckmelder, n);
        for (int k = 0; k < 256; ++k)
            rec[k] = quint8(pick(0, 255));
        image.recordStatus[size_t(StatusRueckmelder + n)] = 1;
    }

    // Routes with their illumination.
    static const char *const comments[] = {
        "Einfahrt Gleis 1",      "Ausfahrt Nord",    "Bw Zufahrt",       "Abstellgruppe <2>",
        "Gueterbahnhof & Hafen", "Blockstrecke Ost", "Wendezug Kopfgl.", "Schattenbf 3"};
    for (int i = 0; i < 105; ++i) {
        const int n = i < 80 ? i + 1 : i < 104 ? 200 + i * 7 : 1023;
        quint8 *rec = image.record(Fahrstrassen, n);
        std::memset(rec, 0xFF, 512);
        text(rec, 30, comments[i % 8]);
        if (i % 8 == 7)
            rec[0] = 0xFF; // no comment
        rec[30] = quint8(i % 5);
        rec[31] = quint8(i % 2);
        rec[32] = quint8(pick(0, 63));
        rec[33] = quint8(pick(0, 127));
        if (i % 6 != 5) {
            rec[34] = quint8(i % 2);
            rec[35] = quint8(pick(0, 63));
            rec[36] = quint8(pick(0, 127));
        }
        word(rec + 38, 300 + i);
        rec[42] = 0;
        rec[43] = 0xFF;
        for (int k = 0; k < 3 + i % 6; ++k) {
            word(rec + 46 + 2 * k, 310 + k + i);
            rec[70 + k] = quint8(k % 2);
        }
        RouteBuilder b{rec};
        const int kinds[] = {1, 1, 10, 11, 20, 2, 80, 90, 91, 100, 110, 200};
        for (int k = 0; k < 4 + i % 9; ++k) {
            const int kind = kinds[(k + i) % 12];
            const int state = kind == 100 ? (k * 5) % 20 : kind == 11 ? k % 9 : k % 4;
            b.command(84 + 6 * k, kind, state, kind >= 100 && k % 3 == 0 ? 0 : 1 + k * 3 + i,
                      kind == 110 ? k % 5 : 5 * k + 2);
        }
        word(rec + 204, 500 + i);
        rec[208] = 1;
        for (int k = 0; k < 2 + i % 3; ++k)
            b.command(210 + 6 * k, k % 2 ? 10 : 1, k % 2, 1 + k + i, 0);
        for (int k = 0; k < 2 * (i % 4); k += 2) {
            word(rec + 282 + 6 * k + 2, 600 + k);
            word(rec + 282 + 6 * k + 4, k % 3);
            b.command(282 + 6 * (k + 1), 100, 18, 3 + k, 0);
        }
        // Not every route has its illumination set up.
        quint8 *light = image.illumination(n);
        const bool lit = i % 5 != 3;
        for (int k = 0; k < 512; ++k)
            light[k] = lit ? quint8((k * 7 + n) & 0xFF) : 0;
        illuminated.setBit(n, lit);
        image.recordStatus[size_t(StatusFahrstrassen + n)] = 1;
    }

    // Bus devices.
    // The last record of each set is used too: a transfer that stops one short shows.
    for (int i = 0; i < 15; ++i) {
        const int n = i < 14 ? 1 + i * 3 : 2047;
        quint8 *rec = image.bank(0) + LsbOffset + n * 32;
        for (int k = 0; k < 32; ++k)
            rec[k] = quint8(pick(0, 255));
        word(rec, i % 2 ? 4 : 230);
        image.recordStatus[size_t(StatusLsb + n)] = 1;
    }
    for (int n : {1, 2, 3, 5, 8, 13, 255}) {
        quint8 *rec = image.bank(0) + HsbOffset + n * 256;
        for (int k = 0; k < 256; ++k)
            rec[k] = quint8(pick(0, 255));
        image.recordStatus[size_t(StatusHsb + n)] = 1;
    }

    // System and S88 configuration.
    for (int k = 0; k < 256; ++k) {
        image.bank(0)[SystemOffset + k] = quint8(pick(0, 255));
        image.bank(0)[S88Offset + k] = quint8(k < 32 ? k % 16 : 0);
    }

    // A few locomotive images: a coloured locomotive outline, 64 x 96 at 2 bytes a pixel.
    for (int n : {1, 2, 5, 17, 99}) {
        quint8 *pixels = image.lokbild(n);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 96; ++x) {
                const bool body = y > 16 && y < 52 && x > 8 && x < 88;
                const bool wheel = y >= 52 && y < 60 && (x % 20) < 10;
                const int colour = body ? 0xF800 >> (n % 3) : wheel ? 0x2104 : 0xFFFF;
                pixels[(y * 96 + x) * 2] = quint8(colour >> 8);
                pixels[(y * 96 + x) * 2 + 1] = quint8(colour);
            }
        }
        image.recordStatus[size_t(StatusLokbilder + n)] = 1;
    }
}

#pragma once

#include <QString>
#include <QtGlobal>

// Station frames: main operation, sub-operation, total length, parameters, CRC-8.
namespace Frame {
constexpr quint8 MainStation = 0x59;   // 'Y'
constexpr quint8 MainLsbUpdate = 0x55; // 'U'
constexpr quint8 StatusOk = 0x59;      // 'Y'
constexpr quint8 StatusEmpty = 0x45;   // 'E'
constexpr int MaxLength = 255;
} // namespace Frame

// CRC-8, polynomial 0x31, initial value 0xFF, not reflected, no final XOR.
quint8 frameChecksum(const quint8 *data, int length);

// Stores the checksum of the first frame[2]-1 bytes at frame[frame[2]-1].
void finishFrame(quint8 *frame);

// True when the answer's own length byte is plausible (4 .. bytesRead) and its checksum matches.
bool answerChecksumOk(const quint8 *answer, int bytesRead);

// An answer of the length the command states, with a matching checksum. A length byte damaged
// on the wire could otherwise point the checksum rule at the wrong bytes.
bool answerFrameOk(const quint8 *answer, int expectedLength);

quint16 readWord(const quint8 *bytes);
void writeWord(quint8 *bytes, quint16 value);

// Bytes as lower-case hex, for the debug lines.
QString hexString(const quint8 *bytes, int length);

// The station's serial number from its handshake answer, as printed on it ("56347812").
QString serialText(const quint8 *handshakeAnswer);

#pragma once

#include <QtGlobal>

// The station's commands as the program sends them: sub-operations, frame lengths, parameters.
// The one place of these numbers on the program's side (the simulated station keeps its own
// reading of them, as the independent side of the tests).
namespace Protocol {

// The handshake: an 8-byte frame (the program's data model 2000) and 12 filler bytes, written
// as one block; the answer carries mode, versions and serial number.
constexpr quint8 HandshakeRequest[20] = {0x59, 0x00, 0x08, 0x00, 0x03, 0x07, 0xD0,
                                         0xD9, 0x0A, 0x09, 0x08, 0x07, 0x06, 0x05,
                                         0x04, 0x03, 0x02, 0x01, 0x00, 0x00};
constexpr int HandshakeAnswerLength = 27;
constexpr int MaxAnswer = 71;

struct Read
{
    quint8 subOp;
    int answerLength;
    int dataSize;   // bytes of data in the answer (64, or 32 for LSB)
    int blocks;     // per record or area
    bool emptyList; // 'E' (the record is empty) is an answer it allows, naming further keys
    const char *failureLine; // debug line before each recovery, or null
};

struct Write
{
    quint8 subOp;
    int answerLength;
    int dataSize;
    int spareBytes; // zero bytes after the data
    int blocks;
};

struct Commit
{
    quint8 subOp;
    int requestLength; // 5 when it carries a group or image number
    int answerLength;
    int retries;             // tries per phase from this commit on; 0 leaves them
    const char *failureLine; // debug line on a failed try, or null
};

constexpr Read LokRead{0x0B, 71, 64, 4, true, nullptr};
constexpr Read LoklisteRead{0x6E, 70, 64, 4, false, nullptr};
constexpr Read GleisplanRead{0x1F, 71, 64, 1, true, nullptr};
constexpr Read WeichenRead{0x29, 71, 64, 1, true, nullptr};
constexpr Read RueckmelderRead{0x33, 71, 64, 4, true, nullptr};
constexpr Read S88Read{0x66, 69, 64, 4, false, nullptr};
constexpr Read SystemRead{0x64, 69, 64, 4, false, nullptr};
constexpr Read RouteRead{0x3D, 71, 64, 8, true, nullptr};
constexpr Read IlluminationRead{0x47, 71, 64, 8, true, nullptr};
constexpr Read LsbRead{0x51, 38, 32, 1, true, nullptr};
constexpr Read HsbRead{0x5B, 71, 64, 4, true, nullptr};
constexpr Read LokbildRead{0x19, 70, 64, 192, true, "lokbild %d connection failure"};

constexpr Write LokWrite{0x0C, 7, 64, 0, 4};
constexpr Write LoklisteWrite{0x6F, 6, 64, 0, 4};
constexpr Write GleisplanWrite{0x20, 7, 64, 0, 1};
constexpr Write WeichenWrite{0x2A, 7, 64, 1, 1};
constexpr Write RueckmelderWrite{0x34, 7, 64, 0, 4};
constexpr Write S88Write{0x67, 5, 64, 0, 4};
constexpr Write SystemWrite{0x65, 5, 64, 0, 4};
constexpr Write RouteWrite{0x3E, 7, 64, 0, 8};
constexpr Write IlluminationWrite{0x48, 7, 64, 0, 8};
constexpr Write LsbWrite{0x52, 6, 32, 0, 1};
constexpr Write HsbWrite{0x5C, 6, 64, 1, 4};
constexpr Write LokbildWrite{0x1A, 6, 64, 0, 192};

constexpr Commit LokCommit{0x0D, 4, 5, 20, "LokSaver FAILED"};
constexpr Commit LoklisteCommit{0x70, 4, 5, 20, "LoklisteSaver FAILED"};
constexpr Commit GleisplanCommit{0x21, 4, 5, 20, "GleisplanSaver FAILED"};
// The switching-article commit leaves the tries alone and must answer 1 in byte 3.
constexpr Commit WeichenCommit{0x2B, 4, 5, 0, nullptr};
constexpr Commit RueckmelderCommit{0x35, 4, 5, 20, "RückmelderSaver FAILED"};
constexpr Commit RouteCommit{0x3F, 4, 5, 20, "FahrstrassenSaver FAILED"};
constexpr Commit IlluminationCommit{0x49, 5, 6, 120, "FahrstrassenAusleuchtungSaver FAILED"};
constexpr Commit LsbCommit{0x53, 4, 5, 20, "LSB Saver FAILED"};
constexpr Commit HsbCommit{0x5D, 4, 5, 20, "HSB Saver FAILED"};
constexpr Commit LokbildCommit{0x1B, 5, 6, 20, nullptr};
// Closes a transfer; tried once with 10 tries, its failure only logged.
constexpr Commit Finalize{0xFB, 4, 4, 10, "backup_finalize FAILED"};

// The LSB update commands (main operation 'U').
constexpr quint8 LsbInitRequest[6] = {0x55, 0x00, 0x06, 0x6D, 0x04, 0x96};
constexpr int LsbInitAnswerLength = 31;
constexpr quint8 LsbDataSubOp = 0x59;
constexpr quint8 LsbEndSubOp = 0x5A;
constexpr int LsbEndRequestLength = 14;
constexpr int LsbAnswerLength = 5;
constexpr int LsbDatagramSize = 64;

} // namespace Protocol

#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The station's own reading of the command tables. Kept apart from the program's definitions on
// purpose: the simulated station is the independent side of every test.
namespace SimProtocol {

enum class Kind { Handshake, Read, Write, Commit, Finalize, LsbInit, LsbData, LsbEnd };

// One parameter of a request: 1 or 2 bytes (most significant first), a value below `limit`,
// and a multiple of `step`.
struct Field
{
    int size = 0;
    int limit = 0;
    int step = 1;
};

struct Command
{
    quint8 main;
    quint8 subOp;
    Kind kind;
    int requestLength; // the frame length byte must say the same
    int answerLength;
    Field fields[3];
    int dataSize;   // data bytes after the fields (writes)
    int spareBytes; // zero bytes after the data
    quint8 commit;  // the commit that stores a write, or the read's data set
};

// The command for a main operation and sub-operation, or null when the station knows none.
const Command *find(quint8 main, quint8 subOp);

// The handshake request and the filler the PC writes after it.
extern const quint8 handshakeRequest[20];

// Why the station refuses this request (frame length byte, request length, checksum, field
// ranges), or an empty string when the tables allow it. `values` receives the fields.
QString check(const QByteArray &request, int values[3]);

} // namespace SimProtocol

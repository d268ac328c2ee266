// The station's answers as the program checks them: frame checksum and length, the handshake's
// identity texts, the keys of an 'E' answer.
#include "commands/comm2pc.h"
#include "model/versiontext.h"
#include "link/frame.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The program reads answers into buffers of the expected length; the checks must stay
    // inside what was read.
    std::vector<quint8> answer(data, data + size);
    const bool ok = answerChecksumOk(answer.data(), int(answer.size()));
    if (ok && (answer.size() < 4 || answer[2] > answer.size()))
        __builtin_trap();
    if (answer.size() >= 27) {
        serialText(answer.data());
        versionText(readWord(answer.data() + 4));
        hexString(answer.data(), 27);
    }
    if (answer.size() >= 71) {
        const QList<int> keys = Comm2Pc::emptyKeys(answer.data(), 6, 64, 5);
        if (keys.size() > 33)
            __builtin_trap();
    }
    if (answer.size() >= 38 && Comm2Pc::emptyKeys(answer.data(), 5, 32, 5).size() > 17)
        __builtin_trap();
    return 0;
}

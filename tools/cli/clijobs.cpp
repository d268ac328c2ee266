#include "clijobs.h"

void InfoJob::run()
{
    try {
        connectDevice(false);
    } catch (const ex_stopped &) {
    }
}

#include "lsb_updater.h"

#include "link/logging.h"

void LSB_Updater::run()
{
    qCDebug(lcLsb, "LSB_Updater started");
}

#pragma once

#include "link/comm2pc.h"

// Finds the station and reports who it is; nothing else.
class InfoJob : public Comm2Pc
{
    Q_OBJECT
protected:
    void run() override;
};

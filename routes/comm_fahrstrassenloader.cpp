#include "comm_fahrstrassenloader.h"

#include "link/logging.h"

bool Comm_fahrstrassenloader::load(int n)
{
    quint8 record[512];
    document->copyRoute(n, record);
    const bool ok = backup_Fahrstrassen_load(n, record);
    document->storeRoute(n, record);
    return ok;
}

void Comm_fahrstrassenloader::run()
{
    try {
        if (!connectDevice(false))
            return;
        qCDebug(lcRoutes, "\nComm_fahrstrassenloader Start itemNr = %d", itemNr);
        if (itemNr < 0) {
            for (itemNr = 0; itemNr < 1000; ++itemNr) {
                const bool ok = load(itemNr);
                if (ok)
                    qCDebug(lcRoutes, "Fahrstrasse %d erfolgreich geladen!", itemNr);
                else
                    qCDebug(lcRoutes, "Fahrstrasse %d FEHLER bei laden!", itemNr);
                emit signal_comm_fahrstrassen_loaded(short(itemNr), ok);
            }
        } else {
            emit signal_comm_fahrstrassen_loaded(short(itemNr), load(itemNr));
        }
    } catch (const ex_stopped &) {
    }
}

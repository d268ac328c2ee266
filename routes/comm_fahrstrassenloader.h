#pragma once

#include "model/dataimage.h"
#include "commands/comm2pc.h"

// Reads routes straight from the station into the document's route table.
class Comm_fahrstrassenloader : public Comm2Pc
{
    Q_OBJECT
public:
    void setDocument(DataImage *image) { document = image; }
    qint32 itemNr = 0; // a negative value: all routes

signals:
    void signal_comm_fahrstrassen_loaded(short itemNr, bool success);

protected:
    void run() override;

private:
    bool load(int n);
    DataImage *document = nullptr;
};

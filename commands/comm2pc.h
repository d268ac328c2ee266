#pragma once

#include "link/stationlink.h"

// The device worker every job derives from: the station's commands over its link.
class Comm2Pc : public StationLink
{
    Q_OBJECT
public:
    // Data-set commands (datasetcommands.cpp). Reads return true when every block
    // arrived, false when the station reported the record empty.
    bool backup_Lok_load(int n, quint8 *dest);
    bool backup_Lokliste_load(quint8 *dest);
    bool backup_Gleisplan_load(int p, int c, int r, quint8 *dest);
    bool backup_Weichen_load(int n, quint8 *dest);
    bool backup_Rueckmelder_load(int n, quint8 *dest);
    bool backup_S88_load(quint8 *dest);
    bool backup_SystemKonfiguration_load(quint8 *dest);
    bool backup_Fahrstrassen_load(int n, quint8 *dest);
    bool backup_FahrstrassenAusleuchtung_load(int n, quint8 *dest);
    bool backup_LSB_load(int n, quint8 *dest);
    bool backup_HSB_load(int n, quint8 *dest);
    bool backup_Lokbild_load(int n, quint8 *dest);

    bool backup_Lok_save(int n, const quint8 *src);
    bool backup_Lokliste_save(const quint8 *src);
    bool backup_Gleisplan_save(int p, int c, int r, const quint8 *src);
    bool backup_Weichen_save(int n, const quint8 *src);
    bool backup_Rueckmelder_save(int n, const quint8 *src);
    bool backup_S88_save(const quint8 *src);
    bool backup_SystemKonfiguration_save(const quint8 *src);
    bool backup_Fahrstrassen_save(int n, const quint8 *src);
    bool backup_FahrstrassenAusleuchtung_save(int n, const quint8 *src);
    bool backup_LSB_save(int n, const quint8 *src);
    bool backup_HSB_save(int n, const quint8 *src);
    bool backup_Lokbild_save(int n, const quint8 *src);

    bool backup_Lok_commit();
    bool backup_Lokliste_commit();
    bool backup_Gleisplan_commit();
    bool backup_Weichen_commit();
    bool backup_Rueckmelder_commit();
    bool backup_Fahrstrassen_commit();
    bool backup_FahrstrassenAusleuchtung_commit(int group);
    bool backup_LSB_commit();
    bool backup_HSB_commit();
    bool backup_Lokbild_commit(int n);
    bool backup_finalize();

    // LSB update commands (lsbcommands.cpp): one attempt each; a failure is reported
    // with signal_info_communicationError.
    bool update_LSB_init(quint8 *answer);
    bool update_LSB_data(quint16 address, quint8 n, const quint8 *data);
    bool update_LSB_end(quint16 word1, quint16 word2, quint16 word3, quint16 length);

    // The keys of an 'E' answer: the requested one, then up to 32 further ones from the data
    // bytes until the first 0xFFFF.
    static QList<int> emptyKeys(const quint8 *answer, int dataOffset, int dataSize, int key);

    QList<int> emptyRecords;

private:
    enum class BlockResult { Copied, Empty };
    BlockResult readBlock(const Protocol::Read &shape, std::initializer_list<int> params,
                          quint8 *dest, int key, int failureNumber = 0);
    bool readRecord(const Protocol::Read &shape, int n, bool wideNumber, quint8 *dest);
    // Every block of one record or area: the head parameters, then the block number if asked.
    void writeBlocks(const Protocol::Write &shape, std::initializer_list<int> head,
                     bool blockNumber, const quint8 *src);
    bool commit(const Protocol::Commit &shape, int number = 0);

    bool lsbExchange(const quint8 *request, int requestLength, quint8 *answer, int answerLength,
                     const char *errorMessage);
};

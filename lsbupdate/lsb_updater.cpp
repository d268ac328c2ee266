#include "lsb_updater.h"

#include "link/frame.h"
#include "link/logging.h"
#include "lsbfile.h"

void LSB_Updater::run()
{
    qCDebug(lcLsb, "LSB_Updater started");
    try {
        LsbFile file;
        LsbFile::Result result = file.open(fileName);
        if (result != LsbFile::Result::Ok) {
            emit signal_lsb_update_file_error();
            return;
        }
        emit signal_lsb_update_data(file.type, 0, file.softwareVersion);
        result = file.readPayload();
        if (result == LsbFile::Result::LineCheckFailed)
            return;
        if (result != LsbFile::Result::Ok) {
            emit signal_lsb_update_file_error();
            return;
        }
        const int length = file.length();

        if (!reconnectDevice(false)) {
            qCDebug(lcLsb, "LSB_Updater exited (no Gleistron)");
            return;
        }
        quint8 answer[31] = {};
        update_LSB_init(answer);
        if (answer[3] != 'U') {
            emit signal_lsb_update_invalid_mode();
            qCDebug(lcLsb, "LSB_Updater exited (not in LSB Update mode!)");
            return;
        }
        const quint16 address = readWord(answer + 24);
        const quint16 type = readWord(answer + 26);
        const quint16 hw = answer[28];
        const quint16 sw = answer[29];
        qCDebug(lcLsb).noquote() << QStringLiteral("LSB_Adresse: %1   typ: %2   hw_ver: %3   "
                                                   "sw_ver: %4 ")
                                        .arg(address)
                                        .arg(type)
                                        .arg(hw)
                                        .arg(sw);
        emit signal_lsb_update_device(address, type, hw, sw);

        // Firmware goes only to a device that can take it and for which it was made.
        if (!LsbDevice::isUpdatable(type)) {
            qCDebug(lcLsb, "LSB_Updater exited (device not updatable)");
            return;
        }
        if (type != file.type) {
            emit signal_lsb_update_type_mismatch(file.type, type);
            qCDebug(lcLsb, "LSB_Updater exited (firmware for another device type)");
            return;
        }

        int datagrams = 0;
        for (int piece = 0; piece <= length / 64; ++piece) {
            const int n = piece == length / 64 ? length % 64 : 64;
            // After a lost datagram the end command would tell the device to take firmware
            // with a gap: stop here instead.
            if (!update_LSB_data(quint16(piece * 64), quint8(n), file.payload.data() + piece * 64)) {
                qCDebug(lcLsb, "LSB_Updater exited (datagram %d failed)", piece);
                return;
            }
            ++datagrams;
        }
        if (!update_LSB_end(0, 0, 0, quint16(length)))
            return;
        qCDebug(lcLsb, "LSB_Updater exited (finished)");
        emit signal_lsb_update_finished(length, datagrams);
    } catch (const ex_stopped &) {
    }
}

#include "lsb_updater.h"

#include "link/frame.h"
#include "link/logging.h"
#include "lsbfile.h"

#include <QCoreApplication>

void LSB_Updater::answerConfirmation(bool go)
{
    QMutexLocker lock(&confirmMutex);
    answer = go ? 1 : 0;
    confirmed.wakeAll();
}

void LSB_Updater::requestStop()
{
    Comm2Pc::requestStop();
    QMutexLocker lock(&confirmMutex);
    confirmed.wakeAll();
}

void LSB_Updater::clearStopRequest()
{
    resetStop();
}

void LSB_Updater::run()
{
    qCDebug(lcLsb, "LSB_Updater started");
    detail = 0;
    Outcome outcome = Cancelled;
    try {
        outcome = update();
    } catch (const ex_stopped &) {
        qCDebug(lcLsb, "LSB_Updater exited (cancelled)");
    }
    emit signal_lsb_update_ended(outcome, detail);
}

LSB_Updater::Outcome LSB_Updater::update()
{
    LsbFile file;
    LsbFile::Result result = file.open(fileName);
    if (result != LsbFile::Result::Ok) {
        emit signal_lsb_update_file_error();
        return FileInvalid;
    }
    emit signal_lsb_update_data(file.type, 0, file.softwareVersion);
    result = file.readPayload();
    if (result == LsbFile::Result::LineCheckFailed) {
        detail = file.failedLine;
        return LineCheckFailed;
    }
    if (result != LsbFile::Result::Ok) {
        emit signal_lsb_update_file_error();
        return FileInvalid;
    }
    const int length = file.length();

    if (!reconnectDevice(false)) {
        qCDebug(lcLsb, "LSB_Updater exited (no Gleistron)");
        return NoStation;
    }
    quint8 init[31] = {};
    // An init that got no answer the command allows says nothing about the device: its bytes
    // are not read as if it did.
    if (!update_LSB_init(init) || init[3] != 'U') {
        emit signal_lsb_update_invalid_mode();
        qCDebug(lcLsb, "LSB_Updater exited (not in LSB Update mode!)");
        return InvalidMode;
    }
    const quint16 address = readWord(init + 24);
    const quint16 type = readWord(init + 26);
    const quint16 hw = init[28];
    const quint16 sw = init[29];
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
        return NotUpdatable;
    }
    if (type != file.type) {
        emit signal_lsb_update_type_mismatch(file.type, type);
        qCDebug(lcLsb, "LSB_Updater exited (firmware for another device type)");
        return TypeMismatch;
    }
    if (dryRun)
        return DryRun;
    if (confirmFirst) {
        emit signal_lsb_update_confirm(file.type, file.softwareVersion, type, sw);
        QMutexLocker lock(&confirmMutex);
        answer = -1;
        while (answer < 0 && !stopRequested())
            confirmed.wait(&confirmMutex);
        throwIfStopped();
        if (answer != 1)
            return Declined;
    }

    const int pieces = length / 64 + 1;
    emit signal_lsb_update_progress(0);
    for (int piece = 0; piece < pieces; ++piece) {
        const int n = piece == length / 64 ? length % 64 : 64;
        // After a lost datagram the end command would tell the device to take firmware with a
        // gap: stop here instead.
        if (!update_LSB_data(quint16(piece * 64), quint8(n), file.payload.data() + piece * 64)) {
            qCDebug(lcLsb, "LSB_Updater exited (datagram %d failed)", piece);
            detail = piece * 64;
            return DatagramFailed;
        }
        emit signal_lsb_update_progress((piece + 1) * 1000 / pieces);
    }
    if (!update_LSB_end(0, 0, 0, quint16(length))) {
        detail = length;
        return DatagramFailed;
    }
    qCDebug(lcLsb, "LSB_Updater exited (finished)");
    emit signal_lsb_update_finished(length, pieces);
    return Finished;
}

QString LSB_Updater::refusalText(Outcome outcome, quint16 fileType, quint16 deviceType)
{
    switch (outcome) {
    case FileInvalid:
        return QCoreApplication::translate("MainWindow", "Update Datei ist ungültig!");
    case InvalidMode:
        return QCoreApplication::translate("MainWindow",
                                           "Gleistron ist nicht im Geräteeditor LSB Update Modus!");
    case NotUpdatable:
        return QCoreApplication::translate(
            "MainWindow", "Update mit den ausgewählten USB-Gerät ist nicht unterstützt!");
    case TypeMismatch:
        return QCoreApplication::translate(
                   "MainWindow",
                   "Der Gerätetyp der Firmware-Datei (%1) passt nicht zum Gerät (%2)!")
            .arg(LsbDevice::typeName(fileType), LsbDevice::typeName(deviceType));
    default:
        return QString();
    }
}

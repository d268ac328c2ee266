// gleistron-sim: a simulated station on pseudo-terminals, for demonstrations and tests.

#include "ptyport.h"
#include "simstation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

namespace {

int badUsage(const QString &message)
{
    std::fprintf(stderr, "gleistron-sim: %s\n", qPrintable(message));
    return 2;
}

bool parseProbability(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= 0 && value <= 1;
}

bool parseVersion(const QString &text, quint16 &value)
{
    bool ok = false;
    const uint v = text.toUInt(&ok);
    value = quint16(v);
    return ok && v <= 0xFFFF;
}

} // namespace

int main(int argc, char *argv[])
{
    // Saving beyond a file size limit fails with the system's message, not by the signal.
    std::signal(SIGXFSZ, SIG_IGN);
    // SIGINT and SIGTERM are read from a descriptor in the event loop. Blocked here, before any
    // thread starts, no other thread can take them: under ThreadSanitizer a signal taken by a
    // thread that sleeps outside its interceptors was never handled, and the station hung.
    sigset_t quitSignals;
    sigemptyset(&quitSignals);
    sigaddset(&quitSignals, SIGINT);
    sigaddset(&quitSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quitSignals, nullptr);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gleistron-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated Gleistron station on pseudo-terminals"));
    parser.addHelpOption();
    const QCommandLineOption adaptersOption(QStringLiteral("adapters"),
                                            QStringLiteral("Number of simulated adapters."),
                                            QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption modeOption(
        QStringLiteral("mode"),
        QStringLiteral("Handshake mode per adapter: Y, another letter, or silent."),
        QStringLiteral("M[,M...]"), QStringLiteral("Y"));
    const QCommandLineOption softwareOption(QStringLiteral("software"),
                                            QStringLiteral("Software version."),
                                            QStringLiteral("V"), QStringLiteral("1300"));
    const QCommandLineOption protocolOption(QStringLiteral("protocol"),
                                            QStringLiteral("Protocol version."),
                                            QStringLiteral("V"), QStringLiteral("3"));
    const QCommandLineOption datamodelOption(QStringLiteral("datamodel"),
                                             QStringLiteral("Data-model version."),
                                             QStringLiteral("V"), QStringLiteral("2000"));
    const QCommandLineOption serialOption(QStringLiteral("serial"),
                                          QStringLiteral("Serial number, 8 hex digits."),
                                          QStringLiteral("HEX8"), QStringLiteral("56347812"));
    const QCommandLineOption loadOption(
        QStringLiteral("load"), QStringLiteral("Start with the data sets of a backup file."),
        QStringLiteral("FILE"));
    const QCommandLineOption sampleOption(QStringLiteral("sample"),
                                          QStringLiteral("Start with the built-in sample layout."));
    const QCommandLineOption saveOption(QStringLiteral("save-on-exit"),
                                        QStringLiteral("Save the data sets when stopping."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption linkOption(QStringLiteral("link-dir"),
                                        QStringLiteral("Create DIR/gleistronN links to the ports."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption baudOption(
        QStringLiteral("baud"), QStringLiteral("Delay answers as on a wire at RATE; 0 = none."),
        QStringLiteral("RATE"), QStringLiteral("0"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of every random fault."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption dropOption(QStringLiteral("drop"),
                                        QStringLiteral("Probability of sending no answer."),
                                        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption corruptOption(QStringLiteral("corrupt"),
                                           QStringLiteral("Probability of a wrong checksum."),
                                           QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption truncateOption(QStringLiteral("truncate"),
                                            QStringLiteral("Probability of a cut answer."),
                                            QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption unplugOption(
        QStringLiteral("unplug-at"),
        QStringLiteral("After the N-th answer remove the port for S seconds."),
        QStringLiteral("N:S"));
    const QCommandLineOption lsbOption(QStringLiteral("lsb-device"),
                                       QStringLiteral("Device held in LSB update mode."),
                                       QStringLiteral("A:T:H:S"));
    const QCommandLineOption lsbSaveOption(
        QStringLiteral("lsb-save"), QStringLiteral("Write the firmware an LSB update delivered."),
        QStringLiteral("FILE"));
    const QCommandLineOption flipOption(
        QStringLiteral("flip-stored"),
        QStringLiteral("Probability that a committed block is stored with one bit flipped."),
        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Log every frame."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption commitDelayOption(QStringLiteral("commit-delay"),
                                               QStringLiteral("Every commit answers after MS ms."),
                                               QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption weichenFailOption(
        QStringLiteral("weichen-commit-fail"),
        QStringLiteral("The N-th switching-article commit is refused once."), QStringLiteral("N"));
    const QCommandLineOption wrongEchoOption(
        QStringLiteral("wrong-echo"),
        QStringLiteral("The N-th answer carries the next sub-operation instead of the echo "
                       "(checksum and length valid); with TIMES, so do the answers to the same "
                       "request after it, TIMES answers in all."),
        QStringLiteral("N[:TIMES]"));
    const QCommandLineOption modeAtOption(
        QStringLiteral("mode-at"),
        QStringLiteral("From the N-th answer on, the handshake reports MODE."),
        QStringLiteral("N:MODE"));
    const QCommandLineOption dropStagedOption(
        QStringLiteral("drop-staged-on-handshake"),
        QStringLiteral("Writes not yet committed are discarded by a new handshake."));
    const QCommandLineOption faultsAfterOption(
        QStringLiteral("faults-after"),
        QStringLiteral("Drop, corrupt and truncate begin after the N-th answer."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption usbLatencyOption(
        QStringLiteral("usb-latency"),
        QStringLiteral("Model the adapter: answers in 62-byte packets, the last partial one after "
                       "the latency timer (MS, unless the program set a smaller one)."),
        QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOption(usbLatencyOption);
    const QCommandLineOption latencyFixedOption(
        QStringLiteral("usb-latency-fixed"),
        QStringLiteral(
            "The adapter's latency timer cannot be set (no attribute beside the port)."));
    parser.addOption(latencyFixedOption);
    parser.addOptions({adaptersOption,    modeOption,        softwareOption, protocolOption,
                       datamodelOption,   serialOption,      loadOption,     sampleOption,
                       saveOption,        linkOption,        baudOption,     seedOption,
                       dropOption,        corruptOption,     truncateOption, unplugOption,
                       lsbOption,         lsbSaveOption,     flipOption,     logOption,
                       commitDelayOption, weichenFailOption, modeAtOption,   dropStagedOption,
                       faultsAfterOption, wrongEchoOption});
    if (!parser.parse(QCoreApplication::arguments()))
        return badUsage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return badUsage(
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    SimStation station;
    WireConditions wire;
    bool ok = false;
    const int adapters = parser.value(adaptersOption).toInt(&ok);
    if (!ok || adapters < 1 || adapters > 16)
        return badUsage(QStringLiteral("--adapters takes 1 to 16"));
    QStringList modes = parser.value(modeOption).split(QLatin1Char(','));
    for (const QString &mode : modes) {
        if (mode != QLatin1String("silent") && (mode.size() != 1 || mode.at(0).unicode() > 0x7F))
            return badUsage(QStringLiteral("--mode takes single letters or silent"));
    }
    while (modes.size() < adapters)
        modes.append(modes.last());
    if (!parseVersion(parser.value(softwareOption), station.softwareVersion) ||
        !parseVersion(parser.value(protocolOption), station.protocolVersion) ||
        !parseVersion(parser.value(datamodelOption), station.dataModelVersion))
        return badUsage(QStringLiteral("versions are decimal numbers up to 65535"));
    if (!station.setSerial(parser.value(serialOption)))
        return badUsage(QStringLiteral("--serial takes 8 hex digits"));
    wire.baud = parser.value(baudOption).toInt(&ok);
    if (!ok || wire.baud < 0)
        return badUsage(QStringLiteral("--baud takes a rate or 0"));
    const uint seed = parser.value(seedOption).toUInt(&ok);
    if (!ok)
        return badUsage(QStringLiteral("--seed takes a number"));
    wire.random.seed(seed);
    if (!parseProbability(parser.value(dropOption), wire.drop) ||
        !parseProbability(parser.value(corruptOption), wire.corrupt) ||
        !parseProbability(parser.value(truncateOption), wire.truncate) ||
        !parseProbability(parser.value(flipOption), station.flipStored))
        return badUsage(QStringLiteral("probabilities lie between 0 and 1"));
    if (parser.isSet(unplugOption)) {
        const QStringList parts = parser.value(unplugOption).split(QLatin1Char(':'));
        bool okN = false, okS = false;
        if (parts.size() == 2) {
            wire.unplugAfter = parts[0].toInt(&okN);
            wire.unplugSeconds = parts[1].toInt(&okS);
        }
        if (!okN || !okS || wire.unplugAfter < 1 || wire.unplugSeconds < 0)
            return badUsage(QStringLiteral("--unplug-at takes N:S"));
    }
    wire.commitDelayMs = parser.value(commitDelayOption).toInt(&ok);
    if (!ok || wire.commitDelayMs < 0)
        return badUsage(QStringLiteral("--commit-delay takes milliseconds"));
    wire.faultsAfter = parser.value(faultsAfterOption).toInt(&ok);
    if (!ok || wire.faultsAfter < 0)
        return badUsage(QStringLiteral("--faults-after takes a number of answers"));
    if (parser.isSet(weichenFailOption)) {
        station.weichenCommitFail = parser.value(weichenFailOption).toInt(&ok);
        if (!ok || station.weichenCommitFail < 1)
            return badUsage(QStringLiteral("--weichen-commit-fail takes N >= 1"));
    }
    if (parser.isSet(wrongEchoOption)) {
        const QStringList parts = parser.value(wrongEchoOption).split(QLatin1Char(':'));
        bool okN = false, okTimes = true;
        wire.wrongEchoAt = parts[0].toInt(&okN);
        if (parts.size() == 2)
            wire.wrongEchoTimes = parts[1].toInt(&okTimes);
        if (!okN || !okTimes || parts.size() > 2 || wire.wrongEchoAt < 1 || wire.wrongEchoTimes < 1)
            return badUsage(QStringLiteral("--wrong-echo takes N[:TIMES]"));
    }
    if (parser.isSet(modeAtOption)) {
        const QStringList parts = parser.value(modeAtOption).split(QLatin1Char(':'));
        bool okN = false;
        if (parts.size() == 2)
            wire.modeAt = parts[0].toInt(&okN);
        if (!okN || wire.modeAt < 1 || parts[1].size() != 1 || parts[1].at(0).unicode() > 0x7F)
            return badUsage(QStringLiteral("--mode-at takes N:MODE"));
        wire.modeLater = parts[1].at(0).toLatin1();
    }
    station.dropStagedOnHandshake = parser.isSet(dropStagedOption);
    wire.latencyFixed = parser.isSet(latencyFixedOption);
    wire.usbLatencyMs = parser.value(usbLatencyOption).toInt(&ok);
    if (!ok || wire.usbLatencyMs < 0 || wire.usbLatencyMs > 255)
        return badUsage(QStringLiteral("--usb-latency takes 0 to 255 ms"));
    if (parser.isSet(sampleOption) && parser.isSet(loadOption))
        return badUsage(QStringLiteral("--sample and --load exclude each other"));
    if (parser.isSet(sampleOption))
        station.fillSample();
    if (parser.isSet(loadOption) && !station.load(parser.value(loadOption)))
        return badUsage(QStringLiteral("cannot read %1").arg(parser.value(loadOption)));
    if (parser.isSet(lsbOption)) {
        const QStringList parts = parser.value(lsbOption).split(QLatin1Char(':'));
        bool ok = parts.size() == 4;
        uint values[4] = {};
        for (int i = 0; ok && i < 4; ++i)
            values[i] = parts[i].toUInt(&ok);
        if (!ok || values[0] > 0xFFFF || values[1] > 0xFFFF || values[2] > 0xFF || values[3] > 0xFF)
            return badUsage(QStringLiteral("--lsb-device takes A:T:H:S"));
        station.lsb = {true, quint16(values[0]), quint16(values[1]), quint8(values[2]),
                       quint8(values[3])};
    }
    station.lsbSavePath = parser.value(lsbSaveOption);
    station.random = &wire.random;
    std::unique_ptr<QFile> log;
    if (parser.isSet(logOption)) {
        log = std::make_unique<QFile>(parser.value(logOption));
        if (!log->open(QIODevice::WriteOnly | QIODevice::Truncate))
            return badUsage(QStringLiteral("cannot write %1").arg(parser.value(logOption)));
        wire.log = log.get();
    }
    wire.clock.start();
    // Wire delays are microseconds apart; the default timer slack would add 50 us to each.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    std::vector<std::unique_ptr<PtyPort>> ports;
    for (int i = 0; i < adapters; ++i) {
        ports.push_back(
            std::make_unique<PtyPort>(i, modes.at(i), station, wire, parser.value(linkOption)));
        if (!ports.back()->create()) {
            std::fprintf(stderr, "gleistron-sim: cannot create a terminal for adapter %d\n", i);
            return 1;
        }
    }

    const int quitFd = signalfd(-1, &quitSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (quitFd < 0)
        return 1;
    QSocketNotifier quitNotifier(quitFd, QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    for (const auto &port : ports)
        std::printf("PORT %s\n", qPrintable(port->path()));
    std::printf("READY\n");
    std::fflush(stdout);

    app.exec();
    ports.clear();
    std::printf("REJECTED %d\n", wire.rejected);
    std::fflush(stdout);
    if (parser.isSet(saveOption) && !station.save(parser.value(saveOption))) {
        std::fprintf(stderr, "gleistron-sim: cannot write %s\n",
                     qPrintable(parser.value(saveOption)));
        return 1;
    }
    return 0;
}

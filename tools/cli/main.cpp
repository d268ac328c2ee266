// gleistron-cli: backups, restores and inspection from scripts, through the window's jobs.

#include "clijobs.h"
#include "link/statustexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

enum ExitCode { Done = 0, Failed = 1, BadUsage = 2, NoStation = 3, WrongMode = 4, Declined = 5 };

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
}

void message(const QString &html)
{
    const QString text = StatusTexts::toPlainText(html);
    if (!text.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

int usage(const QString &why)
{
    std::fprintf(stderr, "gleistron-cli: %s\nTry 'gleistron-cli --help'.\n", qPrintable(why));
    return BadUsage;
}

// Runs a job to its end while the event loop delivers its queued reports; Ctrl+C asks it to
// stop between two exchanges.
void runJob(Comm2Pc &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QSocketNotifier interrupt(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupt, &QSocketNotifier::activated, &job, [&job] {
        std::fprintf(stderr, "gleistron-cli: interrupted, stopping ...\n");
        job.requestStop();
    });
    job.start();
    loop.exec();
    job.wait();
}

// Station reports shared by every command that talks to the station.
struct StationReports
{
    int exitCode = Done;

    void attach(Comm2Pc &job)
    {
        QObject::connect(&job, &Comm2Pc::signal_info_noGleistron, &job, [this] {
            message(StatusTexts::noGleistron());
            exitCode = NoStation;
        }, Qt::QueuedConnection);
        QObject::connect(&job, &Comm2Pc::signal_info_invalidMode, &job, [this] {
            message(StatusTexts::invalidMode());
            exitCode = WrongMode;
        }, Qt::QueuedConnection);
        QObject::connect(&job, &Comm2Pc::signal_exchange_failed, &job,
                         [] { message(StatusTexts::exchangeFailed()); }, Qt::QueuedConnection);
        QObject::connect(&job, &Comm2Pc::signal_reconnected, &job,
                         [] { message(StatusTexts::resumed()); }, Qt::QueuedConnection);
    }
};

int commandInfo()
{
    InfoJob job;
    StationReports reports;
    reports.attach(job);
    QObject::connect(
        &job, &Comm2Pc::signal_info_gleistronVersion, &job,
        [](const QString &serial, const QString &software, const QString &protocol,
           const QString &dataModel) {
            std::printf("serial %s\nsoftware %s\nprotocol %s\ndatamodel %s\n", qPrintable(serial),
                        qPrintable(software), qPrintable(protocol), qPrintable(dataModel));
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
    runJob(job);
    return reports.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gleistron-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Back up, restore and inspect an Orvandel Gleistron.\n\n"
        "Commands:\n"
        "  info                         find the station and print its identity\n"));
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("Message language (de or en)."), QStringLiteral("LANG"), QStringLiteral("de"));
    const QCommandLineOption newerOption(QStringLiteral("accept-newer-datamodel"), QStringLiteral("Go on when the station's data model is newer."));
    const QCommandLineOption debugOption(QStringLiteral("debug"), QStringLiteral("Print the link's debug lines."));
    parser.addOptions({langOption, newerOption, debugOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return Done;
    }
    if (!parser.isSet(debugOption))
        QLoggingCategory::setFilterRules(QStringLiteral("gleistron.*.debug=false"));

    QTranslator translator;
    const QString lang = parser.value(langOption);
    if (lang == QLatin1String("en")) {
        if (translator.load(QStringLiteral(":/i18n/language_en.qm")))
            QCoreApplication::installTranslator(&translator);
    } else if (lang != QLatin1String("de")) {
        return usage(QStringLiteral("--lang takes de or en"));
    }

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));

    if (::pipe(signalPipe) != 0)
        return Failed;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const QString command = args.first();
    try {
        if (command == QLatin1String("info")) {
            if (args.size() != 1)
                return usage(QStringLiteral("info takes no arguments"));
            return commandInfo();
        }
    } catch (const char *text) {
        std::fprintf(stderr, "gleistron-cli: %s\n", text);
        return Failed;
    }
    return usage(QStringLiteral("unknown command %1").arg(command));
}

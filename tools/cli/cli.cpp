// What every command of gleistron-cli shares.

#include "cli.h"

#include "backupfile/document.h"
#include "link/stationlink.h"
#include "link/statustexts.h"
#include "model/catalogue.h"
#include "model/versiontext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace Cli {

namespace {

int signalPipe[2] = {-1, -1};
volatile sig_atomic_t signalled = 0;

void onSignal(int)
{
    signalled = 1;
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
}

// A bar on a terminal, a line per tenth otherwise; the time left once it can be estimated.
class Progress
{
public:
    Progress() : terminal(isatty(STDERR_FILENO)) {}
    ~Progress() { interrupt(); }
    void show(int permille)
    {
        if (!clock.isValid())
            clock.start();
        const int percent = permille / 10;
        QByteArray left;
        if (const QString t = timeLeft.update(clock.elapsed(), permille); !t.isEmpty())
            left = (QStringLiteral(", ") + tr("noch %1").arg(t)).toLocal8Bit();
        if (terminal) {
            if (percent == last && left == lastLeft)
                return;
            const int filled = percent * 40 / 100;
            std::fprintf(stderr, "\r[%s%s] %3d%%%s   ", QByteArray(filled, '#').constData(),
                         QByteArray(40 - filled, ' ').constData(), percent, left.constData());
            std::fflush(stderr);
            last = percent;
            lastLeft = left;
        } else if (percent / 10 != last / 10 || last < 0) {
            std::fprintf(stderr, "progress %d%%%s\n", percent, left.constData());
            last = percent;
        }
    }
    // A message comes between two bars.
    void interrupt()
    {
        if (terminal && last >= 0)
            std::fputc('\n', stderr);
        last = -1;
    }
    // The next transfer's estimate starts from its own first progress.
    void restart() { timeLeft = StatusTexts::TimeLeft(); }

private:
    bool terminal;
    int last = -1;
    QByteArray lastLeft;
    QElapsedTimer clock;
    StatusTexts::TimeLeft timeLeft;
};

// Ctrl+C while `loop` runs: `stop` is called once per signal.
class Interrupts
{
public:
    explicit Interrupts(const std::function<void()> &stop)
        : notifier(signalPipe[0], QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, [this, stop] {
            char byte;
            (void)!::read(signalPipe[0], &byte, 1);
            failure(QStringLiteral("interrupted, stopping ..."));
            interrupted = true;
            stop();
        });
    }
    bool interrupted = false;

private:
    QSocketNotifier notifier;
};

} // namespace

bool interruptRequested()
{
    return signalled != 0;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

void message(const QString &html)
{
    const QString text = StatusTexts::toPlainText(html);
    if (!text.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

void failure(const QString &text)
{
    std::fprintf(stderr, "gleistron-cli: %s\n", qPrintable(text));
}

int usage(const QString &why)
{
    std::fprintf(stderr, "gleistron-cli: %s\nTry 'gleistron-cli --help'.\n", qPrintable(why));
    return BadUsage;
}

void catchInterrupts()
{
    if (::pipe(signalPipe) != 0)
        return;
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool runJob(StationLink &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    Interrupts interrupts([&job] { job.requestStop(); });
    job.start();
    loop.exec();
    job.wait();
    QCoreApplication::sendPostedEvents();
    return !interrupts.interrupted;
}

void attachStationReports(StationLink &job)
{
    QObject::connect(
        &job, &StationLink::signal_info_noGleistron, &job,
        [] {
            message(StatusTexts::noGleistron());
            message(tr("\"gleistron-cli doctor\" prüft Adapter, Rechte und Anschlüsse."));
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_info_portHeld, &job,
        [](const QString &port, const QString &holder) {
            message(StatusTexts::portHeld(port, holder));
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_info_invalidMode, &job,
        [] {
            message(StatusTexts::invalidMode());
            message(StatusTexts::backupMenuHint());
        },
        Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_exchange_failed, &job,
        [] { message(StatusTexts::exchangeFailed()); }, Qt::QueuedConnection);
    QObject::connect(
        &job, &StationLink::signal_reconnected, &job, [] { message(StatusTexts::resumed()); },
        Qt::QueuedConnection);
}

TransferSession::Result runSession(TransferSession &session, const Options &options,
                                   const std::function<void()> &start, bool *interrupted)
{
    QEventLoop loop;
    Progress progress;
    TransferSession::Result result;
    QObject::connect(&session, &TransferSession::jobStarted, &loop,
                     [](StationLink *job) { attachStationReports(*job); });
    QObject::connect(&session, &TransferSession::stepStarted, &loop,
                     [&progress](TransferSession::Step) { progress.restart(); });
    QObject::connect(&session, &TransferSession::message, &loop, [&progress](const QString &html) {
        progress.interrupt();
        message(html);
    });
    QObject::connect(&session, &TransferSession::report, &loop,
                     [&progress](const TransferEvent &event) {
                         progress.interrupt();
                         report(event);
                     });
    QObject::connect(&session, &TransferSession::progress, &loop,
                     [&progress](int permille) { progress.show(permille); });
    QObject::connect(
        &session, &TransferSession::versionProblem, &loop, [&session, &options](int version) {
            failure(QStringLiteral("the station's data model %1 is newer than %2")
                        .arg(versionText(quint16(version)),
                             versionText(StationLink::modelVersionLimit)));
            if (!options.acceptNewer)
                failure(QStringLiteral("declined; --accept-newer-datamodel goes on "
                                       "anyway"));
            session.answerVersion(options.acceptNewer);
        });
    QObject::connect(&session, &TransferSession::finished, &loop,
                     [&](const TransferSession::Result &r) {
                         result = r;
                         loop.quit();
                     });
    Interrupts interrupts([&session] { session.requestStop(); });
    start();
    if (session.busy())
        loop.exec();
    QCoreApplication::sendPostedEvents();
    if (interrupted)
        *interrupted = interrupts.interrupted;
    return result;
}

void report(const TransferEvent &event)
{
    say(TransferTexts::plain(event));
}

QString problemText(const SessionProblem &problem)
{
    using Kind = SessionProblem::Kind;
    switch (problem.kind) {
    case Kind::None:
        break;
    case Kind::KeepIsSource:
        return QStringLiteral("%1 is the file being restored; keep the previous state in another "
                              "file")
            .arg(problem.path);
    case Kind::KeepTaken:
        return QStringLiteral("%1 exists; the previous state goes into a new file")
            .arg(problem.path);
    case Kind::KeepUnwritable:
        return QStringLiteral("cannot write %1: %2").arg(problem.path, problem.error);
    case Kind::KeepAppeared:
        return QStringLiteral("%1 appeared during the restore and stays as it is; nothing was "
                              "sent")
            .arg(problem.path);
    case Kind::KeepWriteFailed:
        return QStringLiteral("cannot write %1: %2; nothing was sent")
            .arg(problem.path, problem.error);
    case Kind::FileCut:
        return QStringLiteral("the file is cut short or damaged and may lack selected sets; "
                              "nothing was sent (--sets with the sets it holds restores them)");
    case Kind::FileDamaged: {
        QStringList keys;
        for (int set : problem.sets)
            keys.append(QLatin1String(Catalogue::entry(set).key));
        return QStringLiteral("the file is damaged in %1 (%2); nothing was sent (--sets without "
                              "them restores the rest)")
            .arg(keys.join(QLatin1Char(',')), problem.places.join(QStringLiteral("; ")));
    }
    case Kind::NothingSelected:
        return QStringLiteral("no selected set is in the file; nothing was sent");
    }
    return QString();
}

int exitCodeOf(const TransferSession::Result &result)
{
    switch (result.outcome) {
    case TransferSession::Outcome::Done:
        return Done;
    case TransferSession::Outcome::NoStation:
        return NoStation;
    case TransferSession::Outcome::WrongMode:
        return WrongMode;
    case TransferSession::Outcome::Declined:
        return Declined;
    default:
        return Failed;
    }
}

bool selectSets(const QString &keys, DataImage &image)
{
    image.selectedSets.fill(0);
    for (const QString &key : keys.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (key == QLatin1String("all")) {
            image.selectedSets.fill(1);
            continue;
        }
        const int set = Catalogue::indexOfKey(key.trimmed());
        if (set < 0)
            return false;
        image.selectedSets[size_t(set)] = 1;
    }
    return std::any_of(image.selectedSets.begin(), image.selectedSets.end(),
                       [](quint8 f) { return f != 0; });
}

QString escaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c == QLatin1Char('\\'))
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool openDocument(const QString &path, Document &document, bool *damaged)
{
    const auto selection = document.image.selectedSets;
    const Document::Opened opened = document.open(path);
    document.image.selectedSets = selection;
    switch (opened) {
    case Document::Opened::NotABackup:
        failure(QStringLiteral("%1: not a backup file (.GTB2 or .GTB)").arg(path));
        return false;
    case Document::Opened::CannotOpen:
        failure(QStringLiteral("cannot read %1: %2").arg(path, document.errorText));
        return false;
    case Document::Opened::NotComplete:
        failure(
            path.toUpper().endsWith(QLatin1String(".GTB"))
                ? QStringLiteral("%1: not a complete backup of the old format (its length "
                                 "or its text is not that of one)")
                      .arg(path)
                : QStringLiteral("%1: not a complete backup (larger than any backup)").arg(path));
        return false;
    default:
        break;
    }
    for (const BackupFile::Damage &d : std::as_const(document.damage))
        failure(QStringLiteral("%1 is damaged: %2%3")
                    .arg(path, BackupFile::describe(d),
                         d.set >= 0 ? QStringLiteral("; %1 is not taken")
                                          .arg(QLatin1String(Catalogue::entry(d.set).key))
                                    : QString()));
    if (damaged)
        *damaged = !document.damage.isEmpty();
    return true;
}

} // namespace Cli

#pragma once

#include "routes/routeexport.h"
#include "workflows/transfersession.h"

#include <QString>
#include <functional>

class StationLink;
class DataImage;
class Document;

// What the command files share: exit codes, the message channels, running a job or a session
// to its end with Ctrl+C, and opening a backup through the document.
namespace Cli {

enum ExitCode { Done = 0, Failed = 1, BadUsage = 2, NoStation = 3, WrongMode = 4, Declined = 5 };

struct Options
{
    bool acceptNewer = false;
    bool verify = false;
    bool station = false;
    bool dryRun = false;
    bool details = false;
    QString sets = QStringLiteral("all");
    QString keepPrevious;
    QString records; // restore: only these
};

void message(const QString &html); // a console fragment, as plain text on stderr
void say(const QString &text);     // a line on stderr
void failure(const QString &text); // "gleistron-cli: ..." on stderr
int usage(const QString &why);
QString tr(const char *text);
// Control characters and the backslash as \xNN: a text from a file keeps to its line and cannot
// steer the terminal.
QString escaped(const QString &text);

void catchInterrupts();    // SIGINT and SIGTERM ask the running job to stop
bool interruptRequested(); // a SIGINT or SIGTERM came
// Runs a job to its end while the event loop delivers its reports; false when interrupted.
bool runJob(StationLink &job);
// The station's reports of every job, as the window's console shows them.
void attachStationReports(StationLink &job);
// Runs one workflow of the session to its end, with progress and the version question.
TransferSession::Result runSession(TransferSession &session, const Options &options,
                                   const std::function<void()> &start, bool *interrupted);
int exitCodeOf(const TransferSession::Result &result);
// A session's report as lines on stderr; why a restore sent nothing, in a line of English.
void report(const TransferEvent &event);
QString problemText(const SessionProblem &problem);

// Fills the selection from "all" or a comma-separated list of set keys.
bool selectSets(const QString &keys, DataImage &image);
// Opens a .GTB2 or .GTB file as the window does; false (with the reason) when it cannot be
// read. A damaged file opens with what it holds whole, each damage named; `damaged` tells.
bool openDocument(const QString &path, Document &document, bool *damaged = nullptr);

int commandInfo();
int commandDoctor();
int commandBackup(QString path, const Options &options);
int commandBackupDir(const QString &dir, int keep, const Options &options);
int commandWatch(const QString &dir, int keep, const Options &options); // until interrupted
int commandRestore(const QString &path, const Options &options);
int commandContents(const QString &path);
int commandCheck(const QString &path); // a backup file, or every backup in a folder
int commandConvert(const QString &in, const QString &out);
int commandRoute(const QString &path, const QString &number);
int commandRoutes(const QString &path, const QString &format);
// The routes as text for a terminal: each comment escaped.
QList<HeldRoute> plainComments(QList<HeldRoute> routes);
int commandRouteBook(const QString &path, const QString &out); // needs a QGuiApplication
int commandDiff(const QStringList &args, const Options &options);
int commandHistory(const QString &dir, const QString &record);
int commandLsbUpdate(const QString &path, bool dryRun);

} // namespace Cli

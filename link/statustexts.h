#pragma once

#include <QString>

// The messages that report the station's state to the user, shared by the window and the
// command-line tool. Rich text, translated in the window's context.
namespace StatusTexts {

constexpr const char *webHost = "https://www.orvandel.example";

QString noGleistron();
// No station answered, and the port is held by another program.
QString portHeld(const QString &port, const QString &holder);
QString invalidMode(); // plain text
QString gleistronFound(const QString &serial, const QString &softwareVersion);
QString outdatedSoftware();
QString communicationError();
// The menu the station must be in for the backup and route jobs (plain text).
QString backupMenuHint();
QString exchangeFailed();
QString resumed();

// The time a transfer still needs ("0:50"), from its rate since the first progress: the search
// before it does not count. Empty until three seconds of progress give a rate.
class TimeLeft
{
public:
    // A progress report at `ms` of time the link was up.
    QString update(qint64 ms, int permille);

private:
    qint64 since = -1; // the first progress: its time and permille
    int from = 0;
};

// Parses "1.299" into 1299; anything that is not a number counts as 0.
int versionNumber(const QString &versionText);

// For terminals: tags dropped, <BR> as line breaks, entities decoded.
QString toPlainText(const QString &html);

} // namespace StatusTexts

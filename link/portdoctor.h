#pragma once

#include <QList>
#include <QString>

// What keeps the program from reaching the station, outside the program: the adapter library,
// the adapters, who may open and who holds each port, its latency timer, programs that take
// USB-serial ports, our udev rule. Looks only; changes nothing.
namespace PortDoctor {

struct Finding
{
    enum Kind { Ok, Problem, Hint };
    Kind kind = Ok;
    QString check; // one word: library, adapters, port, access, holder, latency, ...
    QString text;
    QString fix; // what to do, for a problem or a hint
};

// Every check but the station's answer, which needs a job.
QList<Finding> examine();
// Whether a station answers, and in which mode (runs a search and waits for it).
Finding askStation();
// "ok <check> <text>", "problem <check> <text> fix: <fix>", "hint ...".
QString line(const Finding &finding);
// The problems as console lines for the window.
QString problemsHtml(const QList<Finding> &findings);

// Where our udev rule is installed, or empty.
QString installedRule();
constexpr const char *ruleName = "60-gleistron-manager.rules";

} // namespace PortDoctor

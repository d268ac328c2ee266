#include "portdoctor.h"

#include "ftd2xx/adapterports.h"
#include "ftdlibrary.h"
#include "stationprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QSet>
#include <grp.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PortDoctor {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

Finding found(Finding::Kind kind, const char *check, const QString &text,
              const QString &fix = QString())
{
    return Finding{kind, QString::fromLatin1(check), text, fix};
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                          : QString();
}

// The names of the running programs, read once for all checks.
QSet<QString> runningPrograms()
{
    QSet<QString> names;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        if (!pid.isEmpty() && pid.at(0).isDigit())
            names.insert(readText(QStringLiteral("/proc/%1/comm").arg(pid)));
    }
    return names;
}

bool installed(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (QFileInfo::exists(path))
            return true;
    }
    return false;
}

const QStringList &ruleFolders()
{
    static const QStringList folders = {
        QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
        QStringLiteral("/usr/lib/udev/rules.d"), QStringLiteral("/lib/udev/rules.d"),
        QStringLiteral("/usr/local/lib/udev/rules.d")};
    return folders;
}

QString userName()
{
    const passwd *user = ::getpwuid(::getuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::getuid());
}

Finding libraryFinding()
{
    const QString location = FtdLibrary::libraryLocation();
    QLibrary library(location);
    if (!library.load())
        return found(
            Finding::Problem, "library",
            translated(QT_TRANSLATE_NOOP("MainWindow", "Adapterbibliothek %1 nicht ladbar: %2"))
                .arg(location, library.errorString()),
            translated(QT_TRANSLATE_NOOP("MainWindow", "Gleistron Manager neu installieren")));
    // Only the maker's library has a version call.
    const bool vendors = library.resolve("FT_GetLibraryVersion") != nullptr;
    return found(
        Finding::Ok, "library",
        (vendors
             ? translated(QT_TRANSLATE_NOOP("MainWindow", "Adapterbibliothek des Herstellers: %1"))
             : translated(QT_TRANSLATE_NOOP("MainWindow", "Adapterbibliothek des Programms: %1")))
            .arg(library.fileName()));
}

void accessFindings(const QString &path, QList<Finding> &findings)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0) {
        findings << found(
            Finding::Ok, "access",
            translated(QT_TRANSLATE_NOOP("MainWindow", "%1: Lesen und Schreiben erlaubt"))
                .arg(path));
        return;
    }
    struct stat node
    {
    };
    ::stat(QFile::encodeName(device).constData(), &node);
    const group *owner = ::getgrgid(node.st_gid);
    const QString groupName =
        owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(node.st_gid);
    const QString user = userName();
    bool member = false;
    for (char **name = owner ? owner->gr_mem : nullptr; name && *name; ++name)
        member = member || user == QString::fromLocal8Bit(*name);
    if (member)
        findings << found(
            Finding::Problem, "access",
            translated(
                QT_TRANSLATE_NOOP("MainWindow",
                                  "%1 gehört der Gruppe %2; %3 ist Mitglied, aber noch nicht in "
                                  "dieser Sitzung"))
                .arg(path, groupName, user),
            translated(QT_TRANSLATE_NOOP("MainWindow", "ab- und wieder anmelden")));
    else
        findings << found(
            Finding::Problem, "access",
            translated(QT_TRANSLATE_NOOP("MainWindow",
                                         "%1 gehört der Gruppe %2, in der %3 nicht Mitglied ist"))
                .arg(path, groupName, user),
            translated(
                QT_TRANSLATE_NOOP("MainWindow", "sudo adduser %1 %2, dann ab- und wieder anmelden"))
                .arg(user, groupName));
}

void latencyFinding(const QString &path, QList<Finding> &findings)
{
    const QString attribute = AdapterPorts::latencyAttribute(path);
    if (attribute.isEmpty()) {
        findings << found(
            Finding::Ok, "latency",
            translated(
                QT_TRANSLATE_NOOP("MainWindow", "%1 hat keinen Latenz-Timer (kein FTDI-Treiber)"))
                .arg(path));
        return;
    }
    const int ms = readText(attribute).toInt();
    if (ms <= 2)
        findings << found(Finding::Ok, "latency",
                          translated(QT_TRANSLATE_NOOP("MainWindow", "%1: Latenz-Timer %2 ms"))
                              .arg(path)
                              .arg(ms));
    else if (::access(QFile::encodeName(attribute).constData(), W_OK) == 0)
        findings << found(
            Finding::Ok, "latency",
            translated(QT_TRANSLATE_NOOP(
                           "MainWindow",
                           "%1: Latenz-Timer %2 ms; das Programm stellt 2 ms ein, solange es "
                           "den Anschluss offen hat"))
                .arg(path)
                .arg(ms));
    else
        findings << found(
            Finding::Hint, "latency",
            translated(
                QT_TRANSLATE_NOOP("MainWindow",
                                  "%1: Latenz-Timer %2 ms, den nur root ändern kann; das Programm "
                                  "nimmt stattdessen das Low-Latency-Flag"))
                .arg(path)
                .arg(ms),
            translated(
                QT_TRANSLATE_NOOP("MainWindow", "die udev-Regel %1 installieren (stellt 2 ms ein)"))
                .arg(QString::fromLatin1(ruleName)));
}

} // namespace

QString installedRule()
{
    for (const QString &folder : ruleFolders()) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(ruleName));
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

QList<Finding> examine()
{
    QList<Finding> findings;
    findings << libraryFinding();

    const std::vector<AdapterPorts::Port> ports = AdapterPorts::list();
    QStringList names;
    for (const AdapterPorts::Port &port : ports)
        names << port.path;
    if (!qEnvironmentVariableIsEmpty("GLEISTRON_PORTS"))
        findings << found(Finding::Ok, "adapters",
                          translated(QT_TRANSLATE_NOOP("MainWindow", "GLEISTRON_PORTS nennt %1"))
                              .arg(names.join(QLatin1String(", "))));
    else if (ports.empty())
        findings << found(
            Finding::Problem, "adapters",
            translated(QT_TRANSLATE_NOOP(
                "MainWindow", "kein Adapter mit der Hersteller-Kennung 0403 angeschlossen")),
            translated(QT_TRANSLATE_NOOP(
                "MainWindow", "das USB-Kabel des Gleistron einstecken; lsusb zeigt den Adapter "
                              "dann als 0403:6001")));
    else
        findings << found(
            Finding::Ok, "adapters",
            translated(
                QT_TRANSLATE_NOOP("MainWindow", "%1 Adapter mit der Hersteller-Kennung 0403: %2"))
                .arg(ports.size())
                .arg(names.join(QLatin1String(", "))));

    for (const AdapterPorts::Port &port : ports) {
        if (!QFileInfo::exists(port.path)) {
            findings << found(
                Finding::Problem, "port",
                translated(QT_TRANSLATE_NOOP("MainWindow", "%1 gibt es nicht")).arg(port.path),
                translated(QT_TRANSLATE_NOOP(
                    "MainWindow", "den Adapter einstecken oder GLEISTRON_PORTS berichtigen")));
            continue;
        }
        findings << found(Finding::Ok, "port",
                          translated(QT_TRANSLATE_NOOP("MainWindow", "%1 (Seriennummer %2)"))
                              .arg(port.path, port.serial));
        accessFindings(port.path, findings);
        const QString holder = AdapterPorts::holder(port.path);
        if (holder.isEmpty())
            findings << found(
                Finding::Ok, "holder",
                translated(QT_TRANSLATE_NOOP("MainWindow", "%1 ist frei")).arg(port.path));
        else
            findings << found(
                Finding::Problem, "holder",
                translated(QT_TRANSLATE_NOOP("MainWindow", "%1 wird benutzt von %2"))
                    .arg(port.path, holder),
                translated(QT_TRANSLATE_NOOP("MainWindow", "%1 beenden")).arg(holder));
        latencyFinding(port.path, findings);
    }

    const QString rule = installedRule();
    const QSet<QString> running = runningPrograms();
    const bool modemManager = installed({QStringLiteral("/usr/sbin/ModemManager")}) ||
                              running.contains(QStringLiteral("ModemManager"));
    if (!modemManager)
        findings << found(
            Finding::Ok, "modemmanager",
            translated(QT_TRANSLATE_NOOP("MainWindow", "ModemManager ist nicht installiert")));
    else if (!rule.isEmpty())
        findings << found(
            Finding::Ok, "modemmanager",
            translated(QT_TRANSLATE_NOOP("MainWindow",
                                         "ModemManager lässt den Adapter in Ruhe (udev-Regel)")));
    else
        findings << found(
            Finding::Hint, "modemmanager",
            translated(QT_TRANSLATE_NOOP(
                "MainWindow", "ModemManager ist installiert und kann den Adapter beim Einstecken "
                              "abfragen")),
            translated(QT_TRANSLATE_NOOP("MainWindow", "die udev-Regel %1 installieren"))
                .arg(QString::fromLatin1(ruleName)));

    const bool brltty =
        installed({QStringLiteral("/usr/bin/brltty"), QStringLiteral("/usr/sbin/brltty"),
                   QStringLiteral("/bin/brltty")}) ||
        running.contains(QStringLiteral("brltty"));
    if (!brltty)
        findings << found(
            Finding::Ok, "brltty",
            translated(QT_TRANSLATE_NOOP("MainWindow", "brltty ist nicht installiert")));
    else
        findings << found(
            Finding::Problem, "brltty",
            translated(QT_TRANSLATE_NOOP("MainWindow",
                                         "brltty ist installiert und nimmt Adapter dieser Art beim "
                                         "Einstecken für eine Braillezeile")),
            translated(QT_TRANSLATE_NOOP(
                "MainWindow", "sudo apt-get remove brltty, wenn keine Braillezeile benutzt wird")));

    if (rule.isEmpty())
        findings << found(
            Finding::Hint, "udev-rule",
            translated(QT_TRANSLATE_NOOP("MainWindow", "die udev-Regel %1 ist nicht installiert"))
                .arg(QString::fromLatin1(ruleName)),
            translated(QT_TRANSLATE_NOOP(
                "MainWindow", "sie aus dem Paket nach /etc/udev/rules.d kopieren, dann den Adapter "
                              "neu einstecken")));
    else
        findings << found(Finding::Ok, "udev-rule", rule);
    return findings;
}

Finding askStation()
{
    Finding finding{Finding::Problem, QStringLiteral("station"),
                    translated(QT_TRANSLATE_NOOP("MainWindow", "kein Gleistron antwortet")),
                    translated(QT_TRANSLATE_NOOP(
                        "MainWindow", "den Gleistron einschalten und das USB-Kabel prüfen"))};
    std::unique_ptr<StationProbe> probe;
    try {
        probe = std::make_unique<StationProbe>();
    } catch (const char *) {
        finding.text =
            translated(QT_TRANSLATE_NOOP("MainWindow", "ohne Adapterbibliothek nicht zu fragen"));
        finding.fix = translated(
            QT_TRANSLATE_NOOP("MainWindow", "erst das Problem der Adapterbibliothek beheben"));
        return finding;
    }
    probe->heldPortWaitMs = 0; // the holder has its own line
    // Direct: the probe is waited for, and nothing else touches the finding meanwhile.
    QObject::connect(
        probe.get(), &StationLink::signal_info_gleistronVersion, probe.get(),
        [&finding](const QString &serial, const QString &software, const QString &,
                   const QString &) {
            finding =
                Finding{Finding::Ok, QStringLiteral("station"),
                        translated(QT_TRANSLATE_NOOP("MainWindow",
                                                     "Gleistron %1, Software %2, im PC-Modus"))
                            .arg(serial, software),
                        QString()};
        },
        Qt::DirectConnection);
    QObject::connect(
        probe.get(), &StationLink::signal_info_invalidMode, probe.get(),
        [&finding] {
            finding.text = translated(QT_TRANSLATE_NOOP(
                "MainWindow", "ein Gleistron antwortet, steht aber nicht im PC-Modus"));
            finding.fix = translated(
                QT_TRANSLATE_NOOP("MainWindow", "am Gleistron das Menü Datensicherung wählen"));
        },
        Qt::DirectConnection);
    probe->start();
    probe->wait();
    return finding;
}

QString line(const Finding &finding)
{
    static const char *const kinds[] = {"ok", "problem", "hint"};
    QString text = QStringLiteral("%1 %2 %3")
                       .arg(QLatin1String(kinds[finding.kind]), finding.check, finding.text);
    if (!finding.fix.isEmpty())
        text += QStringLiteral(" fix: ") + finding.fix;
    return text;
}

QString problemsHtml(const QList<Finding> &findings)
{
    QString html;
    for (const Finding &finding : findings) {
        if (finding.kind == Finding::Problem)
            html += translated(
                        QT_TRANSLATE_NOOP("MainWindow", "Mögliche Ursache: %1 – Abhilfe: %2<BR>"))
                        .arg(finding.text.toHtmlEscaped(), finding.fix.toHtmlEscaped());
    }
    return html;
}

} // namespace PortDoctor

// gleistron-cli: backups, restores and inspection from scripts. This file reads the command
// line and hands each command to its own file; the workflows are the core's.

#include "cli.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace Cli;

int main(int argc, char *argv[])
{
    // A write beyond a file size limit then fails with the system's message, instead of the
    // signal ending the tool without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    // Only the route book draws: it needs fonts, and so a (windowless) GUI application.
    bool draws = false;
    for (int i = 1; i < argc; ++i)
        draws = draws || std::strcmp(argv[i], "route-book") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (draws) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("gleistron-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Back up, restore and inspect an Orvandel Gleistron.\n\n"
        "Commands:\n"
        "  info                          find the station and print its identity\n"
        "  doctor                        check adapters, ports and permissions: ok, problem\n"
        "                                and hint lines; changes nothing\n"
        "  backup [OUT.GTB2] [--sets KEYS]\n"
        "                                download data sets into a backup file (without a name:\n"
        "                                Gleistron-<serial>-<date>.GTB2 here)\n"
        "  backup --dir DIR [--keep N] [--sets KEYS]\n"
        "                                a dated backup into DIR, unless the newest one there\n"
        "                                holds the same; keeps the newest N (default 10)\n"
        "  watch --dir DIR [--keep N] [--sets KEYS]\n"
        "                                a backup --dir each time the station is plugged in,\n"
        "                                until stopped\n"
        "  restore FILE [--sets KEYS] [--verify] [--keep-previous PREV.GTB2]\n"
        "                                upload the data sets of a backup file; --verify reads\n"
        "                                them back whole and prints each difference\n"
        "  restore FILE --records SET:N[,N...][;SET:...] [--verify] [--keep-previous PREV.GTB2]\n"
        "                                take single records of the file back: reads their sets\n"
        "                                from the station, replaces those records, sends the\n"
        "                                sets whole\n"
        "  inspect FILE                  print what a backup file holds\n"
        "  check FILE|DIR                check that a backup, or every backup in a folder, is\n"
        "                                whole: ok, damaged, or unchecked (no checksums)\n"
        "  convert IN.GTB OUT.GTB2       save an old backup file in the current format\n"
        "  route FILE N                  print route N as the routes tab shows it\n"
        "  routes FILE [--format text|csv|json]\n"
        "                                print every route the file holds\n"
        "  route-book FILE OUT.pdf       print every route into a book: contents, routes,\n"
        "                                an index of the elements they use\n"
        "  diff A B [--details]          compare two backups: <set> <number> "
        "added|removed|changed;\n"
        "                                --details: what changed inside each changed record\n"
        "  diff FILE --station [--sets KEYS] [--details]\n"
        "                                compare a backup with the station\n"
        "  history DIR SET:NUMBER        the dated backups in DIR, oldest first, in which that\n"
        "                                record changed, appeared or went, with the details\n"
        "  lsb-update FIRMWARE.lsb [--dry-run]\n"
        "                                update the LSB device the station holds in update mode\n\n"
        "Set keys: lokomotiven, gleisplan1, gleisplan2, gleisplan3, weichen, rueckmelder,\n"
        "fahrstrassen, lsb, hsb, system, lokbilder, or all.\n\n"
        "Exit status: 0 done, 1 failed, 2 bad usage, 3 no station, 4 wrong mode,\n"
        "5 declined (newer data model)."));
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"),
                                        QStringLiteral("Message language (de or en)."),
                                        QStringLiteral("LANG"), QStringLiteral("de"));
    const QCommandLineOption newerOption(
        QStringLiteral("accept-newer-datamodel"),
        QStringLiteral("Go on when the station's data model is newer."));
    const QCommandLineOption setsOption(QStringLiteral("sets"),
                                        QStringLiteral("Data sets to transfer."),
                                        QStringLiteral("KEYS"), QStringLiteral("all"));
    const QCommandLineOption verifyOption(
        QStringLiteral("verify"),
        QStringLiteral("After a restore, read the sets back and compare."));
    const QCommandLineOption debugOption(QStringLiteral("debug"),
                                         QStringLiteral("Print the link's debug lines."));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("lsb-update: read the file and the device, send nothing."));
    const QCommandLineOption keepOption(
        QStringLiteral("keep-previous"),
        QStringLiteral("restore: first save the sets about to be overwritten into PREV.GTB2."),
        QStringLiteral("PREV.GTB2"));
    const QCommandLineOption recordsOption(
        QStringLiteral("records"),
        QStringLiteral("restore: only these records, numbered as diff prints them."),
        QStringLiteral("SET:N[,N...][;SET:...]"));
    const QCommandLineOption stationOption(
        QStringLiteral("station"), QStringLiteral("diff: compare the backup with the station."));
    const QCommandLineOption detailsOption(
        QStringLiteral("details"),
        QStringLiteral("diff: after each changed line, what changed inside the record."));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("routes: text, csv or json."),
                                          QStringLiteral("FORMAT"), QStringLiteral("text"));
    const QCommandLineOption dirOption(
        QStringLiteral("dir"), QStringLiteral("backup, watch: the folder of dated backups."),
        QStringLiteral("DIR"));
    const QCommandLineOption keepCountOption(
        QStringLiteral("keep"),
        QStringLiteral("backup --dir, watch: how many of the station's backups stay."),
        QStringLiteral("N"), QStringLiteral("10"));
    parser.addOptions({langOption, newerOption, setsOption, verifyOption, debugOption, dryRunOption,
                       stationOption, keepOption, formatOption, dirOption, keepCountOption,
                       detailsOption, recordsOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return Done;
    }
    if (parser.isSet(debugOption))
        QLoggingCategory::setFilterRules(QStringLiteral("gleistron.*.debug=true"));

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

    catchInterrupts();

    Options options;
    options.acceptNewer = parser.isSet(newerOption);
    options.sets = parser.value(setsOption);
    options.verify = parser.isSet(verifyOption);
    options.keepPrevious = parser.value(keepOption);
    options.station = parser.isSet(stationOption);
    options.details = parser.isSet(detailsOption);
    options.records = parser.value(recordsOption);
    const QString command = args.first();
    if (options.verify && command != QLatin1String("restore"))
        return usage(QStringLiteral("--verify belongs to restore"));
    if (parser.isSet(keepOption) && command != QLatin1String("restore"))
        return usage(QStringLiteral("--keep-previous belongs to restore"));
    if (parser.isSet(recordsOption) && command != QLatin1String("restore"))
        return usage(QStringLiteral("--records belongs to restore"));
    if (parser.isSet(recordsOption) && parser.isSet(setsOption))
        return usage(QStringLiteral("restore takes --sets or --records, not both"));
    if (parser.isSet(stationOption) && command != QLatin1String("diff"))
        return usage(QStringLiteral("--station belongs to diff"));
    if (options.details && command != QLatin1String("diff"))
        return usage(QStringLiteral("--details belongs to diff"));
    if (parser.isSet(formatOption) && command != QLatin1String("routes"))
        return usage(QStringLiteral("--format belongs to routes"));
    if (parser.isSet(dryRunOption) && command != QLatin1String("lsb-update"))
        return usage(QStringLiteral("--dry-run belongs to lsb-update"));
    const bool watch = command == QLatin1String("watch");
    if (parser.isSet(dirOption) && command != QLatin1String("backup") && !watch)
        return usage(QStringLiteral("--dir belongs to backup and watch"));
    if (parser.isSet(keepCountOption) && !parser.isSet(dirOption))
        return usage(QStringLiteral("--keep belongs to backup --dir and watch"));
    bool keepOk = false;
    const int keep = parser.value(keepCountOption).toInt(&keepOk);
    if (!keepOk || keep < 1)
        return usage(QStringLiteral("--keep takes a number of at least 1"));
    const bool takesSets = command == QLatin1String("backup") || watch ||
                           command == QLatin1String("restore") ||
                           (command == QLatin1String("diff") && parser.isSet(stationOption));
    if (parser.isSet(setsOption) && !takesSets)
        return usage(QStringLiteral("--sets belongs to backup, watch, restore and diff --station"));
    try {
        if (command == QLatin1String("info")) {
            if (args.size() != 1)
                return usage(QStringLiteral("info takes no arguments"));
            return commandInfo();
        }
        if (command == QLatin1String("doctor")) {
            if (args.size() != 1)
                return usage(QStringLiteral("doctor takes no arguments"));
            return commandDoctor();
        }
        if (watch) {
            if (args.size() != 1 || !parser.isSet(dirOption))
                return usage(QStringLiteral("watch takes --dir DIR"));
            return commandWatch(parser.value(dirOption), keep, options);
        }
        if (command == QLatin1String("backup") && parser.isSet(dirOption)) {
            if (args.size() != 1)
                return usage(QStringLiteral("backup --dir takes no file name"));
            return commandBackupDir(parser.value(dirOption), keep, options);
        }
        if (command == QLatin1String("backup")) {
            if (args.size() > 2)
                return usage(QStringLiteral("backup takes at most the file to write"));
            return commandBackup(args.value(1), options);
        }
        if (command == QLatin1String("restore")) {
            if (args.size() != 2)
                return usage(QStringLiteral("restore takes the file to upload"));
            return commandRestore(args.at(1), options);
        }
        if (command == QLatin1String("convert")) {
            if (args.size() != 3)
                return usage(QStringLiteral("convert takes IN.GTB and OUT.GTB2"));
            return commandConvert(args.at(1), args.at(2));
        }
        if (command == QLatin1String("route")) {
            if (args.size() != 3)
                return usage(QStringLiteral("route takes a backup file and a route number"));
            return commandRoute(args.at(1), args.at(2));
        }
        if (command == QLatin1String("routes")) {
            if (args.size() != 2)
                return usage(QStringLiteral("routes takes a backup file"));
            return commandRoutes(args.at(1), parser.value(formatOption));
        }
        if (command == QLatin1String("route-book")) {
            if (args.size() != 3)
                return usage(QStringLiteral("route-book takes a backup file and OUT.pdf"));
            return commandRouteBook(args.at(1), args.at(2));
        }
        if (command == QLatin1String("lsb-update")) {
            if (args.size() != 2)
                return usage(QStringLiteral("lsb-update takes a firmware file"));
            return commandLsbUpdate(args.at(1), parser.isSet(dryRunOption));
        }
        if (command == QLatin1String("diff")) {
            const bool station = parser.isSet(stationOption);
            if (args.size() != (station ? 2 : 3))
                return usage(QStringLiteral("diff takes two backup files, or one and --station"));
            return commandDiff(args, options);
        }
        if (command == QLatin1String("history")) {
            if (args.size() != 3)
                return usage(QStringLiteral("history takes a folder and a record as SET:NUMBER"));
            return commandHistory(args.at(1), args.at(2));
        }
        if (command == QLatin1String("inspect")) {
            if (args.size() != 2)
                return usage(QStringLiteral("inspect takes a backup file"));
            return commandContents(args.at(1));
        }
        if (command == QLatin1String("check")) {
            if (args.size() != 2)
                return usage(QStringLiteral("check takes a backup file or a folder"));
            return commandCheck(args.at(1));
        }
    } catch (const char *text) {
        failure(QString::fromLatin1(text));
        return Failed;
    }
    return usage(QStringLiteral("unknown command %1").arg(command));
}

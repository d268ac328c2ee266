// gleistron-cli as scripts use it: output lines and exit codes.

#include "../common/simprocess.h"

#include <QProcess>
#include <QTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &args, const QString &ports)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GLEISTRON_PORTS"), ports);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GLEISTRON_CLI), args);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void infoPrintsIdentity();
    void infoOutcomes_data();
    void infoOutcomes();
    void badUsage_data();
    void badUsage();
};

void TestCli::infoPrintsIdentity()
{
    SimProcess sim({"--serial", "0A1B2C3D", "--software", "1234", "--datamodel", "2001"});
    QVERIFY(sim.start());
    const Run run = cli({"info"}, sim.ports());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("serial 0A1B2C3D\nsoftware 1.234\nprotocol 0.003\n"
                                     "datamodel 2.001\n"));
}

void TestCli::infoOutcomes_data()
{
    QTest::addColumn<QStringList>("simArgs"); // empty: no station at all
    QTest::addColumn<QStringList>("cliArgs");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong mode") << QStringList{"--mode", "N"} << QStringList{"info"} << 4
                                << "Achtung! Gleistron nicht im Richtigem Modus.";
    QTest::newRow("no station") << QStringList() << QStringList{"info"} << 3
                                << "FEHLER: Kein Gleistron gefunden!";
    QTest::newRow("no station, English") << QStringList() << QStringList{"info", "--lang", "en"}
                                         << 3 << "ERROR: No Gleistron found!";
}

void TestCli::infoOutcomes()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, cliArgs);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    SimProcess sim(simArgs);
    QString ports = QStringLiteral("/nonexistent/gleistron0");
    if (!simArgs.isEmpty()) {
        QVERIFY(sim.start());
        ports = sim.ports();
    }
    const Run run = cli(cliArgs, ports);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void TestCli::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList{"fly"};
    QTest::newRow("unknown option") << QStringList{"info", "--colour"};
    QTest::newRow("bad language") << QStringList{"info", "--lang", "fr"};
}

void TestCli::badUsage()
{
    QFETCH(QStringList, args);
    QCOMPARE(cli(args, QString()).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

// Finding the station, through the simulated station and our adapter library.

#include "../common/simprocess.h"
#include "commands/comm2pc.h"
#include "link/protocol.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Spies
{
    explicit Spies(Comm2Pc &w)
        : noStation(&w, &Comm2Pc::signal_info_noGleistron),
          invalidMode(&w, &Comm2Pc::signal_info_invalidMode),
          version(&w, &Comm2Pc::signal_info_gleistronVersion),
          opened(&w, &Comm2Pc::signal_info_openDevice),
          handshakes(&w, &Comm2Pc::signal_info_receiveHandshake),
          lost(&w, &Comm2Pc::signal_exchange_failed), back(&w, &Comm2Pc::signal_reconnected)
    {
    }
    int total() const
    {
        return int(noStation.count() + invalidMode.count() + version.count() + opened.count() +
                   handshakes.count() + lost.count() + back.count());
    }
    QSignalSpy noStation, invalidMode, version, opened, handshakes, lost, back;
};
} // namespace

class TestSearch : public QObject
{
    Q_OBJECT
private slots:
    void secondAdapterAnswers();
    void wrongModeOnly();
    void identity();
    void silentSearch();
    void noAdapter();
    void lossReportedOnce();
    void pulledCableRecovers();
    void wrongModeBehindSilentAdapter();
    void endedJobReleasesAdapter();
    void searchSetsLatencyTimer();
    void damagedAnswerAskedAgain();
};

void TestSearch::secondAdapterAnswers()
{
    SimProcess sim({"--adapters", "2", "--mode", "N,Y", "--software", "1301"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(spies.version.isValid());
    QVERIFY(worker.connectDevice(false));
    QCOMPARE(spies.opened.count(), 2);
    QCOMPARE(spies.invalidMode.count(), 0);
    QCOMPARE(spies.version.count(), 1);
    QCOMPARE(spies.version.at(0).at(1).toString(), QStringLiteral("1.301"));
    QCOMPARE(spies.opened.at(1).at(1).toString(), QStringLiteral("gleistron1"));
}

void TestSearch::wrongModeOnly()
{
    SimProcess sim({"--mode", "N"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(!worker.connectDevice(false));
    QCOMPARE(spies.invalidMode.count(), 1);
    QCOMPARE(spies.noStation.count(), 0);
    QCOMPARE(spies.version.count(), 0);

    QVERIFY(worker.reconnectDevice(false));
    QCOMPARE(spies.version.count(), 1);
    QCOMPARE(spies.invalidMode.count(), 1);
}

void TestSearch::identity()
{
    SimProcess sim(
        {"--software", "2000", "--protocol", "3", "--datamodel", "105", "--serial", "56347812"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(worker.connectDevice(false));
    QCOMPARE(worker.dataModelVersion, 105);
    const QList<QVariant> args = spies.version.at(0);
    QCOMPARE(args.at(0).toString(), QStringLiteral("56347812"));
    QCOMPARE(args.at(1).toString(), QStringLiteral("2.000"));
    QCOMPARE(args.at(2).toString(), QStringLiteral("0.003"));
    QCOMPARE(args.at(3).toString(), QStringLiteral("0.105"));
    // The handshake answer travels as hex with its checksum judged good.
    QCOMPARE(spies.handshakes.count(), 1);
    QVERIFY(spies.handshakes.at(0).at(1).toString().startsWith(QLatin1String("59001b59")));
    QCOMPARE(spies.handshakes.at(0).at(2).toBool(), true);
}

void TestSearch::silentSearch()
{
    SimProcess sim({"--datamodel", "2100"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    QSignalSpy nrDevices(&worker, &Comm2Pc::signal_nr_devices);
    Spies spies(worker);
    QVERIFY(worker.connectDevice(true));
    QCOMPARE(spies.total() + nrDevices.count(), 0);
    QCOMPARE(worker.dataModelVersion, 2100);
}

void TestSearch::noAdapter()
{
    ScopedPorts ports{QString()};
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(!worker.connectDevice(false));
    QCOMPARE(spies.noStation.count(), 1);
    QVERIFY(!worker.reconnectDevice(false));
    QCOMPARE(spies.noStation.count(), 2);
}

void TestSearch::lossReportedOnce()
{
    QTemporaryDir empty;
    ScopedPorts ports(empty.filePath(QStringLiteral("gleistron0")));
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(!worker.recoverConnection());
    QVERIFY(!worker.recoverConnection());
    QCOMPARE(spies.lost.count(), 1);
    QCOMPARE(spies.back.count(), 0);

    SimProcess sim;
    QVERIFY(sim.start());
    ScopedPorts back(sim.ports());
    QVERIFY(worker.recoverConnection());
    QCOMPARE(spies.lost.count(), 1);
    QCOMPARE(spies.back.count(), 1);
}

void TestSearch::pulledCableRecovers()
{
    // Answer 1 is the search, answer 2 the first exchange; then the cable is out for 2 s.
    SimProcess sim({"--unplug-at", "2:2"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(worker.connectDevice(true));
    quint8 answer[27] = {};
    for (int i = 0; i < 100 && spies.back.count() == 0; ++i) {
        std::fill(std::begin(answer), std::end(answer), 0);
        worker.exchangeUntilAnswered(Protocol::HandshakeRequest, 20, answer, 27);
        QCOMPARE(answer[3], quint8('Y'));
        QTest::qWait(20);
    }
    QCOMPARE(spies.lost.count(), 1);
    QCOMPARE(spies.back.count(), 1);
}

void TestSearch::wrongModeBehindSilentAdapter()
{
    // The station answers in another mode; the adapter after it is silent. That is a station
    // in the wrong mode, not a missing one.
    SimProcess sim({"--adapters", "3", "--mode", "N,silent,Y"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports().section(',', 0, 1));
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(!worker.connectDevice(false));
    QCOMPARE(spies.invalidMode.count(), 1);
    QCOMPARE(spies.noStation.count(), 0);
}

void TestSearch::endedJobReleasesAdapter()
{
    struct Job : Comm2Pc
    {
        void run() override { found = connectDevice(true); }
        bool found = false;
    };
    SimProcess sim;
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Job job;
    job.start();
    QVERIFY(job.wait(10000));
    QVERIFY(job.found);
    // Another program can use the station now.
    QProcess cli;
    cli.start(QStringLiteral(GLEISTRON_CLI), {"info"});
    QVERIFY(cli.waitForFinished(20000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
}

void TestSearch::searchSetsLatencyTimer()
{
    // The modelled adapter keeps a partly filled packet for 16 ms unless told otherwise; the
    // search tells it 2 ms, through the attribute beside the port.
    SimProcess sim({"--usb-latency", "16"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    QFile attribute(sim.ports() + QStringLiteral(".latency_timer"));
    QVERIFY(attribute.open(QIODevice::ReadOnly));
    QCOMPARE(attribute.readAll().trimmed(), QByteArray("16"));
    attribute.close();
    Comm2Pc worker;
    QVERIFY(worker.connectDevice(true));
    QVERIFY(attribute.open(QIODevice::ReadOnly));
    QCOMPARE(attribute.readAll().trimmed(), QByteArray("2"));
    attribute.close();
    // Left as found when the port is let go.
    worker.library.closeAll();
    QVERIFY(attribute.open(QIODevice::ReadOnly));
    QCOMPARE(attribute.readAll().trimmed(), QByteArray("16"));
}

void TestSearch::damagedAnswerAskedAgain()
{
    // With this seed the first handshake answer is damaged, the second whole.
    SimProcess sim({"--corrupt", "0.5", "--seed", "2"});
    QVERIFY(sim.start());
    ScopedPorts ports(sim.ports());
    Comm2Pc worker;
    Spies spies(worker);
    QVERIFY(worker.connectDevice(false));
    QCOMPARE(spies.noStation.count(), 0);
    QCOMPARE(spies.handshakes.count(), 2);
    QCOMPARE(spies.handshakes.at(0).at(2).toBool(), false);
    QCOMPARE(spies.handshakes.at(1).at(2).toBool(), true);
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"

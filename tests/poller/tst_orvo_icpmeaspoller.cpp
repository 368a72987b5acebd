// The measurement poller against the module simulator over real Modbus TCP on 127.0.0.1.
// Most tests drive cycles through pollCycle() on a poller created after the link was opened
// (so it is not polling and no timer interferes); the tests of onConOpened create it first.

#include "modulesimulator.h"
#include "orvo_icpconnection.h"
#include "orvo_icpmeaspoller.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ModuleSimulator::Kind)

namespace {

using Sim = ModuleSimulator;
using Tx = ModuleSimulator::Transaction;

int readsAt(const QVector<Tx> &log, uint reg)
{
    int n = 0;
    for (const Tx &t : log)
        n += t.readRegister() == reg ? 1 : 0;
    return n;
}

int writesAt(const QVector<Tx> &log, uint reg)
{
    int n = 0;
    for (const Tx &t : log)
        n += t.writeRegister() == reg ? 1 : 0;
    return n;
}

uint channelRegister(int ch)
{
    return Sim::ChannelRegister + Sim::ChannelCount * uint(ch);
}

// A simulator, a link open to it, and a poller.
struct Rig
{
    explicit Rig(Sim::Kind kind = Sim::Kind::Icp)
        : sim(kind)
    {
        sim.setMovingValues(false);
    }

    bool start()
    {
        if (!sim.start())
            return false;
        info->ipAddr = QStringLiteral("127.0.0.1");
        info->port = sim.port();
        return true;
    }

    bool open() { return link.open(info, false) && link.isConnected(); }

    // The poller sees opened() and runs the forced first cycle inside open().
    bool openWithPoller()
    {
        poller = std::make_unique<Orvo_ICPMeasPoller>(&link);
        return open();
    }

    // The poller comes after the opening: idle, driven by pollCycle() only.
    bool openThenPoller()
    {
        if (!open())
            return false;
        poller = std::make_unique<Orvo_ICPMeasPoller>(&link);
        return true;
    }

    void bump(int word) { sim.setStatusWord(word, quint16(sim.statusWord(word) + 1)); }

    void setChannelMask(quint16 mask, quint16 spDisabled = 0)
    {
        t_orvo_settings s;
        sim.settings(s);
        s.channel_mask = mask;
        for (int c = 0; c < 4; ++c)
            s.channels[c].sp_disable = (spDisabled >> c) & 1;
        sim.setSettings(s);
    }

    Sim sim;
    Orvo_ICPConnection link;
    QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info =
        QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    std::unique_ptr<Orvo_ICPMeasPoller> poller;
};

struct Spies
{
    explicit Spies(Orvo_ICPMeasPoller *p)
        : settings(p, &Orvo_ICPMeasPoller::settingsChanged)
        , relay(p, &Orvo_ICPMeasPoller::relayStateChanged)
        , ch(p, &Orvo_ICPMeasPoller::chStateChanged)
        , wf(p, &Orvo_ICPMeasPoller::wfStateChanged)
        , sp(p, &Orvo_ICPMeasPoller::spectrStateChanged)
    {}

    void clear()
    {
        settings.clear();
        relay.clear();
        ch.clear();
        wf.clear();
        sp.clear();
    }

    QList<int> channels() const
    {
        QList<int> out;
        for (const auto &args : ch)
            out << static_cast<const QSharedPointer<ChState> *>(args.at(0).constData())->data()->ch;
        return out;
    }

    QSignalSpy settings, relay, ch, wf, sp;
};

} // namespace

class TestMeasPoller : public QObject
{
    Q_OBJECT

private slots:
    void helpers_data();
    void helpers();
    void spectrumChannels();

    void forcedFirstCycle_data();
    void forcedFirstCycle();
    void failedForcedCycleIsRepeated();
    void changeDetection_data();
    void changeDetection();
    void failedReadsAreRetried_data();
    void failedReadsAreRetried();
    void noValidDataIsNotEmitted();
    void waveformMachineWaitsForMaskedChannels();
    void spectrumMachinesDelayAndDisabledChannels();
    void emptyMaskCycles();
    void relayModuleNeverTriggers();
    void readFinishSlots_data();
    void readFinishSlots();
    void reconnectionKeepsMasks();
    void timerDrivenCaptureLoop();
    void linkDeletedFirst();
    void queuedAcrossThreads();
};

void TestMeasPoller::helpers_data()
{
    QTest::addColumn<QVector<int>>("readyWords"); // status words 8..11 set non-zero
    QTest::addColumn<QVector<int>>("doneChannels");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("done");

    QTest::newRow("empty mask holds with nothing set")
        << QVector<int>{} << QVector<int>{} << 0 << true << true;
    QTest::newRow("0b0101 needs channels 0 and 2 only")
        << QVector<int>{0, 2} << QVector<int>{0, 2} << 0b0101 << true << true;
    QTest::newRow("0b0101 with channel 2 missing")
        << QVector<int>{0, 1, 3} << QVector<int>{0, 1, 3} << 0b0101 << false << false;
    QTest::newRow("high bits are not channels")
        << QVector<int>{1} << QVector<int>{1} << 0xFFF2 << true << true;
    QTest::newRow("all four, one missing")
        << QVector<int>{0, 1, 2} << QVector<int>{1, 2, 3} << 0xF << false << false;
}

void TestMeasPoller::helpers()
{
    QFETCH(QVector<int>, readyWords);
    QFETCH(QVector<int>, doneChannels);
    QFETCH(int, mask);
    QFETCH(bool, ready);
    QFETCH(bool, done);

    Orvo_ICPMeasPoller::StatusBlock status{};
    for (int c : readyWords)
        status[Orvo_ICPMeasPoller::WordWfCount + c] = 1;
    // Words next to the range must not count.
    status[Orvo_ICPMeasPoller::WordWfCount - 1] = 1;
    status[Orvo_ICPMeasPoller::WordWfCount + 4] = 1;
    Orvo_ICPMeasPoller::ChannelFlags flags{};
    for (int c : doneChannels)
        flags[c] = true;

    QCOMPARE(Orvo_ICPMeasPoller::allChannelsReady(status, Orvo_ICPMeasPoller::WordWfCount,
                                                  quint16(mask)),
             ready);
    QCOMPARE(Orvo_ICPMeasPoller::allChannelsDone(flags, quint16(mask)), done);
}

void TestMeasPoller::spectrumChannels()
{
    t_orvo_settings s{};
    s.channels[1].sp_disable = 1;
    s.channels[3].sp_disable = 0x8000;
    QCOMPARE(Orvo_ICPMeasPoller::spectrumChannels(s, 0xF), quint16(0b0101));
    QCOMPARE(Orvo_ICPMeasPoller::spectrumChannels(s, 0b0010), quint16(0));
    // Bits above the channels are kept: they take part in the change comparison.
    QCOMPARE(Orvo_ICPMeasPoller::spectrumChannels(s, 0x10F), quint16(0x105));
}

void TestMeasPoller::forcedFirstCycle_data()
{
    QTest::addColumn<Sim::Kind>("kind");
    QTest::addColumn<int>("settingsReads");
    QTest::addColumn<int>("channelReads");
    QTest::addColumn<int>("waveformTriggers");
    QTest::addColumn<uint>("relayStatus");

    QTest::newRow("ICP module") << Sim::Kind::Icp << 2 << 4 << 1 << 0x0F00000Au;
    QTest::newRow("PROX module") << Sim::Kind::Prox << 2 << 4 << 1 << 0x81000000u;
    QTest::newRow("relay module") << Sim::Kind::Relay << 1 << 0 << 0 << 0x3F000005u;
}

void TestMeasPoller::forcedFirstCycle()
{
    QFETCH(Sim::Kind, kind);
    QFETCH(int, settingsReads);
    QFETCH(int, channelReads);
    QFETCH(int, waveformTriggers);
    QFETCH(uint, relayStatus);

    Rig rig(kind);
    rig.sim.setRelayStatus(relayStatus);
    QVERIFY(rig.start());
    rig.poller = std::make_unique<Orvo_ICPMeasPoller>(&rig.link);
    Spies spies(rig.poller.get());
    rig.sim.clearTransactions();
    QVERIFY(rig.open());

    QVERIFY(rig.poller->isPolling());
    const QVector<Tx> log = rig.sim.transactions();
    QCOMPARE(readsAt(log, Sim::StatusRegister), 1);
    QCOMPARE(readsAt(log, Sim::SettingsRegister), settingsReads);
    QCOMPARE(spies.settings.count(), settingsReads);
    QCOMPARE(readsAt(log, Sim::RelayRegister), 1);
    QCOMPARE(spies.relay.count(), 1);
    QCOMPARE(spies.relay.at(0).at(0).toUInt(), relayStatus);
    int reads = 0;
    for (int c = 0; c < 4; ++c)
        reads += readsAt(log, channelRegister(c));
    QCOMPARE(reads, channelReads);
    QCOMPARE(spies.ch.count(), channelReads);
    if (channelReads)
        QCOMPARE(spies.channels(), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(rig.sim.waveformTriggerCount(), waveformTriggers);
    // The spectrum machines only count in the first cycle.
    QCOMPARE(rig.sim.spectrumTriggerCount(), 0);

    const auto settings = *static_cast<const QSharedPointer<t_orvo_settings> *>(
        spies.settings.at(0).at(0).constData());
    t_orvo_settings expected;
    rig.sim.settings(expected);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(settings.data()), sizeof expected),
             QByteArray(reinterpret_cast<const char *>(&expected), sizeof expected));
}

void TestMeasPoller::failedForcedCycleIsRepeated()
{
    // Counters of a fresh module are 0, the same as the cleared remembered block: only the
    // forced cycle would read settings, relay and channels.
    Rig rig;
    QVERIFY(rig.start());
    rig.sim.addReadFailRange(Sim::StatusRegister, Sim::StatusCount);
    rig.poller = std::make_unique<Orvo_ICPMeasPoller>(&rig.link);
    Spies spies(rig.poller.get());
    QVERIFY(rig.open());
    QCOMPARE(spies.settings.count(), 0);
    QCOMPARE(spies.relay.count(), 0);

    rig.sim.clearReadFailRanges();
    QTRY_COMPARE_WITH_TIMEOUT(spies.ch.count(), 4, 3000);
    QCOMPARE(spies.settings.count(), 2);
    QCOMPARE(spies.relay.count(), 1);
}

void TestMeasPoller::changeDetection_data()
{
    QTest::addColumn<Sim::Kind>("kind");
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("settingsReads");
    QTest::addColumn<int>("relayReads");
    QTest::addColumn<QList<int>>("channelsRead");

    QTest::newRow("no counter moved") << Sim::Kind::Icp << -1 << 0 << 0 << QList<int>{};
    QTest::newRow("channel 0 counter") << Sim::Kind::Icp << 0 << 0 << 0 << QList<int>{0};
    QTest::newRow("channel 1 counter") << Sim::Kind::Icp << 1 << 0 << 0 << QList<int>{1};
    QTest::newRow("channel 2 counter") << Sim::Kind::Icp << 2 << 0 << 0 << QList<int>{2};
    QTest::newRow("channel 3 counter") << Sim::Kind::Icp << 3 << 0 << 0 << QList<int>{3};
    QTest::newRow("settings counter, measurement module")
        << Sim::Kind::Icp << 28 << 2 << 0 << QList<int>{};
    QTest::newRow("settings counter, relay module")
        << Sim::Kind::Relay << 28 << 1 << 0 << QList<int>{};
    QTest::newRow("relay counter") << Sim::Kind::Icp << 29 << 0 << 1 << QList<int>{};
    QTest::newRow("relay counter, relay module")
        << Sim::Kind::Relay << 29 << 0 << 1 << QList<int>{};
    QTest::newRow("unused word 12") << Sim::Kind::Icp << 12 << 0 << 0 << QList<int>{};
    QTest::newRow("channel counter on a relay module")
        << Sim::Kind::Relay << 0 << 0 << 0 << QList<int>{};
}

void TestMeasPoller::changeDetection()
{
    QFETCH(Sim::Kind, kind);
    QFETCH(int, word);
    QFETCH(int, settingsReads);
    QFETCH(int, relayReads);
    QFETCH(QList<int>, channelsRead);

    Rig rig(kind);
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    QVERIFY(rig.poller->pollCycle(true));
    QVERIFY(rig.poller->pollCycle(false));
    Spies spies(rig.poller.get());
    rig.sim.clearTransactions();

    if (word >= 0)
        rig.bump(word);
    QVERIFY(rig.poller->pollCycle(false));

    const QVector<Tx> log = rig.sim.transactions();
    QCOMPARE(readsAt(log, Sim::StatusRegister), 1);
    QCOMPARE(readsAt(log, Sim::SettingsRegister), settingsReads);
    QCOMPARE(spies.settings.count(), settingsReads);
    QCOMPARE(readsAt(log, Sim::RelayRegister), relayReads);
    QCOMPARE(spies.relay.count(), relayReads);
    QList<int> read;
    for (int c = 0; c < 4; ++c) {
        if (readsAt(log, channelRegister(c)) > 0)
            read << c;
    }
    QCOMPARE(read, channelsRead);
    QCOMPARE(spies.channels(), channelsRead);

    // The change is taken as seen: the next cycle reads nothing.
    rig.sim.clearTransactions();
    QVERIFY(rig.poller->pollCycle(false));
    const QVector<Tx> again = rig.sim.transactions();
    QCOMPARE(readsAt(again, Sim::SettingsRegister) + readsAt(again, Sim::RelayRegister), 0);
    for (int c = 0; c < 4; ++c)
        QCOMPARE(readsAt(again, channelRegister(c)), 0);
}

void TestMeasPoller::failedReadsAreRetried_data()
{
    QTest::addColumn<uint>("failRegister");
    QTest::addColumn<uint>("failCount");
    QTest::addColumn<bool>("cycleOk");
    QTest::addColumn<int>("settingsSignals");
    QTest::addColumn<int>("relaySignals");
    QTest::addColumn<QList<int>>("channelsInFailingCycle");
    QTest::addColumn<QList<int>>("channelsRetried");
    QTest::addColumn<QList<int>>("channelsReadInFailingCycle");

    // Every row moves the settings, relay and all four channel counters.
    QTest::newRow("status block unreadable")
        << uint(Sim::StatusRegister) << 1u << false << 0 << 0 << QList<int>{}
        << QList<int>{0, 1, 2, 3} << QList<int>{};
    QTest::newRow("settings record unreadable part way")
        << uint(Sim::SettingsRegister + 2000) << 1u << false << 0 << 0 << QList<int>{}
        << QList<int>{0, 1, 2, 3} << QList<int>{};
    QTest::newRow("channel 1 unreadable skips 2 and 3")
        << channelRegister(1) << 1u << false << 2 << 1 << QList<int>{0} << QList<int>{0, 1, 2, 3}
        << QList<int>{0, 1};
    QTest::newRow("channel 3 unreadable")
        << channelRegister(3) + 87 << 1u << false << 2 << 1 << QList<int>{0, 1, 2}
        << QList<int>{0, 1, 2, 3} << QList<int>{0, 1, 2, 3};
    // The cycle completes, but the unread relay state is not taken as seen.
    QTest::newRow("relay block unreadable")
        << uint(Sim::RelayRegister) << 2u << true << 2 << 0 << QList<int>{0, 1, 2, 3}
        << QList<int>{} << QList<int>{0, 1, 2, 3};
}

void TestMeasPoller::failedReadsAreRetried()
{
    QFETCH(uint, failRegister);
    QFETCH(uint, failCount);
    QFETCH(bool, cycleOk);
    QFETCH(int, settingsSignals);
    QFETCH(int, relaySignals);
    QFETCH(QList<int>, channelsInFailingCycle);
    QFETCH(QList<int>, channelsRetried);
    QFETCH(QList<int>, channelsReadInFailingCycle);

    Rig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    QVERIFY(rig.poller->pollCycle(true));
    Spies spies(rig.poller.get());

    for (int word : {0, 1, 2, 3, 28, 29})
        rig.bump(word);
    rig.sim.addReadFailRange(failRegister, failCount);
    rig.sim.clearTransactions();
    QCOMPARE(rig.poller->pollCycle(false), cycleOk);
    QCOMPARE(spies.settings.count(), settingsSignals);
    QCOMPARE(spies.relay.count(), relaySignals);
    QCOMPARE(spies.channels(), channelsInFailingCycle);
    QList<int> read;
    for (int c = 0; c < 4; ++c) {
        if (readsAt(rig.sim.transactions(), channelRegister(c)) > 0)
            read << c;
    }
    QCOMPARE(read, channelsReadInFailingCycle);

    // The next cycle sees the same changes again.
    rig.sim.clearReadFailRanges();
    spies.clear();
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(spies.channels(), channelsRetried);
    QCOMPARE(spies.relay.count(), 1);
    QCOMPARE(spies.relay.at(0).at(0).toUInt(), rig.sim.relayStatus());
    QCOMPARE(spies.settings.count(), cycleOk ? 0 : 2);
}

void TestMeasPoller::noValidDataIsNotEmitted()
{
    Rig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    QVERIFY(rig.poller->pollCycle(true));
    Spies spies(rig.poller.get());

    rig.sim.setChannelStatus(1, 0xFFFF);
    rig.sim.setChannelStatus(2, 1);
    rig.sim.setMeasurement(3, 4, 7, 0x0125, -2.5f, 16383, 100);
    rig.sim.clearTransactions();
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(readsAt(rig.sim.transactions(), channelRegister(1)), 1);
    QCOMPARE(spies.channels(), (QList<int>{2, 3}));

    const auto short2 =
        *static_cast<const QSharedPointer<ChState> *>(spies.ch.at(0).at(0).constData());
    QCOMPARE(short2->status, 1);
    const auto ch3 =
        *static_cast<const QSharedPointer<ChState> *>(spies.ch.at(1).at(0).constData());
    QCOMPARE(ch3->status, 0);
    const ChMeas &m = *ch3->meas.back();
    QCOMPARE(m.num, 4);
    QCOMPARE(m.type, 7u);
    QCOMPARE(m.value, -2.5);
    QCOMPARE(m.fs_value, quint16(16383));
    QCOMPARE(m.failure, 1);
    QCOMPARE(m.alert, 1);
    QCOMPARE(m.danger, -1);
    QVERIFY(m.baseline_valid);
}

void TestMeasPoller::waveformMachineWaitsForMaskedChannels()
{
    Rig rig;
    rig.setChannelMask(0b0101);
    rig.sim.setCaptureAutoReady(false);
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    Spies spies(rig.poller.get());

    QVERIFY(rig.poller->pollCycle(true));
    QCOMPARE(rig.poller->channelMask(), quint16(0b0101));
    QCOMPARE(rig.poller->waveformMask(), quint16(0b0101));
    QCOMPARE(rig.poller->waveformState(), 1);
    QCOMPARE(rig.sim.waveformTriggerCount(), 1);
    QCOMPARE(writesAt(rig.sim.transactions(), Sim::TriggerRegister), 1);

    // Channels 1 and 3 are not wanted; channel 2 is still missing.
    for (int word : {8, 9, 11})
        rig.sim.setStatusWord(word, 1);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 1);
    QCOMPARE(spies.wf.count(), 0);

    rig.sim.setStatusWord(4, 55);
    rig.sim.setStatusWord(6, 77);
    rig.sim.setStatusWord(10, 3);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 2);
    QCOMPARE(spies.wf.count(), 2);
    QCOMPARE(spies.wf.at(0), (QList<QVariant>{0, 55u, 1u}));
    QCOMPARE(spies.wf.at(1), (QList<QVariant>{2, 77u, 3u}));

    // Waits until the holder has fetched both announced channels.
    rig.poller->onWfReadOpFinish(rig.link.opWaveformRead(), 0);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 2);
    rig.poller->onWfReadOpFinish(rig.link.opWaveformRead(), 2);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 0);
    QCOMPARE(rig.sim.waveformTriggerCount(), 1);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 1);
    QCOMPARE(rig.sim.waveformTriggerCount(), 2);
    QCOMPARE(spies.wf.count(), 2);

    // A new channel mask restarts the machine at once with a new trigger.
    rig.setChannelMask(0b0001);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformMask(), quint16(0b0001));
    QCOMPARE(rig.poller->waveformState(), 1);
    QCOMPARE(rig.sim.waveformTriggerCount(), 3);
}

void TestMeasPoller::spectrumMachinesDelayAndDisabledChannels()
{
    Rig rig;
    rig.setChannelMask(0xF, 0b0010); // channel 1 takes no part in spectrum capture
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    Spies spies(rig.poller.get());

    QVERIFY(rig.poller->pollCycle(true));
    QCOMPARE(rig.poller->spectrumChannelMask(), quint16(0b1101));
    for (int t : {0, 1}) {
        QCOMPARE(rig.poller->spectrumState(t), 0);
        QCOMPARE(rig.poller->spectrumDelay(t), 1);
    }
    QCOMPARE(rig.sim.spectrumTriggerCount(), 0);

    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.sim.spectrumTriggerCount(), 2); // one per machine
    for (int t : {0, 1}) {
        QCOMPARE(rig.poller->spectrumState(t), 1);
        QCOMPARE(rig.poller->spectrumMask(t), quint16(0b1101));
        QCOMPARE(rig.poller->spectrumDelay(t), 0);
    }

    // The simulator shows the capture ready a moment after the trigger.
    QTRY_VERIFY(rig.sim.statusWord(16) && rig.sim.statusWord(19) && rig.sim.statusWord(27));
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(spies.sp.count(), 6);
    const QList<QList<QVariant>> expected = {{0, 0u}, {2, 0u}, {3, 0u}, {0, 1u}, {2, 1u}, {3, 1u}};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(spies.sp.at(i), expected.at(i));

    // Type 0 fetched completely, type 1 only in part; a type other than 0 counts as type 1.
    for (uint c : {0u, 2u, 3u})
        rig.poller->onSpectrReadOpFinish(rig.link.opSpectrRead(), c, 0);
    rig.poller->onSpectrReadOpFinish(rig.link.opSpectrRead(), 0, 7);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->spectrumState(0), 0);
    QCOMPARE(rig.poller->spectrumState(1), 2);

    // After the fetch is seen, one cycle only counts and the next one triggers.
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->spectrumDelay(0), 1);
    QCOMPARE(rig.sim.spectrumTriggerCount(), 2);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.sim.spectrumTriggerCount(), 3);
    QCOMPARE(rig.poller->spectrumState(0), 1);
    QCOMPARE(rig.poller->spectrumState(1), 2);
}

void TestMeasPoller::emptyMaskCycles()
{
    Rig rig;
    rig.setChannelMask(0);
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    Spies spies(rig.poller.get());

    // Per cycle: waveform state, spectrum state (both types), triggers so far.
    struct Step
    {
        int wfState, spState, wfTriggers, spTriggers;
    };
    const Step steps[] = {
        {1, 0, 1, 0},               // forced: waveform triggers, spectrum only counts
        {2, 1, 1, 2},               // nothing to wait for; spectrum triggers
        {0, 2, 1, 2}, {1, 0, 2, 2}, // waveform triggers again
        {2, 0, 2, 2},               // spectrum counts
        {0, 1, 2, 4},               // spectrum triggers again
    };
    bool force = true;
    for (const Step &s : steps) {
        QVERIFY(rig.poller->pollCycle(force));
        force = false;
        QCOMPARE(rig.poller->waveformState(), s.wfState);
        QCOMPARE(rig.poller->spectrumState(0), s.spState);
        QCOMPARE(rig.poller->spectrumState(1), s.spState);
        QCOMPARE(rig.sim.waveformTriggerCount(), s.wfTriggers);
        QCOMPARE(rig.sim.spectrumTriggerCount(), s.spTriggers);
    }
    QCOMPARE(spies.wf.count(), 0);
    QCOMPARE(spies.sp.count(), 0);
    QCOMPARE(spies.ch.count(), 4);
}

void TestMeasPoller::relayModuleNeverTriggers()
{
    Rig rig(Sim::Kind::Relay);
    QVERIFY(rig.start());
    QVERIFY(rig.openWithPoller());
    Spies spies(rig.poller.get());
    for (int i = 0; i < 6; ++i) {
        rig.bump(i % 2 ? 28 : 0);
        rig.sim.setStatusWord(8, 1);
        QVERIFY(rig.poller->pollCycle(i == 3));
    }
    rig.sim.setRelayStatus(0x01000001);
    QVERIFY(rig.poller->pollCycle(false));

    const QVector<Tx> log = rig.sim.transactions();
    QCOMPARE(writesAt(log, Sim::TriggerRegister), 0);
    for (int c = 0; c < 4; ++c)
        QCOMPARE(readsAt(log, channelRegister(c)), 0);
    QCOMPARE(spies.ch.count(), 0);
    QCOMPARE(spies.wf.count(), 0);
    QCOMPARE(spies.relay.count(), 2);
    QCOMPARE(spies.relay.last().at(0).toUInt(), 0x01000001u);
    QCOMPARE(rig.poller->channelMask(), quint16(0));
}

void TestMeasPoller::readFinishSlots_data()
{
    QTest::addColumn<bool>("waveformSlot");
    QTest::addColumn<bool>("spectrumOpName"); // which operation name is passed
    QTest::addColumn<uint>("ch");
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("wfStateAfter");
    QTest::addColumn<int>("sp0StateAfter");
    QTest::addColumn<int>("sp1StateAfter");

    QTest::newRow("waveform finish of channel 0") << true << false << 0u << 0u << 0 << 2 << 2;
    QTest::newRow("waveform slot ignores the spectrum operation")
        << true << true << 0u << 0u << 2 << 2 << 2;
    QTest::newRow("waveform slot ignores channel 4") << true << false << 4u << 0u << 2 << 2 << 2;
    QTest::newRow("spectrum finish of type 0") << false << true << 0u << 0u << 2 << 0 << 2;
    QTest::newRow("spectrum finish of type 1") << false << true << 0u << 1u << 2 << 2 << 0;
    QTest::newRow("spectrum type 9 counts as type 1") << false << true << 0u << 9u << 2 << 2 << 0;
    QTest::newRow("spectrum slot ignores the waveform operation")
        << false << false << 0u << 0u << 2 << 2 << 2;
    QTest::newRow("spectrum slot ignores channel 7") << false << true << 7u << 0u << 2 << 2 << 2;
}

void TestMeasPoller::readFinishSlots()
{
    QFETCH(bool, waveformSlot);
    QFETCH(bool, spectrumOpName);
    QFETCH(uint, ch);
    QFETCH(uint, type);
    QFETCH(int, wfStateAfter);
    QFETCH(int, sp0StateAfter);
    QFETCH(int, sp1StateAfter);

    Rig rig;
    rig.setChannelMask(0b0001);
    QVERIFY(rig.start());
    QVERIFY(rig.openThenPoller());
    // Bring all three machines to state 2 (announced, waiting for the fetch).
    QVERIFY(rig.poller->pollCycle(true));
    QVERIFY(rig.poller->pollCycle(false));
    QTRY_VERIFY(rig.sim.statusWord(8) && rig.sim.statusWord(16) && rig.sim.statusWord(24));
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), 2);
    QCOMPARE(rig.poller->spectrumState(0), 2);
    QCOMPARE(rig.poller->spectrumState(1), 2);

    const QString op = spectrumOpName ? rig.link.opSpectrRead() : rig.link.opWaveformRead();
    if (waveformSlot)
        rig.poller->onWfReadOpFinish(op, ch);
    else
        rig.poller->onSpectrReadOpFinish(op, ch, type);
    QVERIFY(rig.poller->pollCycle(false));
    QCOMPARE(rig.poller->waveformState(), wfStateAfter);
    QCOMPARE(rig.poller->spectrumState(0), sp0StateAfter);
    QCOMPARE(rig.poller->spectrumState(1), sp1StateAfter);
}

void TestMeasPoller::reconnectionKeepsMasks()
{
    Rig rig;
    rig.setChannelMask(0b0110, 0b0100);
    QVERIFY(rig.start());
    QVERIFY(rig.openWithPoller());
    Orvo_ICPMeasPoller &poller = *rig.poller;
    QCOMPARE(poller.waveformState(), 1);
    QCOMPARE(poller.spectrumDelay(0), 1);

    rig.link.close();
    QVERIFY(!poller.isPolling());
    QCOMPARE(poller.channelMask(), quint16(0b0110));
    QCOMPARE(poller.spectrumChannelMask(), quint16(0b0010));
    QCOMPARE(poller.waveformMask(), quint16(0b0110));
    QCOMPARE(poller.waveformState(), 1);

    Spies spies(&poller);
    QVERIFY(rig.open());
    QVERIFY(poller.isPolling());
    QCOMPARE(spies.settings.count(), 2);
    QCOMPARE(spies.relay.count(), 1);
    QCOMPARE(spies.ch.count(), 4);
    // The spectrum delay kept its count of 1, so the forced cycle already triggers.
    QCOMPARE(rig.sim.spectrumTriggerCount(), 2);
    QCOMPARE(poller.spectrumMask(0), quint16(0b0010));
    QCOMPARE(poller.spectrumMask(1), quint16(0b0010));
    QCOMPARE(poller.waveformMask(), quint16(0b0110));
    QCOMPARE(poller.waveformState(), 1);
    QCOMPARE(rig.sim.waveformTriggerCount(), 2);

    // The watchdog's loss of the module stops the polling as well.
    rig.sim.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!poller.isPolling(), 5000);
}

void TestMeasPoller::timerDrivenCaptureLoop()
{
    // A holder that fetches what is announced keeps both kinds of capture cycling on the
    // poller's own timer.
    Rig rig;
    QVERIFY(rig.start());
    rig.poller = std::make_unique<Orvo_ICPMeasPoller>(&rig.link);
    Orvo_ICPConnection *link = &rig.link;
    int waveforms = 0;
    int spectra = 0;
    connect(link, &Orvo_ICPConnection::waveformReceived, link,
            [&waveforms](QSharedPointer<Orvo_ICPConnection::Waveform> wf) {
                waveforms += wf->points.size() == 256 ? 1 : 0;
            });
    connect(link, &Orvo_ICPConnection::spectrReceived, link,
            [&spectra](QSharedPointer<Orvo_ICPConnection::Spectr> sp) {
                spectra += sp->points.size() == 128 ? 1 : 0;
            });
    connect(
        rig.poller.get(), &Orvo_ICPMeasPoller::wfStateChanged, link,
        [link](int ch, uint last_id, uint) { link->readWaveform(ch, last_id); },
        Qt::QueuedConnection);
    connect(
        rig.poller.get(), &Orvo_ICPMeasPoller::spectrStateChanged, link,
        [link](int ch, uint type) { link->readSpectr(ch, type); }, Qt::QueuedConnection);
    QVERIFY(rig.open());

    QTRY_VERIFY_WITH_TIMEOUT(rig.sim.waveformTriggerCount() >= 3, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim.spectrumTriggerCount() >= 4, 10000);
    QVERIFY(waveforms >= 8);
    QVERIFY(spectra >= 8);
}

void TestMeasPoller::linkDeletedFirst()
{
    // The link blocks its signals while it is destroyed, so the poller hears no closed().
    Sim sim;
    QVERIFY(sim.start());
    auto link = std::make_unique<Orvo_ICPConnection>();
    Orvo_ICPMeasPoller poller(link.get());
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->ipAddr = QStringLiteral("127.0.0.1");
    info->port = sim.port();
    QVERIFY(link->open(info, false));
    QVERIFY(poller.isPolling());
    const QString op = link->opWaveformRead();
    link.reset();

    QVERIFY(!poller.pollCycle(false));
    poller.onWfReadOpFinish(op, 0);
    QTRY_VERIFY(!poller.isPolling());
}

void TestMeasPoller::queuedAcrossThreads()
{
    // The poller on a worker thread of its own: the link's signals reach it queued, and its
    // records reach this thread queued, which needs the argument types registered.
    Rig rig;
    QVERIFY(rig.start());
    QThread worker;
    auto *poller = new Orvo_ICPMeasPoller(&rig.link);
    poller->moveToThread(&worker);
    connect(&worker, &QThread::finished, poller, &QObject::deleteLater);
    worker.start();

    QList<int> channels;
    QSharedPointer<t_orvo_settings> settings;
    int waveformAnnouncements = 0;
    connect(poller, &Orvo_ICPMeasPoller::chStateChanged, this,
            [&channels](QSharedPointer<Orvo_ICPMeasPoller::ChState> s) { channels << s->ch; });
    connect(poller, &Orvo_ICPMeasPoller::settingsChanged, this,
            [&settings](QSharedPointer<t_orvo_settings> s) { settings = s; });
    connect(poller, &Orvo_ICPMeasPoller::wfStateChanged, &rig.link,
            [&](int ch, uint last_id, uint) {
                QCOMPARE(QThread::currentThread(), thread());
                ++waveformAnnouncements;
                rig.link.readWaveform(ch, last_id);
            });

    QVERIFY(rig.open());
    QTRY_COMPARE(channels, (QList<int>{0, 1, 2, 3}));
    QVERIFY(settings);
    QCOMPARE(settings->channel_mask, quint16(0xF));
    // The finish signals of the fetches travel back to the worker: the capture goes round.
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim.waveformTriggerCount() >= 2, 5000);
    QVERIFY(waveformAnnouncements >= 4);

    rig.link.close();
    QTRY_VERIFY(!poller->isPolling());
    worker.quit();
    QVERIFY(worker.wait(5000));
}

QTEST_GUILESS_MAIN(TestMeasPoller)
#include "tst_orvo_icpmeaspoller.moc"

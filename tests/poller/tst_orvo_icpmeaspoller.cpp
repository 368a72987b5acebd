// The measurement poller against the module simulator over real Modbus TCP on 127.0.0.1.
// Most tests drive cycles through pollCycle() on a poller created after the link was opened
// (so it is not polling and no timer interferes); the tests of onConOpened create it first.

#include "modulefixture.h"
#include "orvo_icpmeaspoller.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

using Sim = ModuleSimulator;
using Poller = Orvo_ICPMeasPoller;
using Calls = QList<QList<QVariant>>;
// A change made on the module between two cycles.
using Change = std::function<void(Sim &)>;
Q_DECLARE_METATYPE(ModuleSimulator::Kind)
Q_DECLARE_METATYPE(Change)

class TestMeasPoller : public QObject
{
    Q_OBJECT

    std::unique_ptr<ModuleFixture> module;
    Sim *sim = nullptr;
    Orvo_ICPConnection *link = nullptr;
    // Declared after the module, so that it goes first.
    std::unique_ptr<Poller> poller;
    std::unique_ptr<QSignalSpy> settings, relay, ch, wf, sp;

    // The poller either hears opened() and runs the forced first cycle inside open(), or comes
    // after it and is driven by pollCycle() only.
    bool open(bool pollerFirst = false)
    {
        if (!pollerFirst && !module->openLink())
            return false;
        poller = std::make_unique<Poller>(link);
        settings = std::make_unique<QSignalSpy>(poller.get(), &Poller::settingsChanged);
        relay = std::make_unique<QSignalSpy>(poller.get(), &Poller::relayStateChanged);
        ch = std::make_unique<QSignalSpy>(poller.get(), &Poller::chStateChanged);
        wf = std::make_unique<QSignalSpy>(poller.get(), &Poller::wfStateChanged);
        sp = std::make_unique<QSignalSpy>(poller.get(), &Poller::spectrStateChanged);
        return !pollerFirst || module->openLink();
    }

    void clear()
    {
        for (QSignalSpy *s : {settings.get(), relay.get(), ch.get(), wf.get(), sp.get()})
            s->clear();
        sim->clearTransactions();
    }

    void setChannelMask(quint16 mask, int spDisabled = 0)
    {
        t_orvo_settings s;
        sim->settings(s);
        s.channel_mask = mask;
        for (int c = 0; c < 4; ++c)
            s.channels[c].sp_disable = (spDisabled >> c) & 1;
        sim->setSettings(s);
    }

    bool cycle(bool force = false) { return poller->pollCycle(force); }
    // The three capture machines' states: 0 trigger, 1 await ready, 2 await fetch.
    QVector<int> states() const
    {
        return {poller->waveformState(), poller->spectrumState(0), poller->spectrumState(1)};
    }

    int readsAt(uint reg) const
    {
        const auto log = sim->transactions();
        return int(std::count_if(log.begin(), log.end(),
                                 [reg](const auto &t) { return t.readRegister() == reg; }));
    }

    // The channels whose state block the server was asked for.
    QList<int> channelsRead() const
    {
        QList<int> out;
        for (int c = 0; c < 4; ++c)
            if (readsAt(Sim::ChannelRegister + Sim::ChannelCount * uint(c)) > 0)
                out << c;
        return out;
    }

    // The channels of the chStateChanged records, in order; the type is registered by name only.
    QList<int> chSignals() const
    {
        QList<int> out;
        for (const auto &args : *ch)
            out << static_cast<const QSharedPointer<ChState> *>(args.at(0).constData())->data()->ch;
        return out;
    }

private slots:
    void init()
    {
        poller.reset();
        module = std::make_unique<ModuleFixture>();
        sim = &module->sim();
        sim->setMovingValues(false);
        QVERIFY(module->start());
        link = &module->link();
    }

    void cycleReadsWhatChanged_data()
    {
        QTest::addColumn<Sim::Kind>("kind");
        QTest::addColumn<Change>("change"); // none: the forced first cycle on opened()
        QTest::addColumn<int>("settingsReads");
        QTest::addColumn<int>("relayReads");
        QTest::addColumn<QList<int>>("channelsRead");
        QTest::addColumn<QList<int>>("channelsSignalled");
        const auto icp = Sim::Kind::Icp, rel = Sim::Kind::Relay;
        const QList<int> all{0, 1, 2, 3}, none{};
        auto bump = [](int w) {
            return Change([w](Sim &s) { s.setStatusWord(w, quint16(s.statusWord(w) + 1)); });
        };
        QTest::newRow("forced, ICP module") << icp << Change() << 2 << 1 << all << all;
        QTest::newRow("forced, PROX module") << Sim::Kind::Prox << Change() << 2 << 1 << all << all;
        QTest::newRow("forced, relay module") << rel << Change() << 1 << 1 << none << none;
        QTest::newRow("channel 3 counter")
            << icp << bump(3) << 0 << 0 << QList<int>{3} << QList<int>{3};
        QTest::newRow("settings counter, ICP") << icp << bump(28) << 2 << 0 << none << none;
        QTest::newRow("settings counter, relay") << rel << bump(28) << 1 << 0 << none << none;
        QTest::newRow("relay counter") << icp << bump(29) << 0 << 1 << none << none;
        QTest::newRow("unused word 12") << icp << bump(12) << 0 << 0 << none << none;
        QTest::newRow("channel counter, relay module") << rel << bump(0) << 0 << 0 << none << none;
        // No valid data is read but not handed on; any other status is.
        QTest::newRow("channel 1 status 0xFFFF") << icp << Change([](Sim &s) {
            s.setChannelStatus(1, 0xFFFF);
            s.setChannelStatus(2, 1);
        }) << 0 << 0 << QList<int>{1, 2} << QList<int>{2};
    }

    void cycleReadsWhatChanged()
    {
        QFETCH(Sim::Kind, kind);
        QFETCH(Change, change);
        QFETCH(int, settingsReads);
        QFETCH(int, relayReads);
        sim->resetContents(kind);
        sim->setMovingValues(false);
        if (!change) {
            QVERIFY(open(true));
        } else {
            QVERIFY(open());
            QVERIFY(cycle(true) && cycle());
            clear();
            change(*sim);
            QVERIFY(cycle());
        }
        QCOMPARE(readsAt(Sim::StatusRegister), 1);
        QCOMPARE(readsAt(Sim::SettingsRegister), settingsReads);
        QCOMPARE(settings->count(), settingsReads);
        QCOMPARE(readsAt(Sim::RelayRegister), relayReads);
        QCOMPARE(relay->count(), relayReads);
        QTEST(this->channelsRead(), "channelsRead");
        QTEST(chSignals(), "channelsSignalled");
        // A relay module never triggers a capture; a forced cycle triggers only the waveform.
        const int triggers = sim->waveformTriggerCount() * 10 + sim->spectrumTriggerCount();
        if (kind == Sim::Kind::Relay || !change)
            QCOMPARE(triggers, kind == Sim::Kind::Relay ? 0 : 10);

        // The change is taken as seen: the next cycle reads none of them again.
        sim->clearTransactions();
        QVERIFY(cycle());
        QCOMPARE(readsAt(Sim::SettingsRegister) + readsAt(Sim::RelayRegister), 0);
        QCOMPARE(this->channelsRead(), QList<int>{});
    }

    void failedForcedCycleIsRepeated()
    {
        // Counters of a fresh module are 0, the same as the cleared remembered block: only the
        // forced cycle would read settings, relay and channels.
        sim->addReadFailRange(Sim::StatusRegister, Sim::StatusCount);
        QVERIFY(open(true));
        QCOMPARE(settings->count() + relay->count(), 0);
        sim->clearReadFailRanges();
        QTRY_COMPARE_WITH_TIMEOUT(ch->count(), 4, 3000);
        QCOMPARE(settings->count(), 2);
        QCOMPARE(relay->count(), 1);
    }

    void failedFirstRelayReadIsRetried()
    {
        // The relay counter of a fresh module is 0 and stays there: nothing but the failed read
        // itself can bring the relay state in.
        QCOMPARE(sim->statusWord(Sim::WordRelayCounter), quint16(0));
        sim->addReadFailRange(Sim::RelayRegister, 1);
        QVERIFY(open());
        QVERIFY(cycle(true));
        QCOMPARE(relay->count(), 0);
        sim->clearReadFailRanges();
        QVERIFY(cycle());
        QCOMPARE(*relay, Calls({{sim->relayStatus()}}));

        // Once read, it is taken as seen.
        clear();
        QVERIFY(cycle());
        QCOMPARE(readsAt(Sim::RelayRegister), 0);
    }

    void failedReadsAreRetried_data()
    {
        QTest::addColumn<uint>("failRegister");
        QTest::addColumn<bool>("cycleOk");
        QTest::addColumn<int>("relaySignals");
        QTest::addColumn<QList<int>>("channelsRead");
        QTest::addColumn<QList<int>>("channelsSignalled");
        QTest::addColumn<QList<int>>("channelsRetried");

        // Every row moves the settings, relay and all four channel counters.
        const QList<int> all{0, 1, 2, 3}, none{};
        QTest::newRow("status block unreadable")
            << uint(Sim::StatusRegister) << false << 0 << none << none << all;
        QTest::newRow("channel 1 unreadable skips 2 and 3")
            << Sim::ChannelRegister + Sim::ChannelCount << false << 1 << QList<int>{0, 1}
            << QList<int>{0} << all;
        // The cycle completes, but the unread relay state is not taken as seen.
        QTest::newRow("relay block unreadable")
            << uint(Sim::RelayRegister) << true << 0 << all << all << none;
    }

    void failedReadsAreRetried()
    {
        QFETCH(uint, failRegister);
        QFETCH(bool, cycleOk);
        QVERIFY(open());
        QVERIFY(cycle(true));
        clear();
        for (int w : {0, 1, 2, 3, 28, 29})
            sim->setStatusWord(w, quint16(sim->statusWord(w) + 1));
        sim->addReadFailRange(failRegister, 1);
        QCOMPARE(cycle(), cycleOk);
        QTEST(relay->count(), "relaySignals");
        QTEST(this->channelsRead(), "channelsRead");
        QTEST(chSignals(), "channelsSignalled");

        // The next cycle sees the same changes again.
        sim->clearReadFailRanges();
        clear();
        QVERIFY(cycle());
        QTEST(chSignals(), "channelsRetried");
        QCOMPARE(*relay, Calls({{sim->relayStatus()}}));
        QCOMPARE(settings->count(), cycleOk ? 0 : 2);
    }

    void waveformMachineWaitsForMaskedChannels()
    {
        setChannelMask(0b0101);
        sim->setCaptureAutoReady(false);
        QVERIFY(open());
        QVERIFY(cycle(true));
        QCOMPARE(poller->waveformState(), int(CaptureMachine::AwaitReady));

        // Channels 1 and 3 are not wanted; channel 2 is still missing.
        for (int word : {8, 9, 11})
            sim->setStatusWord(word, 1);
        QVERIFY(cycle());
        QCOMPARE(poller->waveformState(), int(CaptureMachine::AwaitReady));
        sim->setStatusWord(4, 55);
        sim->setStatusWord(6, 77);
        sim->setStatusWord(10, 3);
        QVERIFY(cycle());
        QCOMPARE(poller->waveformState(), int(CaptureMachine::AwaitFetch));
        QCOMPARE(*wf, Calls({{0, 55u, 1u}, {2, 77u, 3u}}));

        // Waits until the holder has fetched both announced channels; finishes of another
        // operation or of no channel do not count.
        poller->onWfReadOpFinish(link->opWaveformRead(), 0);
        poller->onWfReadOpFinish(link->opSpectrRead(), 2);
        poller->onWfReadOpFinish(link->opWaveformRead(), 4);
        QVERIFY(cycle());
        QCOMPARE(poller->waveformState(), int(CaptureMachine::AwaitFetch));
        poller->onWfReadOpFinish(link->opWaveformRead(), 2);
        QVERIFY(cycle() && cycle());
        QCOMPARE(poller->waveformState(), int(CaptureMachine::AwaitReady));
        QCOMPARE(sim->waveformTriggerCount(), 2);
    }

    void spectrumMachinesDelayAndDisabledChannels()
    {
        setChannelMask(0xF, 0b0010); // channel 1 takes no part in spectrum capture
        QVERIFY(open());
        QVERIFY(cycle(true));
        QCOMPARE(poller->spectrumChannelMask(), quint16(0b1101));
        QVERIFY(cycle());
        QCOMPARE(sim->spectrumTriggerCount(), 2); // one per machine

        // The simulator shows the capture ready a moment after the trigger.
        QTRY_VERIFY(sim->statusWord(16) && sim->statusWord(19) && sim->statusWord(27));
        QVERIFY(cycle());
        QCOMPARE(*sp, Calls({{0, 0u}, {2, 0u}, {3, 0u}, {0, 1u}, {2, 1u}, {3, 1u}}));

        // Type 0 fetched completely, type 1 only in part; a waveform's finish counts for neither.
        for (uint c : {0u, 2u, 3u})
            poller->onSpectrReadOpFinish(link->opSpectrRead(), c, 0);
        poller->onSpectrReadOpFinish(link->opSpectrRead(), 0, 7); // any type but 0 is type 1
        for (uint c : {2u, 3u})
            poller->onSpectrReadOpFinish(link->opWaveformRead(), c, 1);
        QVERIFY(cycle());
        QCOMPARE(states().mid(1), QVector<int>({0, 2}));
        for (uint c : {2u, 3u})
            poller->onSpectrReadOpFinish(link->opSpectrRead(), c, 1);
        QVERIFY(cycle());
        QCOMPARE(states().mid(1), QVector<int>({0, 0}));
        // After the fetch is seen, one cycle only counts and the next one triggers.
        QCOMPARE(sim->spectrumTriggerCount(), 2);
        QVERIFY(cycle());
        QCOMPARE(sim->spectrumTriggerCount(), 3);
    }

    void reconnectionKeepsMasks()
    {
        setChannelMask(0b0110, 0b0100);
        QVERIFY(open(true));
        link->close();
        QVERIFY(!poller->isPolling());
        QVERIFY(module->openLink());
        // The spectrum delay kept its count of 1, so the forced cycle already triggers.
        QCOMPARE(sim->spectrumTriggerCount(), 2);
        QCOMPARE(poller->spectrumMask(0), quint16(0b0010));
        QCOMPARE(poller->waveformMask(), quint16(0b0110));
        QCOMPARE(sim->waveformTriggerCount(), 2);

        // The watchdog's loss of the module stops the polling as well.
        sim->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!poller->isPolling(), 5000);
    }

    void linkDeletedFirst()
    {
        // The link blocks its signals while it is destroyed, so the poller hears no closed().
        QVERIFY(open(true));
        const QString op = link->opWaveformRead();
        module->dropLink();
        QVERIFY(!cycle());
        poller->onWfReadOpFinish(op, 0);
        QTRY_VERIFY(!poller->isPolling());
    }
};

QTEST_GUILESS_MAIN(TestMeasPoller)
#include "tst_orvo_icpmeaspoller.moc"

// The capture machine the poller runs for waveforms and for each spectrum type, stepped by
// hand.

#include "capturemachine.h"

#include <QtTest>

class TestCaptureMachine : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        // Each letter is one step: t wants channel 0 (trigger write succeeds), T the same with
        // the write failing, r wants channel 0 and finds it ready, d reports channel 0 fetched
        // first, m wants channels 0 and 1, F is a forced step, e wants no channel.
        QTest::addColumn<int>("settleSteps");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("states"); // after each step
        QTest::addColumn<int>("triggers");   // successful trigger writes
        QTest::addColumn<int>("announced");

        QTest::newRow("one cycle") << 0 << "trtdt"
                                   << "12201" << 2 << 1;
        QTest::newRow("a settle step before every trigger") << 1 << "ttrdtt"
                                                            << "012001" << 2 << 1;
        QTest::newRow("failed trigger is retried") << 0 << "Tt"
                                                   << "01" << 1 << 0;
        QTest::newRow("ready before the trigger is not taken") << 0 << "rr"
                                                               << "12" << 1 << 1;
        QTest::newRow("mask change starts over") << 0 << "tm"
                                                 << "11" << 2 << 0;
        QTest::newRow("force starts over while awaiting the fetch") << 0 << "trF"
                                                                    << "121" << 2 << 1;
        QTest::newRow("no channels still cycles") << 0 << "eee"
                                                  << "120" << 1 << 0;
        QTest::newRow("no channels, with a settle step") << 1 << "eeeeee"
                                                         << "012001" << 2 << 0;
    }

    void steps()
    {
        QFETCH(int, settleSteps);
        QFETCH(QString, script);
        CaptureMachine machine(settleSteps);
        int triggers = 0, announced = 0;
        QString states;
        for (QChar step : script) {
            const char s = step.toLatin1();
            if (s == 'd')
                machine.fetched(0);
            const quint16 wanted = s == 'm' ? 0b11 : s == 'e' ? 0 : 0b01;
            CaptureMachine::ReadyWords ready = {};
            if (s == 'r')
                ready[0] = 1;
            machine.step(
                wanted, s == 'F', ready,
                [&] {
                    triggers += s != 'T';
                    return s != 'T';
                },
                [&](int c) {
                    QCOMPARE(c, 0);
                    ++announced;
                });
            states += QString::number(machine.state());
        }
        QTEST(states, "states");
        QTEST(triggers, "triggers");
        QTEST(announced, "announced");
    }
};

QTEST_GUILESS_MAIN(TestCaptureMachine)
#include "tst_capturemachine.moc"

// The module inspector window against the module simulator on 127.0.0.1 in this process: what
// the poller reports reaches the views and plots, configuration files go to and from the
// module only when they should, a lost module is shown and reconnected, and the window keeps
// running while its worker thread is blocked in a restart.

#include "captureplot.h"
#include "channelstateview.h"
#include "eventsstateview.h"
#include "kqtablecopyaction.h"
#include "modulesimulator.h"
#include "modulewindow.h"
#include "orvo_icpmeaspoller.h"
#include "relaystateview.h"
#include "t_orvo_settings.h"

#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <functional>
#include <memory>

using Sim = ModuleSimulator;
using State = ModuleWindow::LinkState;
using Action = std::function<void(ModuleWindow &)>;
using Fault = std::function<void(ModuleSimulator &)>;
Q_DECLARE_METATYPE(ModuleSimulator::Kind)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(ModuleWindow::LinkState)

class TestModuleWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir settingsDir;
    QTemporaryDir files;
    std::unique_ptr<Sim> sim;
    std::unique_ptr<ModuleWindow> window;
    // The answers a user would give, and what the window asked and said.
    QString chosenPath;
    bool confirmAnswer = true;
    QStringList questions;
    QStringList messages;

    // Fast pacing for everything but the test that pins the product's: a lost link is noticed
    // within 50 ms, a restart waits 250 ms instead of the module's 8 s (still long enough to
    // see the window run through it), and a reconnection is tried 90 ms after a loss.
    static constexpr int TestWatchdogMs = 50;
    static constexpr int TestRestartWaitMs = 250;
    static constexpr int TestRetryTicks = 3;
    static constexpr int TestRetryTickMs = 30;
    // Extra poll cycles between the poller's own 500 ms ticks bring captures and states in
    // sooner; a cycle does what a tick's would.
    static constexpr int TestPollMs = 20;

    void makeWindow(bool productPacing = false)
    {
        window = std::make_unique<ModuleWindow>();
        window->setFileChooser([this](ModuleWindow::FileRole) { return chosenPath; });
        window->setConfirmer([this](const QString &q) {
            questions << q;
            return confirmAnswer;
        });
        window->setMessenger([this](const QString &m) { messages << m; });
        if (!productPacing)
            window->setRetryPacingForTest(TestRetryTicks, TestRetryTickMs);
        ModuleSession *session = window->session();
        QMetaObject::invokeMethod(
            session,
            [session] {
                session->link()->setPacingForTest(TestWatchdogMs, TestRestartWaitMs);
                auto *pump = new QTimer(session);
                Orvo_ICPMeasPoller *poller = session->poller();
                connect(pump, &QTimer::timeout, poller, [poller] {
                    if (poller->isPolling())
                        poller->pollCycle(false);
                });
                pump->start(TestPollMs);
            },
            Qt::BlockingQueuedConnection);
    }

    // Returns as soon as the window enters `wanted` (at once if it is there), before its
    // countdown can move on: what it shows on entering is still there to check.
    bool waitForState(State wanted, int timeoutMs = 10000)
    {
        QSignalSpy shown(window.get(), &ModuleWindow::linkStateShown);
        QDeadlineTimer deadline(timeoutMs);
        while (window->linkState() != wanted) {
            if (deadline.hasExpired() || !shown.wait(int(deadline.remainingTime())))
                return window->linkState() == wanted;
        }
        return true;
    }

    // As QTRY_VERIFY, but in a running event loop that looks every 5 ms: QTRY_ and qWaitFor
    // sleep between their looks, which holds timers back and adds up over the suite.
    template <typename Predicate> static bool waitUntil(Predicate done, int timeoutMs)
    {
        if (done())
            return true;
        const QDeadlineTimer deadline(timeoutMs);
        QEventLoop loop;
        QTimer look;
        connect(&look, &QTimer::timeout, &loop, [&] {
            if (done() || deadline.hasExpired())
                loop.quit();
        });
        look.start(5);
        loop.exec();
        return done();
    }

    // Connected, and the first settings record shown (it may come before or after).
    bool connectWindow()
    {
        window->connectTo(QStringLiteral("127.0.0.1"), sim->port());
        return waitUntil(
            [this] { return window->linkState() == State::Connected && window->moduleSettings(); },
            10000);
    }

    // Requests from the window reach the worker in order: once a configuration read queued
    // now has come back, anything the window queued before has been sent or never will be.
    bool drainWorker()
    {
        ModuleSession *session = window->session();
        bool done = false;
        // Received on this thread, queued: a spy's wait could miss a signal from the worker.
        const QMetaObject::Connection c =
            connect(session, &ModuleSession::configurationRead, this, [&done] { done = true; });
        QMetaObject::invokeMethod(
            session, [session] { session->readConfiguration(); }, Qt::QueuedConnection);
        const bool ok = waitUntil([&done] { return done; }, 10000);
        disconnect(c);
        return ok;
    }

    // Writes to the configuration, commit and service registers: what must never be sent
    // without the user's yes. The poller's capture triggers at 0xA000 are not among them.
    int serviceWrites() const
    {
        int n = 0;
        for (const Sim::Transaction &t : sim->transactions()) {
            if (t.writeAddress >= 0 && t.writeRegister() >= Sim::WriteAreaRegister)
                ++n;
        }
        return n;
    }

    QString connectionText() const
    {
        return window->findChild<QLabel *>(QStringLiteral("connectionLabel"))->text();
    }

    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }

    static QByteArray image(const t_orvo_settings &s)
    {
        return QByteArray(reinterpret_cast<const char *>(&s), sizeof s);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir.isValid() && files.isValid());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    }

    void init()
    {
        QSettings().clear();
        chosenPath.clear();
        confirmAnswer = true;
        questions.clear();
        messages.clear();
        sim = std::make_unique<Sim>();
        // A capture is ready 5 ms after its trigger rather than 20.
        sim->setCaptureDelay(5);
        QVERIFY(sim->start());
        makeWindow();
    }

    void cleanup()
    {
        window.reset();
        sim.reset();
    }

    void liveViews_data()
    {
        QTest::addColumn<ModuleSimulator::Kind>("kind");
        QTest::addColumn<QString>("typeName");
        QTest::newRow("ICP measurement module") << Sim::Kind::Icp << "ORVO_ICP";
        QTest::newRow("proximity measurement module") << Sim::Kind::Prox << "ORVO_PROX";
        QTest::newRow("relay module") << Sim::Kind::Relay << "ORVO_REL";
    }
    void liveViews()
    {
        QFETCH(ModuleSimulator::Kind, kind);
        QFETCH(QString, typeName);
        sim->resetContents(kind);
        QVERIFY(connectWindow());
        QVERIFY(
            window->findChild<QLabel *>(QStringLiteral("typeValue"))->text().startsWith(typeName));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("identValue"))->text(),
                 QStringLiteral("Sim module / 1.0 / SIM-0001"));

        const bool relay = kind == Sim::Kind::Relay;
        QCOMPARE(window->channelView()->isVisibleTo(window.get()), !relay);
        QCOMPARE(window->relayView()->isVisibleTo(window.get()), relay);
        QCOMPARE(window->eventsView()->isVisibleTo(window.get()), relay);
        QCOMPARE(window->waveformPlot()->isVisibleTo(window.get()), !relay);
        if (relay) {
            // Relays 1-6 in use; relays 1 and 3 logically on.
            for (QWidget *view : {static_cast<QWidget *>(window->relayView()),
                                  static_cast<QWidget *>(window->eventsView())}) {
                auto *table = view->findChild<QTableWidget *>(QStringLiteral("eventsTable"));
                QCOMPARE(table->rowCount(), 6);
            }
        } else {
            auto *table =
                window->channelView()->findChild<QTableWidget *>(QStringLiteral("measTable"));
            QCOMPARE(table->rowCount(), 12); // four channels of three measurements
            const int valueColumn = table->columnCount() - 1;
            QVERIFY(waitUntil(
                [&] {
                    return table->item(table->rowCount() - 1, valueColumn) &&
                           !table->item(table->rowCount() - 1, valueColumn)->text().isEmpty();
                },
                10000));
        }
        // Every table offers its copy action in the context menu.
        for (QTableView *table : window->findChildren<QTableView *>()) {
            if (!table->isVisibleTo(window.get()))
                continue;
            QCOMPARE(table->contextMenuPolicy(), Qt::ActionsContextMenu);
            QVERIFY(std::any_of(table->actions().cbegin(), table->actions().cend(),
                                [](QAction *a) { return qobject_cast<KQTableCopyAction *>(a); }));
        }
    }

    void plottedSamples_data()
    {
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<int>("spectrumType");
        QTest::addColumn<QString>("formatAction");
        QTest::newRow("waveform as floats") << false << 0 << "actionFormatFloat";
        QTest::newRow("waveform as signed integers") << false << 0 << "actionFormatInt";
        QTest::newRow("spectrum type 0 as floats") << true << 0 << "actionFormatFloat";
        QTest::newRow("spectrum type 1 as unsigned integers") << true << 1 << "actionFormatUInt";
    }
    void plottedSamples()
    {
        QFETCH(bool, spectrum);
        QFETCH(int, spectrumType);
        QFETCH(QString, formatAction);
        window->findChild<QAction *>(formatAction)->trigger();
        window->findChild<QComboBox *>(QStringLiteral("spectrumTypeCombo"))
            ->setCurrentIndex(spectrumType);
        QSignalSpy waveforms(window.get(), &ModuleWindow::waveformShown);
        QSignalSpy spectra(window.get(), &ModuleWindow::spectrumShown);
        QVERIFY(connectWindow());

        const int ch = 2;
        uint selector = uint(spectrumType);
        if (spectrum) {
            QVERIFY(waitUntil(
                [&] {
                    return std::any_of(
                        spectra.cbegin(), spectra.cend(), [&](const QList<QVariant> &args) {
                            return args[0].toInt() == ch && args[1].toUInt() == selector;
                        });
                },
                15000));
        } else {
            QVERIFY(waitUntil(
                [&] {
                    return std::any_of(
                        waveforms.cbegin(), waveforms.cend(),
                        [&](const QList<QVariant> &args) { return args[0].toInt() == ch; });
                },
                15000));
            for (const QList<QVariant> &args : waveforms) {
                if (args[0].toInt() == ch)
                    selector = args[1].toUInt();
            }
        }
        CapturePlot *plot = spectrum ? window->spectrumPlot() : window->waveformPlot();
        const QVector<QPointF> samples = plot->curveSamples(ch);
        QCOMPARE(samples.size(), spectrum ? 128 : 256);
        const PointFormat::Kind kind = plot->pointFormat();
        for (int i = 0; i < samples.size(); ++i) {
            const quint32 word = Sim::pointValue(spectrum, ch, quint16(selector), quint32(i));
            double expected = 0;
            if (kind == PointFormat::Float32) {
                float f = 0;
                std::memcpy(&f, &word, sizeof f);
                expected = f;
            } else {
                expected = kind == PointFormat::Int32 ? double(qint32(word)) : double(word);
            }
            QCOMPARE(samples[i].x(), double(i));
            QCOMPARE(samples[i].y(), expected);
        }
        // The choice is remembered for the next start.
        QCOMPARE(QSettings().value(QStringLiteral("ModuleView/pointFormat")).toString(),
                 PointFormat::key(kind));
    }

    void failedCaptureIsLogged_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("answers echo a wrong offset") << Fault([](Sim &m) { m.setWrongEcho(0); });
        QTest::newRow("header announces a negative count")
            << Fault([](Sim &m) { m.setHeaderPointCountOverride(true, 0xFFFFFFFFu); });
    }
    void failedCaptureIsLogged()
    {
        QFETCH(Fault, fault);
        // The link reports such reads as done; the log must not.
        fault(*sim);
        QSignalSpy logged(window.get(), &ModuleWindow::operationLogged);
        QVERIFY(connectWindow());
        auto failedRead = [&logged] {
            return std::any_of(logged.cbegin(), logged.cend(), [](const QList<QVariant> &args) {
                return args[0].toString().startsWith(QLatin1String("Read waveform, channel")) &&
                       !args[1].toBool() &&
                       args[2].toString().contains(QLatin1String("No waveform"));
            });
        };
        QVERIFY(waitUntil([&] { return failedRead(); }, 15000));
        QVERIFY(window->waveformPlot()->capture(0).isEmpty());
        QVERIFY(std::none_of(logged.cbegin(), logged.cend(), [](const QList<QVariant> &args) {
            return args[0].toString().startsWith(QLatin1String("Read waveform")) &&
                   args[1].toBool();
        }));
    }

    void configurationRoundTrip()
    {
        QVERIFY(connectWindow());
        const QString path = files.filePath(QStringLiteral("module.cfg"));
        chosenPath = path;
        QSignalSpy logged(window.get(), &ModuleWindow::operationLogged);
        window->saveConfiguration();
        auto saveEntry = [&logged] {
            for (const QList<QVariant> &args : logged) {
                if (args[0].toString() == QLatin1String("Save configuration"))
                    return args;
            }
            return QList<QVariant>();
        };
        QVERIFY(waitUntil([&] { return !saveEntry().isEmpty(); }, 10000));
        QCOMPARE(saveEntry().at(1).toBool(), true);
        t_orvo_settings onModule;
        sim->settings(onModule);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), image(onModule));
        saved.close();

        // Edited for another node, and loaded back.
        t_orvo_settings edited = onModule;
        edited.node_id = 7;
        writeFile(path, image(edited));
        window->loadConfiguration();
        waitUntil([&] { return sim->commitCount() == 1; }, 10000);
        QCOMPARE(sim->commitCount(), 1);
        t_orvo_settings written;
        sim->writeArea(written);
        QCOMPARE(image(written), image(edited));
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions[0].contains(QStringLiteral("127.0.0.1:%1 (node id 1)").arg(sim->port())),
                 qPrintable(questions[0]));
        QVERIFY2(questions[0].contains(QLatin1String("node id 7")), qPrintable(questions[0]));
        QVERIFY(messages.isEmpty());
    }

    void refusedConfiguration_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: the path is a directory
        QTest::addColumn<QString>("fragment");
        t_orvo_settings good;
        Sim(Sim::Kind::Icp).settings(good);
        auto edited = [&](void (*edit)(t_orvo_settings &)) {
            t_orvo_settings s = good;
            edit(s);
            return image(s);
        };
        QTest::newRow("wrong size") << image(good).left(4096) << "4096";
        QTest::newRow("node id out of range")
            << edited([](t_orvo_settings &s) { s.node_id = 40; }) << "node_id is 40";
        QTest::newRow("channel mask beyond four channels")
            << edited([](t_orvo_settings &s) { s.channel_mask = 0x1F; }) << "channel_mask";
        QTest::newRow("measurement type above 16")
            << edited([](t_orvo_settings &s) { s.channels[0].meas[1].type = 200; })
            << "channels[0].meas[1].type is 200";
        QTest::newRow("not a regular file") << QByteArray() << "not a regular file";
    }
    void refusedConfiguration()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, fragment);
        QVERIFY(connectWindow());
        chosenPath = files.filePath(QString::fromLatin1(QTest::currentDataTag()));
        if (content.isNull())
            QVERIFY(QDir().mkpath(chosenPath));
        else
            writeFile(chosenPath, content);
        window->loadConfiguration();
        QVERIFY(drainWorker());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(fragment), qPrintable(messages[0]));
        QVERIFY(questions.isEmpty());
        QCOMPARE(serviceWrites(), 0);
        QCOMPARE(sim->commitCount(), 0);
    }

    void cancelledConfirmationSendsNothing_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("load configuration")
            << Action([](ModuleWindow &w) { w.loadConfiguration(); }) << "and commit it";
        QTest::newRow("restart") << Action([](ModuleWindow &w) { w.restartModule(); })
                                 << "stops measuring";
        QTest::newRow("boot loader")
            << Action([](ModuleWindow &w) { w.enterBootLoader(); }) << "boot loader";
        QTest::newRow("test mode")
            << Action([](ModuleWindow &w) { w.enterTestMode(); }) << "stops measuring";
    }
    void cancelledConfirmationSendsNothing()
    {
        QFETCH(Action, action);
        QFETCH(QString, mentions);
        QVERIFY(connectWindow());
        t_orvo_settings good;
        sim->settings(good);
        chosenPath = files.filePath(QStringLiteral("cancelled.cfg"));
        writeFile(chosenPath, image(good));
        confirmAnswer = false;
        sim->clearTransactions();

        action(*window);
        QVERIFY(drainWorker());
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions[0].contains(QStringLiteral("127.0.0.1:%1").arg(sim->port())),
                 qPrintable(questions[0]));
        QVERIFY2(questions[0].contains(mentions), qPrintable(questions[0]));
        QCOMPARE(serviceWrites(), 0);
        QCOMPARE(sim->restartCount() + sim->bootCount() + sim->testModeCount(), 0);
        QCOMPARE(window->linkState(), State::Connected);
    }

    void serviceRequests_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("boots");
        QTest::addColumn<int>("testModes");
        QTest::addColumn<State>("after");
        QTest::newRow("boot loader disconnects")
            << Action([](ModuleWindow &w) { w.enterBootLoader(); }) << 1 << 0
            << State::Disconnected;
        QTest::newRow("test mode stays connected")
            << Action([](ModuleWindow &w) { w.enterTestMode(); }) << 0 << 1 << State::Connected;
    }
    void serviceRequests()
    {
        QFETCH(Action, action);
        QFETCH(int, boots);
        QFETCH(int, testModes);
        QFETCH(State, after);
        QVERIFY(connectWindow());
        action(*window);
        QVERIFY(waitUntil([&] { return !window->isBusy(); }, 10000));
        QCOMPARE(sim->bootCount(), boots);
        QCOMPARE(sim->testModeCount(), testModes);
        QCOMPARE(window->linkState(), after);
        // Nobody asked for a reconnection after the boot loader.
        QCOMPARE(window->retrySecondsLeft(), 0);
        if (testModes) {
            waitUntil(
                [&] {
                    return window->findChild<QLabel *>(QStringLiteral("modeValue"))->text() ==
                           QStringLiteral("Not measuring (mode 3)");
                },
                5000);
            QCOMPARE(window->findChild<QLabel *>(QStringLiteral("modeValue"))->text(),
                     QStringLiteral("Not measuring (mode 3)"));
        }
    }

    void lostModuleIsShownAndReconnected()
    {
        QVERIFY(connectWindow());
        const quint16 port = sim->port();
        QVERIFY(waitUntil([&] { return !window->waveformPlot()->capture(0).isEmpty(); }, 15000));
        const QVector<quint32> lastCapture = window->waveformPlot()->capture(0);

        sim->stop();
        QVERIFY(waitForState(State::Lost));
        QVERIFY2(connectionText().contains(QLatin1String("Module connection lost")),
                 qPrintable(connectionText()));
        QCOMPARE(window->retrySecondsLeft(), TestRetryTicks);
        // The last values stay, greyed.
        QVERIFY(!window->channelView()->isEnabled());
        QVERIFY(window->waveformPlot()->isStale());
        QCOMPARE(window->waveformPlot()->capture(0), lastCapture);

        QVERIFY(sim->start(QStringLiteral("127.0.0.1"), port));
        QVERIFY(waitForState(State::Connected, 20000));
        QVERIFY(window->channelView()->isEnabled());

        // Lost again, then Disconnect: no further attempts.
        sim->stop();
        QVERIFY(waitForState(State::Lost));
        window->disconnectModule();
        QCOMPARE(window->linkState(), State::Disconnected);
        QCOMPARE(window->retrySecondsLeft(), 0);
        QVERIFY(sim->start(QStringLiteral("127.0.0.1"), port));
        // Longer than a countdown would have taken, so an attempt still made would be seen.
        QTest::qWait((TestRetryTicks + 2) * TestRetryTickMs);
        QVERIFY(drainWorker());
        QCOMPARE(sim->acceptedCount(), 0);
    }

    // The only test on the product's reconnection pacing: five ticks of a second, counted
    // down from the moment the loss is shown.
    void reconnectionWaitsFiveSeconds()
    {
        makeWindow(true);
        QCOMPARE(window->retryTickInterval(), ModuleWindow::RetryTickMs);
        QCOMPARE(ModuleWindow::RetryTickMs, 1000);
        QCOMPARE(ModuleWindow::RetryDelayS, 5);
        QVERIFY(connectWindow());
        sim->stop();
        QVERIFY(waitForState(State::Lost));
        QCOMPARE(window->retrySecondsLeft(), 5);
        QVERIFY2(connectionText().contains(QLatin1String("Reconnecting in 5 s")),
                 qPrintable(connectionText()));
    }

    // The module comes back (the restart reports success), and a Disconnect given during the
    // wait still wins.
    void windowRunsDuringRestart()
    {
        QVERIFY(connectWindow());
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(5);
        // Back before the link's wait is over, so the restart succeeds.
        sim->setRestartTime(100);
        QSignalSpy logged(window.get(), &ModuleWindow::operationLogged);

        window->restartModule();
        QVERIFY(window->isBusy());
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("actionRestart"))->isEnabled());
        QVERIFY(!window->channelView()->isEnabled());
        waitUntil([&] { return sim->restartCount() == 1; }, 5000);
        QCOMPARE(sim->restartCount(), 1);
        window->disconnectModule();
        // At once, although the worker is still asleep in the restart.
        QCOMPARE(window->linkState(), State::Disconnected);

        QVERIFY(waitUntil([&] { return !window->isBusy(); }, 30000));
        // The restart waits 250 ms on the worker; a blocked window would have ticked about once.
        QVERIFY2(ticks > 20, qPrintable(QString::number(ticks)));
        QVERIFY(std::any_of(logged.cbegin(), logged.cend(), [](const QList<QVariant> &args) {
            return args[0].toString() == QLatin1String("Restart module") && args[1].toBool();
        }));
        // The connection the restart made again is closed, and stays closed.
        QVERIFY(drainWorker());
        waitUntil([&] { return sim->clientCount() == 0; }, 5000);
        QCOMPARE(sim->clientCount(), 0);
        QCOMPARE(window->linkState(), State::Disconnected);
    }
};

QTEST_MAIN(TestModuleWindow)
#include "tst_modulewindow.moc"

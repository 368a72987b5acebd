#include "channelstateview.h"
#include "mainwindow.h"
#include "meascondledindicator.h"
#include "protocencoder.h"
#include "qttranslationswitch.h"
#include "relaystateview.h"
#include "statusdatagram.h"
#include "t_orvo_settings.h"
#include "udpsender.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUdpSocket>
#include <QtTest>

#include <cstring>

namespace {

NodeSpec channelNode(quint32 id, float value = 1.5f, int measCount = 1)
{
    NodeSpec node;
    node.node_id = id;
    ChannelSpec channel;
    for (int m = 1; m <= measCount; ++m)
        channel.meas << MeasSpec{m, value, 0x0101, 1, 0.5f, 0.25f};
    node.channels << channel;
    return node;
}

NodeSpec relayNode(quint32 id, quint32 status)
{
    NodeSpec node;
    node.node_id = id;
    node.relay_status = status;
    return node;
}

QByteArray encode(const NodeSpec &node)
{
    return StatusDatagram::node(node);
}

QTableWidget *tableOf(QWidget *view)
{
    return view ? view->findChild<QTableWidget *>() : nullptr;
}

QString valueText(ChannelStateView *view, int row = 0)
{
    QTableWidgetItem *item = tableOf(view) ? tableOf(view)->item(row, 8) : nullptr;
    return item ? item->text() : QString();
}

int lampState(RelayStateView *view, int row, int column)
{
    auto *lamp = qobject_cast<MeasCondLedIndicator *>(tableOf(view)->cellWidget(row, column));
    return lamp ? lamp->state() : -100;
}

QVBoxLayout *panelLayout(MainWindow &window)
{
    return qobject_cast<QVBoxLayout *>(
        window.findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents"))->layout());
}

// Panels of the per-node layout at position i of the stack, in order.
QList<QWidget *> panelsAt(MainWindow &window, int i)
{
    QList<QWidget *> panels;
    QLayout *node = panelLayout(window)->itemAt(i)->layout();
    for (int k = 0; node && k < node->count(); ++k)
        panels << node->itemAt(k)->widget();
    return panels;
}

QString titleOf(const QGroupBox *panel)
{
    return panel->title();
}

bool recordIsZero(const t_orvo_settings &rec)
{
    static const t_orvo_settings zero = {};
    return std::memcmp(&rec, &zero, sizeof rec) == 0;
}

} // namespace

Q_DECLARE_METATYPE(NodeSpec)

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void programAnswersItsOptions_data();
    void programAnswersItsOptions();
    void firstStartWithoutSettings();
    void formHasOnlyTheLanguageMenu();
    void connectionShortcutsDoNothing_data();
    void connectionShortcutsDoNothing();
    void closeAndReopenRestoresGeometryAndLanguage();
    void minimizedCloseWritesOnlyLanguage();
    void busyPortIsReported();

    void firstArrivalShowsPanels_data();
    void firstArrivalShowsPanels();
    void protocEncodedDatagramIsShown();
    void nodesStackInIdOrder_data();
    void nodesStackInIdOrder();
    void droppedDatagramsChangeNothing_data();
    void droppedDatagramsChangeNothing();
    void pushCadence();
    void arrivalAndPushInOneDrain();
    void configurationChangeRebuilds();
    void relayModesCarryOverOnlyAfterSilence();
    void silenceRemovesNodeAndRebuildRestartsTimers();
    void languageChangeRebuildsWithTranslatedTitles();

private:
    void send(const QByteArray &datagram);
    // Sends one unchanged message of a present node and waits until the window counted it.
    void sendUnchanged(MainWindow &window, const NodeSpec &node);
    void sendArrival(MainWindow &window, const NodeSpec &node);

    QTemporaryDir settingsDir;
    UdpSender sender{MainWindow::ListenPort};
};

void TestMainWindow::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QVERIFY(QSettings().fileName().startsWith(settingsDir.path()));
}

void TestMainWindow::init()
{
    QSettings().clear();
}

void TestMainWindow::cleanup()
{
    QtTranslationSwitch::instance()->setLanguage(QString());
}

void TestMainWindow::send(const QByteArray &datagram)
{
    QVERIFY(sender.send(datagram));
}

void TestMainWindow::sendUnchanged(MainWindow &window, const NodeSpec &node)
{
    const int slot = int(node.node_id) - 1;
    QVERIFY(window.isPresent(slot));
    const quint32 expected = window.refreshCounter(slot) > 5 ? 0 : window.refreshCounter(slot) + 1;
    send(encode(node));
    QTRY_COMPARE(window.refreshCounter(slot), expected);
}

void TestMainWindow::sendArrival(MainWindow &window, const NodeSpec &node)
{
    send(encode(node));
    QTRY_VERIFY(window.isPresent(int(node.node_id) - 1));
}

void TestMainWindow::programAnswersItsOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("version") << "--version"
                             << "Orvo_ICP View 1.0.4";
    QTest::newRow("help") << "--help"
                          << "UDP port 49153";
}

void TestMainWindow::programAnswersItsOptions()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvo-icp-view"),
                  {option});
    QVERIFY2(program.waitForFinished(30000), qPrintable(program.errorString()));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardOutput()).contains(expected));
}

void TestMainWindow::firstStartWithoutSettings()
{
    MainWindow window;
    // The default size and position are applied after the state; maximized wins when shown.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
    QVERIFY(window.isListening());
    auto *socket = window.findChild<QUdpSocket *>();
    QVERIFY(socket);
    QCOMPARE(socket->localPort(), MainWindow::ListenPort);
    QCOMPARE(socket->localAddress(), QHostAddress(QHostAddress::Any));
    QCOMPARE(panelLayout(window)->count(), 0);
    QVERIFY(window.findChildren<ChannelStateView *>().isEmpty());
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("listenErrorLabel")));
    for (int slot = 0; slot < MainWindow::NodeCount; ++slot) {
        QVERIFY(!window.isPresent(slot));
        QVERIFY(!window.isSilenceTimerActive(slot));
        QVERIFY(recordIsZero(window.nodeRecord(slot)));
    }
}

void TestMainWindow::formHasOnlyTheLanguageMenu()
{
    MainWindow window;
    const QList<QAction *> bar = window.menuBar()->actions();
    QCOMPARE(bar.size(), 1);
    QCOMPARE(bar.first()->text(), QStringLiteral("&Language"));
    QCOMPARE(bar.first()->menu()->actions(), QtTranslationSwitch::instance()->actions());
    QCOMPARE(bar.first()->menu()->actions().size(), 3);
    QVERIFY(window.findChildren<QToolBar *>().isEmpty());
    // Always there, so the panels do not shift when the stack outgrows the window.
    QCOMPARE(window.findChild<QScrollArea *>()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestMainWindow::connectionShortcutsDoNothing_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Ctrl+E open connection") << QKeySequence(QStringLiteral("Ctrl+E"));
    QTest::newRow("Ctrl+Q close connection") << QKeySequence(QStringLiteral("Ctrl+Q"));
    QTest::newRow("Ctrl+D open RS485") << QKeySequence(QStringLiteral("Ctrl+D"));
}

void TestMainWindow::connectionShortcutsDoNothing()
{
    QFETCH(QKeySequence, keys);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QList<QSignalSpy *> spies;
    for (QAction *action : window.findChildren<QAction *>())
        spies << new QSignalSpy(action, &QAction::triggered);
    // A shortcut that is placed on the window proves key presses do reach shortcuts here.
    QAction control(QStringLiteral("control"), &window);
    control.setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    window.addAction(&control);
    QSignalSpy controlSpy(&control, &QAction::triggered);

    QTest::keySequence(&window, keys);
    QTest::keySequence(&window, QKeySequence(QStringLiteral("Ctrl+K")));
    QCOMPARE(controlSpy.count(), 1);
    for (QSignalSpy *spy : spies)
        QCOMPARE(spy->count(), 0);
    qDeleteAll(spies);
    QVERIFY(window.isVisible());
}

void TestMainWindow::closeAndReopenRestoresGeometryAndLanguage()
{
    {
        MainWindow window;
        window.setWindowState(Qt::WindowNoState);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(640, 480);
        QtTranslationSwitch::instance()->actions().at(2)->trigger(); // English
        QVERIFY(window.close());
    }
    QSettings settings;
    QVERIFY(settings.contains(QStringLiteral("MainWindow/state")));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/size")).toSize(), QSize(640, 480));
    QVERIFY(settings.contains(QStringLiteral("MainWindow/pos")));
    QCOMPARE(settings.value(QStringLiteral("lang")).toString(), QStringLiteral("en"));
    settings.setValue(QStringLiteral("MainWindow/pos"), QPoint(30, 40));
    settings.sync();

    MainWindow reopened;
    QVERIFY(!(reopened.windowState() & Qt::WindowMaximized));
    QCOMPARE(reopened.size(), QSize(640, 480));
    QCOMPARE(reopened.pos(), QPoint(30, 40));
    QCOMPARE(QtTranslationSwitch::instance()->language(), QStringLiteral("en"));
    QVERIFY(QtTranslationSwitch::instance()->actions().at(2)->isChecked());
}

void TestMainWindow::minimizedCloseWritesOnlyLanguage()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("MainWindow/size"), QSize(700, 500));
        settings.setValue(QStringLiteral("MainWindow/pos"), QPoint(10, 20));
        settings.setValue(QStringLiteral("lang"), QStringLiteral("en"));
    }
    MainWindow window;
    window.showMinimized();
    QVERIFY(window.isMinimized());
    QtTranslationSwitch::instance()->setLanguage(QString());
    window.close();

    QSettings settings;
    QVERIFY(!settings.contains(QStringLiteral("MainWindow/state")));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/size")).toSize(), QSize(700, 500));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/pos")).toPoint(), QPoint(10, 20));
    QVERIFY(settings.contains(QStringLiteral("lang")));
    QCOMPARE(settings.value(QStringLiteral("lang")).toString(), QString());
}

void TestMainWindow::busyPortIsReported()
{
    // Without address sharing nobody else may bind the port, whatever options they ask for.
    QUdpSocket holder;
    QVERIFY2(holder.bind(QHostAddress::Any, MainWindow::ListenPort, QUdpSocket::DontShareAddress),
             qPrintable(holder.errorString()));

    MainWindow window;
    QVERIFY(!window.isListening());
    auto *label = window.findChild<QLabel *>(QStringLiteral("listenErrorLabel"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Cannot listen on UDP port 49153: "
                                           "The bound address is already in use"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(label->isVisible());

    QtTranslationSwitch::instance()->setLanguage(QStringLiteral("ru"));
    const QString reason =
        QCoreApplication::translate("QNativeSocketEngine", "The bound address is already in use");
    QTRY_COMPARE(label->text(),
                 QStringLiteral("Не удаётся принимать данные на UDP-порту 49153: ") + reason);
}

void TestMainWindow::firstArrivalShowsPanels_data()
{
    QTest::addColumn<NodeSpec>("node");
    QTest::addColumn<bool>("channelShown");
    QTest::addColumn<int>("relayRows");

    NodeSpec twoChannels = channelNode(5);
    twoChannels.channels << twoChannels.channels.first();
    twoChannels.channels[1].channel = 2;
    QTest::newRow("channels 1 and 2, no relay") << twoChannels << true << 0;
    QTest::newRow("relays 1-4 enabled") << relayNode(5, 0x0F000000) << false << 4;
    QTest::newRow("relay with nothing enabled") << relayNode(5, 0x00FFFFFF) << false << 0;
    NodeSpec both = channelNode(5);
    both.relay_status = 0x81000000;
    QTest::newRow("channel and relays 1, 8") << both << true << 2;
}

void TestMainWindow::firstArrivalShowsPanels()
{
    QFETCH(NodeSpec, node);
    QFETCH(bool, channelShown);
    QFETCH(int, relayRows);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    sendArrival(window, node);
    QVERIFY(window.isSilenceTimerActive(4));
    QCOMPARE(window.refreshCounter(4), 6u);

    QCOMPARE(panelLayout(window)->count(), 1);
    QList<QWidget *> expected;
    if (channelShown)
        expected << window.channelView(4);
    if (relayRows)
        expected << window.relayView(4);
    QCOMPARE(panelsAt(window, 0), expected);
    for (QWidget *panel : expected)
        QTRY_VERIFY(panel->isVisible());
    if (channelShown)
        QCOMPARE(titleOf(window.channelView(4)), QStringLiteral("Module node id 5:"));
    QCOMPARE(titleOf(window.relayView(4)), QStringLiteral("Relay node id 5:"));
    QCOMPARE(tableOf(window.relayView(4))->rowCount(), relayRows);
}

void TestMainWindow::protocEncodedDatagramIsShown()
{
    QByteArray datagram;
    QString error;
    QVERIFY2(protocEncode("word1: 1 word2: 2 node_id: 7 relay { relay_status: 251658240 }",
                          datagram, &error),
             qPrintable(error));
    MainWindow window;
    send(datagram);
    QTRY_VERIFY(window.isPresent(6));
    QCOMPARE(panelsAt(window, 0), QList<QWidget *>{window.relayView(6)});
    QCOMPARE(tableOf(window.relayView(6))->rowCount(), 4);
}

void TestMainWindow::nodesStackInIdOrder_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    QTest::newRow("3 then 12") << 3u << 12u;
    QTest::newRow("12 then 3") << 12u << 3u;
}

void TestMainWindow::nodesStackInIdOrder()
{
    QFETCH(quint32, first);
    QFETCH(quint32, second);
    MainWindow window;
    sendArrival(window, channelNode(first));
    sendArrival(window, channelNode(second));
    QCOMPARE(panelLayout(window)->count(), 2);
    QCOMPARE(panelsAt(window, 0), QList<QWidget *>{window.channelView(2)});
    QCOMPARE(panelsAt(window, 1), QList<QWidget *>{window.channelView(11)});
}

void TestMainWindow::droppedDatagramsChangeNothing_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::newRow("node id 0") << encode(channelNode(0));
    QTest::newRow("node id 33") << encode(channelNode(33));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << encode(channelNode(5)).left(20);
    // Node 5 with a channel that lacks its required state (tag 10).
    QTest::newRow("channel without state")
        << QByteArray::fromHex("0800100018052210"
                               "5a0e0d00000000150000000018002000");
}

void TestMainWindow::droppedDatagramsChangeNothing()
{
    QFETCH(QByteArray, datagram);
    MainWindow window;
    const NodeSpec probe = channelNode(32);
    sendArrival(window, probe);
    ChannelStateView *const panel = window.channelView(31);

    send(datagram);
    // The probe's unchanged message is handled after the datagram before it.
    sendUnchanged(window, probe);

    for (int slot = 0; slot < 31; ++slot) {
        QVERIFY(!window.isPresent(slot));
        QVERIFY(recordIsZero(window.nodeRecord(slot)));
    }
    QCOMPARE(window.channelView(31), panel);
    QCOMPARE(panelLayout(window)->count(), 1);
}

void TestMainWindow::pushCadence()
{
    MainWindow window;
    NodeSpec node = channelNode(5, 1.0f);
    node.relay_status = 0x01000000;
    sendArrival(window, node);
    // The panel appears with the first datagram, without values.
    QCOMPARE(valueText(window.channelView(4)), QString());
    QCOMPARE(lampState(window.relayView(4), 0, 1), 2);

    // Values change, the configuration does not: datagrams 2, 9 and 16 push.
    QString shown;
    for (int k = 2; k <= 17; ++k) {
        node.channels[0].meas[0].value = float(k);
        node.relay_status = 0x01000000 | (k & 1u);
        sendUnchanged(window, node);
        if (k == 2 || k == 9 || k == 16)
            shown = QLocale().toString(double(k), 'f', 6);
        QVERIFY2(valueText(window.channelView(4)).startsWith(shown),
                 qPrintable(QString::number(k)));
        const int pushed = k >= 16 ? 16 : k >= 9 ? 9 : 2;
        QCOMPARE(lampState(window.relayView(4), 0, 1), 0);                  // enabled: green
        QCOMPARE(lampState(window.relayView(4), 0, 4), pushed & 1 ? 0 : 2); // logical state
    }
}

void TestMainWindow::arrivalAndPushInOneDrain()
{
    // Queued before the window reads: node 5 arrives and changes its layout, node 6 arrives,
    // then node 5 repeats its layout; the repeat must reach node 5's panels of the last build.
    MainWindow window;
    send(encode(channelNode(5, 1.0f, 1)));
    send(encode(channelNode(5, 2.0f, 2)));
    send(encode(relayNode(6, 0x01000000)));
    send(encode(channelNode(5, 3.0f, 2)));
    QTRY_VERIFY(window.isPresent(5) && window.refreshCounter(4) == 0);
    QCOMPARE(tableOf(window.channelView(4))->rowCount(), 2);
    QVERIFY(valueText(window.channelView(4), 1).startsWith(QLocale().toString(3.0, 'f', 6)));
    QCOMPARE(panelLayout(window)->count(), 2);
    QCOMPARE(panelsAt(window, 1), QList<QWidget *>{window.relayView(5)});
}

void TestMainWindow::configurationChangeRebuilds()
{
    MainWindow window;
    NodeSpec node = channelNode(5, 1.0f, 1);
    sendArrival(window, node);
    ChannelStateView *panel = window.channelView(4);
    sendUnchanged(window, node);
    QCOMPARE(window.channelView(4), panel);

    // A second measurement changes the record: a rebuild with two rows and no values yet.
    node = channelNode(5, 1.0f, 2);
    send(encode(node));
    QTRY_COMPARE(window.nodeRecord(4).channels[0].meas[1].type, quint16(1));
    QVERIFY(window.channelView(4) != panel);
    QCOMPARE(tableOf(window.channelView(4))->rowCount(), 2);
    QCOMPARE(window.refreshCounter(4), 6u);
    QCOMPARE(valueText(window.channelView(4)), QString());
}

void TestMainWindow::relayModesCarryOverOnlyAfterSilence()
{
    MainWindow window;
    NodeSpec withRelay = channelNode(5);
    withRelay.relay_status = 0x03000000;
    const NodeSpec withoutRelay = channelNode(5);

    // While present, a message without relay compares as relay modes 0: rebuilt, relays gone.
    sendArrival(window, withRelay);
    QCOMPARE(window.nodeRecord(4).relays[1].mode, quint16(3));
    send(encode(withoutRelay));
    QTRY_COMPARE(window.nodeRecord(4).relays[1].mode, quint16(0));
    QCOMPARE(panelsAt(window, 0), QList<QWidget *>{window.channelView(4)});

    // After silence the returning node is converted in place and keeps the old modes.
    send(encode(withRelay));
    QTRY_COMPARE(window.nodeRecord(4).relays[1].mode, quint16(3));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPresent(4), 5000);
    QCOMPARE(panelLayout(window)->count(), 0);
    sendArrival(window, withoutRelay);
    QCOMPARE(window.nodeRecord(4).relays[0].mode, quint16(3));
    QCOMPARE(window.nodeRecord(4).relays[1].mode, quint16(3));
    QCOMPARE(tableOf(window.relayView(4))->rowCount(), 2);
}

void TestMainWindow::silenceRemovesNodeAndRebuildRestartsTimers()
{
    MainWindow window;
    sendArrival(window, channelNode(5));
    QVERIFY(!window.channelView(5));
    QTest::qWait(600);
    // Another node's arrival rebuilds all panels and so restarts node 5's silence timer.
    QElapsedTimer sinceRebuild;
    sendArrival(window, channelNode(6));
    sinceRebuild.start();
    QVERIFY(window.isPresent(4));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPresent(4), 5000);
    QVERIFY2(sinceRebuild.elapsed() >= 900, qPrintable(QString::number(sinceRebuild.elapsed())));
    QVERIFY(!window.isSilenceTimerActive(4));
    QVERIFY(!window.channelView(4));
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPresent(5), 5000);
    QCOMPARE(panelLayout(window)->count(), 0);
    QVERIFY(window.findChildren<ChannelStateView *>().isEmpty());
    // The slot keeps its record for a return.
    QCOMPARE(window.nodeRecord(4).node_id, quint16(5));
}

void TestMainWindow::languageChangeRebuildsWithTranslatedTitles()
{
    MainWindow window;
    NodeSpec node = relayNode(5, 0x01000000);
    node.channels = channelNode(5).channels;
    sendArrival(window, node);
    sendUnchanged(window, node);
    QVERIFY(!valueText(window.channelView(4)).isEmpty());
    ChannelStateView *const before = window.channelView(4);

    QtTranslationSwitch::instance()->setLanguage(QStringLiteral("ru"));
    QTRY_COMPARE(window.menuBar()->actions().first()->text(), QStringLiteral("&Язык"));
    QTRY_VERIFY(window.channelView(4) != before);
    QCOMPARE(titleOf(window.channelView(4)), QStringLiteral("Модуль, узел 5:"));
    QCOMPARE(titleOf(window.relayView(4)), QStringLiteral("Реле, узел 5:"));
    QCOMPARE(window.findChild<QAction *>(QStringLiteral("actionOpenConnection"))->text(),
             QStringLiteral("&Открыть соединение..."));
    // New panels wait for the node's next push.
    QCOMPARE(valueText(window.channelView(4)), QString());
    sendUnchanged(window, node);
    QVERIFY(!valueText(window.channelView(4)).isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

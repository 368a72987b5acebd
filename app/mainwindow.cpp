#include "mainwindow.h"

#include "channelstateview.h"
#include "chstate.h"
#include "journalrecorder.h"
#include "nodestatusdecoder.h"
#include "orvoresources.h"
#include "relaystateview.h"
#include "statusconversion.h"
#include "t_orvo_settings.h"
#include "ui_mainwindow.h"
#include "windowshell.h"

#include <QByteArray>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QUdpSocket>

#include <cstring>

namespace {

const char *const SettingsGroup = "MainWindow";
const char *const StateKey = "state";
const char *const SizeKey = "size";
const char *const PosKey = "pos";

// A full rebuild of 32 nodes keeps the window busy for about 50 ms, longer on a loaded machine;
// at a kilohertz per node that is some 1600 datagrams or more, which the kernel must hold
// meanwhile. It caps the request at net.core.rmem_max.
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;

// Until a rebuild has been followed by one unchanged message the panels have nothing new to
// show; after that, every 7th unchanged message (counter 0..6) carries fresh values.
constexpr quint32 CounterAfterRebuild = 5;

// Below this a restored window is too small to show a panel or to be found again.
constexpr QSize MinimumRestoredSize(400, 300);

// The framework's own wording of the usual bind failures, looked up again on a language change
// so the reason follows the interface language like the rest of the message.
const char *bindFailureSource(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return "The bound address is already in use";
    case QAbstractSocket::SocketAccessError:
        return "The address is protected";
    case QAbstractSocket::SocketAddressNotAvailableError:
        return "The address is not available";
    default:
        return nullptr;
    }
}

} // namespace

MainWindow::MainWindow(QWidget *parent, quint16 listenPort)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , listenPort(listenPort)
{
    initOrvoResources();
    ui->setupUi(this);

    WindowShell::setUpLanguages(ui->menuLanguage);
    restoreWindowState();

    for (QSharedPointer<t_orvo_settings> &settings : nodeSettings) {
        settings.reset(new t_orvo_settings);
        std::memset(settings.data(), 0, sizeof(t_orvo_settings));
    }

    // The scroll area's top alignment does nothing for a resizable content widget, and the
    // layout holds nothing but the nodes' layouts, so the layout itself keeps the stack up.
    nodesLayout.setAlignment(Qt::AlignTop);
    ui->scrollAreaWidgetContents->setLayout(&nodesLayout);

    clock.start();
    for (NodeEntry &node : nodes) {
        node.present = false;
        node.silenceTimer.setSingleShot(true);
        connect(&node.silenceTimer, &QTimer::timeout, this, &MainWindow::update);
    }

    udpSocket = new QUdpSocket(this);
    if (!udpSocket->bind(QHostAddress::Any, listenPort)) {
        // Without the port no node can ever appear; an empty window must not look like a quiet
        // plant, so the reason stays in the status bar for the whole run.
        listenErrorLabel = new QLabel(ui->statusBar);
        listenErrorLabel->setObjectName(QStringLiteral("listenErrorLabel"));
        ui->statusBar->addPermanentWidget(listenErrorLabel, 1);
    } else {
        udpSocket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                   ReceiveBufferBytes);
    }
    connect(udpSocket, &QUdpSocket::readyRead, this, &MainWindow::readPendingDatagrams);

    ui->retranslateUi(this);
    retranslateListenError();
    rebuildPanels();
}

MainWindow::~MainWindow()
{
    delete ui;
    // A relay panel that no layout took over has no parent to delete it.
    for (RelayStateView *&view : relayViews) {
        if (view && !view->parent()) {
            delete view;
            view = nullptr;
        }
    }
}

bool MainWindow::isPresent(int slot) const
{
    return slot >= 0 && slot < NodeCount && nodes[slot].present;
}

bool MainWindow::isSilenceTimerActive(int slot) const
{
    return slot >= 0 && slot < NodeCount && nodes[slot].silenceTimer.isActive();
}

quint32 MainWindow::refreshCounter(int slot) const
{
    return slot >= 0 && slot < NodeCount ? nodes[slot].refreshCounter : 0;
}

qint64 MainWindow::quietFor(int slot) const
{
    return slot >= 0 && slot < NodeCount ? clock.elapsed() - nodes[slot].heardAt : 0;
}

const t_orvo_settings &MainWindow::nodeRecord(int slot) const
{
    Q_ASSERT(slot >= 0 && slot < NodeCount);
    return *nodeSettings[slot];
}

ChannelStateView *MainWindow::channelView(int slot) const
{
    return slot >= 0 && slot < NodeCount ? channelViews[slot] : nullptr;
}

RelayStateView *MainWindow::relayView(int slot) const
{
    return slot >= 0 && slot < NodeCount ? relayViews[slot] : nullptr;
}

bool MainWindow::isListening() const
{
    return udpSocket && udpSocket->state() == QAbstractSocket::BoundState;
}

QString MainWindow::listenError() const
{
    return listenErrorLabel ? listenErrorLabel->text() : QString();
}

void MainWindow::setJournalRecorder(JournalRecorder *recorder)
{
    if (journalRecorder)
        disconnect(journalRecorder, nullptr, this, nullptr);
    journalRecorder = recorder;
    if (!recorder)
        return;
    connect(recorder, &JournalRecorder::stateChanged, this,
            [this](bool recording, const QString &reason) {
                // Like a port that cannot be bound: a journal with holes must not look complete.
                if (!journalErrorLabel) {
                    journalErrorLabel = new QLabel(ui->statusBar);
                    journalErrorLabel->setObjectName(QStringLiteral("journalErrorLabel"));
                    ui->statusBar->addPermanentWidget(journalErrorLabel, 1);
                }
                journalProblem = recording ? QString() : reason;
                retranslateJournalError();
                journalErrorLabel->setVisible(!recording);
            });
}

void MainWindow::retranslateJournalError()
{
    if (journalErrorLabel)
        journalErrorLabel->setText(
            journalProblem.isEmpty() ? QString()
                                     : tr("The journal is not recording: %1").arg(journalProblem));
}

QString MainWindow::journalError() const
{
    return journalErrorLabel ? journalErrorLabel->text() : QString();
}

void MainWindow::readPendingDatagrams()
{
    holdPanelBuild = true;
    while (udpSocket->hasPendingDatagrams()) {
        // One buffer for the whole run, grown to the largest datagram seen.
        const int pending = int(qMax<qint64>(0, udpSocket->pendingDatagramSize()));
        if (datagram.size() < pending)
            datagram.resize(pending);
        const qint64 size = udpSocket->readDatagram(datagram.data(), pending);
        // A read error with a datagram still reported pending would spin here for ever.
        if (size < 0)
            break;

        NodeStatus msg;
        if (!decodeNodeStatus(datagram.constData(), size, msg))
            continue;
        if (msg.node_id == 0 || msg.node_id > quint32(NodeCount))
            continue;

        if (journalRecorder)
            journalRecorder->datagramAccepted(msg, QDateTime::currentMSecsSinceEpoch());
        const int slot = int(msg.node_id) - 1;
        nodeStatus[slot] = msg;
        lastAcceptedAt = clock.elapsed();
        if (silenceLabel && !silenceLabel->isHidden())
            silenceLabel->hide();
        NodeEntry &node = nodes[slot];
        t_orvo_settings &stored = *nodeSettings[slot];

        if (!node.present) {
            node.present = true;
            // Converted in place: what the last conversion left (relay modes of a message
            // without relays) carries over to a node that returns after falling silent.
            convertStatus(nodeStatus[slot], stored);
            rebuildPanels();
            continue;
        }

        t_orvo_settings scratch;
        std::memset(&scratch, 0, sizeof scratch);
        convertStatus(nodeStatus[slot], scratch);
        if (std::memcmp(&scratch, &stored, sizeof scratch) != 0) {
            std::memcpy(&stored, &scratch, sizeof scratch);
            rebuildPanels();
        } else {
            refreshNode(slot);
        }
    }
    holdPanelBuild = false;
    if (panelsOutdated)
        buildPanels();
}

void MainWindow::update()
{
    const QObject *timer = sender();
    for (int slot = 0; slot < NodeCount; ++slot) {
        NodeEntry &node = nodes[slot];
        if (&node.silenceTimer != timer)
            continue;
        const qint64 now = clock.elapsed();
        const qint64 quiet = now - node.heardAt;
        if (quiet < silenceMs) {
            node.silenceTimer.start(int(silenceMs - quiet));
            return;
        }
        node.present = false;
        node.silenceTimer.stop();
        // Nodes whose span ran out meanwhile (their timers wait behind this one while a large
        // stack is rebuilt) go in the same rebuild rather than one rebuild each.
        bool anyPresent = false;
        for (NodeEntry &other : nodes) {
            if (other.present && now - other.heardAt >= silenceMs) {
                other.present = false;
                other.silenceTimer.stop();
            }
            anyPresent = anyPresent || other.present;
        }
        rebuildPanels(Heard::NotNow);
        if (!anyPresent)
            showSilenceNotice();
        return;
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateListenError();
        retranslateSilenceNotice();
        retranslateJournalError();
        // Panel titles are fixed at construction, so new panels carry the new language.
        rebuildPanels();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    Q_UNUSED(event)
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    // A minimized window's geometry is not worth restoring; keep what was saved before.
    if (!isMinimized()) {
        settings.setValue(QLatin1String(StateKey), saveState(0));
        settings.setValue(QLatin1String(SizeKey), size());
        settings.setValue(QLatin1String(PosKey), pos());
    }
    settings.endGroup();
    WindowShell::storeLanguage();
}

void MainWindow::restoreWindowState()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    if (!settings.contains(QLatin1String(StateKey)))
        setWindowState(Qt::WindowMaximized);
    else
        restoreState(settings.value(QLatin1String(StateKey)).toByteArray(), 0);
    resize(settings.value(QLatin1String(SizeKey), QSize(800, 700)).toSize());
    move(settings.value(QLatin1String(PosKey), QPoint(200, 100)).toPoint());
    keepInView();
    settings.endGroup();
}

void MainWindow::refreshNode(int slot, Heard heard)
{
    if (slot < 0 || slot >= NodeCount)
        return;
    NodeEntry &node = nodes[slot];
    // Restarting a timer on every datagram costs a timer registration each time; the running
    // timer looks at the time of the last datagram when it fires instead.
    if (heard == Heard::Now) {
        node.heardAt = clock.elapsed();
        if (!node.silenceTimer.isActive())
            node.silenceTimer.start(silenceMs);
    }
    const quint32 old = node.refreshCounter;
    node.refreshCounter = old + 1;
    if (old > CounterAfterRebuild) {
        node.refreshCounter = 0;
        pushState(slot);
    }
}

void MainWindow::rebuildPanels(Heard heard)
{
    // The node table moves on at once; only the widgets may wait for the end of the drain,
    // because a whole stack of panels costs far more than one datagram and nobody sees the
    // window before the slot returns. Pushes build first, so they always reach current panels.
    for (int slot = 0; slot < NodeCount; ++slot) {
        if (!nodes[slot].present)
            continue;
        nodes[slot].refreshCounter = CounterAfterRebuild;
        refreshNode(slot, heard);
    }
    panelsOutdated = true;
    if (!holdPanelBuild)
        buildPanels();
}

void MainWindow::buildPanels()
{
    panelsOutdated = false;
    // The old stack goes and the new one comes with the content widget's updates suspended, so
    // that no panel marks itself dirty on its own: the stack is painted once, when it is whole.
    QWidget *const contents = ui->scrollAreaWidgetContents;
    contents->setUpdatesEnabled(false);
    while (QLayoutItem *nodeItem = nodesLayout.takeAt(0)) {
        if (QLayout *nodeLayout = nodeItem->layout()) {
            while (QLayoutItem *panelItem = nodeLayout->takeAt(0)) {
                QWidget *panel = panelItem->widget();
                forgetPanel(panel);
                delete panel;
                delete panelItem;
            }
        }
        delete nodeItem;
    }
    // What is left was never shown: no panel outlives the build that made it.
    for (ChannelStateView *&view : channelViews) {
        delete view;
        view = nullptr;
    }
    for (RelayStateView *&view : relayViews) {
        delete view;
        view = nullptr;
    }

    for (int slot = 0; slot < NodeCount; ++slot) {
        if (!nodes[slot].present)
            continue;
        auto *nodeLayout = new QVBoxLayout;
        const QString moduleTitle = tr("Module node id %1:").arg(slot + 1);
        const QString relayTitle = tr("Relay node id %1:").arg(slot + 1);
        channelViews[slot] = new ChannelStateView(ui->scrollAreaWidgetContents, moduleTitle);
        relayViews[slot] = new RelayStateView(nullptr, relayTitle);
        if (channelViews[slot]->setSettings(nodeSettings[slot]))
            nodeLayout->addWidget(channelViews[slot]);
        if (relayViews[slot]->setSettings(nodeSettings[slot]))
            nodeLayout->addWidget(relayViews[slot]);
        nodesLayout.addLayout(nodeLayout);
    }
    contents->setUpdatesEnabled(true);
}

void MainWindow::pushState(int slot)
{
    if (panelsOutdated)
        buildPanels();
    const NodeStatus &msg = nodeStatus[slot];
    for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        if (!channel)
            continue;
        quint16 image[ChState::ImageRegisters] = {};
        buildImage(*channel, image);
        channelViews[slot]->setChState(QSharedPointer<ChState>::create(c, image));
    }
    relayViews[slot]->updateRelayState(msg.has_relay ? msg.relay.relay_status : 0u);
}

void MainWindow::forgetPanel(const QWidget *panel)
{
    for (int slot = 0; slot < NodeCount; ++slot) {
        if (channelViews[slot] == panel)
            channelViews[slot] = nullptr;
        if (relayViews[slot] == panel)
            relayViews[slot] = nullptr;
    }
}

void MainWindow::retranslateListenError()
{
    if (!listenErrorLabel)
        return;
    const char *source = bindFailureSource(udpSocket->error());
    const QString reason = source ? QCoreApplication::translate("QNativeSocketEngine", source)
                                  : udpSocket->errorString();
    listenErrorLabel->setText(tr("Cannot listen on UDP port %1: %2").arg(listenPort).arg(reason));
}

void MainWindow::showSilenceNotice()
{
    // Without the port nothing was ever heard; that message says all there is to say.
    if (listenErrorLabel)
        return;
    if (!silenceLabel) {
        silenceLabel = new QLabel(ui->statusBar);
        silenceLabel->setObjectName(QStringLiteral("silenceLabel"));
        ui->statusBar->addPermanentWidget(silenceLabel, 1);
    }
    lastAccepted = QDateTime::currentDateTime().addMSecs(lastAcceptedAt - clock.elapsed());
    retranslateSilenceNotice();
    silenceLabel->show();
}

void MainWindow::retranslateSilenceNotice()
{
    if (silenceLabel)
        silenceLabel->setText(tr("No node has reported since %1")
                                  .arg(lastAccepted.time().toString(QStringLiteral("H:mm:ss"))));
}

void MainWindow::keepInView()
{
    // A size from a corrupt file, or a position on a screen unplugged since, would bring the
    // window back as a sliver nobody can grab; what was saved is applied first all the same.
    QSize wanted = size().expandedTo(MinimumRestoredSize);
    const QRect frame(pos(), wanted);
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    QScreen *best = QGuiApplication::primaryScreen();
    int bestArea = 0;
    for (QScreen *screen : screens) {
        const QRect common = screen->availableGeometry().intersected(frame);
        const int area = common.isEmpty() ? 0 : common.width() * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    const QRect room = best->availableGeometry();
    wanted = wanted.boundedTo(room.size());
    const int x = qBound(room.left(), frame.left(), room.right() + 1 - wanted.width());
    const int y = qBound(room.top(), frame.top(), room.bottom() + 1 - wanted.height());
    if (wanted != size())
        resize(wanted);
    if (QPoint(x, y) != pos())
        move(x, y);
}

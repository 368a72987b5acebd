#include "modulewindow.h"

#include "captureplot.h"
#include "channelstateview.h"
#include "chstate.h"
#include "configfile.h"
#include "eventsstateview.h"
#include "inspectorsettings.h"
#include "kqtablecopyaction.h"
#include "openconnectiondialog.h"
#include "operationlog.h"
#include "relaystateview.h"
#include "t_orvo_settings.h"
#include "ui_modulewindow.h"
#include "windowshell.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>
#include <QThread>

#include <algorithm>
#include <cstring>

namespace {

constexpr int StatusMessageMs = 8000;

QString addressText(const QString &host, quint16 port)
{
    // An IPv6 literal needs brackets before its port.
    const QString shown = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(shown).arg(port);
}

} // namespace

// Outside any namespace: the resource initialiser it declares lives in the global one.
static void initInspectorResources()
{
    Q_INIT_RESOURCE(inspector);
}

ModuleWindow::ModuleWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::ModuleWindow>())
{
    initInspectorResources();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/inspector/orvo-module-view.png")));

    WindowShell::setUpLanguages(ui->menuLanguage);

    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("operationProgress"));
    progress->setMaximumWidth(220);
    progress->hide();
    ui->statusbar->addPermanentWidget(progress);

    operationLog = new OperationLog(LogLimit, this);
    logFilter = new OperationLogFilter(this);
    logFilter->setSourceModel(operationLog);
    ui->logTable->setModel(logFilter);
    for (int column = 0; column < OperationLog::ErrorColumn; ++column)
        ui->logTable->horizontalHeader()->setSectionResizeMode(column,
                                                               QHeaderView::ResizeToContents);
    ui->logTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    new KQTableCopyAction(ui->logTable);
    ui->menuView->addSeparator();
    ui->menuView->addAction(ui->logDock->toggleViewAction());

    chooseFile = [this](FileRole role) {
        const QString config = tr("Module configuration (*.cfg);;All files (*)");
        switch (role) {
        case FileRole::SaveConfig:
            return QFileDialog::getSaveFileName(this, tr("Save configuration"), QString(), config);
        case FileRole::LoadConfig:
            return QFileDialog::getOpenFileName(this, tr("Load configuration"), QString(), config);
        case FileRole::ExportCsv:
            return QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(),
                                                tr("CSV files (*.csv);;All files (*)"));
        case FileRole::ExportPng:
            return QFileDialog::getSaveFileName(this, tr("Export PNG"), QString(),
                                                tr("PNG images (*.png);;All files (*)"));
        }
        return QString();
    };
    confirm = [this](const QString &question) {
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Yes;
    };
    tell = [this](const QString &message) { QMessageBox::warning(this, windowTitle(), message); };

    setupActions();
    setupSession();

    retryTimer.setInterval(RetryTickMs);
    connect(&retryTimer, &QTimer::timeout, this, &ModuleWindow::retryTick);

    // First start: the live tables and the plots share the window, the log keeps a strip.
    ui->mainSplitter->setSizes({380, 420});
    resize(1200, 940);
    resizeDocks({ui->logDock}, {150}, Qt::Vertical);

    InspectorSettings::restoreWindow(this);
    setPointFormat(InspectorSettings::pointFormat());
    rebuildViews();
    retranslate();
    updateHeader();
    updateActions();
}

ModuleWindow::~ModuleWindow()
{
    // The session goes with its thread; a restart in progress is waited for.
    worker->quit();
    worker->wait();
}

CapturePlot *ModuleWindow::waveformPlot() const
{
    return ui->waveformPlot;
}

CapturePlot *ModuleWindow::spectrumPlot() const
{
    return ui->spectrumPlot;
}

void ModuleWindow::setupActions()
{
    connect(ui->actionConnect, &QAction::triggered, this, [this] { openConnectDialog(); });
    connect(ui->actionDisconnect, &QAction::triggered, this, &ModuleWindow::disconnectModule);
    connect(ui->actionReconnect, &QAction::triggered, this, &ModuleWindow::reconnect);
    connect(ui->actionSaveConfig, &QAction::triggered, this, &ModuleWindow::saveConfiguration);
    connect(ui->actionLoadConfig, &QAction::triggered, this, &ModuleWindow::loadConfiguration);
    connect(ui->actionRestart, &QAction::triggered, this, &ModuleWindow::restartModule);
    connect(ui->actionBootLoader, &QAction::triggered, this, &ModuleWindow::enterBootLoader);
    connect(ui->actionTestMode, &QAction::triggered, this, &ModuleWindow::enterTestMode);
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);

    auto *formats = new QActionGroup(this);
    formats->setExclusive(true);
    const std::pair<QAction *, PointFormat::Kind> choices[] = {
        {ui->actionFormatFloat, PointFormat::Float32},
        {ui->actionFormatInt, PointFormat::Int32},
        {ui->actionFormatUInt, PointFormat::UInt32}};
    for (const auto &choice : choices) {
        formats->addAction(choice.first);
        const PointFormat::Kind kind = choice.second;
        connect(choice.first, &QAction::triggered, this, [this, kind] {
            setPointFormat(kind);
            InspectorSettings::storePointFormat(kind);
        });
    }

    connect(ui->spectrumTypeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModuleWindow::showSpectrumType);
    connect(ui->waveformCsvButton, &QPushButton::clicked, this,
            [this] { exportPlot(ui->waveformPlot, false); });
    connect(ui->waveformPngButton, &QPushButton::clicked, this,
            [this] { exportPlot(ui->waveformPlot, true); });
    connect(ui->waveformCopyButton, &QPushButton::clicked, ui->waveformPlot,
            &CapturePlot::copyToClipboard);
    connect(ui->spectrumCsvButton, &QPushButton::clicked, this,
            [this] { exportPlot(ui->spectrumPlot, false); });
    connect(ui->spectrumPngButton, &QPushButton::clicked, this,
            [this] { exportPlot(ui->spectrumPlot, true); });
    connect(ui->spectrumCopyButton, &QPushButton::clicked, ui->spectrumPlot,
            &CapturePlot::copyToClipboard);
    connect(ui->logBackgroundCheck, &QCheckBox::toggled, this, &ModuleWindow::applyLogFilter);
}

void ModuleWindow::setupSession()
{
    worker = new QThread(this);
    worker->setObjectName(QStringLiteral("module link"));
    // No parent, so it can move to the worker; the thread deletes it when it finishes.
    moduleSession = new ModuleSession;

    // Every connection below crosses to the GUI thread queued: the session lives on the worker.
    connect(moduleSession, &ModuleSession::moduleOpened, this, &ModuleWindow::onOpened);
    connect(moduleSession, &ModuleSession::openFailed, this, &ModuleWindow::onOpenFailed);
    connect(moduleSession, &ModuleSession::moduleLost, this, &ModuleWindow::onLost);
    connect(moduleSession, &ModuleSession::moduleClosed, this, &ModuleWindow::onClosed);
    connect(moduleSession, &ModuleSession::modeRead, this, [this](quint16 mode) {
        identity.mode = mode;
        updateHeader();
    });
    connect(moduleSession, &ModuleSession::configurationRead, this,
            &ModuleWindow::onConfigurationRead);
    connect(moduleSession, &ModuleSession::configurationWritten, this, [this](bool ok) {
        busy = ModuleSession::Operation::None;
        logOperation(tr("Load configuration"), ok,
                     ok ? QString() : tr("The module did not take the configuration"));
        statusBar()->showMessage(ok ? tr("Configuration written and committed")
                                    : tr("Writing the configuration failed"),
                                 StatusMessageMs);
        updateActions();
    });
    connect(moduleSession, &ModuleSession::bootLoaderEntered, this, [this](bool ok) {
        busy = ModuleSession::Operation::None;
        logOperation(tr("Boot loader"), ok, ok ? QString() : tr("The module refused the request"));
        if (ok)
            setState(LinkState::Disconnected,
                     tr("The module runs its boot loader and does not measure until it is "
                        "restarted"));
        updateActions();
    });
    connect(moduleSession, &ModuleSession::testModeEntered, this, [this](bool ok) {
        busy = ModuleSession::Operation::None;
        logOperation(tr("Test mode"), ok, ok ? QString() : tr("The module refused the request"));
        updateActions();
    });
    connect(moduleSession, &ModuleSession::waveformFetched, this, &ModuleWindow::onWaveform);
    connect(moduleSession, &ModuleSession::spectrumFetched, this, &ModuleWindow::onSpectrum);
    connect(moduleSession, &ModuleSession::captureFailed, this, &ModuleWindow::onCaptureFailed);

    connect(moduleSession, &ModuleSession::operationStarted, this, &ModuleWindow::onOpStart);
    connect(moduleSession, &ModuleSession::operationProgress, this, &ModuleWindow::onOpProgress);
    connect(moduleSession, &ModuleSession::operationFinished, this, &ModuleWindow::onOpFinish);
    connect(moduleSession, &ModuleSession::moduleTypeChanged, this,
            [this](t_ORVO_Type type) { moduleType = type; });

    connect(moduleSession, &ModuleSession::settingsChanged, this, &ModuleWindow::onSettings);
    connect(moduleSession, &ModuleSession::chStateChanged, this, &ModuleWindow::onChState);
    connect(moduleSession, &ModuleSession::relayStateChanged, this, &ModuleWindow::onRelayState);

    moduleSession->moveToThread(worker);
    connect(worker, &QThread::finished, moduleSession, &QObject::deleteLater);
    worker->start();
}

// ---- connection -------------------------------------------------------------------------------

void ModuleWindow::connectTo(const QString &newHost, quint16 newPort)
{
    host = newHost;
    port = newPort;
    setState(LinkState::Connecting);
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s, newHost, newPort] { s->openModule(newHost, newPort); }, Qt::QueuedConnection);
}

void ModuleWindow::openConnectDialog(quint16 presetPort)
{
    OpenConnectionDialog dialog(this);
    dialog.setAddress(host.isEmpty() ? InspectorSettings::lastHost() : host);
    dialog.setPort(presetPort ? presetPort : port ? port : InspectorSettings::lastPort());
    if (dialog.exec() == QDialog::Accepted)
        connectTo(dialog.address(), dialog.port());
}

void ModuleWindow::disconnectModule()
{
    setState(LinkState::Disconnected);
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s] { s->closeModule(); }, Qt::QueuedConnection);
}

void ModuleWindow::reconnect()
{
    if (!host.isEmpty())
        connectTo(host, port);
}

void ModuleWindow::onOpened(const ModuleSession::Identity &id)
{
    // A Disconnect given while the connection was being made: its close is queued behind.
    if (state == LinkState::Disconnected)
        return;
    identity = id;
    identified = true;
    InspectorSettings::storeAddress(id.host, id.port);
    setState(LinkState::Connected);
}

void ModuleWindow::onOpenFailed(const QString &reason)
{
    if (state == LinkState::Connecting) {
        // A first attempt that fails is most likely a wrong address: say so, do not insist.
        setState(LinkState::Disconnected,
                 tr("Cannot connect to %1: %2").arg(addressText(host, port), reason));
    } else if (state == LinkState::Lost) {
        setState(LinkState::Lost, reason);
    }
}

void ModuleWindow::onLost(const QString &reason)
{
    if (state == LinkState::Disconnected)
        return;
    logOperation(tr("Connection"), false, reason);
    setState(LinkState::Lost, reason);
}

void ModuleWindow::onClosed()
{
    if (state == LinkState::Connected)
        setState(LinkState::Disconnected);
}

void ModuleWindow::setState(LinkState next, const QString &reason)
{
    state = next;
    stateReason = reason;
    if (next == LinkState::Lost) {
        retryLeft = retryDelayTicks;
        retryTimer.start();
    } else {
        retryLeft = 0;
        retryTimer.stop();
    }
    showStale(next != LinkState::Connected);
    updateHeader();
    updateActions();
    emit linkStateShown();
}

void ModuleWindow::setRetryPacingForTest(int delayTicks, int tickMs)
{
    retryDelayTicks = std::max(1, delayTicks);
    retryTimer.setInterval(std::max(1, tickMs));
}

void ModuleWindow::retryTick()
{
    if (state != LinkState::Lost) {
        retryTimer.stop();
        return;
    }
    if (--retryLeft <= 0) {
        retryTimer.stop();
        ModuleSession *s = moduleSession;
        const QString h = host;
        const quint16 p = port;
        QMetaObject::invokeMethod(
            s, [s, h, p] { s->openModule(h, p); }, Qt::QueuedConnection);
    }
    updateHeader();
}

void ModuleWindow::showStale(bool stale)
{
    // Greyed, not cleared: the last values stay readable, and plainly not live.
    for (QWidget *view : {static_cast<QWidget *>(channels), static_cast<QWidget *>(relays),
                          static_cast<QWidget *>(events)}) {
        if (view)
            view->setEnabled(!stale);
    }
    if (stale && channels) {
        // Keeps the channel view from clearing its rows on its own staleness timers; the slot
        // is private to the view and meant for exactly this.
        QMetaObject::invokeMethod(channels, "connectionLost", Qt::DirectConnection);
    }
    ui->waveformPlot->setStale(stale);
    ui->spectrumPlot->setStale(stale);
}

// ---- live state -------------------------------------------------------------------------------

void ModuleWindow::onSettings(QSharedPointer<t_orvo_settings> record)
{
    if (!record)
        return;
    // The poller reports the same record more than once after connecting.
    if (settings && std::memcmp(settings.data(), record.data(), sizeof(t_orvo_settings)) == 0)
        return;
    settings = record;
    for (int ch = 0; ch < CapturePlot::Channels; ++ch) {
        if (settings->channel_mask & (1u << ch))
            continue;
        // A channel taken out of the configuration has no capture worth showing.
        lastChState[ch].reset();
        spectra[0][ch].clear();
        spectra[1][ch].clear();
        ui->waveformPlot->setCapture(ch, {});
        ui->spectrumPlot->setCapture(ch, {});
    }
    rebuildViews();
    emit settingsShown();
}

void ModuleWindow::onChState(QSharedPointer<ChState> chState)
{
    if (!chState || chState->ch < 0 || chState->ch >= OrvoSettings::ChannelCount)
        return;
    lastChState[chState->ch] = chState;
    if (channels)
        channels->setChState(chState);
}

void ModuleWindow::onRelayState(uint relayStatus)
{
    lastRelayStatus = relayStatus;
    haveRelayStatus = true;
    if (relays)
        relays->updateRelayState(relayStatus);
    if (events)
        events->updateRelayState(relayStatus);
}

void ModuleWindow::onWaveform(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf)
{
    if (!wf || state != LinkState::Connected)
        return;
    logOperation(captureOperation(false, ch, id), true, QString(), true);
    ui->waveformPlot->setCapture(ch, wf->points);
    emit waveformShown(ch, id);
}

void ModuleWindow::onSpectrum(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr)
{
    if (!spectr || type > 1 || ch < 0 || ch >= OrvoSettings::ChannelCount ||
        state != LinkState::Connected)
        return;
    logOperation(captureOperation(true, ch, type), true, QString(), true);
    spectra[type][ch] = spectr->points;
    if (int(type) == ui->spectrumTypeCombo->currentIndex())
        ui->spectrumPlot->setCapture(ch, spectr->points);
    emit spectrumShown(ch, type);
}

QString ModuleWindow::captureOperation(bool spectrum, int ch, uint selector) const
{
    // A capture is always announced by the link first, so its name is known by now.
    using Op = ModuleSession::Operation;
    return spectrum ? tr("%1, channel %2, type %3")
                          .arg(operationNames.value(Op::Spectrum))
                          .arg(ch + 1)
                          .arg(selector)
                    : tr("%1, channel %2, id %3")
                          .arg(operationNames.value(Op::Waveform))
                          .arg(ch + 1)
                          .arg(selector);
}

void ModuleWindow::onCaptureFailed(bool spectrum, int ch, uint selector)
{
    // Shown even while reads are hidden from the log: the plot keeps an older capture.
    logOperation(captureOperation(spectrum, ch, selector), false,
                 spectrum ? tr("No spectrum delivered: a transfer failed or its answer did not "
                               "match the request")
                          : tr("No waveform delivered: a transfer failed or its answer did not "
                               "match the request"));
}

void ModuleWindow::showSpectrumType(int type)
{
    if (type < 0 || type > 1)
        return;
    for (int ch = 0; ch < CapturePlot::Channels; ++ch)
        ui->spectrumPlot->setCapture(ch, spectra[type][ch]);
}

void ModuleWindow::setPointFormat(PointFormat::Kind kind)
{
    ui->actionFormatFloat->setChecked(kind == PointFormat::Float32);
    ui->actionFormatInt->setChecked(kind == PointFormat::Int32);
    ui->actionFormatUInt->setChecked(kind == PointFormat::UInt32);
    ui->waveformPlot->setPointFormat(kind);
    ui->spectrumPlot->setPointFormat(kind);
}

void ModuleWindow::rebuildViews()
{
    // Panel titles are fixed when a view is made, so a new node id or language means new views.
    delete channels;
    delete relays;
    delete events;
    channels = nullptr;
    relays = nullptr;
    events = nullptr;

    const quint16 nodeId = settings ? settings->node_id : 0;
    channels = new ChannelStateView(ui->statusContents, tr("Module node id %1:").arg(nodeId));
    relays = new RelayStateView(ui->statusContents, tr("Relay node id %1:").arg(nodeId));
    events = new EventsStateView(ui->statusContents);
    ui->statusLayout->addWidget(channels);
    ui->statusLayout->addWidget(relays);
    ui->statusLayout->addWidget(events);

    for (QWidget *view : {static_cast<QWidget *>(channels), static_cast<QWidget *>(relays),
                          static_cast<QWidget *>(events)}) {
        for (QTableView *table : view->findChildren<QTableView *>()) {
            table->setContextMenuPolicy(Qt::ActionsContextMenu);
            new KQTableCopyAction(table);
        }
    }

    if (!settings) {
        channels->hide();
        relays->hide();
        events->hide();
        return;
    }
    channels->setVisible(channels->setSettings(settings));
    relays->setVisible(relays->setSettings(settings));
    events->setSettings(settings);
    events->setVisible(moduleType == ORVO_TYPE_REL);
    // A relay module captures nothing.
    ui->plotSplitter->setVisible(moduleType != ORVO_TYPE_REL);
    for (const auto &chState : lastChState) {
        if (chState)
            channels->setChState(chState);
    }
    if (haveRelayStatus) {
        relays->updateRelayState(lastRelayStatus);
        events->updateRelayState(lastRelayStatus);
    }
    showStale(state != LinkState::Connected);
}

// ---- operations -------------------------------------------------------------------------------

bool ModuleWindow::isBackground(ModuleSession::Operation op)
{
    return op == ModuleSession::Operation::Waveform || op == ModuleSession::Operation::Spectrum;
}

void ModuleWindow::onOpStart(ModuleSession::Operation op, const QString &name)
{
    operationNames.insert(op, name);
    if (isBackground(op))
        return;
    progress->setRange(0, 0);
    progress->show();
    statusBar()->showMessage(name + QStringLiteral("..."));
}

void ModuleWindow::onOpProgress(uint done, uint total, const QString &stage)
{
    progress->setRange(0, int(total));
    progress->setValue(int(done));
    progress->show();
    const QString name = operationNames.value(busy);
    statusBar()->showMessage(name.isEmpty() ? stage : name + QStringLiteral(": ") + stage);
}

void ModuleWindow::onOpFinish(ModuleSession::Operation op, const QString &name, bool ok,
                              const QString &err)
{
    using Op = ModuleSession::Operation;
    const bool background = isBackground(op);
    if (!background) {
        progress->hide();
        const QString text = ok              ? tr("%1: done").arg(name)
                             : err.isEmpty() ? tr("%1: failed").arg(name)
                                             : tr("%1: failed: %2").arg(name, err);
        statusBar()->showMessage(text, StatusMessageMs);
    }
    if (op == busy)
        busy = Op::None;
    if (restarting && op == Op::Restart) {
        restarting = false;
        showStale(state != LinkState::Connected);
        updateHeader();
    }
    // The link calls these a success when no record came, or when it is no longer connected;
    // their true outcome is logged by the handlers of the session's results instead.
    if (!background && op != Op::ReadConfig && op != Op::WriteConfig)
        logOperation(name, ok, err);
    updateActions();
}

void ModuleWindow::logOperation(const QString &op, bool ok, const QString &error, bool background)
{
    // Someone reading older rows is not pulled away from them.
    QScrollBar *bar = ui->logTable->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    operationLog->append(op, ok, error, background);
    if (atEnd)
        ui->logTable->scrollToBottom();
    emit operationLogged(op, ok, error);
}

void ModuleWindow::applyLogFilter()
{
    logFilter->setShowBackground(ui->logBackgroundCheck->isChecked());
}

QString ModuleWindow::moduleDescription() const
{
    const QString nodeId = settings ? QString::number(settings->node_id) : tr("unknown");
    return tr("%1 (node id %2)").arg(addressText(host, port), nodeId);
}

void ModuleWindow::saveConfiguration()
{
    if (state != LinkState::Connected || isBusy())
        return;
    const QString path = chooseFile(FileRole::SaveConfig);
    if (path.isEmpty())
        return;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        const QString why = tr("%1 is not a regular file").arg(QDir::toNativeSeparators(path));
        logOperation(tr("Save configuration"), false, why);
        tell(tr("The configuration was not saved: %1").arg(why));
        return;
    }
    pendingSavePath = path;
    busy = ModuleSession::Operation::ReadConfig;
    updateActions();
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s] { s->readConfiguration(); }, Qt::QueuedConnection);
}

void ModuleWindow::onConfigurationRead(bool ok, QSharedPointer<t_orvo_settings> record)
{
    busy = ModuleSession::Operation::None;
    updateActions();
    const QString path = pendingSavePath;
    pendingSavePath.clear();
    if (path.isEmpty())
        return;
    QString error;
    if (!ok || !record)
        error = tr("Cannot read the configuration from the module");
    else if (!ConfigFile::save(path, *record, &error) && error.isEmpty())
        error = tr("Cannot write %1").arg(QDir::toNativeSeparators(path));
    logOperation(tr("Save configuration"), error.isEmpty(), error);
    if (error.isEmpty()) {
        statusBar()->showMessage(
            tr("Configuration saved to %1").arg(QDir::toNativeSeparators(path)), StatusMessageMs);
    } else {
        tell(tr("The configuration was not saved: %1").arg(error));
    }
}

void ModuleWindow::loadConfiguration()
{
    if (state != LinkState::Connected || isBusy())
        return;
    const QString path = chooseFile(FileRole::LoadConfig);
    if (path.isEmpty())
        return;
    auto record = QSharedPointer<t_orvo_settings>::create();
    QString error;
    if (!ConfigFile::load(path, *record, &error)) {
        logOperation(tr("Load configuration"), false, error);
        tell(tr("%1 was not loaded: %2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    const QString question =
        tr("Write the configuration from %1 to the module at %2 and commit it?\n\n"
           "The module takes the new configuration over at once. The file is for node id %3.")
            .arg(QFileInfo(path).fileName(), moduleDescription())
            .arg(record->node_id);
    if (!confirm(question))
        return;
    busy = ModuleSession::Operation::WriteConfig;
    updateActions();
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s, record] { s->writeConfiguration(record); }, Qt::QueuedConnection);
}

void ModuleWindow::restartModule()
{
    if (state != LinkState::Connected || isBusy())
        return;
    if (!confirm(tr("Restart the module at %1?\n\nIt stops measuring and closes the connection; "
                    "the inspector waits 8 seconds and connects again.")
                     .arg(moduleDescription())))
        return;
    busy = ModuleSession::Operation::Restart;
    restarting = true;
    // The module is away for the restart: what is shown is no longer live.
    showStale(true);
    updateHeader();
    updateActions();
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s] { s->restartModule(); }, Qt::QueuedConnection);
}

void ModuleWindow::enterBootLoader()
{
    if (state != LinkState::Connected || isBusy())
        return;
    if (!confirm(tr("Start the boot loader of the module at %1?\n\nThe module stops measuring "
                    "and stays in its boot loader until it is restarted or given new firmware; "
                    "the inspector disconnects.")
                     .arg(moduleDescription())))
        return;
    busy = ModuleSession::Operation::BootLoader;
    operationNames.insert(busy, tr("Boot loader"));
    updateActions();
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s] { s->enterBootLoader(); }, Qt::QueuedConnection);
}

void ModuleWindow::enterTestMode()
{
    if (state != LinkState::Connected || isBusy())
        return;
    if (!confirm(tr("Put the module at %1 into test mode?\n\nThe module stops measuring until "
                    "it is restarted.")
                     .arg(moduleDescription())))
        return;
    busy = ModuleSession::Operation::TestMode;
    operationNames.insert(busy, tr("Test mode"));
    updateActions();
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s] { s->enterTestMode(); }, Qt::QueuedConnection);
}

void ModuleWindow::exportPlot(CapturePlot *plot, bool png)
{
    const QString path = chooseFile(png ? FileRole::ExportPng : FileRole::ExportCsv);
    if (path.isEmpty())
        return;
    QString error;
    const bool ok = png ? plot->exportPng(path, &error) : plot->exportCsv(path, &error);
    logOperation(png ? tr("Export PNG") : tr("Export CSV"), ok, error);
    if (!ok)
        tell(tr("%1 was not written: %2").arg(QDir::toNativeSeparators(path), error));
}

// ---- presentation -----------------------------------------------------------------------------

void ModuleWindow::updateActions()
{
    const bool live = state == LinkState::Connected && !isBusy();
    ui->actionDisconnect->setEnabled(state != LinkState::Disconnected);
    ui->actionReconnect->setEnabled(!host.isEmpty());
    for (QAction *action : {ui->actionSaveConfig, ui->actionLoadConfig, ui->actionRestart,
                            ui->actionBootLoader, ui->actionTestMode})
        action->setEnabled(live);
}

void ModuleWindow::updateHeader()
{
    QString text;
    QColor lamp;
    switch (state) {
    case LinkState::Disconnected:
        text = stateReason.isEmpty() ? tr("Not connected") : stateReason;
        if (!stateReason.isEmpty())
            lamp = QColor(220, 0, 0);
        break;
    case LinkState::Connecting:
        text = tr("Connecting to %1...").arg(addressText(host, port));
        lamp = QColor(230, 180, 0);
        break;
    case LinkState::Connected:
        text = restarting ? tr("Restarting the module...") : tr("Connected");
        lamp = restarting ? QColor(230, 180, 0) : QColor(0, 220, 0);
        break;
    case LinkState::Lost:
        text = retryLeft > 0 ? tr("Connection lost: %1. Last values shown. Reconnecting in %n s.",
                                  nullptr, retryLeft)
                                   .arg(stateReason)
                             : tr("Connection lost: %1. Last values shown. Reconnecting now...")
                                   .arg(stateReason);
        lamp = QColor(220, 0, 0);
        break;
    }
    ui->connectionLabel->setText(text);
    ui->connectionLamp->setChecked(lamp.isValid());
    if (lamp.isValid()) {
        ui->connectionLamp->setOnColor1(lamp);
        ui->connectionLamp->setOnColor2(lamp.darker(130));
        ui->connectionLamp->update();
    }

    if (!identified) {
        ui->typeValue->clear();
        ui->identValue->clear();
        ui->modeValue->clear();
    } else {
        QString kind;
        switch (identity.type) {
        case ORVO_TYPE_ICP:
            kind = tr("measurement module, ICP inputs");
            break;
        case ORVO_TYPE_PROX:
            kind = tr("measurement module, proximity probe inputs");
            break;
        case ORVO_TYPE_REL:
            kind = tr("relay module");
            break;
        default:
            break;
        }
        ui->typeValue->setText(kind.isEmpty() ? identity.typeName
                                              : tr("%1 (%2)").arg(identity.typeName, kind));
        QStringList texts;
        for (const QString &t : identity.texts) {
            if (!t.isEmpty())
                texts << t;
        }
        ui->identValue->setText(texts.join(QStringLiteral(" / ")));
        ui->modeValue->setText(ModuleSession::isWorkMode(identity.mode)
                                   ? tr("Work mode")
                                   : tr("Not measuring (mode %1)").arg(identity.mode));
    }
    ui->addressValue->setText(host.isEmpty() ? QString() : addressText(host, port));
    setWindowTitle(host.isEmpty() ? tr("Orvo module inspector")
                                  : tr("%1 - Orvo module inspector").arg(addressText(host, port)));
}

void ModuleWindow::retranslate()
{
    ui->waveformPlot->setTitles(tr("Waveform"), tr("Point"), tr("Value"));
    ui->spectrumPlot->setTitles(tr("Spectrum"), tr("Line"), tr("Value"));
}

void ModuleWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        const int type = ui->spectrumTypeCombo->currentIndex();
        ui->retranslateUi(this);
        ui->spectrumTypeCombo->setCurrentIndex(type);
        retranslate();
        operationLog->retranslate();
        rebuildViews();
        updateHeader();
    }
}

void ModuleWindow::closeEvent(QCloseEvent *event)
{
    InspectorSettings::storeWindow(this);
    WindowShell::storeLanguage();
    QMainWindow::closeEvent(event);
}

#include "modulewindow.h"

#include "captureplot.h"
#include "channelstateview.h"
#include "chstate.h"
#include "configfile.h"
#include "configurationdialog.h"
#include "eventsstateview.h"
#include "inspectorsettings.h"
#include "kqtablecopyaction.h"
#include "logarchive.h"
#include "moduleheader.h"
#include "openconnectiondialog.h"
#include "operationlog.h"
#include "relaystateview.h"
#include "t_orvo_settings.h"
#include "ui_modulewindow.h"
#include "windowshell.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableView>

#include <cstring>

static constexpr int StatusMessageMs = 8000;

// Outside any namespace: the resource initialiser it declares lives in the global one.
static void initInspectorResources()
{
    Q_INIT_RESOURCE(inspector);
}

ModuleWindow::ModuleWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::ModuleWindow>())
    , controller(new ModuleController(this))
    , chooseFile(ModuleDialogs::fileChooser(this))
    , confirm(ModuleDialogs::confirmer(this))
    , tell(ModuleDialogs::messenger(this))
    , chooseSize(ModuleDialogs::sizeChooser(this))
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

    ui->spectrumPlot->setKind(CapturePlot::Spectrum);
    setupActions();
    setupController();

    // First start: the live tables and the plots share the window, the log keeps a strip.
    ui->mainSplitter->setSizes({380, 420});
    resize(1200, 940);
    resizeDocks({ui->logDock}, {150}, Qt::Vertical);

    InspectorSettings::restoreWindow(this);
    setPointFormat(InspectorSettings::pointFormat());
    rebuildViews();
    updateHeader();
    updateActions();
}

ModuleWindow::~ModuleWindow()
{
    // Its worker stops before the views go, so nothing arrives for a half-destroyed window.
    delete controller;
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
    const auto plotButtons = [this](CapturePlot *plot, QAbstractButton *csv, QAbstractButton *png,
                                    QAbstractButton *copy) {
        connect(csv, &QAbstractButton::clicked, this, [this, plot] { exportPlot(plot, false); });
        connect(png, &QAbstractButton::clicked, this, [this, plot] { exportPlot(plot, true); });
        connect(copy, &QAbstractButton::clicked, plot, &CapturePlot::copyToClipboard);
    };
    plotButtons(ui->waveformPlot, ui->waveformCsvButton, ui->waveformPngButton,
                ui->waveformCopyButton);
    plotButtons(ui->spectrumPlot, ui->spectrumCsvButton, ui->spectrumPngButton,
                ui->spectrumCopyButton);
    connect(ui->logBackgroundCheck, &QCheckBox::toggled, logFilter,
            &OperationLogFilter::setShowBackground);
    connect(ui->actionShowConfig, &QAction::triggered, this, [this] {
        ConfigurationDialog(
            settings, [this] { return chooseFile(FileRole::LoadConfig); }, this)
            .exec();
    });
}

void ModuleWindow::setupController()
{
    ModuleController *c = controller;
    connect(c, &ModuleController::linkStateChanged, this, [this] {
        updateHeader();
        updateActions();
        emit linkStateShown();
    });
    connect(c, &ModuleController::moduleChanged, this, &ModuleWindow::updateHeader);
    connect(c, &ModuleController::busyChanged, this, &ModuleWindow::updateActions);
    connect(c, &ModuleController::staleChanged, this, &ModuleWindow::showStale);
    connect(c, &ModuleController::moduleForgotten, this, &ModuleWindow::forgetModule);
    connect(c, &ModuleController::operationLogged, this, &ModuleWindow::logOperation);
    connect(c, &ModuleController::statusMessage, this, [this](const QString &text, bool timed) {
        statusBar()->showMessage(text, timed ? StatusMessageMs : 0);
    });
    connect(c, &ModuleController::progressShown, this, [this](uint done, uint total) {
        progress->setRange(0, int(total));
        progress->setValue(int(done));
        progress->show();
    });
    connect(c, &ModuleController::progressHidden, progress, &QWidget::hide);
    connect(c, &ModuleController::saveFailed, this, [this](const QString &error) {
        tell(tr("The configuration was not saved: %1").arg(error));
    });
    connect(c, &ModuleController::settingsChanged, this, &ModuleWindow::onSettings);
    connect(c, &ModuleController::chStateChanged, this, &ModuleWindow::onChState);
    connect(c, &ModuleController::captureFailed, this,
            [this](bool sp, int ch) { (sp ? ui->spectrumPlot : ui->waveformPlot)->markOlder(ch); });
    connect(c, &ModuleController::channelUnread, this,
            [this](int ch) { channels->setChannelUnread(ch); });
    connect(c, &ModuleController::relayStateChanged, this, &ModuleWindow::onRelayState);
    connect(c, &ModuleController::waveformFetched, this, &ModuleWindow::onWaveform);
    connect(c, &ModuleController::spectrumFetched, this, &ModuleWindow::onSpectrum);
}

void ModuleWindow::openConnectDialog(quint16 presetPort)
{
    const QString host = controller->host();
    const quint16 port = controller->port();
    OpenConnectionDialog dialog(this);
    dialog.setAddress(host.isEmpty() ? InspectorSettings::lastHost() : host);
    dialog.setPort(presetPort ? presetPort : port ? port : InspectorSettings::lastPort());
    if (dialog.exec() == QDialog::Accepted)
        connectTo(dialog.address(), dialog.port());
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
        // Stops the view's staleness timers and darkens its lamps: a private slot for this.
        QMetaObject::invokeMethod(channels, "connectionLost", Qt::DirectConnection);
    }
    ui->waveformPlot->setStale(stale);
    ui->spectrumPlot->setStale(stale);
}

void ModuleWindow::forgetModule()
{
    LogArchive::archive(*operationLog, controller->host(), controller->port());
    settings.reset();
    haveRelayStatus = false;
    for (int ch = 0; ch < CapturePlot::Channels; ++ch)
        forgetChannel(ch);
    rebuildViews();
}

void ModuleWindow::forgetChannel(int ch)
{
    lastChState[ch].reset();
    spectra[0][ch].clear();
    spectra[1][ch].clear();
    ui->waveformPlot->setCapture(ch, {});
    ui->spectrumPlot->setCapture(ch, {});
}

void ModuleWindow::onSettings(QSharedPointer<t_orvo_settings> record)
{
    if (!record)
        return;
    // The poller reports the same record more than once after connecting.
    if (settings && std::memcmp(settings.data(), record.data(), sizeof(t_orvo_settings)) == 0)
        return;
    settings = record;
    for (int ch = 0; ch < CapturePlot::Channels; ++ch) {
        // A channel taken out of the configuration has no capture worth showing.
        if (!(settings->channel_mask & (1u << ch)))
            forgetChannel(ch);
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
    ui->waveformPlot->setCapture(ch, wf->points);
    emit waveformShown(ch, id);
}

void ModuleWindow::onSpectrum(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr)
{
    spectra[type][ch] = spectr->points;
    if (int(type) == ui->spectrumTypeCombo->currentIndex())
        ui->spectrumPlot->setCapture(ch, spectr->points);
    emit spectrumShown(ch, type);
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
    events->setVisible(controller->moduleType() == ORVO_TYPE_REL);
    // A relay module captures nothing.
    ui->plotSplitter->setVisible(controller->moduleType() != ORVO_TYPE_REL);
    for (const auto &chState : lastChState) {
        if (chState)
            channels->setChState(chState);
    }
    if (haveRelayStatus) {
        relays->updateRelayState(lastRelayStatus);
        events->updateRelayState(lastRelayStatus);
    }
    showStale(controller->linkState() != LinkState::Connected);
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

QString ModuleWindow::moduleDescription() const
{
    const QString nodeId = settings ? QString::number(settings->node_id) : tr("unknown");
    return tr("%1 (node id %2)")
        .arg(ModuleController::addressText(controller->host(), controller->port()), nodeId);
}

void ModuleWindow::saveConfiguration()
{
    if (!controller->canRequest())
        return;
    const QString path = chooseFile(FileRole::SaveConfig);
    if (path.isEmpty())
        return;
    controller->saveConfiguration(path);
}

void ModuleWindow::loadConfiguration()
{
    if (!controller->canRequest())
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
    controller->writeConfiguration(record);
}

void ModuleWindow::restartModule()
{
    if (controller->canRestart() &&
        confirm((controller->needsServiceRestart()
                     ? tr("Restart the module at %1?\n\nIt is not in work mode. The inspector "
                          "restarts it through a service connection and connects again once it "
                          "answers in work mode.")
                     : tr("Restart the module at %1?\n\nIt stops measuring and closes the "
                          "connection; the inspector waits 8 seconds and connects again."))
                    .arg(moduleDescription())))
        controller->restartModule();
}

void ModuleWindow::enterBootLoader()
{
    if (controller->canRequest() &&
        confirm(tr("Start the boot loader of the module at %1?\n\nThe module stops measuring "
                   "and stays in its boot loader until it is restarted or given new firmware; "
                   "the inspector disconnects.")
                    .arg(moduleDescription())))
        controller->enterBootLoader();
}

void ModuleWindow::enterTestMode()
{
    if (controller->canRequest() &&
        confirm(tr("Put the module at %1 into test mode?\n\nThe module stops measuring until "
                   "it is restarted.")
                    .arg(moduleDescription())))
        controller->enterTestMode();
}

void ModuleWindow::exportPlot(CapturePlot *plot, bool png)
{
    const QSize size = png ? chooseSize() : QSize();
    if (png && !size.isValid())
        return;
    const QString path = chooseFile(png ? FileRole::ExportPng : FileRole::ExportCsv);
    if (path.isEmpty())
        return;
    QString error;
    const bool ok = png ? plot->exportPng(path, &error, moduleDescription(), size)
                        : plot->exportCsv(path, &error, moduleDescription());
    logOperation(png ? tr("Export PNG") : tr("Export CSV"), ok, error);
    if (!ok)
        tell(tr("%1 was not written: %2").arg(QDir::toNativeSeparators(path), error));
}

void ModuleWindow::updateActions()
{
    const bool live = controller->canRequest();
    ui->actionDisconnect->setEnabled(controller->linkState() != LinkState::Disconnected);
    ui->actionReconnect->setEnabled(!controller->host().isEmpty());
    for (QAction *action :
         {ui->actionSaveConfig, ui->actionLoadConfig, ui->actionBootLoader, ui->actionTestMode})
        action->setEnabled(live);
    ui->actionRestart->setEnabled(controller->canRestart());
}

void ModuleWindow::updateHeader()
{
    const ModuleHeader header(*controller);
    ui->connectionLabel->setText(header.state);
    ui->connectionLamp->setChecked(header.lamp.isValid());
    if (header.lamp.isValid()) {
        ui->connectionLamp->setOnColor1(header.lamp);
        ui->connectionLamp->setOnColor2(header.lamp.darker(130));
        ui->connectionLamp->update();
    }
    ui->typeValue->setText(header.type);
    ui->identValue->setText(header.ident);
    ui->modeValue->setText(header.mode);
    ui->addressValue->setText(header.address);
    setWindowTitle(header.title);
}

void ModuleWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        const int type = ui->spectrumTypeCombo->currentIndex();
        ui->retranslateUi(this);
        ui->spectrumTypeCombo->setCurrentIndex(type);
        operationLog->retranslate();
        rebuildViews();
        updateHeader();
    }
}

void ModuleWindow::closeEvent(QCloseEvent *event)
{
    InspectorSettings::storeWindow(this);
    WindowShell::storeLanguage();
    LogArchive::archive(*operationLog, controller->host(), controller->port());
    QMainWindow::closeEvent(event);
}

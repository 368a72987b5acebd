#include "modulecontroller.h"

#include "chstate.h"
#include "configfile.h"
#include "inspectorsettings.h"
#include "moduleregisters.h"
#include "serviceconnection.h"

#include <QDir>
#include <QThread>

#include <algorithm>

ModuleController::ModuleController(QObject *parent)
    : QObject(parent)
    , worker(new QThread(this))
    // No parent, so it can move to the worker; the thread deletes it when it finishes.
    , moduleSession(new ModuleSession)
{
    worker->setObjectName(QStringLiteral("module link"));
    wire();
    moduleSession->moveToThread(worker);
    connect(worker, &QThread::finished, moduleSession, &QObject::deleteLater);
    worker->start();

    retryTimer.setInterval(RetryTickMs);
    connect(&retryTimer, &QTimer::timeout, this, &ModuleController::retryTick);
    connect(&missingStates, &MissingStateWatch::channelMissing, this,
            &ModuleController::reportUnreadChannel);
}

ModuleController::~ModuleController()
{
    worker->quit();
    worker->wait();
}

QString ModuleController::addressText(const QString &host, quint16 port)
{
    const QString shown = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(shown).arg(port);
}

// Every connection below crosses to the GUI thread queued: the session lives on the worker.
void ModuleController::wire()
{
    ModuleSession *s = moduleSession;
    connect(s, &ModuleSession::moduleOpened, this, &ModuleController::onOpened);
    connect(s, &ModuleSession::openFailed, this, &ModuleController::onOpenFailed);
    connect(s, &ModuleSession::moduleLost, this, &ModuleController::onLost);
    connect(s, &ModuleSession::outsideWorkMode, this, &ModuleController::onOutsideWorkMode);
    connect(s, &ModuleSession::serviceRestartFinished, this, &ModuleController::onServiceRestarted);
    connect(s, &ModuleSession::moduleClosed, this, [this] {
        if (state == LinkState::Connected)
            setState(LinkState::Disconnected);
    });
    connect(s, &ModuleSession::modeRead, this, [this](quint16 mode) {
        moduleIdentity.mode = mode;
        emit moduleChanged();
    });
    connect(s, &ModuleSession::configurationRead, this, &ModuleController::onConfigurationRead);
    connect(s, &ModuleSession::configurationWritten, this, [this](bool ok) {
        setBusy(ModuleSession::Operation::None);
        emit operationLogged(tr("Load configuration"), ok,
                             ok ? QString() : tr("The module did not take the configuration"),
                             false);
        emit statusMessage(ok ? tr("Configuration written and committed")
                              : tr("Writing the configuration failed"),
                           true);
    });
    connect(s, &ModuleSession::bootLoaderEntered, this, [this](bool ok) {
        setBusy(ModuleSession::Operation::None);
        emit operationLogged(tr("Boot loader"), ok,
                             ok ? QString() : tr("The module refused the request"), false);
        if (ok) {
            // Known without asking: Restart is what brings it back.
            moduleIdentity.mode = ModuleRegisters::BootMode;
            serviceOnly = true;
            setState(LinkState::Disconnected,
                     tr("The module runs its boot loader and does not measure until it is "
                        "restarted"));
            emit moduleChanged();
        }
    });
    connect(s, &ModuleSession::testModeEntered, this, [this](bool ok) {
        setBusy(ModuleSession::Operation::None);
        emit operationLogged(tr("Test mode"), ok,
                             ok ? QString() : tr("The module refused the request"), false);
    });
    connect(s, &ModuleSession::waveformFetched, this,
            [this](int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf) {
                if (!wf || state != LinkState::Connected)
                    return;
                emit operationLogged(captureOperation(false, ch, id), true, QString(), true);
                emit waveformFetched(ch, id, wf);
            });
    connect(s, &ModuleSession::spectrumFetched, this,
            [this](int ch, uint kind, QSharedPointer<Orvo_ICPConnection::Spectr> spectr) {
                if (!spectr || kind > 1 || ch < 0 || ch >= OrvoSettings::ChannelCount ||
                    state != LinkState::Connected)
                    return;
                emit operationLogged(captureOperation(true, ch, kind), true, QString(), true);
                emit spectrumFetched(ch, kind, spectr);
            });
    connect(s, &ModuleSession::captureFailed, this, &ModuleController::onCaptureFailed);
    connect(s, &ModuleSession::operationStarted, this, &ModuleController::onOpStart);
    connect(s, &ModuleSession::operationProgress, this, &ModuleController::onOpProgress);
    connect(s, &ModuleSession::operationFinished, this, &ModuleController::onOpFinish);
    connect(s, &ModuleSession::moduleTypeChanged, this, [this](t_ORVO_Type t) { type = t; });
    connect(s, &ModuleSession::settingsChanged, this,
            [this](QSharedPointer<t_orvo_settings> record) {
                if (record)
                    missingStates.expect(type, record->channel_mask);
                emit settingsChanged(record);
            });
    connect(s, &ModuleSession::chStateChanged, this, [this](QSharedPointer<ChState> chState) {
        if (chState)
            missingStates.arrived(chState->ch);
        emit chStateChanged(chState);
    });
    connect(s, &ModuleSession::relayStateChanged, this, &ModuleController::relayStateChanged);
}

template <typename Call> void ModuleController::request(Call call)
{
    ModuleSession *s = moduleSession;
    QMetaObject::invokeMethod(
        s, [s, call] { call(s); }, Qt::QueuedConnection);
}

// ---- connection -------------------------------------------------------------------------------

void ModuleController::connectTo(const QString &host, quint16 port)
{
    if (host != moduleHost || port != modulePort) {
        moduleIdentity = ModuleSession::Identity();
        identified = false;
        type = ORVO_TYPE_NONE;
        emit moduleForgotten();
    }
    serviceOnly = false;
    moduleHost = host;
    modulePort = port;
    setState(LinkState::Connecting);
    request([host, port](ModuleSession *s) { s->openModule(host, port); });
}

void ModuleController::disconnectModule()
{
    setState(LinkState::Disconnected);
    request([](ModuleSession *s) { s->closeModule(); });
}

void ModuleController::reconnect()
{
    if (!moduleHost.isEmpty())
        connectTo(moduleHost, modulePort);
}

void ModuleController::onOpened(const ModuleSession::Identity &id)
{
    // A Disconnect given while the connection was being made: its close is queued behind.
    if (state == LinkState::Disconnected)
        return;
    moduleIdentity = id;
    identified = true;
    serviceOnly = false;
    InspectorSettings::storeAddress(id.host, id.port);
    setState(LinkState::Connected);
}

void ModuleController::onOpenFailed(const QString &reason)
{
    if (state == LinkState::Connecting) {
        // A first attempt that fails is most likely a wrong address: say so, do not insist.
        setState(LinkState::Disconnected,
                 tr("Cannot connect to %1: %2").arg(addressText(moduleHost, modulePort), reason));
    } else if (state == LinkState::Lost) {
        setState(LinkState::Lost, reason);
    }
}

void ModuleController::onOutsideWorkMode(const ModuleSession::Identity &id)
{
    moduleIdentity = id;
    identified = true;
    type = id.type;
    serviceOnly = true;
    emit operationLogged(tr("Identification (service connection)"), true,
                         tr("The module is in %1 and does not measure; Restart brings it back to "
                            "work mode")
                             .arg(ServiceConnection::modeName(id.mode)),
                         false);
    emit moduleChanged();
}

void ModuleController::onServiceRestarted(bool ok, const QString &error)
{
    restarting = false;
    setBusy(ModuleSession::Operation::None);
    emit operationLogged(tr("Restart (service connection)"), ok, error, false);
    if (!ok)
        setState(LinkState::Disconnected, tr("The restart failed: %1").arg(error));
    emit moduleChanged();
}

void ModuleController::onLost(const QString &reason)
{
    if (state == LinkState::Disconnected)
        return;
    emit operationLogged(tr("Connection"), false, reason, false);
    setState(LinkState::Lost, reason);
}

void ModuleController::setState(LinkState next, const QString &reason)
{
    state = next;
    stateReason = reason;
    if (next != LinkState::Connected)
        missingStates.clear();
    if (next == LinkState::Lost) {
        retryLeft = retryDelayTicks;
        retryTimer.start();
    } else {
        retryLeft = 0;
        retryTimer.stop();
    }
    emit staleChanged(next != LinkState::Connected);
    emit busyChanged();
    emit linkStateChanged();
}

void ModuleController::reportUnreadChannel(int ch)
{
    if (state != LinkState::Connected)
        return;
    emit operationLogged(tr("Channel %1 state").arg(ch + 1), false,
                         tr("No state arrived within %n s: its registers could not be read "
                            "or it has no valid data",
                            nullptr, missingStates.timeout() / 1000),
                         false);
    emit channelUnread(ch);
}

void ModuleController::setRetryPacingForTest(int delayTicks, int tickMs)
{
    retryDelayTicks = std::max(1, delayTicks);
    retryTimer.setInterval(std::max(1, tickMs));
}

void ModuleController::retryTick()
{
    if (state != LinkState::Lost) {
        retryTimer.stop();
        return;
    }
    if (--retryLeft <= 0) {
        retryTimer.stop();
        const QString h = moduleHost;
        const quint16 p = modulePort;
        request([h, p](ModuleSession *s) { s->openModule(h, p); });
    }
    emit linkStateChanged();
}

// ---- operations -------------------------------------------------------------------------------

void ModuleController::setBusy(ModuleSession::Operation op)
{
    busy = op;
    emit busyChanged();
}

QString ModuleController::captureOperation(bool spectrum, int ch, uint selector) const
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

void ModuleController::onCaptureFailed(bool spectrum, int ch, uint selector)
{
    emit captureFailed(spectrum, ch);
    // Shown even while reads are hidden from the log: the plot keeps an older capture.
    emit operationLogged(captureOperation(spectrum, ch, selector), false,
                         spectrum
                             ? tr("No spectrum delivered: a transfer failed or its answer did not "
                                  "match the request")
                             : tr("No waveform delivered: a transfer failed or its answer did not "
                                  "match the request"),
                         false);
}

static bool isBackground(ModuleSession::Operation op)
{
    return op == ModuleSession::Operation::Waveform || op == ModuleSession::Operation::Spectrum;
}

void ModuleController::onOpStart(ModuleSession::Operation op, const QString &name)
{
    operationNames.insert(op, name);
    if (isBackground(op))
        return;
    emit progressShown(0, 0);
    emit statusMessage(name + QStringLiteral("..."), false);
}

void ModuleController::onOpProgress(uint done, uint total, const QString &stage)
{
    emit progressShown(done, total);
    const QString name = operationNames.value(busy);
    emit statusMessage(name.isEmpty() ? stage : name + QStringLiteral(": ") + stage, false);
}

void ModuleController::onOpFinish(ModuleSession::Operation op, const QString &name, bool ok,
                                  const QString &err)
{
    using Op = ModuleSession::Operation;
    const bool background = isBackground(op);
    if (!background) {
        emit progressHidden();
        emit statusMessage(ok              ? tr("%1: done").arg(name)
                           : err.isEmpty() ? tr("%1: failed").arg(name)
                                           : tr("%1: failed: %2").arg(name, err),
                           true);
    }
    if (op == busy)
        busy = Op::None;
    if (restarting && op == Op::Restart) {
        restarting = false;
        emit staleChanged(state != LinkState::Connected);
        emit moduleChanged();
    }
    // The link calls these a success when no record came, or when it is no longer connected;
    // their true outcome is logged by the handlers of the session's results instead.
    if (!background && op != Op::ReadConfig && op != Op::WriteConfig)
        emit operationLogged(name, ok, err, false);
    emit busyChanged();
}

void ModuleController::saveConfiguration(const QString &path)
{
    if (!canRequest())
        return;
    // Refused before the module is asked: the record would have nowhere to go.
    if (!ConfigFile::mayReplace(path)) {
        const QString why = ConfigFile::refusal(path);
        emit operationLogged(tr("Save configuration"), false, why, false);
        emit saveFailed(why);
        return;
    }
    pendingSavePath = path;
    setBusy(ModuleSession::Operation::ReadConfig);
    request([](ModuleSession *s) { s->readConfiguration(); });
}

void ModuleController::onConfigurationRead(bool ok, QSharedPointer<t_orvo_settings> record)
{
    setBusy(ModuleSession::Operation::None);
    const QString path = pendingSavePath;
    pendingSavePath.clear();
    if (path.isEmpty())
        return;
    QString error;
    if (!ok || !record)
        error = tr("Cannot read the configuration from the module");
    else if (!ConfigFile::save(path, *record, &error) && error.isEmpty())
        error = tr("Cannot write %1").arg(QDir::toNativeSeparators(path));
    emit operationLogged(tr("Save configuration"), error.isEmpty(), error, false);
    if (error.isEmpty())
        emit statusMessage(tr("Configuration saved to %1").arg(QDir::toNativeSeparators(path)),
                           true);
    else
        emit saveFailed(error);
}

void ModuleController::writeConfiguration(QSharedPointer<t_orvo_settings> record)
{
    if (!canRequest())
        return;
    setBusy(ModuleSession::Operation::WriteConfig);
    request([record](ModuleSession *s) { s->writeConfiguration(record); });
}

void ModuleController::restartModule()
{
    if (serviceOnly && canRestart()) {
        restarting = true;
        setBusy(ModuleSession::Operation::Restart);
        // The session opens the module once it is back in work mode.
        setState(LinkState::Connecting);
        emit moduleChanged();
        request([](ModuleSession *s) { s->serviceRestart(); });
        return;
    }
    if (!canRequest())
        return;
    restarting = true;
    setBusy(ModuleSession::Operation::Restart);
    // The module is away for the restart: what is shown is no longer live.
    emit staleChanged(true);
    emit moduleChanged();
    request([](ModuleSession *s) { s->restartModule(); });
}

void ModuleController::enterBootLoader()
{
    if (!canRequest())
        return;
    operationNames.insert(ModuleSession::Operation::BootLoader, tr("Boot loader"));
    setBusy(ModuleSession::Operation::BootLoader);
    request([](ModuleSession *s) { s->enterBootLoader(); });
}

void ModuleController::enterTestMode()
{
    if (!canRequest())
        return;
    operationNames.insert(ModuleSession::Operation::TestMode, tr("Test mode"));
    setBusy(ModuleSession::Operation::TestMode);
    request([](ModuleSession *s) { s->enterTestMode(); });
}

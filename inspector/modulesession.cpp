#include "modulesession.h"

#include "capturefetcher.h"
#include "moduleregisters.h"
#include "orvo_icpmeaspoller.h"
#include "serviceconnection.h"

#include <QTimer>

#include <utility>

ModuleSession::ModuleSession(QObject *parent)
    : QObject(parent)
    , conn(new Orvo_ICPConnection(this))
    , measPoller(new Orvo_ICPMeasPoller(conn, this))
    , fetcher(new CaptureFetcher(conn, measPoller, this))
{
    qRegisterMetaType<ModuleSession::Identity>("ModuleSession::Identity");
    qRegisterMetaType<ModuleSession::Operation>("ModuleSession::Operation");

    connect(conn, &Orvo_ICPConnection::opened, this, [this] { emit moduleOpened(identity()); });
    connect(conn, &Orvo_ICPConnection::error, this,
            [this](const QString &descr) { emit moduleLost(withReason(descr)); });
    connect(conn, &Orvo_ICPConnection::opFinish, this,
            [this](const QString &op, bool, const QString &err) {
                const Operation known = operationOf(op);
                if (known == Operation::Open || known == Operation::Restart)
                    lastOpenError = withReason(err);
            });
    connect(conn, &Orvo_ICPConnection::opStart, this, [this](const QString &op, const QString &) {
        emit operationStarted(operationOf(op), op);
    });
    connect(conn, &Orvo_ICPConnection::opProgress, this, &ModuleSession::operationProgress);
    connect(conn, &Orvo_ICPConnection::opFinish, this,
            [this](const QString &op, bool ok, const QString &err) {
                emit operationFinished(operationOf(op), op, ok, withReason(err));
            });
    connect(conn, &Orvo_ICPConnection::module_type_change, this, &ModuleSession::moduleTypeChanged);
    connect(measPoller, &Orvo_ICPMeasPoller::settingsChanged, this,
            &ModuleSession::settingsChanged);
    connect(measPoller, &Orvo_ICPMeasPoller::chStateChanged, this, &ModuleSession::chStateChanged);
    connect(measPoller, &Orvo_ICPMeasPoller::relayStateChanged, this,
            &ModuleSession::relayStateChanged);
    connect(fetcher, &CaptureFetcher::waveformFetched, this, &ModuleSession::waveformFetched);
    connect(fetcher, &CaptureFetcher::spectrumFetched, this, &ModuleSession::spectrumFetched);
    connect(fetcher, &CaptureFetcher::fetchFailed, this, &ModuleSession::captureFailed);
}

ModuleSession::~ModuleSession() = default;

QString ModuleSession::withReason(const QString &error) const
{
    // Read at once, on the worker: the next transaction replaces it.
    const QString reason = conn->lastFailureReason();
    if (error.isEmpty() || reason.isEmpty() || error.contains(reason))
        return error;
    return tr("%1 (%2)").arg(error, reason);
}

bool ModuleSession::isWorkMode(quint16 mode)
{
    return mode == ModuleRegisters::WorkMode;
}

ModuleSession::Operation ModuleSession::operationOf(const QString &name) const
{
    const std::pair<QString, Operation> names[] = {{conn->opOpenConnection(), Operation::Open},
                                                   {conn->opCloseConnection(), Operation::Close},
                                                   {conn->opReadConfig(), Operation::ReadConfig},
                                                   {conn->opWriteConfig(), Operation::WriteConfig},
                                                   {conn->opModuleRestart(), Operation::Restart},
                                                   {conn->opWaveformRead(), Operation::Waveform},
                                                   {conn->opSpectrRead(), Operation::Spectrum},
                                                   {conn->opReadInfo(), Operation::ReadInfo}};
    for (const auto &entry : names) {
        if (entry.first == name)
            return entry.second;
    }
    return Operation::Other;
}

void ModuleSession::setPacingForTest(int watchdogMs, int restartMs, int pollMs)
{
    conn->setPacingForTest(watchdogMs, restartMs);
    serviceRetryMs = pollMs;
    auto *pump = new QTimer(this);
    connect(pump, &QTimer::timeout, measPoller, [this] {
        if (measPoller->isPolling())
            measPoller->pollCycle(false);
    });
    pump->start(pollMs);
}

ModuleSession::Identity ModuleSession::identity() const
{
    Identity id;
    id.type = conn->deviceType();
    id.typeName = conn->deviceTypeName();
    for (int i = 0; i < 3; ++i)
        id.texts[i] = conn->deviceInfoText(i);
    id.host = host;
    id.port = port;
    // The connection procedure only completes in work mode.
    id.mode = ModuleRegisters::WorkMode;
    return id;
}

void ModuleSession::openModule(QString host, quint16 port)
{
    this->host = host;
    this->port = port;
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->ipAddr = host;
    info->port = port;
    lastOpenError.clear();
    if (conn->open(info, false))
        return;
    const quint16 mode = conn->deviceMode();
    if (mode != 0 && !isWorkMode(mode)) {
        // The link refuses such a module; a service connection still tells what it is.
        ServiceConnection service(host, port);
        ServiceConnection::Identification found;
        if (service.identify(found)) {
            Identity id;
            id.type = conn->deviceType();
            id.typeName = found.typeName;
            for (int i = 0; i < 3; ++i)
                id.texts[i] = found.texts[i];
            id.host = host;
            id.port = port;
            id.mode = found.mode;
            emit outsideWorkMode(id);
        }
    }
    emit openFailed(lastOpenError);
}

void ModuleSession::serviceRestart()
{
    ServiceConnection service(host, port);
    const bool ok = service.restart(ServiceConnection::DefaultGiveUpMs, serviceRetryMs);
    emit serviceRestartFinished(ok, service.error());
    if (ok)
        openModule(host, port);
}

void ModuleSession::closeModule()
{
    conn->close();
    emit moduleClosed();
}

void ModuleSession::restartModule()
{
    const bool wasConnected = conn->isConnected();
    lastOpenError.clear();
    conn->reboot();
    // A failed signature write leaves an open link as it was; a failed reconnection does not.
    if (wasConnected && !conn->isConnected())
        emit moduleLost(lastOpenError.isEmpty()
                            ? tr("The module did not come back after the restart")
                            : lastOpenError);
}

void ModuleSession::enterBootLoader()
{
    const bool ok = conn->enterBoot();
    emit bootLoaderEntered(ok);
    if (ok)
        emit moduleClosed();
}

void ModuleSession::enterTestMode()
{
    const bool ok = conn->enterTestMode();
    emit testModeEntered(ok);
    quint16 mode = 0;
    if (ok && conn->regsRead(ModuleRegisters::ModeRegister, 1, &mode))
        emit modeRead(mode);
}

void ModuleSession::readConfiguration()
{
    QSharedPointer<t_orvo_settings> record;
    const QMetaObject::Connection capture =
        connect(conn, &Orvo_ICPConnection::readSettingsDone, this,
                [&record](QSharedPointer<t_orvo_settings> settings) { record = settings; });
    const bool ok = conn->readSettings();
    disconnect(capture);
    emit configurationRead(ok && record, record);
}

void ModuleSession::writeConfiguration(QSharedPointer<t_orvo_settings> settings)
{
    emit configurationWritten(settings && conn->writeSettings(settings));
}

#include "modulesession.h"

#include "capturefetcher.h"
#include "moduleregisters.h"
#include "orvo_icpmeaspoller.h"

ModuleSession::ModuleSession(QObject *parent)
    : QObject(parent)
    , conn(new Orvo_ICPConnection(this))
    , measPoller(new Orvo_ICPMeasPoller(conn, this))
    , fetcher(new CaptureFetcher(conn, measPoller, this))
{
    qRegisterMetaType<ModuleSession::Identity>("ModuleSession::Identity");

    connect(conn, &Orvo_ICPConnection::opened, this, [this] { emit moduleOpened(identity()); });
    connect(conn, &Orvo_ICPConnection::error, this,
            [this](const QString &descr) { emit moduleLost(descr); });
    connect(conn, &Orvo_ICPConnection::opFinish, this,
            [this](const QString &op, bool, const QString &err) {
                if (op == conn->opOpenConnection() || op == conn->opModuleRestart())
                    lastOpenError = err;
            });
    connect(fetcher, &CaptureFetcher::waveformFetched, this, &ModuleSession::waveformFetched);
    connect(fetcher, &CaptureFetcher::spectrumFetched, this, &ModuleSession::spectrumFetched);
    connect(fetcher, &CaptureFetcher::fetchFailed, this, &ModuleSession::captureFailed);
}

ModuleSession::~ModuleSession() = default;

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
    if (!conn->open(info, false))
        emit openFailed(lastOpenError);
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

#include "modulefixture.h"

ModuleFixture::ModuleFixture(ModuleSimulator::Kind kind)
    : simulator(std::make_unique<ModuleSimulator>(kind))
{}

ModuleFixture::~ModuleFixture()
{
    connection.reset();
    simulator.reset();
}

bool ModuleFixture::start()
{
    if (!simulator->start(QString::fromLatin1(Host), simPort))
        return false;
    simPort = simulator->port();
    return true;
}

QSharedPointer<Orvo_ICPConnection::ConnectionInfo> ModuleFixture::info() const
{
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->ipAddr = QString::fromLatin1(Host);
    info->port = simPort;
    return info;
}

Orvo_ICPConnection &ModuleFixture::link()
{
    if (!connection) {
        connection = std::make_unique<Orvo_ICPConnection>();
        connection->setPacingForTest(WatchdogMs, RestartWaitMs);
    }
    return *connection;
}

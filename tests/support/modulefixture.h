#pragma once

#include "modulesimulator.h"
#include "orvo_icpconnection.h"

#include <QSharedPointer>
#include <QString>

#include <memory>

// The Modbus side of a test: the project's module simulator serving on a free port of
// 127.0.0.1 and a register link for it on the tests' short pacing. The simulator's own setters
// are the fault switches. The link goes before the simulator it talks to.
class ModuleFixture
{
public:
    // A probe every 100 ms and a restart waited for 300 ms: a loss or a restart is seen in a
    // fraction of the product's time, and still long after the simulator has acted.
    static constexpr int WatchdogMs = 100;
    static constexpr int RestartWaitMs = 300;
    static constexpr const char *Host = "127.0.0.1";

    explicit ModuleFixture(ModuleSimulator::Kind kind = ModuleSimulator::Kind::Icp);
    ~ModuleFixture();
    ModuleFixture(const ModuleFixture &) = delete;
    ModuleFixture &operator=(const ModuleFixture &) = delete;

    // Starts the simulator on a free port, or on the port it had, so that a link made for it
    // finds it again; false with errorString().
    bool start();
    QString errorString() const { return simulator->errorString(); }

    ModuleSimulator &sim() const { return *simulator; }
    quint16 port() const { return simPort; }
    // The simulator's address as the link takes it; each call gives a record of its own.
    QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info() const;

    // The link, made on first use with the test pacing; not opened.
    Orvo_ICPConnection &link();
    bool openLink(bool readCfg = false) { return link().open(info(), readCfg); }
    // Deletes the link, for a test of what its holders do then.
    void dropLink() { connection.reset(); }

private:
    std::unique_ptr<ModuleSimulator> simulator;
    std::unique_ptr<Orvo_ICPConnection> connection;
    quint16 simPort = 0;
};

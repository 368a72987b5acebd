// orvo-module-sim: a simulated Orvo module on Modbus TCP, for trying the register link, the
// poller and the module console without hardware.

#include "modulesimulator.h"
#include "programidentity.h"
#include "requestlog.h"
#include "simcommandline.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> quitRequested{false};

void onSignal(int)
{
    quitRequested = true;
}

} // namespace

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-module-sim");
    QCoreApplication app(argc, argv);

    ModuleSimulator sim;
    SimCommandLine commandLine;
    if (const int usage = commandLine.apply(app, sim))
        return usage;

    QTextStream out(stdout);
    if (!sim.start(commandLine.address(), commandLine.port())) {
        QTextStream(stderr) << "orvo-module-sim: " << sim.errorString() << '\n';
        return 1;
    }
    out << "orvo-module-sim: listening on " << sim.address() << " port " << sim.port() << '\n';
    out.flush();

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    const bool log = commandLine.logRequests();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        if (log) {
            const auto requests = sim.transactions();
            sim.clearTransactions();
            for (const auto &request : requests)
                out << RequestLog::describe(request) << '\n';
            out.flush();
        }
        if (quitRequested)
            app.quit();
    });
    tick.start(100);
    const int rc = app.exec();
    sim.stop();
    return rc;
}

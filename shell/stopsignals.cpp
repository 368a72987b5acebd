#include "stopsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler, read in the event loop.
int pipeEnds[2] = {-1, -1};
const int Handled[2] = {SIGTERM, SIGINT};
struct sigaction previous[2];

extern "C" void onSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    // Nothing else is async-signal-safe enough to do here; a full pipe just loses a repeat.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

void closePipe()
{
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i) {
        if (::sigaction(Handled[i], &action, &previous[i]) != 0) {
            for (int j = 0; j < i; ++j)
                ::sigaction(Handled[j], &previous[j], nullptr);
            closePipe();
            return;
        }
    }
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StopSignals::readSignals);
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    // Back to what was there (the default, in a program): a second signal during the final
    // flush ends the program at once.
    for (int i = 0; i < 2; ++i)
        ::sigaction(Handled[i], &previous[i], nullptr);
    delete notifier;
    closePipe();
}

void StopSignals::readSignals()
{
    unsigned char byte = 0;
    unsigned char last = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        last = byte;
    if (last != 0)
        emit stopRequested(last == SIGTERM ? QStringLiteral("SIGTERM") : QStringLiteral("SIGINT"));
}

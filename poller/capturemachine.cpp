#include "capturemachine.h"

CaptureMachine::CaptureMachine(int settleSteps)
    : settleSteps(settleSteps)
{}

void CaptureMachine::fetched(int c)
{
    if (c >= 0 && c < Channels)
        done[size_t(c)] = true;
}

void CaptureMachine::step(quint16 wanted, bool force, const ReadyWords &ready,
                          const WriteTrigger &trigger, const Announce &announce)
{
    // The settle count survives a restart on purpose: a pause already under way still counts.
    if (wanted != channels || force)
        current = Trigger;

    switch (current) {
    case Trigger:
        if (++settle <= settleSteps)
            break;
        channels = wanted;
        settle = 0;
        if (trigger()) {
            for (int c = 0; c < Channels; ++c) {
                if (channels & (1u << c))
                    done[size_t(c)] = false;
            }
            current = AwaitReady;
        }
        break;
    case AwaitReady:
        if (everyChannel(channels, [&](int c) { return ready[size_t(c)] != 0; })) {
            for (int c = 0; c < Channels; ++c) {
                if (channels & (1u << c))
                    announce(c);
            }
            current = AwaitFetch;
        }
        break;
    case AwaitFetch:
        if (everyChannel(channels, [&](int c) { return done[size_t(c)]; }))
            current = Trigger;
        break;
    }
}

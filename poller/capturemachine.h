#pragma once

#include "t_orvo_settings.h"

#include <QtGlobal>

#include <array>
#include <functional>

// One capture cycle of a measurement module, run one step per poll: write the trigger, wait
// until every wanted channel reports ready, announce the channels, wait until the holder has
// fetched them all, trigger again. The poller runs one for waveforms and one per spectrum type.
class CaptureMachine
{
public:
    enum State {
        Trigger = 0,    // trigger at the next step
        AwaitReady = 1, // triggered; waiting for the ready words of every channel
        AwaitFetch = 2, // announced; waiting for the holder to fetch every channel
    };

    static constexpr int Channels = OrvoSettings::ChannelCount;
    using ReadyWords = std::array<quint16, Channels>;

    // settleSteps: steps spent in Trigger before the trigger is written, for a module that
    // needs a pause between the end of one capture and the next trigger.
    explicit CaptureMachine(int settleSteps = 0);

    // Writes the trigger word; false when the write failed (retried at the next step).
    using WriteTrigger = std::function<bool()>;
    // Announces channel c as ready.
    using Announce = std::function<void(int c)>;

    // One step. wanted: the channels (bits 0 to 3) that should take part; a change of it, or
    // force, starts over from Trigger. ready: the readiness word of every channel.
    void step(quint16 wanted, bool force, const ReadyWords &ready, const WriteTrigger &trigger,
              const Announce &announce);
    // The holder has fetched channel c.
    void fetched(int c);

    State state() const { return current; }
    quint16 mask() const { return channels; }
    int settleCount() const { return settle; }

    // True when every channel c (bits 0 to 3) of mask passes; an empty mask always passes.
    template <typename Pred> static bool everyChannel(quint16 mask, Pred pass)
    {
        for (int c = 0; c < Channels; ++c) {
            if ((mask & (1u << c)) && !pass(c))
                return false;
        }
        return true;
    }

private:
    const int settleSteps;
    State current = Trigger;
    quint16 channels = 0;
    int settle = 0;
    std::array<bool, Channels> done = {};
};

#pragma once

#include <QtGlobal>

// When a shown trend range follows the present, and how often it moves: a range whose end is
// close to now keeps its span and is moved to end at now, as often as one interval of its
// points passes, but no more than once a second and no less than once a minute.
class TrendFollower
{
public:
    static constexpr qint64 MinStepMs = 1000;
    static constexpr qint64 MaxStepMs = 60000;

    static qint64 stepMs(qint64 spanMs, int points);
    // The range looks at the present: its end within a step, or a fiftieth of its span, of now.
    static bool looksAtPresent(qint64 fromMs, qint64 toMs, qint64 nowMs, int points);
    // Whether a following range shown since lastMoveMs is due to move at nowMs.
    static bool due(qint64 fromMs, qint64 toMs, qint64 lastMoveMs, qint64 nowMs, int points);
};

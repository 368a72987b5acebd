#include "trendfollower.h"

qint64 TrendFollower::stepMs(qint64 spanMs, int points)
{
    return qBound(MinStepMs, spanMs / qMax(1, points), MaxStepMs);
}

bool TrendFollower::looksAtPresent(qint64 fromMs, qint64 toMs, qint64 nowMs, int points)
{
    const qint64 span = toMs - fromMs;
    const qint64 tolerance = qMax(stepMs(span, points), span / 50);
    return span > 0 && qAbs(toMs - nowMs) <= tolerance;
}

bool TrendFollower::due(qint64 fromMs, qint64 toMs, qint64 lastMoveMs, qint64 nowMs, int points)
{
    return nowMs - lastMoveMs >= stepMs(toMs - fromMs, points);
}

#include "waveform.h"

#include <QRandomGenerator>

#include <cmath>

double Waveform::clean(double t) const
{
    if (shape == Shape::Constant || period <= 0.0)
        return offset;
    double cycle = t / period + phase;
    cycle -= std::floor(cycle);
    constexpr double twoPi = 6.283185307179586;
    const double unit = shape == Shape::Sine ? std::sin(twoPi * cycle) : 2.0 * cycle - 1.0;
    return offset + amplitude * unit;
}

double Waveform::valueAt(double t, QRandomGenerator &rng) const
{
    const double jitter = noise > 0.0 ? noise * (2.0 * rng.generateDouble() - 1.0) : 0.0;
    return clean(t) + jitter;
}

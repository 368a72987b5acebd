#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QRandomGenerator;
QT_END_NAMESPACE

// A value that moves with time: offset + amplitude * shape(t / period + phase) + noise.
class Waveform
{
public:
    enum class Shape { Constant, Sine, Ramp };

    Shape shape = Shape::Sine;
    double offset = 0.0;
    double amplitude = 0.0;
    double period = 20.0; // seconds
    double phase = 0.0;   // fraction of a period, 0..1
    double noise = 0.0;   // largest deviation of the uniform noise

    // The noiseless value at t seconds. Ramp climbs from -1 to 1 over a period, then drops.
    double clean(double t) const;
    // clean(t) plus noise drawn from rng.
    double valueAt(double t, QRandomGenerator &rng) const;
};

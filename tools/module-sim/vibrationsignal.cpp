#include "vibrationsignal.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double ImpactFrequencyHz = 640.0;
constexpr double ImpactDecaySamples = 14.0;

} // namespace

double VibrationSignal::runningSpeedHz(int ch)
{
    // Around 1475 rpm, the channels of one machine a little apart.
    return 24.6 + 0.35 * (ch & 3);
}

bool VibrationSignal::hasImpact(quint16 id)
{
    return id % 4 == 0;
}

double VibrationSignal::noise(quint32 a, quint32 b, quint32 c)
{
    quint32 h = a * 0x9E3779B9u ^ (b + 0x7F4A7C15u) * 0x85EBCA6Bu ^ (c + 0x165667B1u) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return double(h) / 2147483648.0 - 1.0;
}

float VibrationSignal::waveformSample(int ch, quint16 id, quint32 index)
{
    const double t = index / SampleRateHz;
    const double w = 2 * Pi * runningSpeedHz(ch);
    const double amplitude = 0.8 + 0.25 * (ch & 3);
    // Each capture starts at another shaft angle.
    const double phase = 0.7 * id;
    double x = amplitude * std::sin(w * t + phase) +
               0.35 * amplitude * std::sin(2 * (w * t + phase) + 0.4) +
               0.15 * amplitude * std::sin(3 * (w * t + phase) + 1.1) +
               0.1 * noise(quint32(ch), id, index);
    if (hasImpact(id)) {
        const quint32 start = 37u + (id * 53u) % 151u;
        if (index >= start) {
            const double k = index - start;
            x += 3 * amplitude * std::exp(-k / ImpactDecaySamples) *
                 std::sin(2 * Pi * ImpactFrequencyHz * k / SampleRateHz);
        }
    }
    return float(x);
}

float VibrationSignal::spectrumLine(int ch, quint16 type, quint32 index)
{
    const double f = index * LineSpacingHz;
    const double f0 = runningSpeedHz(ch);
    const double amplitude = 0.8 + 0.25 * (ch & 3);
    const double harmonic[3] = {1.0, 0.35, 0.15};
    double y = 0.004 * (1.0 + 0.5 * noise(quint32(ch) + 16, type, index));
    for (int h = 1; h <= 3; ++h) {
        // A peak one line wide on each side: the window's leakage.
        const double d = (f - h * f0) / LineSpacingHz;
        const double weight = type == 0 ? 1.0 : 1.0 / h;
        y += amplitude * harmonic[h - 1] * weight * std::exp(-d * d);
    }
    return float(y);
}

quint32 VibrationSignal::pointBits(bool spectrum, int ch, quint16 selector, quint32 index)
{
    const float v =
        spectrum ? spectrumLine(ch, selector, index) : waveformSample(ch, selector, index);
    quint32 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

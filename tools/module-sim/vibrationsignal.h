#pragma once

#include <QtGlobal>

// Point values of the simulated module's waveforms and spectra: 32-bit IEEE floats that look
// like the vibration of a running machine, so that a plot of them is worth looking at. Every
// value is computed from its position alone, so any point of any capture can be served
// without storing the capture.
//
// Waveform (in g): a running-speed sine with its second and third harmonics, noise, and on
// every fourth capture id an impact that rings down. Spectra (amplitude per line): peaks at
// the running speed and its harmonics over a noise floor; type 1 weighs the harmonics less,
// as a velocity spectrum of the same machine would.
class VibrationSignal
{
public:
    static constexpr double SampleRateHz = 2560.0;
    static constexpr double LineSpacingHz = 1.0;

    // Running speed of channel ch, slightly different per channel.
    static double runningSpeedHz(int ch);
    static bool hasImpact(quint16 id);

    static float waveformSample(int ch, quint16 id, quint32 index);
    static float spectrumLine(int ch, quint16 type, quint32 index);

    // The value as the module sends it: the float's bit pattern.
    static quint32 pointBits(bool spectrum, int ch, quint16 selector, quint32 index);

private:
    // Uniform in [-1, 1), a pure function of its arguments.
    static double noise(quint32 a, quint32 b, quint32 c);
};

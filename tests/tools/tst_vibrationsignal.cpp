// The simulated module's waveforms and spectra: floats that look like a running machine.

#include "vibrationsignal.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

class TestVibrationSignal : public QObject
{
    Q_OBJECT

private slots:
    void simulatedVibration_data()
    {
        QTest::addColumn<int>("ch");
        QTest::newRow("channel 1") << 0;
        QTest::newRow("channel 4") << 3;
    }
    void simulatedVibration()
    {
        QFETCH(int, ch);
        // Spectrum peaks sit at the running speed the waveform turns at.
        const quint32 peakLine = quint32(
            std::lround(VibrationSignal::runningSpeedHz(ch) / VibrationSignal::LineSpacingHz));
        for (quint16 type : {0, 1}) {
            quint32 highest = 0;
            for (quint32 i = 1; i < 128; ++i) {
                if (VibrationSignal::spectrumLine(ch, type, i) >
                    VibrationSignal::spectrumLine(ch, type, highest))
                    highest = i;
            }
            QCOMPARE(highest, peakLine);
        }
        // An impact shows as a peak well above the running-speed swing, on some captures only.
        auto peak = [ch](quint16 id) {
            float top = 0;
            for (quint32 i = 0; i < 4096; ++i) {
                const float v = VibrationSignal::waveformSample(ch, id, i);
                if (!std::isfinite(v))
                    return -1.0f;
                top = std::max(top, std::fabs(v));
            }
            return top;
        };
        QVERIFY(VibrationSignal::hasImpact(8) && !VibrationSignal::hasImpact(9));
        QVERIFY(peak(9) > 0);
        QVERIFY(peak(8) > 1.5f * peak(9));
    }
};

QTEST_GUILESS_MAIN(TestVibrationSignal)
#include "tst_vibrationsignal.moc"

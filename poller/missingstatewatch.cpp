#include "missingstatewatch.h"

#include <algorithm>

MissingStateWatch::MissingStateWatch(QObject *parent)
    : QObject(parent)
{
    for (int ch = 0; ch < OrvoSettings::ChannelCount; ++ch) {
        waits[ch].setSingleShot(true);
        waits[ch].setInterval(timeoutMs);
        connect(&waits[ch], &QTimer::timeout, this, [this, ch] {
            if (missing() & (1u << ch))
                emit channelMissing(ch);
        });
    }
}

MissingStateWatch::~MissingStateWatch() = default;

void MissingStateWatch::setTimeout(int ms)
{
    timeoutMs = std::max(1, ms);
    for (QTimer &wait : waits)
        wait.setInterval(timeoutMs);
}

void MissingStateWatch::expect(t_ORVO_Type type, quint16 channelMask)
{
    // A relay module polls no channel states, whatever its record says.
    const bool measuring = type == ORVO_TYPE_ICP || type == ORVO_TYPE_PROX;
    const quint16 mask =
        measuring ? quint16(channelMask & ((1u << OrvoSettings::ChannelCount) - 1)) : 0;
    for (int ch = 0; ch < OrvoSettings::ChannelCount; ++ch) {
        const quint16 bit = quint16(1u << ch);
        if ((mask & bit) && !(expected & bit)) {
            arrivedMask &= quint16(~bit);
            waits[ch].start();
        } else if (!(mask & bit)) {
            waits[ch].stop();
        }
    }
    expected = mask;
}

void MissingStateWatch::arrived(int ch)
{
    if (ch < 0 || ch >= OrvoSettings::ChannelCount)
        return;
    arrivedMask |= quint16(1u << ch);
    waits[ch].stop();
}

void MissingStateWatch::clear()
{
    expected = 0;
    arrivedMask = 0;
    for (QTimer &wait : waits)
        wait.stop();
}

bool MissingStateWatch::isWaiting() const
{
    return std::any_of(std::begin(waits), std::end(waits),
                       [](const QTimer &wait) { return wait.isActive(); });
}

#include "capturefetcher.h"

#include "orvo_icpmeaspoller.h"

CaptureFetcher::CaptureFetcher(Orvo_ICPConnection *link, Orvo_ICPMeasPoller *poller,
                               QObject *parent)
    : QObject(parent)
    , link(link)
{
    connect(link, &Orvo_ICPConnection::waveformReceived, this,
            [this](QSharedPointer<Orvo_ICPConnection::Waveform> wf) {
                if (fetchChannel < 0)
                    return;
                delivered = true;
                emit waveformFetched(fetchChannel, fetchSelector, wf);
            });
    connect(link, &Orvo_ICPConnection::spectrReceived, this,
            [this](QSharedPointer<Orvo_ICPConnection::Spectr> spectr) {
                if (fetchChannel < 0)
                    return;
                delivered = true;
                emit spectrumFetched(fetchChannel, fetchSelector, spectr);
            });

    // Fetch once the poll cycle that announced the capture has finished, one read per event,
    // so that other requests queued to this thread get their turn between reads.
    connect(
        poller, &Orvo_ICPMeasPoller::wfStateChanged, this,
        [this](int ch, uint last_id, uint) { fetch(false, ch, last_id); }, Qt::QueuedConnection);
    connect(
        poller, &Orvo_ICPMeasPoller::spectrStateChanged, this,
        [this](int ch, uint type) { fetch(true, ch, type); }, Qt::QueuedConnection);
}

CaptureFetcher::~CaptureFetcher() = default;

void CaptureFetcher::fetch(bool spectrum, int ch, uint selector)
{
    // Announced before the module went away: the next connection starts the captures afresh.
    if (!link->isConnected())
        return;
    fetchChannel = ch;
    fetchSelector = selector;
    delivered = false;
    if (spectrum)
        link->readSpectr(ch, selector);
    else
        link->readWaveform(ch, selector);
    fetchChannel = -1;
    if (!delivered)
        emit fetchFailed(spectrum, ch, selector);
}

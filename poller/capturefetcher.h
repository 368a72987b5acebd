#pragma once

#include "orvo_icpconnection.h"

#include <QObject>
#include <QSharedPointer>

class Orvo_ICPMeasPoller;

// The holder's side of the capture loop: answers the poller's announcements with the link's
// reads, as the poller expects, and hands each record on with the channel it belongs to (the
// link's own signals name none). Lives on the thread of the link and the poller.
class CaptureFetcher : public QObject
{
    Q_OBJECT

public:
    CaptureFetcher(Orvo_ICPConnection *link, Orvo_ICPMeasPoller *poller, QObject *parent = nullptr);
    ~CaptureFetcher() override;

signals:
    void waveformFetched(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void spectrumFetched(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr);
    // The read ran but delivered no record (a failed transfer, a wrong echo, a bad header).
    void fetchFailed(bool spectrum, int ch, uint selector);

private:
    void fetch(bool spectrum, int ch, uint selector);

    Orvo_ICPConnection *const link;
    int fetchChannel = -1;
    uint fetchSelector = 0;
    bool delivered = false;
};

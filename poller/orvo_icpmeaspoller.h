#pragma once

#include "capturemachine.h"
#include "chmeas.h"
#include "chstate.h"
#include "moduleregisters.h"
#include "t_orvo_settings.h"
#include "t_orvo_type.h"

#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>

#include <array>

class Orvo_ICPConnection;

// Watches one module through an open link: every 500 ms it reads the status block of change
// counters and readiness words and fetches settings, relay status and channel states only
// when their counter moved. For measurement modules it also drives three capture machines
// (waveforms, spectra of type 0 and 1): write a trigger, wait until every wanted channel is
// ready, announce the channels, wait until the holder has fetched them, trigger again.
//
// Typical holder:
//   auto *poller = new Orvo_ICPMeasPoller(link, this);
//   connect(poller, &Orvo_ICPMeasPoller::wfStateChanged, link,
//           [link](int ch, uint last_id, uint) { link->readWaveform(ch, last_id); },
//           Qt::QueuedConnection);
//   link->open(info, false);  // opened() starts the polling
//
// Read failures are silent: a failed cycle leaves the remembered status block as it was, so
// the next cycle sees the same changes again.
class Orvo_ICPMeasPoller : public QObject
{
    Q_OBJECT

public:
    using ChState = ::ChState;
    using ChMeas = ::ChMeas;

    static constexpr int PollIntervalMs = 500;
    static constexpr int Channels = CaptureMachine::Channels;

    using StatusBlock = std::array<quint16, ModuleRegisters::StatusCount>;

    explicit Orvo_ICPMeasPoller(Orvo_ICPConnection *conn, QObject *parent = nullptr);
    ~Orvo_ICPMeasPoller() override;

    // One poll cycle, as the timer runs it; exposed so that a holder or a test can drive the
    // poller without waiting for the timer. Returns true when the cycle completed.
    bool pollCycle(bool force);

    bool isPolling() const { return polling; }
    t_ORVO_Type moduleType() const { return modType; }
    quint16 channelMask() const { return chMask; }
    quint16 spectrumChannelMask() const { return spChMask; }
    // Capture machines: the waveform's, and the spectrum's of type 0 and 1.
    int waveformState() const { return waveform.state(); }
    quint16 waveformMask() const { return waveform.mask(); }
    int spectrumState(int type) const { return spectrum[type & 1].state(); }
    quint16 spectrumMask(int type) const { return spectrum[type & 1].mask(); }
    int spectrumDelay(int type) const { return spectrum[type & 1].settleCount(); }

    // chMask with only those channels kept that take part in spectrum capture.
    static quint16 spectrumChannels(const t_orvo_settings &settings, quint16 chMask);
    static bool isMeasurementModule(t_ORVO_Type type);

    // Makes the signal argument types known to queued connections; the constructor calls it.
    static void registerMetaTypes();

signals:
    void settingsChanged(QSharedPointer<t_orvo_settings> settings);
    void wfStateChanged(int ch, uint last_id, uint wf_cnt);
    void spectrStateChanged(int ch, uint type);
    void chStateChanged(QSharedPointer<Orvo_ICPMeasPoller::ChState> state);
    void relayStateChanged(uint relayStatus);

public slots:
    void onConOpened();
    void onConClosed();
    void module_type_change(t_ORVO_Type type);
    void onWfReadOpFinish(QString op, uint ch_num);
    void onSpectrReadOpFinish(QString op, uint ch_num, uint type);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    bool readSettings();
    bool readRelay();
    bool measurementPart(const StatusBlock &status, bool force);
    static CaptureMachine::ReadyWords readyWords(const StatusBlock &status, int first);
    bool writeTrigger(quint16 word);

    // Guarded: a link deleted before the poller blocks its signals and sends no closed().
    const QPointer<Orvo_ICPConnection> conn;
    t_ORVO_Type modType = ORVO_TYPE_NONE;
    bool polling = false;
    int timerId = 0;
    // A forced cycle that did not complete is repeated by the next tick: with prevStatus
    // still zero, counters that happen to be 0 would otherwise never be read.
    bool forcePending = false;
    bool relayUnread = false;
    StatusBlock prevStatus = {};
    quint16 chMask = 0;
    quint16 spChMask = 0;

    CaptureMachine waveform;
    // The module needs a poll between the end of one spectrum capture and the next trigger.
    std::array<CaptureMachine, 2> spectrum = {CaptureMachine(1), CaptureMachine(1)};
};

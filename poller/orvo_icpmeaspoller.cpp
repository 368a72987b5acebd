#include "orvo_icpmeaspoller.h"

#include "orvo_icpconnection.h"

#include <QMetaType>

#include <QTimerEvent>
#include <algorithm>

using namespace ModuleRegisters;

static_assert(ChannelStateCount == ChState::ImageRegisters,
              "a channel state block is one channel image");

Orvo_ICPMeasPoller::Orvo_ICPMeasPoller(Orvo_ICPConnection *conn, QObject *parent)
    : QObject(parent)
    , conn(conn)
{
    registerMetaTypes();
    if (conn)
        modType = conn->deviceType();

    connect(conn, &Orvo_ICPConnection::opened, this, &Orvo_ICPMeasPoller::onConOpened);
    connect(conn, &Orvo_ICPConnection::closed, this, &Orvo_ICPMeasPoller::onConClosed);
    connect(conn, &Orvo_ICPConnection::module_type_change, this,
            &Orvo_ICPMeasPoller::module_type_change);
    connect(conn, &Orvo_ICPConnection::opWfReadFinish, this, &Orvo_ICPMeasPoller::onWfReadOpFinish);
    connect(conn, &Orvo_ICPConnection::opSpectrReadFinish, this,
            &Orvo_ICPMeasPoller::onSpectrReadOpFinish);
}

Orvo_ICPMeasPoller::~Orvo_ICPMeasPoller() = default;

void Orvo_ICPMeasPoller::registerMetaTypes()
{
    // Registered by name, under every spelling a signature may use, so that queued
    // connections and QSignalSpy resolve the argument types.
    Orvo_ICPConnection::registerMetaTypes();
    qRegisterMetaType<QSharedPointer<ChState>>("QSharedPointer<ChState>");
    qRegisterMetaType<QSharedPointer<ChState>>("QSharedPointer<Orvo_ICPMeasPoller::ChState>");
}

bool Orvo_ICPMeasPoller::isMeasurementModule(t_ORVO_Type type)
{
    return type == ORVO_TYPE_ICP || type == ORVO_TYPE_PROX;
}

quint16 Orvo_ICPMeasPoller::spectrumChannels(const t_orvo_settings &settings, quint16 chMask)
{
    quint16 mask = chMask;
    for (int c = 0; c < Channels; ++c) {
        if (settings.channels[c].sp_disable != 0)
            mask &= ~(1u << c);
    }
    return mask;
}

void Orvo_ICPMeasPoller::onConOpened()
{
    if (polling)
        return;
    prevStatus.fill(0);
    polling = true;
    forcePending = true;
    timerId = startTimer(PollIntervalMs, Qt::CoarseTimer);
    if (pollCycle(true))
        forcePending = false;
}

void Orvo_ICPMeasPoller::onConClosed()
{
    // Runs while the link holds its mutex: only stop the timer here, never touch the link.
    if (!polling)
        return;
    polling = false;
    forcePending = false;
    if (timerId != 0) {
        killTimer(timerId);
        timerId = 0;
    }
}

void Orvo_ICPMeasPoller::module_type_change(t_ORVO_Type type)
{
    modType = type;
}

void Orvo_ICPMeasPoller::onWfReadOpFinish(QString op, uint ch_num)
{
    if (conn && op == conn->opWaveformRead() && ch_num < uint(Channels))
        waveform.fetched(int(ch_num));
}

void Orvo_ICPMeasPoller::onSpectrReadOpFinish(QString op, uint ch_num, uint type)
{
    if (conn && op == conn->opSpectrRead() && ch_num < uint(Channels))
        spectrum[type != 0 ? 1 : 0].fetched(int(ch_num));
}

void Orvo_ICPMeasPoller::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId || !polling) {
        QObject::timerEvent(event);
        return;
    }
    if (!conn) {
        onConClosed();
        return;
    }
    const bool force = forcePending;
    if (pollCycle(force) && force)
        forcePending = false;
}

bool Orvo_ICPMeasPoller::pollCycle(bool force)
{
    StatusBlock status;
    if (!conn || !conn->regsRead(StatusRegister, StatusCount, status.data()))
        return false;

    bool ok = true;
    if (force || status[WordSettingsCounter] != prevStatus[WordSettingsCounter])
        ok = readSettings();
    if (!ok)
        return false;

    // A relay state that could not be read is read again next cycle whatever the counter says:
    // a counter that never moves (0 on a fresh module) would otherwise hide it for good.
    if (force || relayUnread || status[WordRelayCounter] != prevStatus[WordRelayCounter])
        relayUnread = !readRelay();

    if (isMeasurementModule(modType))
        ok = measurementPart(status, force);

    if (ok)
        prevStatus = status;
    return ok;
}

bool Orvo_ICPMeasPoller::readSettings()
{
    auto settings = QSharedPointer<t_orvo_settings>::create();
    if (!conn->regsReadArr(SettingsRegister, OrvoSettings::RegisterCount,
                           reinterpret_cast<quint16 *>(settings.data())))
        return false;
    if (isMeasurementModule(modType)) {
        chMask = settings->channel_mask;
        spChMask = spectrumChannels(*settings, chMask);
    }
    emit settingsChanged(settings);
    return true;
}

bool Orvo_ICPMeasPoller::readRelay()
{
    quint16 regs[RelayCount] = {};
    if (!conn->regsRead(RelayRegister, RelayCount, regs))
        return false;
    emit relayStateChanged(uint(regs[0]) | (uint(regs[1]) << 16));
    return true;
}

bool Orvo_ICPMeasPoller::writeTrigger(quint16 word)
{
    return conn->regsWrite(TriggerRegister, 1, &word);
}

CaptureMachine::ReadyWords Orvo_ICPMeasPoller::readyWords(const StatusBlock &status, int first)
{
    CaptureMachine::ReadyWords words;
    std::copy_n(status.begin() + first, Channels, words.begin());
    return words;
}

bool Orvo_ICPMeasPoller::measurementPart(const StatusBlock &status, bool force)
{
    waveform.step(
        chMask, force, readyWords(status, WordWaveformCount),
        [this] { return writeTrigger(WaveformTrigger); },
        [&](int c) {
            emit wfStateChanged(c, status[size_t(WordWaveformLastId + c)],
                                status[size_t(WordWaveformCount + c)]);
        });
    for (int t = 0; t < 2; ++t) {
        spectrum[size_t(t)].step(
            spChMask, force, readyWords(status, WordSpectrumReady[t]),
            [this] { return writeTrigger(SpectrumTrigger); },
            [&](int c) { emit spectrStateChanged(c, uint(t)); });
    }

    // Read again although the cycle may just have read it: the second read is the established
    // request order a measurement module sees (after the triggers, before the channel states),
    // and holders see two settingsChanged for such a module's first cycle. Kept as it was.
    bool ok = true;
    if (force || status[WordSettingsCounter] != prevStatus[WordSettingsCounter])
        ok = readSettings();

    for (int c = 0; c < Channels && ok; ++c) {
        const size_t counter = size_t(WordChannelCounter + c);
        if (!force && status[counter] == prevStatus[counter])
            continue;
        quint16 image[ChannelStateCount] = {};
        ok = conn->regsRead(ChannelStateRegister + ChannelStateCount * uint(c), ChannelStateCount,
                            image);
        if (!ok)
            break;
        auto state = QSharedPointer<ChState>::create(c, image);
        if (state->status != ChState::NoValidData)
            emit chStateChanged(state);
    }
    return ok;
}

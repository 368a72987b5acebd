#include "orvo_icpmeaspoller.h"

#include "orvo_icpconnection.h"

#include <QMetaType>
#include <QTimerEvent>

constexpr int Orvo_ICPMeasPoller::WordSpReady[2];

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
    qRegisterMetaType<t_ORVO_Type>("t_ORVO_Type");
    qRegisterMetaType<QSharedPointer<t_orvo_settings>>("QSharedPointer<t_orvo_settings>");
    qRegisterMetaType<QSharedPointer<ChState>>("QSharedPointer<ChState>");
    qRegisterMetaType<QSharedPointer<ChState>>("QSharedPointer<Orvo_ICPMeasPoller::ChState>");
}

bool Orvo_ICPMeasPoller::isMeasurementModule(t_ORVO_Type type)
{
    return type == ORVO_TYPE_ICP || type == ORVO_TYPE_PROX;
}

bool Orvo_ICPMeasPoller::allChannelsReady(const StatusBlock &status, int first, quint16 mask)
{
    for (int c = 0; c < Channels; ++c) {
        if ((mask & (1u << c)) && status[first + c] == 0)
            return false;
    }
    return true;
}

bool Orvo_ICPMeasPoller::allChannelsDone(const ChannelFlags &done, quint16 mask)
{
    for (int c = 0; c < Channels; ++c) {
        if ((mask & (1u << c)) && !done[c])
            return false;
    }
    return true;
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
        wfReadDone[ch_num] = true;
}

void Orvo_ICPMeasPoller::onSpectrReadOpFinish(QString op, uint ch_num, uint type)
{
    if (conn && op == conn->opSpectrRead() && ch_num < uint(Channels))
        spReadDone[type != 0 ? 1 : 0][ch_num] = true;
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
    if (!conn || !conn->regsRead(StatusAddr, StatusWords, status.data()))
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
    if (!conn->regsReadArr(SettingsAddr, OrvoSettings::RegisterCount,
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
    quint16 regs[RelayRegisters] = {};
    if (!conn->regsRead(RelayAddr, RelayRegisters, regs))
        return false;
    emit relayStateChanged(uint(regs[0]) | (uint(regs[1]) << 16));
    return true;
}

bool Orvo_ICPMeasPoller::writeTrigger(quint16 word)
{
    return conn->regsWrite(TriggerAddr, 1, &word);
}

void Orvo_ICPMeasPoller::runWaveformMachine(const StatusBlock &status, bool force)
{
    const quint16 wanted = chMask;
    if (wanted != wfMask || force)
        wfState = 0;

    switch (wfState) {
    case 0:
        wfMask = wanted;
        if (writeTrigger(WaveformTrigger)) {
            for (int c = 0; c < Channels; ++c) {
                if (wfMask & (1u << c))
                    wfReadDone[c] = false;
            }
            wfState = 1;
        }
        break;
    case 1:
        if (allChannelsReady(status, WordWfCount, wfMask)) {
            for (int c = 0; c < Channels; ++c) {
                if (wfMask & (1u << c))
                    emit wfStateChanged(c, status[WordWfLastId + c], status[WordWfCount + c]);
            }
            wfState = 2;
        }
        break;
    case 2:
        if (allChannelsDone(wfReadDone, wfMask))
            wfState = 0;
        break;
    default:
        wfState = 0;
        break;
    }
}

void Orvo_ICPMeasPoller::runSpectrumMachine(int t, const StatusBlock &status, bool force)
{
    const quint16 wanted = spChMask;
    if (wanted != spMask[t] || force)
        spState[t] = 0;

    switch (spState[t]) {
    case 0:
        // The module needs a cycle between the end of one capture and the next trigger.
        if (++spDelay[t] <= 1)
            break;
        spMask[t] = wanted;
        spDelay[t] = 0;
        if (writeTrigger(SpectrumTrigger)) {
            for (int c = 0; c < Channels; ++c) {
                if (spMask[t] & (1u << c))
                    spReadDone[t][c] = false;
            }
            spState[t] = 1;
        }
        break;
    case 1:
        if (allChannelsReady(status, WordSpReady[t], spMask[t])) {
            for (int c = 0; c < Channels; ++c) {
                if (spMask[t] & (1u << c))
                    emit spectrStateChanged(c, uint(t));
            }
            spState[t] = 2;
        }
        break;
    case 2:
        if (allChannelsDone(spReadDone[t], spMask[t]))
            spState[t] = 0;
        break;
    default:
        spState[t] = 0;
        break;
    }
}

bool Orvo_ICPMeasPoller::measurementPart(const StatusBlock &status, bool force)
{
    runWaveformMachine(status, force);
    runSpectrumMachine(0, status, force);
    runSpectrumMachine(1, status, force);

    bool ok = true;
    if (force || status[WordSettingsCounter] != prevStatus[WordSettingsCounter])
        ok = readSettings();

    for (int c = 0; c < Channels && ok; ++c) {
        if (!force && status[c] == prevStatus[c])
            continue;
        quint16 image[ChState::ImageRegisters] = {};
        ok = conn->regsRead(ChStateAddr + uint(ChState::ImageRegisters * c),
                            ChState::ImageRegisters, image);
        if (!ok)
            break;
        auto state = QSharedPointer<ChState>::create(c, image);
        if (state->status != ChState::NoValidData)
            emit chStateChanged(state);
    }
    return ok;
}

#include "orvo_icpconnection.h"

#include "moduleregisters.h"

#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <modbus/modbus.h>

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace ModuleRegisters;

namespace {

constexpr uint ReadChunk = MODBUS_MAX_READ_REGISTERS;      // 125
constexpr uint WriteChunk = MODBUS_MAX_WRITE_REGISTERS;    // 123
constexpr uint RwWriteMax = MODBUS_MAX_WR_WRITE_REGISTERS; // 121
constexpr uint RwReadMax = MODBUS_MAX_WR_READ_REGISTERS;   // 125

constexpr int ResponseTimeoutS = 5;

// A register range is addressable when it starts at register 1 or later and ends within the
// 16-bit protocol address space.
bool validRange(uint addr, uint cnt)
{
    return addr >= 1 && cnt >= 1 && quint64(addr) - 1 + cnt <= 0x10000;
}

} // namespace

Orvo_ICPConnection::Orvo_ICPConnection(QObject *parent)
    : QObject(parent)
{
    registerMetaTypes();
}

void Orvo_ICPConnection::registerMetaTypes()
{
    // Holders on other threads receive the signals queued, which needs the types by name.
    qRegisterMetaType<t_ORVO_Type>("t_ORVO_Type");
    qRegisterMetaType<QSharedPointer<t_orvo_settings>>("QSharedPointer<t_orvo_settings>");
    qRegisterMetaType<QSharedPointer<Orvo_ICPConnection::ConnectionInfo>>(
        "QSharedPointer<Orvo_ICPConnection::ConnectionInfo>");
    qRegisterMetaType<QSharedPointer<Orvo_ICPConnection::Waveform>>(
        "QSharedPointer<Orvo_ICPConnection::Waveform>");
    qRegisterMetaType<QSharedPointer<Orvo_ICPConnection::Spectr>>(
        "QSharedPointer<Orvo_ICPConnection::Spectr>");
}

Orvo_ICPConnection::~Orvo_ICPConnection()
{
    // No signals to a half-destroyed holder; just release the transport.
    blockSignals(true);
    doClose();
}

bool Orvo_ICPConnection::isConnected() const
{
    return connected;
}

t_ORVO_Type Orvo_ICPConnection::deviceType() const
{
    return devType;
}

QString Orvo_ICPConnection::deviceTypeName() const
{
    return devTypeName;
}

QString Orvo_ICPConnection::deviceInfoText(int index) const
{
    return index >= 0 && index < 3 ? devInfoText[index] : QString();
}

quint16 Orvo_ICPConnection::deviceMode() const
{
    return devMode;
}

bool Orvo_ICPConnection::configStatusFlag() const
{
    return cfgStatusFlag;
}

int Orvo_ICPConnection::watchdogInterval() const
{
    return watchdogMs;
}

int Orvo_ICPConnection::restartWait() const
{
    return restartWaitMs;
}

void Orvo_ICPConnection::setPacingForTest(int watchdogIntervalMs, int restartWaitMs)
{
    watchdogMs = std::max(1, watchdogIntervalMs);
    this->restartWaitMs = std::max(0, restartWaitMs);
}

// ---- register primitives ----------------------------------------------------------------------

template <typename Call> bool Orvo_ICPConnection::transaction(Call call)
{
    const quint32 pause = reqPauseUs;
    if (pause)
        QThread::usleep(pause);
    QMutexLocker lock(&mutex);
    if (!ctx)
        return false;
    const bool ok = call(ctx);
    failureReason = ok ? QString() : QString::fromLocal8Bit(modbus_strerror(errno));
    return ok;
}

QString Orvo_ICPConnection::lastFailureReason() const
{
    QMutexLocker lock(&mutex);
    return failureReason;
}

bool Orvo_ICPConnection::regsRead(uint addr, uint cnt, quint16 *vals)
{
    if (!vals || cnt > ReadChunk || !validRange(addr, cnt))
        return false;
    return transaction([&](modbus_t *c) {
        return modbus_read_input_registers(c, int(addr - 1), int(cnt), vals) == int(cnt);
    });
}

bool Orvo_ICPConnection::regsWrite(uint addr, uint cnt, const quint16 *vals)
{
    if (!vals || cnt > WriteChunk || !validRange(addr, cnt))
        return false;
    return transaction([&](modbus_t *c) {
        return modbus_write_registers(c, int(addr - 1), int(cnt), vals) == int(cnt);
    });
}

bool Orvo_ICPConnection::regsRW(uint wr_addr, uint wr_cnt, const quint16 *wr_vals, uint rd_addr,
                                uint rd_cnt, quint16 *rd_vals)
{
    if (!wr_vals || !rd_vals || wr_cnt > RwWriteMax || rd_cnt > RwReadMax ||
        !validRange(wr_addr, wr_cnt) || !validRange(rd_addr, rd_cnt))
        return false;
    return transaction([&](modbus_t *c) {
        return modbus_write_and_read_registers(c, int(wr_addr - 1), int(wr_cnt), wr_vals,
                                               int(rd_addr - 1), int(rd_cnt),
                                               rd_vals) == int(rd_cnt);
    });
}

bool Orvo_ICPConnection::regsReadArr(uint addr, uint cnt, quint16 *vals)
{
    for (uint k = 0; k < cnt; k += ReadChunk) {
        if (!regsRead(addr + k, std::min(ReadChunk, cnt - k), vals + k))
            return false;
    }
    return true;
}

bool Orvo_ICPConnection::regsWriteArr(uint addr, uint cnt, const quint16 *vals)
{
    for (uint k = 0; k < cnt; k += WriteChunk) {
        if (!regsWrite(addr + k, std::min(WriteChunk, cnt - k), vals + k))
            return false;
    }
    return true;
}

// ---- connection lifecycle ---------------------------------------------------------------------

QString Orvo_ICPConnection::connectFailure(int error, const QString &host)
{
    switch (error) {
    case ECONNREFUSED: {
        // The library reports a name it cannot resolve as a refused connection.
        addrinfo hints = {};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *found = nullptr;
        const int rc = getaddrinfo(host.toLocal8Bit().constData(), nullptr, &hints, &found);
        if (found)
            freeaddrinfo(found);
        return rc != 0 ? tr("unknown host %1").arg(host) : tr("connection refused");
    }
    case ETIMEDOUT:
        return tr("timed out");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return tr("host unreachable");
    default:
        return QString::fromLocal8Bit(modbus_strerror(error));
    }
}

bool Orvo_ICPConnection::doOpen(const QSharedPointer<Orvo_ICPConnection::ConnectionInfo> &info,
                                bool readCfg, QString &err)
{
    doClose();
    devMode = 0;
    {
        QMutexLocker lock(&mutex);
        failureReason.clear();
    }

    {
        QMutexLocker lock(&mutex);
        if (info->iface == 0) {
            reqPauseUs = 0;
            const QByteArray node = info->ipAddr.toLocal8Bit();
            const QByteArray service = QByteArray::number(info->port);
            ctx = modbus_new_tcp_pi(node.constData(), service.constData());
            ++contextSerial;
            if (!ctx) {
                // The library refuses addresses it cannot hold (over-long names).
                err = tr("Cannot setup connection to module");
                return false;
            }
        }
        if (!ctx)
            return connected;
        modbus_set_response_timeout(ctx, ResponseTimeoutS, 0);
        if (modbus_connect(ctx) != 0) {
            const int reason = errno;
            err = tr("Cannot setup connection to module") + QLatin1String(": ") +
                  connectFailure(reason, info->ipAddr);
            lock.unlock();
            doClose();
            return false;
        }
    }

    if (!doReadInfo(err)) {
        doClose();
        return false;
    }

    quint16 mode = 0;
    if (!regsRead(ModeRegister, 1, &mode))
        err = tr("Cannot read device mode");
    else if ((devMode = mode) != WorkMode)
        err = tr("Device is not in work mode");
    if (!err.isEmpty()) {
        // A module outside work mode is of no use to the holder: leave the link closed rather
        // than half open without a watchdog.
        doClose();
        return false;
    }

    connected = true;
    conInfo = info;
    this->readCfg = readCfg;
    cfgStatusFlag = false;
    conCheckTimer = new QTimer(this);
    conCheckTimer->setInterval(watchdogMs);
    conCheckTimer->setSingleShot(true);
    connect(conCheckTimer, &QTimer::timeout, this, &Orvo_ICPConnection::checkConnection);
    conCheckTimer->start();
    emit opened();
    return true;
}

void Orvo_ICPConnection::doClose()
{
    QMutexLocker lock(&mutex);
    if (conCheckTimer) {
        conCheckTimer->stop();
        conCheckTimer->disconnect(this);
        // Teardown may run inside this timer's own timeout(): let the event loop delete it.
        conCheckTimer->deleteLater();
        conCheckTimer = nullptr;
    }
    if (ctx) {
        // Also closes a socket that was connected but never identified.
        modbus_close(ctx);
        connected = false;
        emit closed();
        modbus_free(ctx);
        ctx = nullptr;
    }
}

bool Orvo_ICPConnection::open(QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info, bool readCfg)
{
    emit opStart(opOpenConnection());
    if (!info) {
        emit opFinish(opOpenConnection(), false, tr("No connection parameters given"));
        return false;
    }
    QString err;
    const bool ok = doOpen(info, readCfg, err);
    emit opFinish(opOpenConnection(), ok, err);
    if (ok) {
        if (readCfg)
            readSettings();
        emit openOpFinished();
    }
    return ok;
}

void Orvo_ICPConnection::reopen()
{
    open(conInfo, readCfg);
}

void Orvo_ICPConnection::close()
{
    emit opStart(opCloseConnection());
    doClose();
    emit opFinish(opCloseConnection(), true, QString());
}

bool Orvo_ICPConnection::checkConnection()
{
    if (!connected)
        return false;
    quint16 probe[ProbeCount];
    if (!regsRead(InfoRegister, ProbeCount, probe)) {
        const quint32 lost = contextSerial;
        emit error(tr("Module connection lost"));
        // A holder may have reconnected from its error() handler; leave that connection be.
        if (contextSerial == lost)
            doClose();
        return false;
    }
    if (conCheckTimer)
        conCheckTimer->start();
    return true;
}

// ---- identification and modes -----------------------------------------------------------------

bool Orvo_ICPConnection::doReadInfo(QString &err)
{
    quint16 regs[InfoCount];
    if (!regsRead(InfoRegister, InfoCount, regs)) {
        err = tr("Cannot read device information");
        return false;
    }
    QByteArray block(int(2 * InfoCount), '\0');
    for (uint i = 0; i < InfoCount; ++i) {
        block[int(2 * i)] = char(regs[i] & 0xFF);
        block[int(2 * i + 1)] = char(regs[i] >> 8);
    }
    devTypeName = infoText(block, 0);
    devType = ORVO_TYPE_NONE;
    if (devTypeName == QLatin1String("ORVO_ICP"))
        devType = ORVO_TYPE_ICP;
    else if (devTypeName == QLatin1String("ORVO_REL"))
        devType = ORVO_TYPE_REL;
    else if (devTypeName == QLatin1String("ORVO_PROX"))
        devType = ORVO_TYPE_PROX;

    if (devType == ORVO_TYPE_NONE) {
        err = tr("Unsupported device type") + QLatin1String(": ") + devTypeName;
        return false;
    }
    emit module_type_change(devType);
    for (int i = 0; i < 3; ++i)
        devInfoText[i] = infoText(block, i + 1);
    connected = true;
    return err.isEmpty();
}

bool Orvo_ICPConnection::readInfo()
{
    emit opStart(opReadInfo());
    QString err;
    const bool ok = doReadInfo(err);
    emit opFinish(opReadInfo(), ok || !connected, err);
    return ok;
}

bool Orvo_ICPConnection::writeSignature(uint addr, const char *signature)
{
    quint16 regs[SignatureCount];
    signatureRegisters(signature, regs);
    return regsWrite(addr, SignatureCount, regs);
}

bool Orvo_ICPConnection::enterBoot()
{
    const bool ok = writeSignature(ServiceRegister, BootSignature);
    if (ok)
        doClose();
    return ok;
}

bool Orvo_ICPConnection::enterTestMode()
{
    return writeSignature(TestModeRegister, TestModeSignature);
}

bool Orvo_ICPConnection::reboot(QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info)
{
    emit opStart(opModuleRestart());
    // Without parameters to reconnect with, a restart would only lose the module.
    const QSharedPointer<ConnectionInfo> target = info ? info : conInfo;
    if (!target) {
        emit opFinish(opModuleRestart(), false, tr("No connection parameters given"));
        return false;
    }
    QString err;
    bool ok = writeSignature(ServiceRegister, RestartSignature);
    if (ok) {
        emit opProgress(10, 500, opCloseConnection());
        doClose();
        emit opProgress(15, 500, opStageWait());
        QThread::msleep(ulong(restartWaitMs));
        emit opProgress(50, 500, opOpenConnection());
        ok = doOpen(target, readCfg, err);
    }
    emit opFinish(opModuleRestart(), ok, err);
    return ok;
}

bool Orvo_ICPConnection::reboot()
{
    return reboot(QSharedPointer<ConnectionInfo>());
}

// ---- configuration transfer -------------------------------------------------------------------

bool Orvo_ICPConnection::readSettings()
{
    emit opStart(opReadConfig());
    bool ok = false;
    if (devType == ORVO_TYPE_ICP || devType == ORVO_TYPE_REL || devType == ORVO_TYPE_PROX) {
        QVector<quint16> regs(OrvoSettings::RegisterCount);
        ok = regsReadArr(SettingsRegister, OrvoSettings::RegisterCount, regs.data());
        if (ok) {
            auto settings = QSharedPointer<t_orvo_settings>::create();
            std::memcpy(settings.data(), regs.constData(), OrvoSettings::ByteCount);
            emit readSettingsDone(settings);
        }
    }
    emit opFinish(opReadConfig(), ok || !connected, QString());
    return ok;
}

bool Orvo_ICPConnection::writeSettings(QSharedPointer<t_orvo_settings> settings)
{
    emit opStart(opWriteConfig());
    if (!settings) {
        emit opFinish(opWriteConfig(), false, tr("No configuration to write"));
        return false;
    }
    QVector<quint16> regs(OrvoSettings::RegisterCount);
    std::memcpy(regs.data(), settings.data(), OrvoSettings::ByteCount);
    auto writeWord = [this](quint32 word) {
        const quint16 halves[2] = {quint16(word & 0xFFFF), quint16(word >> 16)};
        return regsWrite(CommitRegister, 2, halves);
    };
    const bool ok = regsWriteArr(WriteAreaRegister, OrvoSettings::RegisterCount, regs.data()) &&
                    writeWord(CommitWord1) && writeWord(CommitWord2);
    if (ok) {
        quint16 status = 0;
        if (regsRead(CommitStatusRegister, 1, &status))
            cfgStatusFlag = status != 0;
    }
    emit opFinish(opWriteConfig(), ok || !connected, QString());
    return ok;
}

// ---- waveforms and spectra --------------------------------------------------------------------

bool Orvo_ICPConnection::readThroughWindow(bool spectrum, int ch, uint selector)
{
    const QString op = spectrum ? opSpectrRead() : opWaveformRead();
    const uint window = spectrum ? SpectrumWindow : WaveformWindow;
    emit opStart(op);

    quint16 request[WindowRequestCount] = {quint16(ch), quint16(selector), 0, 0};
    quint16 header[HeaderCount];
    bool delivered = false;
    if (regsWrite(window, WindowRequestCount, request) &&
        regsRead(spectrum ? SpectrumHeader : WaveformHeader, HeaderCount, header)) {
        const quint32 count =
            quint32(header[HeaderPointCount]) | (quint32(header[HeaderPointCount + 1]) << 16);
        // A count that is negative as a signed value also lands above the bound.
        if (count <= MaxPoints) {
            QVector<quint32> points(static_cast<int>(count));
            quint16 answer[WindowRequestCount + 2 * PointsPerTransfer];
            quint32 offset = 0;
            bool good = true;
            while (good && offset < count) {
                const quint32 n = std::min(count - offset, PointsPerTransfer);
                request[2] = quint16(offset & 0xFFFF);
                request[3] = quint16(offset >> 16);
                good = regsRW(window, WindowRequestCount, request, window,
                              WindowRequestCount + 2 * n, answer) &&
                       std::equal(request, request + WindowRequestCount, answer);
                if (good) {
                    const quint16 *p = answer + WindowRequestCount;
                    for (quint32 i = 0; i < n; ++i)
                        points[int(offset + i)] = quint32(p[2 * i]) | (quint32(p[2 * i + 1]) << 16);
                    offset += n;
                }
            }
            if (good) {
                if (spectrum) {
                    auto record = QSharedPointer<Spectr>::create();
                    std::copy_n(header, HeaderCount, record->header);
                    record->points = std::move(points);
                    emit spectrReceived(record);
                } else {
                    auto record = QSharedPointer<Waveform>::create();
                    std::copy_n(header, HeaderCount, record->header);
                    record->points = std::move(points);
                    emit waveformReceived(record);
                }
                delivered = true;
            }
        }
    }
    // A read that failed only because the link went down is not reported as this operation's
    // failure: the loss itself is what the holder hears about, through error() and closed().
    emit opFinish(op, delivered || !connected, QString());
    if (spectrum)
        emit opSpectrReadFinish(op, uint(ch), selector);
    else
        emit opWfReadFinish(op, uint(ch));
    return delivered;
}

bool Orvo_ICPConnection::readWaveform(int ch, uint id)
{
    return readThroughWindow(false, ch, id);
}

bool Orvo_ICPConnection::readSpectr(int ch, uint type)
{
    return readThroughWindow(true, ch, type);
}

// ---- operation names --------------------------------------------------------------------------

QString Orvo_ICPConnection::opOpenConnection()
{
    return tr("Open connection");
}

QString Orvo_ICPConnection::opCloseConnection()
{
    return tr("Close connection");
}

QString Orvo_ICPConnection::opReadConfig()
{
    return tr("Read module configuration");
}

QString Orvo_ICPConnection::opWriteConfig()
{
    return tr("Write module configuration");
}

QString Orvo_ICPConnection::opModuleRestart()
{
    return tr("Restart module");
}

QString Orvo_ICPConnection::opWaveformRead()
{
    return tr("Read waveform");
}

QString Orvo_ICPConnection::opSpectrRead()
{
    return tr("Read spectr");
}

QString Orvo_ICPConnection::opReadInfo()
{
    return tr("Read device info");
}

QString Orvo_ICPConnection::opStageWait()
{
    return tr("Wait...");
}

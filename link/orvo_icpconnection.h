#pragma once

#include "t_orvo_settings.h"
#include "t_orvo_type.h"

#include <QMutex>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QVector>

#include <atomic>

QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

struct _modbus;

// Modbus TCP link to one measurement or relay module.
//
// Registers are named by number counted from 1; the protocol address is the number minus 1.
// Every transaction is serialised by one mutex, so a poller may call the register primitives
// from its own timer while an operation runs. Operations announce themselves with
// opStart/opProgress/opFinish under the translated names returned by the op...() slots.
//
// Typical holder:
//   auto *link = new Orvo_ICPConnection(this);
//   auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
//   info->ipAddr = "192.0.2.10"; info->port = 502;
//   link->open(info, true);   // identifies, checks work mode, reads the configuration
class Orvo_ICPConnection : public QObject
{
    Q_OBJECT

public:
    struct ConnectionInfo
    {
        quint32 iface = 0; // 0: Modbus TCP, the only transport implemented
        QString ipAddr;    // IPv4/IPv6 literal or host name
        quint16 port = 502;
    };

    struct Waveform
    {
        quint16 header[125] = {};
        QVector<quint32> points;
    };

    struct Spectr
    {
        quint16 header[125] = {};
        QVector<quint32> points;
    };

    explicit Orvo_ICPConnection(QObject *parent = nullptr);
    ~Orvo_ICPConnection() override;

    // Makes the types of the link's and the model's signal arguments known by name to queued
    // connections; the constructor calls it.
    static void registerMetaTypes();

    bool isConnected() const;
    t_ORVO_Type deviceType() const;
    QString deviceTypeName() const;
    QString deviceInfoText(int index) const; // text fields 2, 3 and 4 as index 0, 1, 2
    bool configStatusFlag() const;
    // The mode register as the last opening read it (2 is work mode); 0 when it was not read.
    quint16 deviceMode() const;
    // Why the last register transaction failed, in the library's words ("Connection timed
    // out", "Illegal data address", "Invalid data"); empty after one that succeeded.
    QString lastFailureReason() const;

    // Largest point count a header may announce; anything above is refused unread.
    static constexpr quint32 MaxPoints = 1000000;

    // The product's pacing: a liveness probe a second after the last one, and the time a
    // restarting module needs before it answers again.
    static constexpr int WatchdogIntervalMs = 1000;
    static constexpr int RestartWaitMs = 8000;
    int watchdogInterval() const;
    int restartWait() const;
    // For tests only, so that a suite does not wait on the module's real clocks.
    void setPacingForTest(int watchdogIntervalMs, int restartWaitMs);

public slots:
    // Register primitives: synchronous, true on success, no traffic while closed.
    bool regsRead(uint addr, uint cnt, quint16 *vals);
    bool regsWrite(uint addr, uint cnt, const quint16 *vals);
    bool regsRW(uint wr_addr, uint wr_cnt, const quint16 *wr_vals, uint rd_addr, uint rd_cnt,
                quint16 *rd_vals);
    bool regsReadArr(uint addr, uint cnt, quint16 *vals);
    bool regsWriteArr(uint addr, uint cnt, const quint16 *vals);

    bool open(QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info, bool readCfg);
    void reopen();
    void close();
    bool checkConnection();

    bool readInfo();
    bool enterBoot();
    bool reboot(QSharedPointer<Orvo_ICPConnection::ConnectionInfo> info);
    bool reboot();
    bool enterTestMode();

    bool readSettings();
    bool writeSettings(QSharedPointer<t_orvo_settings> settings);

    bool readWaveform(int ch, uint id);
    bool readSpectr(int ch, uint type);

    QString opOpenConnection();
    QString opCloseConnection();
    QString opReadConfig();
    QString opWriteConfig();
    QString opModuleRestart();
    QString opWaveformRead();
    QString opSpectrRead();
    QString opReadInfo();
    QString opStageWait();

signals:
    void opened();
    void closed();
    void error(QString descr);
    void openOpFinished();
    void module_type_change(t_ORVO_Type type);
    void readSettingsDone(QSharedPointer<t_orvo_settings> settings);
    void waveformReceived(QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void spectrReceived(QSharedPointer<Orvo_ICPConnection::Spectr> spectr);

    void opStart(QString op, QString stage = QString());
    void opProgress(uint done, uint total, QString stage = QString());
    void opFinish(QString op, bool ok, QString err_descr = QString());
    void opWfReadFinish(QString op, uint ch_num);
    void opSpectrReadFinish(QString op, uint ch_num, uint type);

private:
    bool doOpen(const QSharedPointer<Orvo_ICPConnection::ConnectionInfo> &info, bool readCfg,
                QString &err);
    void doClose();
    bool doReadInfo(QString &err);
    // Pause, lock, and run one libmodbus call unless the link is closed.
    template <typename Call> bool transaction(Call call);
    bool writeSignature(uint addr, const char *signature);
    // The shared body of readWaveform and readSpectr.
    bool readThroughWindow(bool spectrum, int ch, uint selector);

    _modbus *ctx = nullptr;
    std::atomic<bool> connected{false};
    QSharedPointer<Orvo_ICPConnection::ConnectionInfo> conInfo;
    bool readCfg = false;
    std::atomic<quint32> reqPauseUs{0};
    mutable QMutex mutex;
    QTimer *conCheckTimer = nullptr;
    quint32 contextSerial = 0; // advances with every context created
    QString failureReason;     // guarded by mutex

    // Why a connection could not be set up, from the errno the library left.
    static QString connectFailure(int error, const QString &host);

    t_ORVO_Type devType = ORVO_TYPE_NONE;
    quint16 devMode = 0;
    QString devTypeName;
    QString devInfoText[3];
    bool cfgStatusFlag = false;
    int watchdogMs = WatchdogIntervalMs;
    int restartWaitMs = RestartWaitMs;
};

Q_DECLARE_METATYPE(QSharedPointer<Orvo_ICPConnection::ConnectionInfo>)
Q_DECLARE_METATYPE(QSharedPointer<Orvo_ICPConnection::Waveform>)
Q_DECLARE_METATYPE(QSharedPointer<Orvo_ICPConnection::Spectr>)

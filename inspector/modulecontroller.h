#pragma once

#include "missingstatewatch.h"
#include "modulesession.h"

#include <QMap>
#include <QObject>
#include <QSharedPointer>
#include <QTimer>

QT_BEGIN_NAMESPACE
class QThread;
QT_END_NAMESPACE

// What the inspector decides, on the GUI thread: it owns the worker thread and its
// ModuleSession, keeps the connection state with its reason and the retry countdown, the busy
// and restart state, and runs the configuration and service flows. It reports through the
// signals below and knows nothing of the window; the window asks the user and presents.
class ModuleController : public QObject
{
    Q_OBJECT

public:
    enum class LinkState {
        Disconnected, // nothing wanted
        Connecting,   // first attempt to an address
        Connected,
        Lost, // was connected; retrying every RetryDelayS seconds
    };

    // The product's reconnection pacing: a countdown of RetryDelayS ticks of RetryTickMs.
    static constexpr int RetryDelayS = 5;
    static constexpr int RetryTickMs = 1000;

    explicit ModuleController(QObject *parent = nullptr);
    // The session goes with its thread; a restart in progress is waited for.
    ~ModuleController() override;

    ModuleSession *session() const { return moduleSession; }
    LinkState linkState() const { return state; }
    QString reason() const { return stateReason; }
    // In ticks of the countdown, which are seconds unless a test changed the pacing.
    int retrySecondsLeft() const { return retryLeft; }
    int retryTickInterval() const { return retryTimer.interval(); }
    void setRetryPacingForTest(int delayTicks, int tickMs);
    // How long a configured channel may go without a state before it is reported.
    void setChannelWarningForTest(int ms) { missingStates.setTimeout(ms); }

    QString host() const { return moduleHost; }
    quint16 port() const { return modulePort; }
    // host:port, an IPv6 literal in brackets.
    static QString addressText(const QString &host, quint16 port);
    bool isIdentified() const { return identified; }
    const ModuleSession::Identity &identity() const { return moduleIdentity; }
    t_ORVO_Type moduleType() const { return type; }
    bool isBusy() const { return busy != ModuleSession::Operation::None; }
    bool isRestarting() const { return restarting; }
    // Connected and idle: a configuration or service request may start.
    bool canRequest() const { return state == LinkState::Connected && !isBusy(); }
    // The module answers but is outside work mode, so the link refuses it: only a restart
    // through the service connection is offered.
    bool needsServiceRestart() const { return serviceOnly; }
    bool canRestart() const
    {
        return canRequest() || (serviceOnly && !isBusy() &&
                                (state == LinkState::Disconnected || state == LinkState::Lost));
    }

    void connectTo(const QString &host, quint16 port);
    void disconnectModule();
    void reconnect();
    // Reads the module's configuration and saves it to path; a path that ConfigFile may not
    // replace is refused at once.
    void saveConfiguration(const QString &path);
    void writeConfiguration(QSharedPointer<t_orvo_settings> record);
    void restartModule();
    void enterBootLoader();
    void enterTestMode();

signals:
    // The state, its reason or the countdown changed.
    void linkStateChanged();
    // Identification, mode or the restart state changed.
    void moduleChanged();
    // Whether a request may start changed.
    void busyChanged();
    // A connection to another address began: nothing of the previous module may stay shown.
    void moduleForgotten();
    // What is shown is no longer live (or is again).
    void staleChanged(bool stale);
    void operationLogged(QString operation, bool ok, QString error, bool background);
    void statusMessage(QString text, bool timed);
    // total 0: an operation without a measure of progress.
    void progressShown(uint done, uint total);
    void progressHidden();
    // A saved configuration that did not reach its file, for the user to be told.
    void saveFailed(QString error);

    void settingsChanged(QSharedPointer<t_orvo_settings> settings);
    // A configured channel (index ch) had no state within the warning time.
    void channelUnread(int ch);
    // A capture of channel ch could not be fetched: what is shown of it is older.
    void captureFailed(bool spectrum, int ch);
    void chStateChanged(QSharedPointer<ChState> chState);
    void relayStateChanged(uint relayStatus);
    void waveformFetched(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void spectrumFetched(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr);

private:
    void wire();
    void setState(LinkState next, const QString &reason = QString());
    void setBusy(ModuleSession::Operation op);
    void retryTick();
    void reportUnreadChannel(int ch);
    void onOpened(const ModuleSession::Identity &identity);
    void onOpenFailed(const QString &reason);
    void onLost(const QString &reason);
    void onOutsideWorkMode(const ModuleSession::Identity &identity);
    void onServiceRestarted(bool ok, const QString &error);
    void onConfigurationRead(bool ok, QSharedPointer<t_orvo_settings> record);
    void onOpStart(ModuleSession::Operation op, const QString &name);
    void onOpProgress(uint done, uint total, const QString &stage);
    void onOpFinish(ModuleSession::Operation op, const QString &name, bool ok, const QString &err);
    void onCaptureFailed(bool spectrum, int ch, uint selector);
    QString captureOperation(bool spectrum, int ch, uint selector) const;
    template <typename Call> void request(Call call);

    QThread *const worker;
    ModuleSession *const moduleSession;
    QTimer retryTimer;
    MissingStateWatch missingStates;

    LinkState state = LinkState::Disconnected;
    QString stateReason;
    int retryLeft = 0;
    int retryDelayTicks = RetryDelayS;
    QString moduleHost;
    quint16 modulePort = 0;
    ModuleSession::Identity moduleIdentity;
    bool identified = false;
    t_ORVO_Type type = ORVO_TYPE_NONE;
    QString pendingSavePath;
    ModuleSession::Operation busy = ModuleSession::Operation::None;
    bool restarting = false;
    bool serviceOnly = false;
    // The link's latest name of each operation, in the language it was announced in.
    QMap<ModuleSession::Operation, QString> operationNames;
};

#pragma once

#include "modulesession.h"
#include "pointformat.h"
#include "t_orvo_settings.h"

#include <QMainWindow>
#include <QMap>
#include <QSharedPointer>
#include <QTimer>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QProgressBar;
class QThread;
QT_END_NAMESPACE

class CapturePlot;
class ChState;
class ChannelStateView;
class EventsStateView;
class OperationLog;
class OperationLogFilter;
class RelayStateView;

namespace Ui {
class ModuleWindow;
}

// One module, live: its identification, channels, relays and latest waveforms and spectra,
// its configuration and service actions, and a log of every operation. The link and poller
// run on a worker thread (ModuleSession); this window only queues requests to it and shows
// what comes back, so a restart, a slow answer or a long fetch never freezes it.
class ModuleWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum class LinkState {
        Disconnected, // nothing wanted
        Connecting,   // first attempt to an address
        Connected,
        Lost, // was connected; retrying every RetryDelayS seconds
    };
    enum class FileRole { SaveConfig, LoadConfig, ExportCsv, ExportPng };

    // The product's reconnection pacing: a countdown of RetryDelayS ticks of RetryTickMs.
    static constexpr int RetryDelayS = 5;
    static constexpr int RetryTickMs = 1000;
    static constexpr int LogLimit = 5000;

    // The dialogs a user answers; tests put their own answers in. A chooser returns an empty
    // path for Cancel.
    using FileChooser = std::function<QString(FileRole role)>;
    using Confirmer = std::function<bool(const QString &question)>;
    using Messenger = std::function<void(const QString &message)>;

    explicit ModuleWindow(QWidget *parent = nullptr);
    ~ModuleWindow() override;

    void setFileChooser(FileChooser chooser) { chooseFile = std::move(chooser); }
    void setConfirmer(Confirmer confirmer) { confirm = std::move(confirmer); }
    void setMessenger(Messenger messenger) { tell = std::move(messenger); }

    ModuleSession *session() const { return moduleSession; }
    LinkState linkState() const { return state; }
    // In ticks of the countdown, which are seconds unless a test changed the pacing.
    int retrySecondsLeft() const { return retryLeft; }
    int retryTickInterval() const { return retryTimer.interval(); }
    // For tests only, so that a suite does not wait on the real countdown.
    void setRetryPacingForTest(int delayTicks, int tickMs);
    ChannelStateView *channelView() const { return channels; }
    RelayStateView *relayView() const { return relays; }
    EventsStateView *eventsView() const { return events; }
    CapturePlot *waveformPlot() const;
    CapturePlot *spectrumPlot() const;
    QSharedPointer<t_orvo_settings> moduleSettings() const { return settings; }
    bool isBusy() const { return busy != ModuleSession::Operation::None; }

public slots:
    void connectTo(const QString &host, quint16 port);
    // Pre-filled with the current or last address; presetPort, when given, wins for the port.
    void openConnectDialog(quint16 presetPort = 0);
    void disconnectModule();
    void reconnect();
    void saveConfiguration();
    void loadConfiguration();
    void restartModule();
    void enterBootLoader();
    void enterTestMode();

signals:
    // For tests and benchmarks: the window has taken in a new record of that kind.
    void settingsShown();
    void waveformShown(int ch, uint id);
    void spectrumShown(int ch, uint type);
    void operationLogged(QString operation, bool ok, QString error);
    // The connection state or its reason changed; linkState() tells the new one.
    void linkStateShown();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void rebuildViews();
    void setupSession();
    void setupActions();
    void retranslate();

    void onOpened(const ModuleSession::Identity &identity);
    void onOpenFailed(const QString &reason);
    void onLost(const QString &reason);
    void onClosed();
    void onSettings(QSharedPointer<t_orvo_settings> record);
    void onChState(QSharedPointer<ChState> chState);
    void onRelayState(uint relayStatus);
    void onWaveform(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void onSpectrum(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr);
    void onCaptureFailed(bool spectrum, int ch, uint selector);
    QString captureOperation(bool spectrum, int ch, uint selector) const;
    void onConfigurationRead(bool ok, QSharedPointer<t_orvo_settings> record);
    void onOpStart(ModuleSession::Operation op, const QString &name);
    void onOpProgress(uint done, uint total, const QString &stage);
    void onOpFinish(ModuleSession::Operation op, const QString &name, bool ok, const QString &err);

    void setState(LinkState next, const QString &reason = QString());
    void showStale(bool stale);
    void retryTick();
    void updateActions();
    void updateHeader();
    void logOperation(const QString &op, bool ok, const QString &error, bool background = false);
    void applyLogFilter();
    void setPointFormat(PointFormat::Kind kind);
    void showSpectrumType(int type);
    void exportPlot(CapturePlot *plot, bool png);
    QString moduleDescription() const;
    static bool isBackground(ModuleSession::Operation op);

    std::unique_ptr<Ui::ModuleWindow> ui;
    QThread *worker = nullptr;
    ModuleSession *moduleSession = nullptr;
    ChannelStateView *channels = nullptr;
    RelayStateView *relays = nullptr;
    EventsStateView *events = nullptr;
    QProgressBar *progress = nullptr;
    OperationLog *operationLog = nullptr;
    OperationLogFilter *logFilter = nullptr;
    QTimer retryTimer;

    FileChooser chooseFile;
    Confirmer confirm;
    Messenger tell;

    LinkState state = LinkState::Disconnected;
    QString stateReason;
    int retryLeft = 0;
    int retryDelayTicks = RetryDelayS;
    QString host;
    quint16 port = 0;
    ModuleSession::Identity identity;
    bool identified = false;
    t_ORVO_Type moduleType = ORVO_TYPE_NONE;
    QSharedPointer<t_orvo_settings> settings;
    QString pendingSavePath;
    ModuleSession::Operation busy = ModuleSession::Operation::None;
    // The link's latest name of each operation, in the language it was announced in.
    QMap<ModuleSession::Operation, QString> operationNames;
    bool restarting = false;
    QVector<quint32> spectra[2][OrvoSettings::ChannelCount];
    // What the views showed, to fill them again when they are rebuilt.
    QSharedPointer<ChState> lastChState[OrvoSettings::ChannelCount];
    uint lastRelayStatus = 0;
    bool haveRelayStatus = false;
};

#pragma once

#include "modulecontroller.h"
#include "moduledialogs.h"
#include "pointformat.h"
#include "t_orvo_settings.h"

#include <QMainWindow>
#include <QSharedPointer>

#include <functional>
#include <memory>

QT_BEGIN_NAMESPACE
class QProgressBar;
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
    using LinkState = ModuleController::LinkState;
    using FileRole = ModuleDialogs::FileRole;

    static constexpr int LogLimit = 5000;

    // The dialogs a user answers; tests put their own answers in. A chooser returns an empty
    // path for Cancel.
    using FileChooser = ModuleDialogs::FileChooser;
    using Confirmer = ModuleDialogs::Confirmer;
    using Messenger = ModuleDialogs::Messenger;
    using SizeChooser = ModuleDialogs::SizeChooser;

    explicit ModuleWindow(QWidget *parent = nullptr);
    ~ModuleWindow() override;

    void setFileChooser(FileChooser chooser) { chooseFile = std::move(chooser); }
    void setConfirmer(Confirmer confirmer) { confirm = std::move(confirmer); }
    void setMessenger(Messenger messenger) { tell = std::move(messenger); }
    void setSizeChooser(SizeChooser chooser) { chooseSize = std::move(chooser); }

    ModuleController *moduleController() const { return controller; }
    ModuleSession *session() const { return controller->session(); }
    LinkState linkState() const { return controller->linkState(); }
    int retrySecondsLeft() const { return controller->retrySecondsLeft(); }
    int retryTickInterval() const { return controller->retryTickInterval(); }
    // For tests only, so that a suite does not wait on the real countdown.
    void setRetryPacingForTest(int delayTicks, int tickMs)
    {
        controller->setRetryPacingForTest(delayTicks, tickMs);
    }
    ChannelStateView *channelView() const { return channels; }
    RelayStateView *relayView() const { return relays; }
    EventsStateView *eventsView() const { return events; }
    CapturePlot *waveformPlot() const;
    CapturePlot *spectrumPlot() const;
    QSharedPointer<t_orvo_settings> moduleSettings() const { return settings; }
    bool isBusy() const { return controller->isBusy(); }

public slots:
    void connectTo(const QString &host, quint16 port) { controller->connectTo(host, port); }
    // Pre-filled with the current or last address; presetPort, when given, wins for the port.
    void openConnectDialog(quint16 presetPort = 0);
    void disconnectModule() { controller->disconnectModule(); }
    void reconnect() { controller->reconnect(); }
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
    // Connecting to another address: no value, capture or record of the previous module stays.
    void forgetModule();
    void forgetChannel(int ch);
    void rebuildViews();
    void setupController();
    void setupActions();

    void onSettings(QSharedPointer<t_orvo_settings> record);
    void onChState(QSharedPointer<ChState> chState);
    void onRelayState(uint relayStatus);
    void onWaveform(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void onSpectrum(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr);
    void showStale(bool stale);
    void updateActions();
    void updateHeader();
    void logOperation(const QString &op, bool ok, const QString &error, bool background = false);
    void setPointFormat(PointFormat::Kind kind);
    void showSpectrumType(int type);
    void exportPlot(CapturePlot *plot, bool png);
    QString moduleDescription() const;

    std::unique_ptr<Ui::ModuleWindow> ui;
    ModuleController *const controller;
    ChannelStateView *channels = nullptr;
    RelayStateView *relays = nullptr;
    EventsStateView *events = nullptr;
    QProgressBar *progress = nullptr;
    OperationLog *operationLog = nullptr;
    OperationLogFilter *logFilter = nullptr;

    FileChooser chooseFile;
    Confirmer confirm;
    Messenger tell;
    SizeChooser chooseSize;

    QSharedPointer<t_orvo_settings> settings;
    QVector<quint32> spectra[2][OrvoSettings::ChannelCount];
    // What the views showed, to fill them again when they are rebuilt.
    QSharedPointer<ChState> lastChState[OrvoSettings::ChannelCount];
    uint lastRelayStatus = 0;
    bool haveRelayStatus = false;
};

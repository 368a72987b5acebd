#pragma once

#include "orvo_icpconnection.h"
#include "serviceconnection.h"
#include "t_orvo_settings.h"
#include "t_orvo_type.h"

#include <QMetaType>
#include <QObject>
#include <QSharedPointer>
#include <QString>

class CaptureFetcher;
class ChState;
class Orvo_ICPMeasPoller;

// The holder of one module's link and poller, living on a worker thread so that no blocking
// Modbus call ever runs on the GUI thread. The window reaches it only through queued slot
// calls, and hears it through the signals below, which reach it queued; nothing hands out the
// link or the poller.
//
// A CaptureFetcher answers the poller's capture announcements with the link's reads, as the
// poller expects; the records come out of waveformFetched and spectrumFetched.
class ModuleSession : public QObject
{
    Q_OBJECT

public:
    // The link names its operations with translated texts; they are told apart here, on the
    // worker, at the moment the link emits them, so a language switch cannot misfile one.
    enum class Operation {
        None,
        Open,
        Close,
        ReadConfig,
        WriteConfig,
        Restart,
        Waveform,
        Spectrum,
        ReadInfo,
        BootLoader, // the session's own requests, which the link does not announce
        TestMode,
        Other,
    };
    Q_ENUM(Operation)

    struct Identity
    {
        t_ORVO_Type type = ORVO_TYPE_NONE;
        QString typeName;
        QString texts[3];
        QString host;
        quint16 port = 0;
        quint16 mode = 0;
    };

    explicit ModuleSession(QObject *parent = nullptr);
    ~ModuleSession() override;

    // Whether a mode register value is the work mode, the only one in which a module measures.
    static bool isWorkMode(quint16 mode);
    // The operation a name of the link stands for in the current language; worker thread only.
    Operation operationOf(const QString &name) const;
    // For tests, on the worker thread: the link's watchdog and restart wait in ms, and extra
    // poll cycles every pollMs, at which a service restart also looks for the module again,
    // so a suite need not wait on the product's pacing.
    void setPacingForTest(int watchdogMs, int restartMs, int pollMs);

public slots:
    void openModule(QString host, quint16 port);
    void closeModule();
    void restartModule();
    // Restarts a module outside work mode through a service connection, then opens it.
    void serviceRestart();
    void enterBootLoader();
    void enterTestMode();
    void readConfiguration();
    void writeConfiguration(QSharedPointer<t_orvo_settings> settings);

signals:
    void moduleOpened(ModuleSession::Identity identity);
    void openFailed(QString reason);
    // The module answered but is outside work mode: what a service connection read of it.
    // Emitted before openFailed.
    void outsideWorkMode(ModuleSession::Identity identity);
    void serviceRestartFinished(bool ok, QString error);
    // The module went away without being asked to (watchdog, failed restart).
    void moduleLost(QString reason);
    // Closed on request: Disconnect or the boot loader.
    void moduleClosed();
    void modeRead(quint16 mode);
    void configurationRead(bool ok, QSharedPointer<t_orvo_settings> settings);
    void configurationWritten(bool ok);
    void bootLoaderEntered(bool ok);
    void testModeEntered(bool ok);
    void waveformFetched(int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf);
    void spectrumFetched(int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr);
    void captureFailed(bool spectrum, int ch, uint selector);

    // The link's operation reports, with the operation told apart.
    void operationStarted(ModuleSession::Operation op, QString name);
    void operationProgress(uint done, uint total, QString stage);
    void operationFinished(ModuleSession::Operation op, QString name, bool ok, QString error);
    void moduleTypeChanged(t_ORVO_Type type);
    // The poller's live state.
    void settingsChanged(QSharedPointer<t_orvo_settings> settings);
    void chStateChanged(QSharedPointer<ChState> chState);
    void relayStateChanged(uint relayStatus);

private:
    Identity identity() const;
    // The link's text with the library's reason for the failure after it, when there is one.
    QString withReason(const QString &error) const;

    Orvo_ICPConnection *const conn;
    Orvo_ICPMeasPoller *const measPoller;
    CaptureFetcher *const fetcher;
    QString host;
    quint16 port = 0;
    QString lastOpenError;
    int serviceRetryMs = ServiceConnection::RetryMs;
};

Q_DECLARE_METATYPE(ModuleSession::Identity)

#pragma once

#include "orvo_icpconnection.h"
#include "t_orvo_settings.h"
#include "t_orvo_type.h"

#include <QMetaType>
#include <QObject>
#include <QSharedPointer>
#include <QString>

class CaptureFetcher;
class Orvo_ICPMeasPoller;

// The holder of one module's link and poller, living on a worker thread so that no blocking
// Modbus call ever runs on the GUI thread. The window reaches it only through queued slot
// calls, and hears it through the signals below (and the link's and poller's own signals,
// which reach the window queued as well).
//
// A CaptureFetcher answers the poller's capture announcements with the link's reads, as the
// poller expects; the records come out of waveformFetched and spectrumFetched.
class ModuleSession : public QObject
{
    Q_OBJECT

public:
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

    // For connecting to their signals; call their slots only through this object.
    Orvo_ICPConnection *link() const { return conn; }
    Orvo_ICPMeasPoller *poller() const { return measPoller; }

public slots:
    void openModule(QString host, quint16 port);
    void closeModule();
    void restartModule();
    void enterBootLoader();
    void enterTestMode();
    void readConfiguration();
    void writeConfiguration(QSharedPointer<t_orvo_settings> settings);

signals:
    void moduleOpened(ModuleSession::Identity identity);
    void openFailed(QString reason);
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

private:
    Identity identity() const;

    Orvo_ICPConnection *const conn;
    Orvo_ICPMeasPoller *const measPoller;
    CaptureFetcher *const fetcher;
    QString host;
    quint16 port = 0;
    QString lastOpenError;
};

Q_DECLARE_METATYPE(ModuleSession::Identity)

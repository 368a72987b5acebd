#pragma once

#include "missingstatewatch.h"

#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

class CaptureFetcher;
class Orvo_ICPConnection;
class Orvo_ICPMeasPoller;

// The holder side of the measurement poller for the console: prints every poller signal as
// one time-stamped line and fetches each announced waveform and spectrum, so that the capture
// machines keep cycling as they do under a real holder.
class ModuleWatch : public QObject
{
    Q_OBJECT

public:
    // Create before the link is opened: the poller must see the module type and opened().
    ModuleWatch(Orvo_ICPConnection *link, QTextStream &out, QTextStream &err,
                QObject *parent = nullptr);
    ~ModuleWatch() override;

    bool hadFailure() const { return failed; }
    // Configured channels (bit c: channel c) whose state has not arrived once since they were
    // configured.
    quint16 missingChannels() const { return missingStates.missing(); }

    // How long a configured channel may go without a first state before the watch says so.
    void setMissingWarning(int ms) { missingStates.setTimeout(ms); }

signals:
    void moduleLost();

private:
    void print(const QString &line);
    void printError(const QString &line);
    void warnMissing(int ch);

    Orvo_ICPConnection *const link;
    Orvo_ICPMeasPoller *const poller;
    CaptureFetcher *const fetcher;
    QTextStream &out;
    QTextStream &err;
    bool failed = false;
    // A channel whose state registers cannot be read would otherwise just never print.
    MissingStateWatch missingStates;
};

#pragma once

#include "consoletext.h"

#include <QObject>
#include <QString>
#include <QTextStream>

class Orvo_ICPConnection;

// Runs one command of the module console against one module: opens the link, performs the
// operation and reports the outcome. Results go to standard output, every failure to standard
// error; each command returns the process exit status (0 success, 1 failure).
class ModuleConsole : public QObject
{
    Q_OBJECT

public:
    ModuleConsole(const QString &host, quint16 port, QObject *parent = nullptr);
    ~ModuleConsole() override;

    int info();
    int readConfig(const QString &fileName);
    // Refuses a record no module can hold unless force is set.
    int writeConfig(const QString &fileName, bool force = false);
    // anyMode: through the service connection, for a module in test mode or the boot loader.
    int restart(bool anyMode = false);
    int boot();
    int testMode();
    // ch counts from 0, as on the wire; what is printed counts from 1.
    int waveform(int ch, uint id,
                 ConsoleText::PointFormat format = ConsoleText::PointFormat::Combined);
    int spectrum(int ch, uint type);
    // Polls until durationSeconds have passed (forever when <= 0), SIGINT or SIGTERM arrives,
    // or the module is lost; with reconnect a lost module is opened again every reconnectMs
    // until it answers. A configured channel without a state for missingWarningMs is reported
    // on standard error.
    int watch(double durationSeconds, int missingWarningMs, bool reconnect = false,
              int reconnectMs = ReconnectMs);
    static constexpr int ReconnectMs = 5000;

    void printError(const QString &text);

private:
    // Opens the link; false (with the reason printed) when the module is unreachable,
    // unsupported or not in work mode.
    bool connectModule();
    // False (with the reason printed) when saving to fileName would replace anything but a
    // regular file: a device node, a FIFO, a folder.
    bool checkSaveTarget(const QString &fileName);
    void printIdentification();
    void onOpFinish(const QString &op, bool ok, const QString &err_descr);
    void finish();
    int serviceRestart();
    // Reads one waveform or spectrum and prints its points as CSV.
    template <typename Record>
    int printPoints(void (Orvo_ICPConnection::*received)(QSharedPointer<Record>),
                    bool (Orvo_ICPConnection::*read)(int, uint), int ch, uint selector,
                    const QString &missing, ConsoleText::PointFormat format);

    Orvo_ICPConnection *const link;
    const QString host;
    const quint16 port;
    QTextStream out;
    QTextStream err;
    // Text reported by the last opening of the link (empty when it succeeded cleanly).
    QString openError;
    bool openOk = false;
    // Set whenever an operation reported a failure, so that a command does not print the
    // same failure twice.
    bool failurePrinted = false;
};

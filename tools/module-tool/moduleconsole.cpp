#include "moduleconsole.h"

#include "configfile.h"
#include "consoletext.h"
#include "moduleregisters.h"
#include "modulewatch.h"
#include "orvo_icpconnection.h"
#include "serviceconnection.h"
#include "stopsignals.h"
#include "t_orvo_settings.h"

#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <cstring>
#include <stdio.h>
#include <type_traits>

ModuleConsole::ModuleConsole(const QString &host, quint16 port, QObject *parent)
    : QObject(parent)
    , link(new Orvo_ICPConnection(this))
    , host(host)
    , port(port)
    , out(stdout)
    , err(stderr)
{
    connect(link, &Orvo_ICPConnection::opFinish, this, &ModuleConsole::onOpFinish);
    connect(link, &Orvo_ICPConnection::opProgress, this,
            [this](uint done, uint total, const QString &stage) {
                err << "  " << stage << " (" << done << '/' << total << ")\n";
                err.flush();
            });
}

ModuleConsole::~ModuleConsole() = default;

void ModuleConsole::printError(const QString &text)
{
    failurePrinted = true;
    err << "orvo-module-tool: " << text << '\n';
    err.flush();
}

void ModuleConsole::onOpFinish(const QString &op, bool ok, const QString &err_descr)
{
    if (op == link->opOpenConnection()) {
        // The opening is reported by connectModule(), with the address.
        openOk = ok;
        openError = err_descr;
        return;
    }
    if (op == link->opCloseConnection() && ok)
        return;
    if (!ok)
        printError(err_descr.isEmpty() ? QStringLiteral("%1 failed").arg(op)
                                       : QStringLiteral("%1 failed: %2").arg(op, err_descr));
    else if (!err_descr.isEmpty())
        printError(QStringLiteral("%1: %2").arg(op, err_descr));
}

bool ModuleConsole::connectModule()
{
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->ipAddr = host;
    info->port = port;
    openOk = false;
    openError.clear();
    const bool ok = link->open(info, false);
    const QString where = QStringLiteral("%1:%2").arg(host).arg(port);
    if (ok && openOk && openError.isEmpty() && link->isConnected())
        return true;
    QString reason = openError.isEmpty() ? QStringLiteral("not connected") : openError;
    // Identified, but outside work mode: which mode tells the engineer what to do next.
    const quint16 mode = link->deviceMode();
    if (mode != 0 && mode != ModuleRegisters::WorkMode)
        reason += QStringLiteral(": the module is in %1 (mode register %2)%3")
                      .arg(ServiceConnection::modeName(mode))
                      .arg(mode)
                      .arg(QStringLiteral("; restart --any-mode brings it back to work mode"));
    printError(QStringLiteral("cannot open the module at %1: %2").arg(where, reason));
    finish();
    return false;
}

void ModuleConsole::printIdentification()
{
    out << "type: " << link->deviceTypeName() << " (" << int(link->deviceType()) << ")\n";
    for (int i = 0; i < 3; ++i)
        out << "text " << i + 2 << ": " << link->deviceInfoText(i) << '\n';
    out.flush();
}

void ModuleConsole::finish()
{
    link->close();
}

int ModuleConsole::info()
{
    if (!connectModule()) {
        // A module outside work mode was still identified: show what it is.
        if (link->deviceType() != ORVO_TYPE_NONE)
            printIdentification();
        return 1;
    }
    printIdentification();
    finish();
    return 0;
}

bool ModuleConsole::checkSaveTarget(const QString &fileName)
{
    if (!ConfigFile::mayReplace(fileName)) {
        printError(
            QStringLiteral("%1 exists and is not a regular file; nothing was saved").arg(fileName));
        return false;
    }
    return true;
}

int ModuleConsole::readConfig(const QString &fileName)
{
    if (!checkSaveTarget(fileName) || !connectModule())
        return 1;
    QSharedPointer<t_orvo_settings> settings;
    QObject scope;
    connect(link, &Orvo_ICPConnection::readSettingsDone, &scope,
            [&settings](QSharedPointer<t_orvo_settings> s) { settings = s; });
    const bool ok = link->readSettings();
    finish();
    if (!ok || !settings) {
        if (!failurePrinted)
            printError(QStringLiteral("the configuration could not be read"));
        return 1;
    }
    // Checked again: reading the record takes long enough for the target to change.
    const ConfigFile::Result saved = ConfigFile::write(fileName, *settings);
    if (saved.status == ConfigFile::Status::NotRegularFile) {
        checkSaveTarget(fileName);
        return 1;
    }
    if (!saved.ok()) {
        printError(QStringLiteral("cannot write %1: %2").arg(fileName, saved.detail));
        return 1;
    }
    out << "configuration of node " << settings->node_id << " saved to " << fileName << " ("
        << OrvoSettings::ByteCount << " bytes)\n";
    out.flush();
    return 0;
}

int ModuleConsole::writeConfig(const QString &fileName, bool force)
{
    // Check the file before touching the module: a short or long image would shift every
    // register of the record.
    auto settings = QSharedPointer<t_orvo_settings>::create();
    const ConfigFile::Result loaded = ConfigFile::read(fileName, *settings);
    switch (loaded.status) {
    case ConfigFile::Status::Ok:
        break;
    case ConfigFile::Status::NotRegularFile:
    case ConfigFile::Status::CannotOpen:
    case ConfigFile::Status::CannotWrite:
        printError(QStringLiteral("cannot read %1: %2")
                       .arg(fileName, loaded.detail.isEmpty() ? QStringLiteral("not a regular file")
                                                              : loaded.detail));
        return 1;
    case ConfigFile::Status::WrongSize:
        printError(QStringLiteral("%1 is not a configuration record: it has %2 bytes, a record "
                                  "has exactly %3; nothing was written")
                       .arg(fileName)
                       .arg(loaded.size)
                       .arg(OrvoSettings::ByteCount));
        return 1;
    case ConfigFile::Status::NotAModule:
        if (!force) {
            printError(QStringLiteral("%1 is not a module's configuration: %2; nothing was written "
                                      "(--force writes it all the same)")
                           .arg(fileName, loaded.detail));
            return 1;
        }
        err << "orvo-module-tool: warning: writing " << fileName << " although " << loaded.detail
            << '\n';
        err.flush();
        break;
    }

    if (!connectModule())
        return 1;
    const bool ok = link->writeSettings(settings);
    const bool committed = link->configStatusFlag();
    finish();
    if (!ok) {
        if (!failurePrinted)
            printError(QStringLiteral("the configuration could not be written"));
        return 1;
    }
    out << "configuration for node " << settings->node_id << " written and committed; commit "
        << "status " << (committed ? "set" : "clear") << '\n';
    out.flush();
    return 0;
}

int ModuleConsole::restart(bool anyMode)
{
    if (anyMode)
        return serviceRestart();
    if (!connectModule())
        return 1;
    err << "restarting; the module is reconnected in about 10 s\n";
    err.flush();
    const bool ok = link->reboot();
    if (!ok) {
        if (!failurePrinted)
            printError(QStringLiteral("the module did not come back after the restart"));
        finish();
        return 1;
    }
    out << "module restarted and back in work mode\n";
    out.flush();
    finish();
    return 0;
}

int ModuleConsole::serviceRestart()
{
    ServiceConnection service(host, port);
    ServiceConnection::Identification id;
    const QString where = QStringLiteral("%1:%2").arg(host).arg(port);
    if (!service.identify(id)) {
        printError(QStringLiteral("cannot open the module at %1: %2").arg(where, service.error()));
        return 1;
    }
    err << "the module (" << id.typeName << ") is in " << ServiceConnection::modeName(id.mode)
        << "; restarting, it answers again in about 10 s\n";
    err.flush();
    if (!service.restart()) {
        printError(service.error());
        return 1;
    }
    out << "module restarted and back in work mode\n";
    out.flush();
    return 0;
}

int ModuleConsole::boot()
{
    if (!connectModule())
        return 1;
    if (!link->enterBoot()) {
        printError(QStringLiteral("the boot loader request could not be written"));
        finish();
        return 1;
    }
    out << "boot loader requested; the link is closed\n";
    out.flush();
    return 0;
}

int ModuleConsole::testMode()
{
    if (!connectModule())
        return 1;
    const bool ok = link->enterTestMode();
    finish();
    if (!ok) {
        printError(QStringLiteral("the test mode request could not be written"));
        return 1;
    }
    out << "test mode requested\n";
    out.flush();
    return 0;
}

int ModuleConsole::waveform(int ch, uint id, ConsoleText::PointFormat format)
{
    return printPoints(&Orvo_ICPConnection::waveformReceived, &Orvo_ICPConnection::readWaveform, ch,
                       id, QStringLiteral("no waveform %1 of channel %2 was delivered"), format);
}

int ModuleConsole::spectrum(int ch, uint type)
{
    return printPoints(&Orvo_ICPConnection::spectrReceived, &Orvo_ICPConnection::readSpectr, ch,
                       type, QStringLiteral("no spectrum of type %1 of channel %2 was delivered"),
                       ConsoleText::PointFormat::Combined);
}

template <typename Record>
int ModuleConsole::printPoints(void (Orvo_ICPConnection::*received)(QSharedPointer<Record>),
                               bool (Orvo_ICPConnection::*read)(int, uint), int ch, uint selector,
                               const QString &missing, ConsoleText::PointFormat format)
{
    if (!connectModule())
        return 1;
    if (link->deviceType() == ORVO_TYPE_REL) {
        printError(QStringLiteral("a relay module has no %1")
                       .arg(std::is_same<Record, Orvo_ICPConnection::Waveform>::value
                                ? QStringLiteral("waveforms")
                                : QStringLiteral("spectra")));
        finish();
        return 1;
    }
    QSharedPointer<Record> record;
    QObject scope;
    connect(link, received, &scope, [&record](QSharedPointer<Record> r) { record = r; });
    (link->*read)(ch, selector);
    finish();
    if (!record) {
        printError(missing.arg(selector).arg(ConsoleText::channelNumber(ch)));
        return 1;
    }
    out << ConsoleText::pointsCsv(record->points, format);
    out.flush();
    return 0;
}

int ModuleConsole::watch(double durationSeconds, int missingWarningMs, bool reconnect,
                         int reconnectMs)
{
    auto *watcher = new ModuleWatch(link, out, err, this);
    watcher->setMissingWarning(missingWarningMs);

    QEventLoop loop;
    QTimer retry;
    retry.setSingleShot(true);
    retry.setInterval(reconnectMs);
    const QString retryText = QStringLiteral(" reconnecting in %1 s\n").arg(reconnectMs / 1000.0);
    const auto tryOpen = [&] {
        if (connectModule()) {
            err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << " connected to "
                << host << ':' << port << '\n';
            err.flush();
            return;
        }
        err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << retryText;
        err.flush();
        retry.start();
    };
    connect(&retry, &QTimer::timeout, &loop, tryOpen);
    if (reconnect) {
        // The link closes itself after reporting the loss: open it again from the event loop.
        connect(watcher, &ModuleWatch::moduleLost, &loop, [&] {
            err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << retryText;
            err.flush();
            retry.start();
        });
        tryOpen();
    } else {
        if (!connectModule())
            return 1;
        connect(watcher, &ModuleWatch::moduleLost, &loop, [&loop] { loop.exit(1); });
    }

    // Interrupted is how a watch without a duration ends: in order, with its summary.
    StopSignals stopSignals;
    connect(&stopSignals, &StopSignals::stopRequested, &loop, [&loop] { loop.exit(0); });
    QTimer stopTimer;
    if (durationSeconds > 0) {
        stopTimer.setSingleShot(true);
        connect(&stopTimer, &QTimer::timeout, &loop, [&loop] { loop.exit(0); });
        stopTimer.start(int(durationSeconds * 1000));
    }
    const int rc = loop.exec();
    retry.stop();
    finish();
    const quint16 missing = watcher->missingChannels();
    if (missing)
        printError(QStringLiteral("no state arrived during the watch from configured channel(s) %1")
                       .arg(ConsoleText::channelList(missing)));
    return rc != 0 || watcher->hadFailure() || failurePrinted ? 1 : 0;
}

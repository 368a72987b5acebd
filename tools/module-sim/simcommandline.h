#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QtGlobal>

class ModuleSimulator;
QT_BEGIN_NAMESPACE
class QCoreApplication;
QT_END_NAMESPACE

// The command line of orvo-module-sim: its options, and a simulator set up from them.
class SimCommandLine
{
public:
    SimCommandLine();

    // Parses the program's arguments and sets sim up from them. --help and --version end the
    // program; returns 0, or the usage exit status after saying what is wrong.
    int apply(const QCoreApplication &app, ModuleSimulator &sim);

    QString address() const { return parser.value(addressOpt); }
    quint16 port() const { return listenPort; }
    bool logRequests() const { return parser.isSet(logOpt); }

private:
    // Sets value from the option when it is given; false when it is given but not a number up
    // to max.
    bool number(const QCommandLineOption &option, quint64 max, quint64 &value) const;

    QCommandLineParser parser;
    const QCommandLineOption addressOpt;
    const QCommandLineOption portOpt;
    const QCommandLineOption typeOpt;
    const QCommandLineOption typeNameOpt;
    const QCommandLineOption infoOpt[3];
    const QCommandLineOption modeOpt;
    const QCommandLineOption staticOpt;
    const QCommandLineOption movePeriodOpt;
    const QCommandLineOption captureDelayOpt;
    const QCommandLineOption wfPointsOpt;
    const QCommandLineOption spPointsOpt;
    const QCommandLineOption commitStatusOpt;
    const QCommandLineOption restartTimeOpt;
    const QCommandLineOption dropAfterOpt;
    const QCommandLineOption wrongEchoOpt;
    const QCommandLineOption answerDelayOpt;
    const QCommandLineOption refuseIdentOpt;
    const QCommandLineOption headerPointsOpt;
    const QCommandLineOption failReadsOpt;
    const QCommandLineOption logOpt;
    quint16 listenPort = 0;
};

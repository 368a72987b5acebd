// orvo-recorder: receives node status datagrams and records them into the journal, without a
// window, for a machine that only records.
#include "journaloptions.h"
#include "journalrecorder.h"
#include "journalwriter.h"
#include "programidentity.h"
#include "statusreceiver.h"
#include "stopsignals.h"
#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

namespace {
constexpr quint16 DefaultPort = 49153;

void log(const QString &line)
{
    QTextStream(stderr) << "orvo-recorder: " << line << '\n';
}
} // namespace

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-recorder");
    QCoreApplication app(argc, argv);
    // The journal's own messages (why it cannot be opened or written) follow the locale.
    ProgramIdentity::useSystemLanguage();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Receives the status datagrams of Orvo_ICP nodes on UDP port 49153 and records every "
        "transition and a trend of every measured value into the journal, without a window.\n"
        "The port is not shared: a second receiver on this host makes it fail at start.\n"
        "SIGTERM and SIGINT end the recording cleanly. One line per start, stop, failure and "
        "recovery goes to standard error.\n"
        "Exit status 1 when it cannot start: the port is taken, or another program already "
        "records the installation into the journal."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Listen on UDP port PORT instead of 49153."),
                                        QStringLiteral("PORT"));
    parser.addOption(portOption);
    JournalOptions journal;
    journal.addTo(parser);
    ToolCommandLine::process(parser, app);
    if (!parser.positionalArguments().isEmpty())
        return ToolCommandLine::usageError(QStringLiteral("unexpected argument '%1'")
                                               .arg(parser.positionalArguments().constFirst()));
    quint16 port = DefaultPort;
    if (parser.isSet(portOption) && !ToolCommandLine::parsePort(parser.value(portOption), port))
        return ToolCommandLine::UsageExit;
    QString error;
    if (!journal.read(parser, JournalOptions::settingsValue(), &error,
                      JournalOptions::keepSettingsValue()))
        return ToolCommandLine::usageError(error);

    StopSignals stopSignals;
    if (!stopSignals.isValid()) {
        log(QStringLiteral("cannot watch for SIGTERM and SIGINT; not started"));
        return 1;
    }
    StatusReceiver receiver;
    if (!receiver.listen(quint16(port))) {
        // Recording half of the datagrams beside another receiver would look like a quiet plant.
        log(QStringLiteral("cannot listen on UDP port %1: %2; not started")
                .arg(port)
                .arg(receiver.errorString()));
        return 1;
    }
    const std::unique_ptr<JournalRecorder> recorder = journal.startRecorder(
        quint16(port), JournalOptions::startDetail(quint16(port), true, QString()),
        QStringLiteral("orvo-recorder"));
    bool running = false;
    auto announce = [&] {
        running = true;
        log(recorder
                ? QStringLiteral("started: listening on UDP port %1, journal %2, installation %3")
                      .arg(port)
                      .arg(journal.location().display(), journal.installation(quint16(port)))
                : QStringLiteral("started: listening on UDP port %1, recording nothing "
                                 "(--no-journal)")
                      .arg(port));
    };
    if (recorder) {
        QObject::connect(&receiver, &StatusReceiver::datagramAccepted, recorder.get(),
                         &JournalRecorder::datagramAccepted);
        // Started once the journal has answered: a second writer of the installation never
        // says it started.
        QObject::connect(recorder.get(), &JournalRecorder::stateChanged, &app, [&] {
            if (!running && !recorder->journalWriter()->isRefused())
                announce();
        });
        QObject::connect(recorder.get(), &JournalRecorder::refused, &app, [&] {
            // A machine that only records has nothing else to do; a service manager shows why.
            log(QStringLiteral("not started: another writer records installation %1")
                    .arg(journal.installation(quint16(port))));
            QCoreApplication::exit(1);
        });
    } else {
        announce();
    }

    QObject::connect(&stopSignals, &StopSignals::stopRequested, &app,
                     [&](const QString &signalName) {
                         log(QStringLiteral("%1 received, stopping").arg(signalName));
                         if (recorder)
                             recorder->stop(signalName);
                         QCoreApplication::quit();
                     });
    const int result = app.exec();
    if (running)
        log(QStringLiteral("stopped after %1 datagram(s), %2 dropped")
                .arg(receiver.acceptedCount())
                .arg(receiver.droppedCount()));
    return result;
}

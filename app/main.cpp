#include "journaloptions.h"
#include "journalrecorder.h"
#include "mainwindow.h"
#include "orvoresources.h"
#include "programidentity.h"
#include "toolcommandline.h"
#include "windowshell.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTextStream>

#include <memory>

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-icp-view");

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Shows the status of Orvo_ICP measurement and relay nodes reporting on UDP port "
                "49153."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QCoreApplication::translate("main", "Listen on UDP port PORT instead of 49153."),
        QStringLiteral("PORT"));
    parser.addOption(portOption);
    JournalOptions journal;
    journal.addTo(parser);
    quint16 port = MainWindow::ListenPort;
    {
        // The command line alone needs no display: the window's application comes after it.
        const QCoreApplication commandLine(argc, argv);
        ToolCommandLine::process(parser, commandLine);
        if (!parser.positionalArguments().isEmpty())
            return ToolCommandLine::usageError(
                QCoreApplication::translate("main", "unexpected argument '%1'")
                    .arg(parser.positionalArguments().constFirst()));
        if (parser.isSet(portOption) && !ToolCommandLine::parsePort(parser.value(portOption), port))
            return ToolCommandLine::UsageExit;
        QString journalError;
        if (!journal.read(parser, JournalOptions::settingsValue(), &journalError,
                          JournalOptions::keepSettingsValue()))
            return ToolCommandLine::usageError(journalError);
    }

    QApplication app(argc, argv);
    WindowShell::setUpApplication("orvo-icp-view");
    initOrvoResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/orvo-icp-view.png")));
    MainWindow window(nullptr, port);
    // Also for whoever started it from a terminal or a service: the status bar says the same.
    if (!window.isListening())
        QTextStream(stderr) << "orvo-icp-view: " << window.listenError() << '\n';
    std::unique_ptr<JournalRecorder> recorder = journal.startRecorder(
        port, JournalOptions::startDetail(port, window.isListening(), window.listenError()),
        QStringLiteral("orvo-icp-view"));
    window.setJournalRecorder(recorder.get());
    window.show();
    const int result = app.exec();
    if (recorder)
        recorder->stop(QStringLiteral("viewer closed"));
    return result;
}

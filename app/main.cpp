#include "journaloptions.h"
#include "journalrecorder.h"
#include "mainwindow.h"
#include "orvoresources.h"
#include "orvoversion.h"
#include "toolcommandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSettings>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
    // Without it Wayland derives the window's id from the domain and no desktop entry matches.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvo-icp-view"));
    initOrvoResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/orvo-icp-view.png")));

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
    ToolCommandLine::process(parser, app);
    if (!parser.positionalArguments().isEmpty())
        return ToolCommandLine::usageError(
            QCoreApplication::translate("main", "unexpected argument '%1'")
                .arg(parser.positionalArguments().constFirst()));
    quint64 port = MainWindow::ListenPort;
    if (parser.isSet(portOption) &&
        (!ToolCommandLine::parseUInt(parser.value(portOption), 65535, port) || port == 0))
        return ToolCommandLine::usageError(
            QCoreApplication::translate("main", "invalid port '%1': give 1 to 65535")
                .arg(parser.value(portOption)));

    QString journalError;
    if (!journal.read(parser, JournalOptions::settingsValue(), &journalError))
        return ToolCommandLine::usageError(journalError);

    std::unique_ptr<JournalRecorder> recorder;
    MainWindow window(nullptr, quint16(port));
    // Also for whoever started it from a terminal or a service: the status bar says the same.
    if (!window.isListening())
        QTextStream(stderr) << "orvo-icp-view: " << window.listenError() << '\n';
    recorder = journal.startRecorder(
        quint16(port),
        JournalOptions::startDetail(quint16(port), window.isListening(), window.listenError()),
        QStringLiteral("orvo-icp-view"));
    window.setJournalRecorder(recorder.get());
    window.show();
    const int result = app.exec();
    if (recorder)
        recorder->stop(QStringLiteral("viewer closed"));
    return result;
}

#include "inspectorsettings.h"
#include "modulewindow.h"
#include "programidentity.h"
#include "toolcommandline.h"
#include "windowshell.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-module-view");

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Connects to one Orvo measurement or relay module over Modbus TCP and shows its "
                "channels, relays, waveforms and spectra live, with its configuration and "
                "service actions. Without --host it asks for the address."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOpt(
        QStringLiteral("host"),
        QCoreApplication::translate("main", "Address of the module (IP address or host name)."),
        QStringLiteral("host"));
    const QCommandLineOption portOpt(
        QStringLiteral("port"),
        QCoreApplication::translate("main", "TCP port of the module's Modbus server. Default: "
                                            "the last port that connected, else 502."),
        QStringLiteral("port"));
    parser.addOptions({hostOpt, portOpt});
    quint16 port = 0;
    {
        // The command line alone needs no display: the window's application comes after it.
        const QCoreApplication commandLine(argc, argv);
        ToolCommandLine::process(parser, commandLine);
        if (parser.isSet(portOpt) && !ToolCommandLine::parsePort(parser.value(portOpt), port))
            return ToolCommandLine::UsageExit;
        if (!parser.positionalArguments().isEmpty())
            return ToolCommandLine::usageError(
                QCoreApplication::translate("main", "unexpected argument %1")
                    .arg(parser.positionalArguments().first()));
    }

    QApplication app(argc, argv);
    // The viewer's settings file: the language choice is shared, the address has its own group.
    WindowShell::setUpApplication("orvo-module-view");
    if (!parser.isSet(portOpt))
        port = InspectorSettings::lastPort();
    ModuleWindow window;
    window.show();
    if (parser.isSet(hostOpt)) {
        window.connectTo(parser.value(hostOpt), port);
    } else {
        // After the window is on screen, so the dialog has its parent to sit on.
        QTimer::singleShot(0, &window, [&window, port] { window.openConnectDialog(port); });
    }
    return app.exec();
}

#include "modulewindow.h"
#include "orvoversion.h"
#include "toolcommandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[])
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QApplication app(argc, argv);
    // --version names the program itself; the settings name is set after parsing.
    QCoreApplication::setApplicationName(QStringLiteral("orvo-module-view"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
    // Wayland matches the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvo-module-view"));

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
    ToolCommandLine::process(parser, app);

    // The viewer's settings file: the language choice is shared, the address has its own group.
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));

    quint16 port = ModuleWindow::lastPort();
    if (parser.isSet(portOpt)) {
        quint64 value = 0;
        if (!ToolCommandLine::parseUInt(parser.value(portOpt), 65535, value) || value == 0)
            return ToolCommandLine::usageError(
                QCoreApplication::translate("main", "bad port %1").arg(parser.value(portOpt)));
        port = quint16(value);
    }
    if (!parser.positionalArguments().isEmpty())
        return ToolCommandLine::usageError(
            QCoreApplication::translate("main", "unexpected argument %1")
                .arg(parser.positionalArguments().first()));

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

// orvo-module-tool: a command-line holder of the register link and the measurement poller,
// for engineers standing at a module (or at orvo-module-sim).

#include "moduleconsole.h"
#include "programidentity.h"
#include "t_orvo_settings.h"
#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <limits>

namespace {

const char Commands[] =
    "Talks Modbus TCP to one Orvo module.\n"
    "\n"
    "Commands:\n"
    "  info               show the module type and its three identification texts\n"
    "  read-config FILE   save the module's configuration record (6572 bytes) to FILE;\n"
    "                     FILE must be a regular file or not exist yet\n"
    "  write-config FILE  write the 6572-byte record in FILE to the module and commit it;\n"
    "                     a record no module can hold is refused unless --force is given\n"
    "  restart            restart the module and reconnect (takes about 10 s); with\n"
    "                     --any-mode also a module in test mode or the boot loader,\n"
    "                     which comes back in work mode\n"
    "  boot               switch the module to its boot loader\n"
    "  test-mode          switch the module to test mode\n"
    "  waveform CH ID     print waveform ID of channel CH (1-4) as CSV: index,value,hex;\n"
    "                     --format float|int|uint|hex prints index,value in that form\n"
    "  spectrum CH TYPE   print spectrum TYPE (0 or 1) of channel CH (1-4) as CSV\n"
    "  watch              poll the module and print every change as one line, fetching\n"
    "                     announced waveforms and spectra; stops after --duration, on\n"
    "                     Ctrl+C (SIGINT) or SIGTERM, or when the module is lost unless\n"
    "                     --reconnect is given\n"
    "\n"
    "Channels are numbered 1 to 4 in arguments and output, as in the windows (earlier\n"
    "releases of this console counted them from 0).\n"
    "\n"
    "Exit status: 0 on success, 1 when the module or an operation failed, 2 for a usage "
    "error.";

using ToolCommandLine::usageError;

bool parseUInt(const QString &text, uint max, uint &value)
{
    quint64 v = 0;
    if (!ToolCommandLine::parseUInt(text, max, v))
        return false;
    value = uint(v);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-module-tool");
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Commands));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOption(
        QStringLiteral("host"), QStringLiteral("Address of the module (default 127.0.0.1)."),
        QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Modbus TCP port of the module (default 502)."),
        QStringLiteral("PORT"), QStringLiteral("502"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("write-config: write a record even if no module could hold it."));
    const QCommandLineOption durationOption(
        QStringLiteral("duration"),
        QStringLiteral("watch: stop after SECONDS (default: run until interrupted)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption missingOption(
        QStringLiteral("missing-after"),
        QStringLiteral("watch: warn when a configured channel has had no state for SECONDS "
                       "(default 5)."),
        QStringLiteral("SECONDS"), QStringLiteral("5"));
    const QCommandLineOption reconnectOption(
        QStringLiteral("reconnect"),
        QStringLiteral("watch: keep watching across lost connections, reconnecting every 5 s "
                       "(or --reconnect-after)."));
    const QCommandLineOption reconnectAfterOption(
        QStringLiteral("reconnect-after"),
        QStringLiteral("watch --reconnect: wait SECONDS before each attempt (default 5)."),
        QStringLiteral("SECONDS"), QStringLiteral("5"));
    const QCommandLineOption anyModeOption(
        QStringLiteral("any-mode"),
        QStringLiteral("restart: also restart a module in test mode or the boot loader."));
    const QCommandLineOption formatOption(
        QStringLiteral("format"),
        QStringLiteral("waveform: print each point as float, int, uint or hex "
                       "(default: index,value,hex)."),
        QStringLiteral("FORMAT"));
    parser.addOption(hostOption);
    parser.addOption(portOption);
    parser.addOption(forceOption);
    parser.addOption(durationOption);
    parser.addOption(missingOption);
    parser.addOption(reconnectOption);
    parser.addOption(reconnectAfterOption);
    parser.addOption(anyModeOption);
    parser.addOption(formatOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("The command to run, see above."),
                                 QStringLiteral("COMMAND [ARGS]"));
    ToolCommandLine::process(parser, app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = args.first();
    const QStringList params = args.mid(1);

    quint16 port = 0;
    if (!ToolCommandLine::parsePort(parser.value(portOption), port))
        return ToolCommandLine::UsageExit;
    const QString host = parser.value(hostOption);
    if (host.isEmpty())
        return usageError(QStringLiteral("empty host"));

    auto expect = [&](int count, const char *names) -> QString {
        if (params.size() != count)
            return QStringLiteral("%1 takes %2").arg(command, QLatin1String(names));
        return QString();
    };

    ModuleConsole console(host, port);
    if (command == QLatin1String("info") || command == QLatin1String("restart") ||
        command == QLatin1String("boot") || command == QLatin1String("test-mode")) {
        const QString e = expect(0, "no arguments");
        if (!e.isEmpty())
            return usageError(e);
        if (command == QLatin1String("info"))
            return console.info();
        if (command == QLatin1String("restart"))
            return console.restart(parser.isSet(anyModeOption));
        if (command == QLatin1String("boot"))
            return console.boot();
        return console.testMode();
    }
    if (command == QLatin1String("read-config") || command == QLatin1String("write-config")) {
        const QString e = expect(1, "one argument: FILE");
        if (!e.isEmpty())
            return usageError(e);
        return command == QLatin1String("read-config")
                   ? console.readConfig(params[0])
                   : console.writeConfig(params[0], parser.isSet(forceOption));
    }
    if (command == QLatin1String("waveform") || command == QLatin1String("spectrum")) {
        const bool wf = command == QLatin1String("waveform");
        const QString e = expect(2, wf ? "two arguments: CH ID" : "two arguments: CH TYPE");
        if (!e.isEmpty())
            return usageError(e);
        uint ch = 0;
        uint selector = 0;
        if (!parseUInt(params[0], OrvoSettings::ChannelCount, ch) || ch == 0)
            return usageError(QStringLiteral("channel must be 1 to %1, not '%2'")
                                  .arg(OrvoSettings::ChannelCount)
                                  .arg(params[0]));
        --ch; // the module counts from 0
        // The request carries the selector in one register: refuse what would be cut off.
        // A module keeps two spectra per channel and answers any other type with nothing.
        if (wf && !parseUInt(params[1], 0xFFFF, selector))
            return usageError(
                QStringLiteral("waveform id must be 0 to 65535, not '%1'").arg(params[1]));
        if (!wf && !parseUInt(params[1], 1, selector))
            return usageError(
                QStringLiteral("spectrum type must be 0 or 1, not '%1'").arg(params[1]));
        ConsoleText::PointFormat format = ConsoleText::PointFormat::Combined;
        if (parser.isSet(formatOption) &&
            (!wf || !ConsoleText::parsePointFormat(parser.value(formatOption), format)))
            return usageError(
                wf ? QStringLiteral("format must be float, int, uint or hex, not '%1'")
                         .arg(parser.value(formatOption))
                   : QStringLiteral("--format applies to waveform only"));
        return wf ? console.waveform(int(ch), selector, format)
                  : console.spectrum(int(ch), selector);
    }
    if (command == QLatin1String("watch")) {
        const QString e = expect(0, "no arguments (and --duration SECONDS)");
        if (!e.isEmpty())
            return usageError(e);
        // QTimer counts in int milliseconds.
        const auto seconds = [&parser](const QCommandLineOption &option, double &value) {
            bool ok = false;
            value = parser.value(option).toDouble(&ok);
            return ok && value > 0 && value <= std::numeric_limits<int>::max() / 1000.0;
        };
        double duration = 0;
        if (parser.isSet(durationOption) && !seconds(durationOption, duration))
            return usageError(
                QStringLiteral("invalid duration '%1'").arg(parser.value(durationOption)));
        double missingAfter = 0;
        if (!seconds(missingOption, missingAfter))
            return usageError(
                QStringLiteral("invalid --missing-after '%1'").arg(parser.value(missingOption)));
        double reconnectAfter = 0;
        if (!seconds(reconnectAfterOption, reconnectAfter))
            return usageError(QStringLiteral("invalid --reconnect-after '%1'")
                                  .arg(parser.value(reconnectAfterOption)));
        return console.watch(duration, int(missingAfter * 1000), parser.isSet(reconnectOption),
                             int(reconnectAfter * 1000));
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

// orvo-journal-view: the plant journal in a window — the alarm summary with acknowledgements
// and the event history with its filters and exports.

#include "journalviewsettings.h"
#include "journalwindow.h"
#include "orvoversion.h"
#include "toolcommandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSettings>

int main(int argc, char *argv[])
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QApplication app(argc, argv);
    // --version names the program itself; the settings name is set after parsing.
    QCoreApplication::setApplicationName(QStringLiteral("orvo-journal-view"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
    // Wayland matches the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvo-journal-view"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Shows the plant journal that the viewer and orvo-recorder write: the alarms "
                "that are active or not yet acknowledged, and every recorded event with "
                "filters, CSV and PDF export and printing. The journal is opened read-only; "
                "only an acknowledgement writes."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption journalOpt(
        QStringLiteral("journal"),
        QCoreApplication::translate(
            "main", "The journal: a file, or postgresql://[user@]host[:port]/database (password "
                    "from ~/.pgpass or PGPASSFILE). Default: the last one shown, else the "
                    "viewer's."),
        QStringLiteral("SPEC"));
    parser.addOption(journalOpt);
    ToolCommandLine::process(parser, app);
    if (!parser.positionalArguments().isEmpty())
        return ToolCommandLine::usageError(
            QCoreApplication::translate("main", "unexpected argument %1")
                .arg(parser.positionalArguments().first()));

    // The viewer's settings file: the language choice is shared, the window has its own group.
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));

    JournalSpec spec = JournalSpec::defaultSpec();
    QString error;
    if (parser.isSet(journalOpt)) {
        if (!JournalSpec::parse(parser.value(journalOpt), &spec, &error))
            return ToolCommandLine::usageError(error);
    } else if (!JournalViewSettings::journal().isEmpty() &&
               !JournalSpec::parse(JournalViewSettings::journal(), &spec, &error)) {
        // A stored journal that no longer reads as one: the default, rather than nothing.
        spec = JournalSpec::defaultSpec();
    }

    JournalWindow window(spec);
    window.setWindowIcon(QIcon::fromTheme(QStringLiteral("orvo-journal-view")));
    window.show();
    return app.exec();
}

// orvo-journal-view: the plant journal in a window — the alarm summary with acknowledgements,
// the event history with its filters and exports, and the trends of the measurements.

#include "journaloptions.h"
#include "journalviewsettings.h"
#include "journalwindow.h"
#include "programidentity.h"
#include "toolcommandline.h"
#include "windowshell.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTextStream>

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-journal-view");

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Shows the plant journal that the viewer and orvo-recorder write: the alarms "
                "that are active or not yet acknowledged, every recorded event with filters, "
                "CSV and PDF export and printing, and the trends of the measurements from two "
                "years down to one second. The journal is opened read-only; only an "
                "acknowledgement writes."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption journalOpt(
        QStringLiteral("journal"),
        QCoreApplication::translate(
            "main", "The journal: a file, or postgresql://[user@]host[:port]/database (password "
                    "from ~/.pgpass or PGPASSFILE). Default: the last one shown, else the "
                    "viewer's (the settings key \"journal\", else its file)."),
        QStringLiteral("JOURNAL"));
    parser.addOption(journalOpt);
    JournalLocation location = JournalLocation::defaultLocation();
    {
        // The command line alone needs no display: the window's application comes after it.
        const QCoreApplication commandLine(argc, argv);
        ToolCommandLine::process(parser, commandLine);
        if (!parser.positionalArguments().isEmpty())
            return ToolCommandLine::usageError(
                QCoreApplication::translate("main", "unexpected argument %1")
                    .arg(parser.positionalArguments().first()));
        QString error;
        if (parser.isSet(journalOpt) &&
            !JournalLocation::parse(parser.value(journalOpt), &location, &error))
            return ToolCommandLine::usageError(error);
    }

    QApplication app(argc, argv);
    // The viewer's settings file: the language choice is shared, the window has its own group.
    WindowShell::setUpApplication("orvo-journal-view");
    QString error;
    if (!parser.isSet(journalOpt) &&
        (JournalViewSettings::journal().isEmpty() ||
         !JournalLocation::parse(JournalViewSettings::journal(), &location, &error)) &&
        !JournalOptions::siteJournal(&location, &error)) {
        // A key that holds no journal: the viewer's file, rather than nothing; the window names
        // the journal it shows.
        QTextStream(stderr) << "orvo-journal-view: " << error << '\n';
        location = JournalLocation::defaultLocation();
    }

    JournalWindow window(location);
    window.setWindowIcon(QIcon::fromTheme(QStringLiteral("orvo-journal-view")));
    window.show();
    return app.exec();
}

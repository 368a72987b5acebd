// orvo-journal-tool: the plant journal from a terminal — events, alarms, acknowledgements,
// trends and the journal's own health.

#include "journalformat.h"
#include "journaloptions.h"
#include "journaltool.h"
#include "programidentity.h"
#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <limits>
#include <pwd.h>
#include <unistd.h>

namespace {

const char Description[] =
    "Reads the journal that the viewer and orvo-recorder write.\n"
    "\n"
    "Commands:\n"
    "  events   the recorded events, oldest first (filters: --from --to --installation\n"
    "           --node --channel --kind --alarms --unacked; --follow keeps printing new ones)\n"
    "  alarms   each alarm with its state, since when, and how often the same item raised\n"
    "           one in the range (--active, --unacked)\n"
    "  ack ID...  acknowledge alarms, with --comment and --user (default: the login name)\n"
    "  trend    count, min, max, mean and last of one measurement (--node --channel --slot)\n"
    "           as CSV, in the finest intervals that give at most --points rows\n"
    "  stats    span, events per kind, size per trend tier, size of the journal\n"
    "  check    integrity and schema version; exit status 1 if damaged\n"
    "  prune    delete now what the retention (--keep) no longer keeps\n"
    "\n"
    "Times T: an ISO 8601 date or time (2026-12-07, 2026-12-07T23:56:20+01:00) or a\n"
    "relative -30s, -15m, -24h, -7d. The journal is opened read-only except for ack and prune.\n"
    "\n"
    "Exit status: 0 on success, 1 on failure, 2 for a usage error.";

using ToolCommandLine::usageError;

QString loginName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

bool intOption(const QCommandLineParser &parser, const QCommandLineOption &option, quint64 max,
               int *value)
{
    if (!parser.isSet(option))
        return true;
    quint64 v = 0;
    if (!ToolCommandLine::parseUInt(parser.value(option), max, v))
        return false;
    *value = int(v);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-journal-tool");
    QCoreApplication app(argc, argv);
    // The journal's own messages (why it cannot be opened or written) follow the locale.
    ProgramIdentity::useSystemLanguage();

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    parser.addVersionOption();
    auto option = [&](const char *name, const char *help, const char *valueName = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help),
                             valueName ? QString::fromLatin1(valueName) : QString());
        parser.addOption(o);
        return o;
    };
    const auto journalOption =
        option("journal",
               "The journal: a file, or postgresql://[user@]host[:port]/database "
               "(password from ~/.pgpass or PGPASSFILE). Default: the viewer's (the settings "
               "key \"journal\", else its file).",
               "JOURNAL");
    const auto fromOption = option("from", "Only what happened at or after T.", "T");
    const auto toOption = option("to", "Only what happened before T.", "T");
    const auto installationOption = option("installation", "Only this installation.", "NAME");
    const auto nodeOption = option("node", "Only this node (1-32).", "N");
    const auto channelOption = option("channel", "Only this channel (1-4).", "C");
    const auto slotOption = option("slot", "trend: the measurement slot (1-8).", "S");
    const auto kindOption = option("kind", "events: only these kinds, separated by commas.", "K");
    const auto alarmsOption = option("alarms", "events: only alarms.");
    const auto unackedOption = option("unacked", "events, alarms: only alarms not acknowledged.");
    const auto activeOption = option("active", "alarms: only alarms still active.");
    const auto followOption =
        option("follow", "events: keep printing new events as they are written.");
    const auto formatOption = option("format", "events, alarms: text (default) or csv.", "FORMAT");
    const auto commentOption = option("comment", "ack: the comment (required).", "TEXT");
    const auto userOption =
        option("user", "ack: who acknowledges (default: the login name).", "NAME");
    const auto pointsOption =
        option("points", "trend: at most this many rows (default 2000).", "K");
    QCommandLineOption keepOption = JournalOptions::keepOption();
    keepOption.setDescription(QStringLiteral(
        "prune: keep the journal's parts this long, for example "
        "seconds=24h,minutes=30d,ten-minutes=2y,events=2y (the defaults); parts not named keep "
        "theirs. Default: the settings key \"journalKeep\", as the recorders apply it."));
    parser.addOption(keepOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("events, alarms, ack, trend, stats, "
                                                "check or prune."));
    ToolCommandLine::process(parser, app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = args.first();

    JournalLocation location;
    if (parser.isSet(journalOption)) {
        QString error;
        if (!JournalLocation::parse(parser.value(journalOption), &location, &error))
            return usageError(error);
    } else {
        QString error;
        if (!JournalOptions::siteJournal(&location, &error)) {
            QTextStream(stderr) << "orvo-journal-tool: " << error << '\n';
            return 1;
        }
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    EventFilter filter;
    if (parser.isSet(fromOption) &&
        !JournalFormat::parseTime(parser.value(fromOption), now, &filter.fromMs))
        return usageError(QStringLiteral("--from: not a time: %1").arg(parser.value(fromOption)));
    if (parser.isSet(toOption) &&
        !JournalFormat::parseTime(parser.value(toOption), now, &filter.toMs))
        return usageError(QStringLiteral("--to: not a time: %1").arg(parser.value(toOption)));
    filter.installation = parser.value(installationOption);
    if (!intOption(parser, nodeOption, 32, &filter.node) ||
        (parser.isSet(nodeOption) && filter.node < 1))
        return usageError(QStringLiteral("--node: 1 to 32"));
    if (!intOption(parser, channelOption, 4, &filter.channel) ||
        (parser.isSet(channelOption) && filter.channel < 1))
        return usageError(QStringLiteral("--channel: 1 to 4"));
    int slot = 0;
    if (!intOption(parser, slotOption, 8, &slot) || (parser.isSet(slotOption) && slot < 1))
        return usageError(QStringLiteral("--slot: 1 to 8"));
    if (parser.isSet(kindOption)) {
        for (const QString &name :
             parser.value(kindOption).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            Journal::Kind kind;
            if (!Journal::kindFromName(name.trimmed(), &kind))
                return usageError(QStringLiteral("--kind: no such kind: %1").arg(name));
            filter.kinds << kind;
        }
    }
    filter.alarmsOnly = parser.isSet(alarmsOption);
    filter.unackedOnly = parser.isSet(unackedOption);
    JournalTool::Format format = JournalTool::Format::Text;
    if (parser.isSet(formatOption)) {
        if (parser.value(formatOption) == QLatin1String("csv"))
            format = JournalTool::Format::Csv;
        else if (parser.value(formatOption) != QLatin1String("text"))
            return usageError(QStringLiteral("--format: csv or text"));
    }

    QTextStream out(stdout);
    QTextStream err(stderr);
    JournalTool tool(location, out, err);
    if (command != QLatin1String("ack") && args.size() > 1)
        return usageError(QStringLiteral("unexpected argument: %1").arg(args.at(1)));
    if (command == QLatin1String("events"))
        return tool.events(filter, format, parser.isSet(followOption));
    if (command == QLatin1String("alarms")) {
        EventFilter alarmFilter = filter;
        alarmFilter.unackedOnly = false;
        return tool.alarms(alarmFilter, parser.isSet(activeOption), filter.unackedOnly, format);
    }
    if (command == QLatin1String("ack")) {
        QVector<qint64> ids;
        for (int i = 1; i < args.size(); ++i) {
            quint64 id = 0;
            if (!ToolCommandLine::parseUInt(args.at(i), quint64(std::numeric_limits<qint64>::max()),
                                            id) ||
                id == 0)
                return usageError(QStringLiteral("not an event id: %1").arg(args.at(i)));
            ids << qint64(id);
        }
        if (ids.isEmpty())
            return usageError(QStringLiteral("ack: which events?"));
        if (!parser.isSet(commentOption))
            return usageError(QStringLiteral("ack: --comment is required"));
        return tool.ack(ids, parser.isSet(userOption) ? parser.value(userOption) : loginName(),
                        parser.value(commentOption));
    }
    if (command == QLatin1String("trend")) {
        if (!filter.node || !filter.channel || !slot)
            return usageError(QStringLiteral("trend: --node, --channel and --slot are required"));
        int points = JournalQuery::DefaultPoints;
        if (!intOption(parser, pointsOption, 10000000, &points) || points < 1)
            return usageError(QStringLiteral("--points: a positive number"));
        const qint64 from = parser.isSet(fromOption) ? filter.fromMs : now - 24 * 3600 * 1000LL;
        const qint64 to = parser.isSet(toOption) ? filter.toMs : now;
        return tool.trend(filter.installation, filter.node, filter.channel, slot, from, to, points);
    }
    if (command == QLatin1String("stats"))
        return tool.stats();
    if (command == QLatin1String("check"))
        return tool.check();
    if (command == QLatin1String("prune")) {
        JournalRetention retention;
        QString error;
        if (parser.isSet(keepOption)) {
            if (!JournalRetention::parse(parser.value(keepOption), &retention, &error))
                return usageError(QStringLiteral("--keep: %1").arg(error));
        } else if (!JournalOptions::siteRetention(&retention, &error)) {
            QTextStream(stderr) << "orvo-journal-tool: " << error << '\n';
            return 1;
        }
        return tool.prune(retention);
    }
    return usageError(QStringLiteral("unknown command: %1").arg(command));
}

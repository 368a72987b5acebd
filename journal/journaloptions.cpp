#include "journaloptions.h"

#include "journalrecorder.h"
#include "journalwriter.h"
#include "programidentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QSysInfo>

namespace {

// The top-level keys of the viewer's settings file that stand in for --journal and --keep.
const char JournalKey[] = "journal";
const char KeepKey[] = "journalKeep";

QString siteSetting(const char *key)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                             QCoreApplication::organizationName(),
                             QLatin1String(ProgramIdentity::SettingsApplication));
    return settings.value(QLatin1String(key)).toString().trimmed();
}

QString keySource(const char *key)
{
    return JournalOptions::tr("the settings key \"%1\"").arg(QLatin1String(key));
}

// A journal or a retention as text; the message names where the text came from.
template <typename T>
bool parseFrom(const QString &text, const QString &source, T *out, QString *error)
{
    QString reason;
    if (T::parse(text, out, &reason))
        return true;
    *error = JournalOptions::tr("%1: %2").arg(source, reason);
    return false;
}

} // namespace

JournalOptions::JournalOptions()
    : journalOption(QStringLiteral("journal"),
                    JournalOptions::tr(
                        "Record into the journal JOURNAL: an SQLite file, or "
                        "postgresql://[user@]host[:port]/database (the password from ~/.pgpass "
                        "or PGPASSFILE). Default: the settings key \"journal\", else "
                        "journal.sqlite in the user's data folder."),
                    QStringLiteral("JOURNAL"))
    , noJournalOption(QStringLiteral("no-journal"), JournalOptions::tr("Record nothing."))
    , installationOption(
          QStringLiteral("installation"),
          JournalOptions::tr("Name the installation NAME in the journal (default: the host "
                             "name, a colon and the listening port)."),
          QStringLiteral("NAME"))
    , retentionOption(keepOption())
{}

QCommandLineOption JournalOptions::keepOption()
{
    return QCommandLineOption(
        QStringLiteral("keep"),
        JournalOptions::tr("Keep the journal's parts this long, for example "
                           "seconds=24h,minutes=30d,ten-minutes=2y,events=2y (the defaults); "
                           "parts not named keep theirs. Default: the settings key "
                           "\"journalKeep\"."),
        QStringLiteral("RETENTION"));
}

void JournalOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOption(journalOption);
    parser.addOption(noJournalOption);
    parser.addOption(installationOption);
    parser.addOption(retentionOption);
}

bool JournalOptions::read(const QCommandLineParser &parser, const QString &settingsValue,
                          QString *error, const QString &keepSettingsValue)
{
    journalEnabled = !parser.isSet(noJournalOption);
    if (!journalEnabled && parser.isSet(journalOption)) {
        *error = JournalOptions::tr("--journal and --no-journal exclude each other");
        return false;
    }
    installationName = parser.value(installationOption);
    if (parser.isSet(installationOption) && installationName.trimmed().isEmpty()) {
        *error = JournalOptions::tr("--installation needs a name");
        return false;
    }
    if (!journalEnabled)
        return true;

    journalRetention = JournalRetention();
    if (parser.isSet(retentionOption)) {
        if (!parseFrom(parser.value(retentionOption), QStringLiteral("--keep"), &journalRetention,
                       error))
            return false;
    } else if (!keepSettingsValue.isEmpty() &&
               !parseFrom(keepSettingsValue, keySource(KeepKey), &journalRetention, error)) {
        return false;
    }

    if (parser.isSet(journalOption))
        return parseFrom(parser.value(journalOption), QStringLiteral("--journal"), &journalLocation,
                         error);
    if (settingsValue.isEmpty()) {
        journalLocation = JournalLocation::defaultLocation();
        return true;
    }
    return parseFrom(settingsValue, keySource(JournalKey), &journalLocation, error);
}

QString JournalOptions::installation(quint16 port) const
{
    if (!installationName.isEmpty())
        return installationName;
    return QSysInfo::machineHostName() + QLatin1Char(':') + QString::number(port);
}

QString JournalOptions::settingsValue()
{
    return siteSetting(JournalKey);
}

QString JournalOptions::keepSettingsValue()
{
    return siteSetting(KeepKey);
}

bool JournalOptions::siteJournal(JournalLocation *location, QString *error)
{
    const QString value = settingsValue();
    if (value.isEmpty()) {
        *location = JournalLocation::defaultLocation();
        return true;
    }
    return parseFrom(value, keySource(JournalKey), location, error);
}

bool JournalOptions::siteRetention(JournalRetention *retention, QString *error)
{
    *retention = JournalRetention();
    const QString value = keepSettingsValue();
    return value.isEmpty() || parseFrom(value, keySource(KeepKey), retention, error);
}

QString JournalOptions::startDetail(quint16 port, bool listening, const QString &listenError)
{
    if (listening)
        return QStringLiteral("listening on UDP port %1").arg(port);
    return QStringLiteral("not listening: %1").arg(listenError);
}

std::unique_ptr<JournalRecorder> JournalOptions::startRecorder(quint16 port,
                                                               const QString &startDetail,
                                                               const QString &logName) const
{
    if (!journalEnabled)
        return nullptr;
    auto recorder = std::make_unique<JournalRecorder>();
    recorder->setLogName(logName);
    recorder->journalWriter()->setRetention(journalRetention);
    recorder->start(journalLocation, installation(port), startDetail);
    return recorder;
}

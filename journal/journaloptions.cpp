#include "journaloptions.h"

#include "journalrecorder.h"
#include "journalwriter.h"
#include "programidentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <QSysInfo>

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
    QString reason;
    if (parser.isSet(retentionOption)) {
        if (!JournalRetention::parse(parser.value(retentionOption), &journalRetention, &reason)) {
            *error = JournalOptions::tr("--keep: %1").arg(reason);
            return false;
        }
    } else if (!keepSettingsValue.isEmpty() &&
               !JournalRetention::parse(keepSettingsValue, &journalRetention, &reason)) {
        *error = JournalOptions::tr("the settings key \"journalKeep\": %1").arg(reason);
        return false;
    }

    QString text = parser.value(journalOption);
    QString source = QStringLiteral("--journal");
    if (!parser.isSet(journalOption) && !settingsValue.isEmpty()) {
        text = settingsValue;
        source = JournalOptions::tr("the settings key \"journal\"");
    }
    if (!parser.isSet(journalOption) && settingsValue.isEmpty()) {
        journalLocation = JournalLocation::defaultLocation();
        return true;
    }
    if (!JournalLocation::parse(text, &journalLocation, &reason)) {
        *error = JournalOptions::tr("%1: %2").arg(source, reason);
        return false;
    }
    return true;
}

QString JournalOptions::installation(quint16 port) const
{
    if (!installationName.isEmpty())
        return installationName;
    return QSysInfo::machineHostName() + QLatin1Char(':') + QString::number(port);
}

namespace {

QString siteSetting(const char *key)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                             QCoreApplication::organizationName(),
                             QLatin1String(ProgramIdentity::SettingsApplication));
    return settings.value(QLatin1String(key)).toString().trimmed();
}

} // namespace

QString JournalOptions::settingsValue()
{
    return siteSetting("journal");
}

QString JournalOptions::keepSettingsValue()
{
    return siteSetting("journalKeep");
}

bool JournalOptions::siteJournal(JournalLocation *location, QString *error)
{
    const QString value = settingsValue();
    if (value.isEmpty()) {
        *location = JournalLocation::defaultLocation();
        return true;
    }
    QString reason;
    if (!JournalLocation::parse(value, location, &reason)) {
        *error = JournalOptions::tr("the settings key \"journal\": %1").arg(reason);
        return false;
    }
    return true;
}

bool JournalOptions::siteRetention(JournalRetention *retention, QString *error)
{
    *retention = JournalRetention();
    const QString value = keepSettingsValue();
    QString reason;
    if (!value.isEmpty() && !JournalRetention::parse(value, retention, &reason)) {
        *error = JournalOptions::tr("the settings key \"journalKeep\": %1").arg(reason);
        return false;
    }
    return true;
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

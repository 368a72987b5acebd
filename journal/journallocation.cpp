#include "journallocation.h"

#include "programidentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool parsePostgres(const QString &text, JournalLocation *location, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        *error = JournalLocation::tr(
            "not a PostgreSQL address: expected postgresql://[user@]host[:port]/database");
        return false;
    }
    // The text is echoed in messages and logs and visible to every user of the machine in the
    // process list, so a password in it is refused instead of used.
    const int at = text.indexOf(QLatin1Char('@'));
    if (!url.password().isEmpty() || (at >= 0 && text.left(at).count(QLatin1Char(':')) > 1)) {
        *error = JournalLocation::tr(
            "a password does not belong in the journal address; put it into ~/.pgpass "
            "or the file PGPASSFILE names");
        return false;
    }
    if (url.hasQuery() || url.hasFragment()) {
        *error =
            JournalLocation::tr("the PostgreSQL address takes no options after the database name");
        return false;
    }
    QString database = url.path();
    if (!database.startsWith(QLatin1Char('/')) || database.size() < 2 ||
        database.indexOf(QLatin1Char('/'), 1) >= 0) {
        *error = JournalLocation::tr(
            "the PostgreSQL address names no database: postgresql://[user@]host[:port]/database");
        return false;
    }
    database.remove(0, 1);
    const int port = url.port(5432);
    if (port < 1 || port > 65535) {
        *error = JournalLocation::tr("the port must be 1 to 65535");
        return false;
    }
    location->type = JournalLocation::Type::PostgreSQL;
    location->path.clear();
    location->user = url.userName();
    location->host = url.host();
    location->port = port;
    location->database = database;
    return true;
}

} // namespace

bool JournalLocation::parse(const QString &text, JournalLocation *location, QString *error)
{
    JournalLocation parsed;
    QString reason;
    if (text.trimmed().isEmpty()) {
        reason = JournalLocation::tr(
            "the journal is empty: give a file or postgresql://[user@]host[:port]/database");
    } else if (text.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
               text.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive)) {
        parsePostgres(text, &parsed, &reason);
    } else {
        parsed.type = Type::SQLite;
        parsed.path = text;
    }
    if (parsed.type == Type::None) {
        if (error)
            *error = reason;
        return false;
    }
    *location = parsed;
    return true;
}

JournalLocation JournalLocation::defaultLocation()
{
    JournalLocation location;
    location.type = Type::SQLite;
    // The viewer's data folder (its AppDataLocation), named here so that the recorder and the
    // journal tool find the same journal whatever they are called themselves.
    location.path = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                        .filePath(QStringLiteral("%1/%2/journal.sqlite")
                                      .arg(QLatin1String(ProgramIdentity::Organisation),
                                           QLatin1String(ProgramIdentity::SettingsApplication)));
    return location;
}

QString JournalLocation::display() const
{
    switch (type) {
    case Type::None:
        return QString();
    case Type::SQLite:
        return path;
    case Type::PostgreSQL:
        break;
    }
    const QString hostText =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    const QString userText = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return QStringLiteral("postgresql://%1%2:%3/%4")
        .arg(userText, hostText)
        .arg(port)
        .arg(database);
}

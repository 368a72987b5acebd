#pragma once

#include <QCoreApplication>
#include <QString>

// Where a journal lives, as given by --journal or the INI key "journal": a file path for
// SQLite, or postgresql://[user@]host[:port]/database. A password never appears here: the
// PostgreSQL client reads it from ~/.pgpass or PGPASSFILE.
struct JournalLocation
{
    Q_DECLARE_TR_FUNCTIONS(JournalLocation)

public:
    enum class Type { None, SQLite, PostgreSQL };

    Type type = Type::None;
    QString path; // SQLite
    QString user; // PostgreSQL; empty: the login name
    QString host;
    int port = 5432;
    QString database;

    // False with *error set for a text that names neither; an empty text is an error too.
    static bool parse(const QString &text, JournalLocation *location, QString *error);
    // The default journal: journal.sqlite in the user's data folder (AppDataLocation).
    static JournalLocation defaultLocation();
    // For messages and logs: the path, or postgresql://user@host:port/database.
    QString display() const;
};

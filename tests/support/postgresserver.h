#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of its own for a test: initdb in a temporary folder, on a free port of
// 127.0.0.1, as an unprivileged user, with a password that only the password file it writes
// (and points PGPASSFILE at) knows. Stopped and removed with the object.
class PostgresServer
{
public:
    static constexpr const char *User = "orvo_test";
    // Names a data folder made by makeTemplate(): init() then copies it instead of running
    // initdb, about half of a server's start. Unset, every server runs initdb.
    static constexpr const char *TemplateVariable = "ORVO_PG_TEMPLATE";

    // Runs initdb into path (replacing what is there) as init() would, for servers to copy.
    static bool makeTemplate(const QString &path, QString *error);

    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Creates and starts the server; false with *error when it cannot.
    bool init(QString *error);
    bool start(QString *error);
    bool stop();
    bool isRunning() const { return running; }
    int port() const { return serverPort; }
    // Creates a database; false if it exists or the server is down.
    bool createDatabase(const QString &name, QString *error);
    // postgresql://orvo_test@127.0.0.1:<port>/<database>
    QString url(const QString &database) const;

private:
    bool prepare(QString *error);
    bool initdb(QString *error);
    bool runTool(const QString &tool, const QStringList &arguments, QString *error) const;

    QTemporaryDir dir;
    QString binDir;
    QString dataDir;
    int serverPort = 0;
    bool running = false;
    bool asPostgresUser = false;
};

#include "postgresserver.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QUuid>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char Password[] = "orvo-test-only";

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

QString newestBinDir()
{
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
              [&](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &version : qAsConst(versions)) {
        const QString bin = root.filePath(version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return QString();
}

bool runProcess(const QString &name, const QString &program, const QStringList &arguments,
                QString *error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("%1 failed: %2")
                         .arg(name, QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

} // namespace

PostgresServer::PostgresServer() = default;

PostgresServer::~PostgresServer()
{
    stop();
}

bool PostgresServer::runTool(const QString &tool, const QStringList &arguments,
                             QString *error) const
{
    QStringList args = arguments;
    QString program = binDir + QLatin1Char('/') + tool;
    // The server refuses to run as root.
    if (asPostgresUser) {
        args.prepend(program);
        args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} +
               args;
        program = QStringLiteral("runuser");
    }
    return runProcess(tool, program, args, error);
}

bool PostgresServer::prepare(QString *error)
{
    binDir = newestBinDir();
    if (binDir.isEmpty()) {
        *error =
            QStringLiteral("no PostgreSQL server under /usr/lib/postgresql (Debian's postgresql)");
        return false;
    }
    if (!dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString base = dir.path() + QStringLiteral("/pg");
    QDir().mkpath(base);
    asPostgresUser = ::geteuid() == 0;
    if (asPostgresUser) {
        const passwd *pw = ::getpwnam("postgres");
        if (!pw) {
            *error =
                QStringLiteral("running as root, and there is no user postgres to run the server");
            return false;
        }
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        if (::chown(QFile::encodeName(base).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            *error = QStringLiteral("cannot hand %1 to postgres").arg(base);
            return false;
        }
    }
    dataDir = base + QStringLiteral("/data");
    return true;
}

bool PostgresServer::initdb(QString *error)
{
    const QString pwFile = dir.path() + QStringLiteral("/pw");
    {
        QFile file(pwFile);
        file.open(QIODevice::WriteOnly);
        file.write(Password);
    }
    ::chmod(QFile::encodeName(pwFile).constData(), 0644);
    const bool ok =
        runTool(QStringLiteral("initdb"),
                {QStringLiteral("-D"), dataDir, QStringLiteral("-U"), QString::fromLatin1(User),
                 QStringLiteral("--pwfile=") + pwFile, QStringLiteral("-A"),
                 QStringLiteral("scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                 QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
                error);
    QFile::remove(pwFile);
    return ok;
}

bool PostgresServer::makeTemplate(const QString &path, QString *error)
{
    PostgresServer server;
    if (!server.prepare(error) || !server.initdb(error))
        return false;
    QDir(path).removeRecursively();
    QDir().mkpath(QFileInfo(path).path());
    // -a keeps the owner (postgres, when made as root) and the modes the server insists on.
    return runProcess(QStringLiteral("cp"), QStringLiteral("cp"),
                      {QStringLiteral("-a"), server.dataDir, path}, error);
}

bool PostgresServer::init(QString *error)
{
    if (!prepare(error))
        return false;
    const QString templateDir = qEnvironmentVariable(TemplateVariable);
    if (templateDir.isEmpty()) {
        if (!initdb(error))
            return false;
    } else {
        if (!QFile::exists(templateDir + QStringLiteral("/PG_VERSION"))) {
            *error = QStringLiteral("%1=%2 is no PostgreSQL data folder")
                         .arg(QLatin1String(TemplateVariable), templateDir);
            return false;
        }
        if (!runProcess(QStringLiteral("cp"), QStringLiteral("cp"),
                        {QStringLiteral("-a"), templateDir, dataDir}, error))
            return false;
    }
    serverPort = freePort();

    // Clients find the password where a site keeps it: a password file, never an argument.
    const QString passFile = dir.path() + QStringLiteral("/pgpass");
    QFile pass(passFile);
    if (!pass.open(QIODevice::WriteOnly)) {
        *error = pass.errorString();
        return false;
    }
    pass.write(
        QStringLiteral("127.0.0.1:%1:*:%2:%3\n").arg(serverPort).arg(User, Password).toUtf8());
    pass.close();
    ::chmod(QFile::encodeName(passFile).constData(), 0600);
    qputenv("PGPASSFILE", QFile::encodeName(passFile));
    return start(error);
}

bool PostgresServer::start(QString *error)
{
    if (running)
        return true;
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                                .arg(serverPort)
                                .arg(QFileInfo(dataDir).path());
    if (!runTool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), dataDir, QStringLiteral("-o"), options,
                  QStringLiteral("-l"), QFileInfo(dataDir).path() + QStringLiteral("/log"),
                  QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                  QStringLiteral("start")},
                 error))
        return false;
    running = true;
    return true;
}

bool PostgresServer::stop()
{
    if (!running)
        return true;
    running = !runTool(QStringLiteral("pg_ctl"),
                       {QStringLiteral("-D"), dataDir, QStringLiteral("-m"), QStringLiteral("fast"),
                        QStringLiteral("-w"), QStringLiteral("stop")},
                       nullptr);
    return !running;
}

bool PostgresServer::createDatabase(const QString &name, QString *error)
{
    const QString connection = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(serverPort);
        db.setUserName(QString::fromLatin1(User));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            // An identifier cannot be bound; the tests choose plain names.
            ok = q.exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
            if (!ok && error)
                *error = q.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

QString PostgresServer::url(const QString &database) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3")
        .arg(QString::fromLatin1(User))
        .arg(serverPort)
        .arg(database);
}

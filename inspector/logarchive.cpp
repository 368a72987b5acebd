#include "logarchive.h"

#include "operationlog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

namespace LogArchive {

QString fileName(const QString &host, quint16 port)
{
    if (host.isEmpty())
        return QStringLiteral("no-address.log");
    QString name = host;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]")), QStringLiteral("_"));
    return QStringLiteral("%1_%2.log").arg(name).arg(port);
}

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/logs");
}

bool append(const QString &folder, const QString &host, quint16 port, const QStringList &lines,
            QString *error)
{
    if (lines.isEmpty())
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QFile file(QDir(folder).filePath(fileName(host, port)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    for (const QString &line : lines)
        out << line << '\n';
    out.flush();
    return file.error() == QFileDevice::NoError;
}

void archive(OperationLog &log, const QString &host, quint16 port)
{
    // Nothing to tell anyone at exit if it fails: the rows were on screen.
    append(defaultFolder(), host, port, log.takePending());
}

} // namespace LogArchive

#include "protocencoder.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

bool protocEncode(const QByteArray &textFormat, QByteArray &encoded, QString *error,
                  const QString &messageType)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QString protoc = QStringLiteral(ORVO_PROTOC);
    if (protoc.isEmpty())
        return fail(QStringLiteral("protoc was not found when the tests were configured; "
                                   "install protobuf-compiler"));
    const QFileInfo schema(statusSchemaPath());
    if (!schema.exists())
        return fail(QStringLiteral("status schema %1 is missing").arg(schema.filePath()));

    QProcess process;
    process.start(protoc,
                  {QStringLiteral("--encode=") + messageType,
                   QStringLiteral("--proto_path=") + schema.absolutePath(), schema.fileName()});
    if (!process.waitForStarted(10000))
        return fail(QStringLiteral("cannot run %1: %2").arg(protoc, process.errorString()));
    process.write(textFormat);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return fail(QStringLiteral("%1 did not finish").arg(protoc));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return fail(QStringLiteral("protoc rejected the message: %1")
                        .arg(QString::fromLocal8Bit(process.readAllStandardError())));
    encoded = process.readAllStandardOutput();
    return true;
}

QString statusSchemaPath()
{
    return QStringLiteral(ORVO_STATUS_PROTO);
}

#include "protocencoder.h"

#include <QFileInfo>
#include <QProcess>

bool protocEncode(const QByteArray &textFormat, QByteArray &encoded, QString *error,
                  const QString &messageType)
{
    const QFileInfo schema(QStringLiteral(ORVO_STATUS_PROTO));
    QProcess process;
    process.start(QStringLiteral(ORVO_PROTOC),
                  {QStringLiteral("--encode=") + messageType,
                   QStringLiteral("--proto_path=") + schema.absolutePath(), schema.fileName()});
    if (process.waitForStarted(10000)) {
        process.write(textFormat);
        process.closeWriteChannel();
        if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0) {
            encoded = process.readAllStandardOutput();
            return true;
        }
    }
    if (error)
        *error = QStringLiteral("protoc (\"%1\"; install protobuf-compiler) failed: %2 %3")
                     .arg(QStringLiteral(ORVO_PROTOC), process.errorString(),
                          QString::fromLocal8Bit(process.readAllStandardError()));
    return false;
}

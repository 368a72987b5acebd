#pragma once

#include <QString>
#include <QStringList>

class OperationLog;

// The operation log kept past the session: one file per module address in the user's data
// folder, appended to, so that a configuration write or a restart can be traced later.
namespace LogArchive {

// "192.0.2.10_502.log"; characters a file name should not carry become '_'.
QString fileName(const QString &host, quint16 port);
// The logs folder in the user's data folder.
QString defaultFolder();
// Appends lines to the address's file in folder, creating both as needed.
bool append(const QString &folder, const QString &host, quint16 port, const QStringList &lines,
            QString *error = nullptr);
// Moves what the log gathered since the last call into the address's file in the default
// folder; rows logged before any address go to "no-address.log".
void archive(OperationLog &log, const QString &host, quint16 port);

} // namespace LogArchive

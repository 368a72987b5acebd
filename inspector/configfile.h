#pragma once

#include <QCoreApplication>
#include <QString>

struct t_orvo_settings;

// A module's configuration record as a file: exactly its 6572-byte register image, nothing
// around it, so that a file saved from one module can be loaded into another.
class ConfigFile
{
    Q_DECLARE_TR_FUNCTIONS(ConfigFile)

public:
    // Written through a temporary file that replaces the target only when complete, so a
    // failed save never leaves half a record behind. Refuses a target that exists and is not
    // a regular file (a directory, a device, a pipe). False with *error set on failure.
    static bool save(const QString &path, const t_orvo_settings &settings, QString *error);
    // Refuses a file of another size and a record that cannot be a module's; out is only
    // changed on success.
    static bool load(const QString &path, t_orvo_settings &out, QString *error);
};

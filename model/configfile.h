#pragma once

#include <QCoreApplication>
#include <QString>

struct t_orvo_settings;

// A module's configuration record as a file: exactly its 6572-byte register image, nothing
// around it, so that a file saved from one module can be loaded into another. The rules live
// here once; each program words the outcome its own way.
class ConfigFile
{
    Q_DECLARE_TR_FUNCTIONS(ConfigFile)

public:
    enum class Status {
        Ok,
        NotRegularFile, // exists and is a directory, a device, a pipe...
        CannotOpen,     // detail: the system's reason
        WrongSize,      // size: what the file holds
        NotAModule,     // detail: what SettingsCheck found; the record was still read
        CannotWrite,    // detail: the system's reason
    };
    struct Result
    {
        Status status = Status::Ok;
        QString detail;
        qint64 size = 0;
        bool ok() const { return status == Status::Ok; }
    };

    // Saving renames a new file over the old one: run as root onto /dev/full it would replace
    // the device node itself. Links are followed, so a link to a regular file is fine. True when
    // the path does not exist or is a regular file.
    static bool mayReplace(const QString &path);

    // Written through a temporary file that replaces the target only when complete, so a
    // failed save never leaves half a record behind. Refuses what mayReplace() refuses.
    static Result write(const QString &path, const t_orvo_settings &settings);
    // Refuses anything but a regular file of exactly the record's size. out is changed on Ok,
    // and on NotAModule too, for a caller that is told to write it all the same.
    static Result read(const QString &path, t_orvo_settings &out);

    // The same, worded for a window; false with *error set on failure, and load() changes out
    // only on success.
    static bool save(const QString &path, const t_orvo_settings &settings, QString *error);
    static bool load(const QString &path, t_orvo_settings &out, QString *error);

    // The window's words for what mayReplace() refuses.
    static QString refusal(const QString &path);

private:
    static QString describe(const QString &path, const Result &result);
};

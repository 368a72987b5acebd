#include "configfile.h"

#include "settingscheck.h"
#include "t_orvo_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool ConfigFile::save(const QString &path, const t_orvo_settings &settings, QString *error)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        setError(error, tr("%1 is not a regular file").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    const auto *bytes = reinterpret_cast<const char *>(&settings);
    if (file.write(bytes, OrvoSettings::ByteCount) != OrvoSettings::ByteCount || !file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool ConfigFile::load(const QString &path, t_orvo_settings &out, QString *error)
{
    const QFileInfo source(path);
    if (!source.isFile()) {
        setError(error, tr("%1 is not a regular file").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    // One byte more than a record tells a longer file from a complete one.
    const QByteArray bytes = file.read(OrvoSettings::ByteCount + 1);
    if (bytes.size() != OrvoSettings::ByteCount) {
        setError(error,
                 tr("The file holds %1 bytes; a module configuration has exactly %2")
                     .arg(bytes.size() > OrvoSettings::ByteCount ? source.size() : bytes.size())
                     .arg(OrvoSettings::ByteCount));
        return false;
    }
    t_orvo_settings record;
    std::memcpy(&record, bytes.constData(), sizeof record);
    const QString problem = SettingsCheck::problem(record);
    if (!problem.isEmpty()) {
        setError(error, tr("This is not a module configuration: %1").arg(problem));
        return false;
    }
    out = record;
    return true;
}

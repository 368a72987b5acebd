#include "configfile.h"

#include "settingscheck.h"
#include "t_orvo_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

bool ConfigFile::mayReplace(const QString &path)
{
    const QFileInfo target(path);
    return !target.exists() || target.isFile();
}

ConfigFile::Result ConfigFile::write(const QString &path, const t_orvo_settings &settings)
{
    if (!mayReplace(path))
        return {Status::NotRegularFile, QString(), 0};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {Status::CannotWrite, file.errorString(), 0};
    const auto *bytes = reinterpret_cast<const char *>(&settings);
    if (file.write(bytes, OrvoSettings::ByteCount) != OrvoSettings::ByteCount || !file.commit())
        return {Status::CannotWrite, file.errorString(), 0};
    return {};
}

ConfigFile::Result ConfigFile::read(const QString &path, t_orvo_settings &out)
{
    const QFileInfo source(path);
    // A missing file is left to open(), which says why.
    if (source.exists() && !source.isFile())
        return {Status::NotRegularFile, QString(), 0};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::CannotOpen, file.errorString(), 0};
    // One byte more than a record tells a longer file from a complete one.
    const QByteArray bytes = file.read(OrvoSettings::ByteCount + 1);
    if (bytes.size() != OrvoSettings::ByteCount)
        return {Status::WrongSize, QString(),
                bytes.size() > OrvoSettings::ByteCount ? source.size() : bytes.size()};
    std::memcpy(&out, bytes.constData(), sizeof out);
    const QString problem = SettingsCheck::problem(out);
    if (!problem.isEmpty())
        return {Status::NotAModule, problem, bytes.size()};
    return {Status::Ok, QString(), bytes.size()};
}

bool ConfigFile::save(const QString &path, const t_orvo_settings &settings, QString *error)
{
    const Result result = write(path, settings);
    if (!result.ok() && error)
        *error = describe(path, result);
    return result.ok();
}

bool ConfigFile::load(const QString &path, t_orvo_settings &out, QString *error)
{
    t_orvo_settings record;
    const Result result = read(path, record);
    if (!result.ok()) {
        if (error)
            *error = describe(path, result);
        return false;
    }
    out = record;
    return true;
}

QString ConfigFile::refusal(const QString &path)
{
    return describe(path, {Status::NotRegularFile, QString(), 0});
}

QString ConfigFile::describe(const QString &path, const Result &result)
{
    switch (result.status) {
    case Status::Ok:
        break;
    case Status::NotRegularFile:
        return tr("%1 is not a regular file").arg(QDir::toNativeSeparators(path));
    case Status::CannotOpen:
    case Status::CannotWrite:
        return result.detail;
    case Status::WrongSize:
        return tr("The file holds %1 bytes; a module configuration has exactly %2")
            .arg(result.size)
            .arg(OrvoSettings::ByteCount);
    case Status::NotAModule:
        return tr("This is not a module configuration: %1").arg(result.detail);
    }
    return QString();
}

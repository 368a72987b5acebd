#pragma once

#include <QByteArray>
#include <QString>

struct t_orvo_settings;

// Records and the files that carry them, as the configuration-file, console and window tests
// build them.
namespace RecordFiles {

// The record's bytes, as a configuration file holds them.
QByteArray image(const t_orvo_settings &record);
// Writes bytes to path, replacing what was there; false when that failed.
bool writeFile(const QString &path, const QByteArray &bytes);
// A zero-filled record that passes every check: node 5, channels 1 and 2, one measurement.
t_orvo_settings plausibleRecord();

} // namespace RecordFiles

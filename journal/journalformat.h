#pragma once

#include <QString>

// How the journal's times and values are written as text, alike in every output.
namespace JournalFormat {

// ISO 8601 in local time with milliseconds and the UTC offset: 2026-12-07T23:56:20.123+01:00.
QString time(qint64 msSinceEpoch);
// The shortest decimal text that reads back to the same single-precision number, C locale.
QString value(float value);
// An ISO 8601 date or time (local time unless it carries an offset or Z), or a time relative to
// nowMs: -15m, -24h, -7d, -30s. False for anything else.
bool parseTime(const QString &text, qint64 nowMs, qint64 *msSinceEpoch);

} // namespace JournalFormat

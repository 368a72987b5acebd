#pragma once

#include <QCoreApplication>
#include <QString>

// How long each part of the journal is kept.
struct JournalRetention
{
    Q_DECLARE_TR_FUNCTIONS(JournalRetention)

public:
    static constexpr qint64 Day = 24 * 3600 * 1000LL;
    qint64 secondsMs = Day;          // 1 s intervals
    qint64 minutesMs = 30 * Day;     // 1 min intervals
    qint64 tenMinutesMs = 730 * Day; // 10 min intervals
    qint64 eventsMs = 730 * Day;

    // How long a trend tier is kept. Hours are made of the ten minutes and go with them: they
    // only spare a long range from reading every day.
    qint64 keepMs(int tier) const;

    // "seconds=24h,minutes=30d,ten-minutes=2y,events=2y", any of them, in any order; the
    // others keep their defaults. Lengths in s, m, h, d or y (365 days). False with *reason for
    // anything else, and *out is left as it was.
    static bool parse(const QString &text, JournalRetention *out, QString *reason);
    // The same form, every part named.
    QString text() const;
};

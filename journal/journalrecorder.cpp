#include "journalrecorder.h"

#include "journalwriter.h"

#include <QDateTime>
#include <QTextStream>
#include <QTimer>

JournalRecorder::JournalRecorder(QObject *parent)
    : QObject(parent)
    , writer(new JournalWriter(this))
    , ticker(new QTimer(this))
{
    ticker->setInterval(TickMs);
    connect(ticker, &QTimer::timeout, this, &JournalRecorder::tick);
    connect(writer, &JournalWriter::stateChanged, this, &JournalRecorder::onWriterState);
    connect(writer, &JournalWriter::refused, this, [this](const QString &reason) {
        // Nothing will be written: the detector's work would only be thrown away.
        ticker->stop();
        refusedStart = true;
        emit refused(reason);
    });
}

JournalRecorder::~JournalRecorder()
{
    stop(QStringLiteral("program ended"));
}

void JournalRecorder::start(const JournalLocation &location, const QString &installation,
                            const QString &startDetail)
{
    if (started)
        return;
    started = true;
    journalName = location.display();
    writer->start(location, installation, startDetail);
    ticker->start();
}

void JournalRecorder::datagramAccepted(const NodeStatus &msg, qint64 timeMs)
{
    if (!started || stopped || refusedStart)
        return;
    detector.datagram(msg, timeMs, &events);
    trends.add(msg, timeMs);
    lastDatagramMs = timeMs;
    if (!events.isEmpty())
        flushEvents();
}

void JournalRecorder::stop(const QString &detail)
{
    if (!started || stopped)
        return;
    stopped = true;
    ticker->stop();
    // Silences already due are part of the record; presences still running are not ended.
    detector.checkSilence(QDateTime::currentMSecsSinceEpoch(), &events);
    flushEvents();
    trends.takeAll(&intervals);
    if (!intervals.isEmpty())
        writer->recordIntervals(intervals);
    intervals.clear();
    writer->stop(detail);
}

bool JournalRecorder::isRecording() const
{
    return writer->isRecording();
}

QString JournalRecorder::problem() const
{
    return writer->problem();
}

void JournalRecorder::tick()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    detector.checkSilence(now, &events);
    flushEvents();
    trends.takeFinished(now, &intervals);
    if (!intervals.isEmpty()) {
        writer->recordIntervals(intervals);
        intervals.clear();
    }
    if (now - lastDatagramMs >= IdleMs)
        writer->writeIntervalsNow();
}

void JournalRecorder::flushEvents()
{
    for (const JournalEvent &event : qAsConst(events))
        writer->record(event);
    events.clear();
}

void JournalRecorder::onWriterState(bool recording, const QString &reason)
{
    const bool changed = recording != lastRecording || (!recording && reason != lastReason);
    lastRecording = recording;
    lastReason = reason;
    if (!changed)
        return;
    // The end of recording is the program's own line to write.
    if (!logName.isEmpty() && !stopped) {
        QTextStream err(stderr);
        if (recording)
            err << logName << ": journal " << journalName << ": "
                << (everRecorded ? "recording again" : "recording") << '\n';
        else // the reason names the journal already
            err << logName << ": journal not recording: " << reason << '\n';
    }
    everRecorded = everRecorded || recording;
    emit stateChanged(recording, reason);
}

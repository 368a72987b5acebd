#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <deque>

// The requests a simulated module received, oldest first, at most MaxEntries (the oldest go
// first). Not thread-safe (its owner serialises every call).
class RequestLog
{
public:
    static constexpr int MaxEntries = 100000;

    // One request as the server received it.
    struct Entry
    {
        int function = 0;         // Modbus function code of the request
        int address = -1;         // protocol address: read address for 3/4, write address else
        int readAddress = -1;     // protocol address read (3, 4, 23), -1 if none
        int readCount = 0;        // registers read
        int writeAddress = -1;    // protocol address written (6, 16, 23), -1 if none
        int writeCount = 0;       // registers written
        QVector<quint16> written; // the values written, in order
        enum Outcome {
            Answered,  // normal answer sent
            Exception, // answered with a Modbus exception (fault or unsupported request)
            Dropped,   // connection closed instead of answering
        } outcome = Answered;

        // Register numbers as the link names them (protocol address + 1), 0 if none.
        uint readRegister() const { return readAddress < 0 ? 0 : uint(readAddress) + 1; }
        uint writeRegister() const { return writeAddress < 0 ? 0 : uint(writeAddress) + 1; }
    };

    void add(Entry entry);
    QVector<Entry> entries() const { return QVector<Entry>(log.begin(), log.end()); }
    int count() const { return int(log.size()); }
    void clear() { log.clear(); }

    // One line for a person watching the server: function, registers and counts, outcome.
    static QString describe(const Entry &entry);

private:
    std::deque<Entry> log;
};

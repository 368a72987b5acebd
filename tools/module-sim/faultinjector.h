#pragma once

#include <QVector>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

// The faults a simulated module can be told to show: a dropped connection, wrong echoes in
// window transfers, late answers, refused identification, a bogus header point count and
// failing reads. Not thread-safe (its owner serialises every call). Addresses are protocol
// addresses; register numbers (counted from 1) only where said.
class FaultInjector
{
public:
    // Answer n requests, then drop the connection on the next one (once); -1 disables.
    void setDropAfter(int n) { dropAfter = n < 0 ? -1 : n; }
    // Window transfers from now on: the first goodTransfers echo correctly, every later one
    // echoes an offset one higher; -1 disables.
    void setWrongEcho(int goodTransfers);
    void setAnswerDelay(int ms) { answerDelayMs = qMax(0, ms); }
    void setRefuseIdentification(bool on) { refuseIdent = on; }
    void setHeaderPointCount(std::optional<quint32> count) { headerCount = count; }
    // Reads touching registers firstRegister..firstRegister+count-1 (numbers from 1) fail.
    void addReadFailRange(uint firstRegister, uint count);
    void clearReadFailRanges() { failRanges.clear(); }
    void clear() { *this = FaultInjector(); }

    // Called once per request, before it is carried out: true when the connection is to be
    // dropped instead.
    bool dropNow();
    // Whether a read of count registers from address fails.
    bool readFails(uint address, uint count) const;
    // A window transfer's answer, with its echo spoiled when the fault says so.
    void windowTransfer(QVector<quint16> &answer);
    int answerDelay() const { return answerDelayMs; }
    std::optional<quint32> headerPointCount() const { return headerCount; }

private:
    int dropAfter = -1;
    int wrongEchoGood = -1;
    int windowTransfers = 0;
    int answerDelayMs = 0;
    bool refuseIdent = false;
    std::optional<quint32> headerCount;
    std::vector<std::pair<uint, uint>> failRanges; // protocol address, count
};

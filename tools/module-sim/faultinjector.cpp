#include "faultinjector.h"

#include "simregisters.h"

namespace {

bool overlaps(uint first, uint count, uint rangeFirst, uint rangeCount)
{
    return count > 0 && rangeCount > 0 && first < rangeFirst + rangeCount &&
           rangeFirst < first + count;
}

} // namespace

void FaultInjector::setWrongEcho(int goodTransfers)
{
    wrongEchoGood = goodTransfers < 0 ? -1 : goodTransfers;
    windowTransfers = 0;
}

void FaultInjector::addReadFailRange(uint firstRegister, uint count)
{
    if (firstRegister >= 1)
        failRanges.emplace_back(firstRegister - 1, count);
}

bool FaultInjector::dropNow()
{
    if (dropAfter == 0) {
        dropAfter = -1;
        return true;
    }
    if (dropAfter > 0)
        --dropAfter;
    return false;
}

bool FaultInjector::readFails(uint address, uint count) const
{
    if (refuseIdent &&
        overlaps(address, count, SimRegisters::InfoRegister - 1, SimRegisters::InfoCount))
        return true;
    for (const auto &range : failRanges) {
        if (overlaps(address, count, range.first, range.second))
            return true;
    }
    return false;
}

void FaultInjector::windowTransfer(QVector<quint16> &answer)
{
    // The third echo register is the low half of the point offset.
    if (wrongEchoGood >= 0 && windowTransfers >= wrongEchoGood && answer.size() >= 3)
        ++answer[2];
    ++windowTransfers;
}

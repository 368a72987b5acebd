#include "requestlog.h"

namespace {

QString functionName(int fc)
{
    switch (fc) {
    case 3:
        return QStringLiteral("read holding");
    case 4:
        return QStringLiteral("read input");
    case 6:
        return QStringLiteral("write single");
    case 16:
        return QStringLiteral("write multiple");
    case 23:
        return QStringLiteral("read/write");
    default:
        return QStringLiteral("function %1").arg(fc);
    }
}

} // namespace

void RequestLog::add(Entry entry)
{
    log.push_back(std::move(entry));
    while (int(log.size()) > MaxEntries)
        log.pop_front();
}

QString RequestLog::describe(const Entry &entry)
{
    QString line = functionName(entry.function);
    if (entry.writeAddress >= 0)
        line += QStringLiteral(" write 0x%1 x%2")
                    .arg(entry.writeRegister(), 4, 16, QLatin1Char('0'))
                    .arg(entry.writeCount);
    if (entry.readAddress >= 0)
        line += QStringLiteral(" read 0x%1 x%2")
                    .arg(entry.readRegister(), 4, 16, QLatin1Char('0'))
                    .arg(entry.readCount);
    if (entry.outcome == Entry::Exception)
        line += QStringLiteral(" -> exception");
    else if (entry.outcome == Entry::Dropped)
        line += QStringLiteral(" -> dropped");
    return line;
}

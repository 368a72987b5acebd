#include "relayname.h"

#include "t_orvo_settings.h"

#include <cstring>

QString relayName(const t_orvo_relay_settings &relay)
{
    const auto *begin = reinterpret_cast<const char *>(relay.name);
    const void *nul = std::memchr(begin, 0, sizeof relay.name);
    const int length = nul ? int(static_cast<const char *>(nul) - begin) : int(sizeof relay.name);
    return QString::fromUtf8(begin, length);
}

bool relayInUse(const t_orvo_relay_settings &relay)
{
    return (relay.mode & 3) == 3;
}

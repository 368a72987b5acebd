#include "recordfiles.h"

#include "t_orvo_settings.h"

#include <QFile>

#include <cstring>

namespace RecordFiles {

QByteArray image(const t_orvo_settings &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), sizeof record);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

t_orvo_settings plausibleRecord()
{
    t_orvo_settings s;
    std::memset(&s, 0, sizeof s);
    s.node_id = 5;
    s.channel_mask = 0x3;
    s.channels[1].meas[7].type = 16;
    return s;
}

} // namespace RecordFiles

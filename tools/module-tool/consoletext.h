#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

class ChState;
struct t_orvo_settings;

// Plain-text renderings of what the module console prints, kept out of the console so that
// the line formats are in one place.
namespace ConsoleText {

// "index,value,hex" followed by one line per point: index, the point as an unsigned decimal
// and the raw 32-bit word in hex ("0x0001e240").
QString pointsCsv(const QVector<quint32> &points);

// "1,3,8" for the relays (1 to 8) whose bit is set in byte `byteIndex` of the relay status
// word; "-" when none is.
QString relayList(quint32 relayStatus, int byteIndex);

QString relayLine(quint32 relayStatus);
QString settingsLine(const t_orvo_settings &settings);
QString channelLine(const ChState &state);

// Name of a channel status code as the viewer shows it.
QString channelStatusName(int status);

// Comma-separated channel indices (0 to 3) of a channel mask; "-" when empty.
QString channelList(quint16 mask);

} // namespace ConsoleText

#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

class ChState;
struct t_orvo_settings;

// Plain-text renderings of what the module console prints, kept out of the console so that
// the line formats are in one place.
namespace ConsoleText {

// How a point's 32-bit word is printed: Combined is "index,value,hex" (unsigned decimal and the
// raw word); the others print "index,value" with the word taken as an IEEE 754 single, a
// signed or unsigned integer, or the raw word in hex ("0x0001e240").
enum class PointFormat { Combined, Float, Int, UInt, Hex };
// False for a name that is none of "float", "int", "uint", "hex".
bool parsePointFormat(const QString &name, PointFormat &format);

QString pointsCsv(const QVector<quint32> &points, PointFormat format = PointFormat::Combined);

// Channels are counted from 1 wherever the console talks to a person, as in the windows; the
// module numbers them from 0.
inline int channelNumber(int ch)
{
    return ch + 1;
}

// "1,3,8" for the relays (1 to 8) whose bit is set in byte `byteIndex` of the relay status
// word; "-" when none is.
QString relayList(quint32 relayStatus, int byteIndex);

QString relayLine(quint32 relayStatus);
QString settingsLine(const t_orvo_settings &settings);
QString channelLine(const ChState &state);

// Name of a channel status code as the viewer shows it.
QString channelStatusName(int status);

// Comma-separated channel numbers (1 to 4) of a channel mask (bit 0: channel 1); "-" when
// empty.
QString channelList(quint16 mask);

} // namespace ConsoleText

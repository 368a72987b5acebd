#pragma once

// Records and lamp probes shared by the view tests.

#include "chstate.h"
#include "ledindicator.h"
#include "meascondledindicator.h"
#include "t_orvo_settings.h"

#include <QColor>
#include <QCoreApplication>
#include <QSharedPointer>
#include <QTableWidget>
#include <QTranslator>

#include <cstring>
#include <initializer_list>
#include <memory>

namespace ViewTest {

inline QSharedPointer<t_orvo_settings> makeSettings()
{
    auto settings = QSharedPointer<t_orvo_settings>::create();
    std::memset(settings.data(), 0, sizeof(t_orvo_settings));
    settings->full_scale = 0xFFFF;
    return settings;
}

// One configured measurement: channel index, slot, type code.
struct Slot
{
    int ch;
    int slot;
    quint16 type;
};

inline QSharedPointer<t_orvo_settings>
channelSettings(quint16 mask, std::initializer_list<Slot> measurements, quint16 fullScale = 0xFFFF)
{
    auto settings = makeSettings();
    settings->channel_mask = mask;
    settings->full_scale = fullScale;
    for (const Slot &s : measurements)
        settings->channels[s.ch].meas[s.slot].type = s.type;
    return settings;
}

inline QSharedPointer<t_orvo_settings> relaySettings(std::initializer_list<quint16> modes)
{
    auto settings = makeSettings();
    int r = 0;
    for (quint16 mode : modes)
        settings->relays[r++].mode = mode;
    return settings;
}

// Condition values as the module codes them: -1 (undetermined) travels as 2.
inline quint16 flags(int failure, int alert, int danger, bool baselineValid)
{
    auto field = [](int cond) { return quint16(cond < 0 ? 2 : cond); };
    return quint16(field(failure) | field(alert) << 2 | field(danger) << 4 |
                   (baselineValid ? 0x100 : 0));
}

// One measurement of a channel state image.
struct Meas
{
    int slot;
    quint16 type;
    float value;
    quint16 fs = 0;
    quint16 base = 0;
    quint16 flags = 0;
};

// Builds the record the way the program does: from an 88-register channel image.
inline QSharedPointer<ChState> makeState(int ch, quint16 status, std::initializer_list<Meas> meas)
{
    quint16 image[ChState::ImageRegisters] = {};
    image[0] = status;
    for (const Meas &m : meas) {
        quint16 *entry = image + 8 + 10 * m.slot;
        quint32 bits;
        std::memcpy(&bits, &m.value, sizeof bits);
        entry[0] = m.type;
        entry[1] = m.flags;
        entry[2] = quint16(bits & 0xFFFF);
        entry[3] = quint16(bits >> 16);
        entry[4] = m.fs;
        entry[5] = m.base;
    }
    return QSharedPointer<ChState>::create(ch, image);
}

// What a lamp shows: "green", "red", "off", or "lit?" for other on-colours.
inline QString lampShows(const MeasCondLedIndicator *indicator)
{
    if (!indicator)
        return QStringLiteral("none");
    const LedIndicator *lamp = indicator->lamp();
    if (!lamp->isChecked())
        return QStringLiteral("off");
    const QColor c1 = lamp->property("onColor1").value<QColor>();
    const QColor c2 = lamp->property("onColor2").value<QColor>();
    if (c1 == QColor(0, 255, 0) && c2 == QColor(0, 192, 0))
        return QStringLiteral("green");
    if (c1 == QColor(255, 0, 0) && c2 == QColor(192, 0, 0))
        return QStringLiteral("red");
    return QStringLiteral("lit?");
}

inline MeasCondLedIndicator *indicatorAt(const QTableWidget *table, int row, int column)
{
    return qobject_cast<MeasCondLedIndicator *>(table->cellWidget(row, column));
}

inline QString lampAt(const QTableWidget *table, int row, int column)
{
    return lampShows(indicatorAt(table, row, column));
}

inline QString textAt(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QStringLiteral("<no item>");
}

// The views' Russian catalogue, installed for the lifetime of the object.
class Russian
{
public:
    Russian()
    {
        loaded = translator.load(QStringLiteral(ORVO_VIEWS_QM));
        if (loaded)
            QCoreApplication::installTranslator(&translator);
    }
    ~Russian() { QCoreApplication::removeTranslator(&translator); }
    bool loaded = false;

private:
    QTranslator translator;
};

} // namespace ViewTest

#pragma once

// Records and lamp probes shared by the view tests.

#include "chstate.h"
#include "lampdelegate.h"
#include "ledindicator.h"
#include "meascondledindicator.h"
#include "t_orvo_settings.h"

#include <QPaintEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <array>
#include <cstring>
#include <optional>

namespace ViewTest {

using Settings = QSharedPointer<t_orvo_settings>;

// The measurements are {channel, slot, type}.
inline Settings channelSettings(quint16 mask,
                                std::initializer_list<std::array<int, 3>> measurements,
                                quint16 fullScale = 0xFFFF)
{
    auto settings = Settings::create();
    std::memset(settings.data(), 0, sizeof(t_orvo_settings));
    settings->channel_mask = mask;
    settings->full_scale = fullScale;
    for (const auto &m : measurements)
        settings->channels[m[0]].meas[m[1]].type = quint16(m[2]);
    return settings;
}

inline Settings relaySettings(std::initializer_list<quint16> modes)
{
    auto settings = channelSettings(0, {});
    for (size_t r = 0; r < modes.size(); ++r)
        settings->relays[r].mode = modes.begin()[r];
    return settings;
}

// Condition values as the module codes them: -1 (undetermined) travels as 2.
inline quint16 flags(int failure, int alert, int danger, bool baselineValid)
{
    auto field = [](int cond) { return cond < 0 ? 2 : cond; };
    return quint16(field(failure) | field(alert) << 2 | field(danger) << 4 | baselineValid << 8);
}

struct Meas // one measurement of a channel state image
{
    int slot;
    quint16 type;
    float value;
    quint16 fs = 0, base = 0, flags = 0;
};

// Builds the record the way the program does: from an 88-register channel image.
inline QSharedPointer<ChState> makeState(int ch, quint16 status, std::initializer_list<Meas> meas)
{
    quint16 image[ChState::ImageRegisters] = {status};
    for (const Meas &m : meas) {
        quint32 bits;
        std::memcpy(&bits, &m.value, sizeof bits);
        const quint16 entry[] = {m.type, m.flags, quint16(bits), quint16(bits >> 16), m.fs, m.base};
        std::memcpy(image + 8 + 10 * m.slot, entry, sizeof entry);
    }
    return QSharedPointer<ChState>::create(ch, image);
}

// What a lamp widget shows: "green", "red", "off", "none" without a lamp, "lit?" in another
// colour.
inline QString lampShows(const QWidget *widget)
{
    const auto *indicator = qobject_cast<const MeasCondLedIndicator *>(widget);
    if (!indicator || !indicator->lamp()->isChecked())
        return indicator ? "off" : "none";
    const QString on = indicator->lamp()->property("onColor1").value<QColor>().name() +
                       indicator->lamp()->property("onColor2").value<QColor>().name();
    return on == "#00ff00#00c000" ? "green" : on == "#ff0000#c00000" ? "red" : "lit?";
}

// The same for a lamp that the table draws in a cell.
inline QString lampShows(const QTableWidget *table, int row, int column)
{
    const std::optional<int> state = LampDelegate::lampState(table->item(row, column));
    return !state ? "none" : *state == Lamp::Green ? "green" : *state == Lamp::Red ? "red" : "off";
}

inline bool isLamp(const QTableWidget *table, int row, int column)
{
    return bool(LampDelegate::lampState(table->item(row, column)));
}

inline QString textAt(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : "<no item>";
}

// The rows of a table, each as its cells' texts and lamps joined by " ".
inline QStringList rowsOf(const QWidget *view)
{
    const auto *table = view->findChild<QTableWidget *>();
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->cellWidget(r, c) ? lampShows(table->cellWidget(r, c))
                      : isLamp(table, r, c)   ? lampShows(table, r, c)
                                              : textAt(table, r, c));
        rows << cells.join(' ');
    }
    return rows;
}

// In a window far too short for its panels, as in a large installation, a panel keeps its
// height and the window would scroll, rather than its table shrinking behind a scroll bar.
inline void verifyFitsInACrowdedStack(QWidget *panel)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *filler = new QWidget(&window);
    filler->setMinimumHeight(400);
    layout->addWidget(filler);
    layout->addWidget(panel);
    window.resize(500, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(panel->height(), panel->minimumHeight());
    QCOMPARE(panel->height(), panel->maximumHeight());
    const auto *table = panel->findChild<QTableWidget *>();
    int rows = 0;
    for (int r = 0; r < table->rowCount(); ++r)
        rows += table->rowHeight(r);
    QVERIFY2(table->viewport()->height() >= rows, qPrintable(QString::number(rows)));
    QVERIFY(!table->verticalScrollBar()->isVisible());
}

// Counts the repaints of the lamps it watches, each named by the cell it sits in: a lamp is
// repainted when a paint of its table covers any of its cell.
class LampPaints : public QObject
{
public:
    void watch(const QTableWidget *table, int row, int column)
    {
        QVERIFY(isLamp(table, row, column));
        table->viewport()->installEventFilter(this);
        cells.insert(QStringLiteral("%1/%2").arg(row).arg(column),
                     {table->viewport(), table->visualItemRect(table->item(row, column))});
    }
    // The cells whose lamps were painted, each once, in order.
    QStringList painted() const
    {
        QStringList cells = seen.values();
        cells.sort();
        return cells;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const QRegion painted = static_cast<QPaintEvent *>(event)->region();
        for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell) {
            if (cell->first == watched && painted.intersects(cell->second))
                seen.insert(cell.key());
        }
        return false;
    }

private:
    QHash<QString, QPair<const QObject *, QRect>> cells;
    QSet<QString> seen;
};

// Runs the posted work of the event loop: repaints of a shown widget included.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The views' Russian catalogue, installed for the lifetime of the object.
struct Russian
{
    Russian() { QVERIFY(translator.load(ORVO_VIEWS_QM) && qApp->installTranslator(&translator)); }
    ~Russian() { qApp->removeTranslator(&translator); }
    QTranslator translator;
};

} // namespace ViewTest

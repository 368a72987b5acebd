#pragma once

#include <QStyledItemDelegate>

// Paints the alarm summary's lamps, amber for an alert and red for worse, lit while the alarm
// is active; an active alarm nobody has acknowledged goes on and off with the blink phase.
// Painted, not placed: a thousand lamp widgets cost the window a long pause on each summary.
class AlarmLampDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int Edge = 18;

    explicit AlarmLampDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The phase of every blinking lamp: true is its lit half.
    void setBlinkPhase(bool lit) { phase = lit; }
    bool blinkPhase() const { return phase; }
    // Whether the lamp of a summary row is lit in the given phase.
    static bool isLit(const QModelIndex &index, bool phase);
    static QColor onColour(const QModelIndex &index);

private:
    bool phase = true;
};

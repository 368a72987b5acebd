#pragma once

#include <QStyledItemDelegate>

#include <optional>

QT_BEGIN_NAMESPACE
class QAbstractItemView;
class QTableWidgetItem;
QT_END_NAMESPACE

// Draws the condition lamps of a status table from its items, so that a table of many lamps
// needs no widget per lamp, which is most of what building and updating such a table costs. A
// cell whose item holds a lamp state shows what a MeasCondLedIndicator placed in that cell
// would show, and, like such a widget, keeps mouse presses from the view. Other cells are drawn
// as by the default delegate.
class LampDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The state as MeasCondLedIndicator takes it: any int, lit only for Green and Red.
    static constexpr int StateRole = Qt::UserRole + 1;

    // Becomes the view's delegate; the view owns it.
    explicit LampDelegate(QAbstractItemView *view);
    ~LampDelegate() override;

    // An item showing a lamp that is off.
    static QTableWidgetItem *newLampItem();
    // Nothing for a cell without a lamp.
    static std::optional<int> lampState(const QModelIndex &index);
    static std::optional<int> lampState(const QTableWidgetItem *item);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *const view;
    QWidget *const viewport;
    bool lampPressed = false; // a press on a lamp, kept from the view until its release
};

#include "lampdelegate.h"

#include "ledindicator.h"
#include "meascondledindicator.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QTableWidgetItem>

namespace {
// The edge of the lamp inside a condition indicator.
constexpr int Edge = 22;
} // namespace

LampDelegate::LampDelegate(QAbstractItemView *view)
    : QStyledItemDelegate(view)
    , view(view)
    , viewport(view->viewport())
{
    view->setItemDelegate(this);
    viewport->installEventFilter(this);
}

LampDelegate::~LampDelegate() = default;

QTableWidgetItem *LampDelegate::newLampItem()
{
    auto *item = new QTableWidgetItem;
    item->setData(StateRole, int(Lamp::Off));
    return item;
}

std::optional<int> LampDelegate::lampState(const QModelIndex &index)
{
    const QVariant state = index.data(StateRole);
    if (!state.isValid())
        return std::nullopt;
    return state.toInt();
}

std::optional<int> LampDelegate::lampState(const QTableWidgetItem *item)
{
    const QVariant state = item ? item->data(StateRole) : QVariant();
    if (!state.isValid())
        return std::nullopt;
    return state.toInt();
}

void LampDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const std::optional<int> state = lampState(index);
    if (!state)
        return;
    // Where the indicator's centring layout puts its lamp: a square of the lamp's edge, centred
    // in a cell that has room for it, at the cell's edge otherwise, and cut off by the cell.
    const QRect cell = option.rect;
    const QPoint corner(cell.x() + (cell.width() - qMin(cell.width(), Edge)) / 2,
                        cell.y() + (cell.height() - qMin(cell.height(), Edge)) / 2);
    const bool lit = *state == Lamp::Green || *state == Lamp::Red;
    painter->save();
    // Nothing of the lamp leaves its widget's rectangle, not even the antialiased edge.
    painter->setClipRect(QRect(corner, QSize(Edge, Edge)) & cell, Qt::IntersectClip);
    painter->translate(corner);
    LedIndicator::paintLamp(*painter, QSize(Edge, Edge), lit,
                            MeasCondLedIndicator::onColor1For(*state),
                            MeasCondLedIndicator::onColor2For(*state),
                            LedIndicator::defaultOffColor1(), LedIndicator::defaultOffColor2());
    painter->restore();
}

bool LampDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport goes after the view's own part is gone, and still sends events while it
    // goes: the view is asked nothing unless a mouse event came.
    if (watched != viewport)
        return QStyledItemDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A lamp widget took the presses on its cell: no selection, no current cell.
        lampPressed = bool(lampState(view->indexAt(static_cast<QMouseEvent *>(event)->pos())));
        return lampPressed;
    case QEvent::MouseMove:
        return lampPressed;
    case QEvent::MouseButtonRelease:
        if (!lampPressed)
            return false;
        lampPressed = static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton;
        return true;
    default:
        return false;
    }
}

#include "lampdelegate.h"

#include "alarmmodel.h"
#include "ledindicator.h"

#include <QApplication>
#include <QPainter>

LampDelegate::LampDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

bool LampDelegate::isLit(const QModelIndex &index, bool phase)
{
    if (!index.data(AlarmModel::ActiveRole).toBool())
        return false;
    return !index.data(AlarmModel::BlinkRole).toBool() || phase;
}

QColor LampDelegate::onColour(const QModelIndex &index)
{
    const auto severity = AlarmModel::Severity(index.data(AlarmModel::SeverityRole).toInt());
    return severity == AlarmModel::Severity::Alert ? QColor(255, 191, 0) : QColor(255, 0, 0);
}

void LampDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    // The cell's background and selection as the style draws them, then the lamp.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    const QColor on = onColour(index);
    QRect area(0, 0, Edge, Edge);
    area.moveCenter(option.rect.center());
    LedIndicator::paintLamp(painter, area, isLit(index, phase), on, on.darker(130), on.darker(500),
                            on.darker(250));
}

QSize LampDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(Edge + 4, Edge + 4));
}

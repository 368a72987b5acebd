#include "alarmlampdelegate.h"

#include "alarmmodel.h"
#include "ledindicator.h"

#include <QApplication>
#include <QPainter>

AlarmLampDelegate::AlarmLampDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

bool AlarmLampDelegate::isLit(const QModelIndex &index, bool phase)
{
    if (!index.data(AlarmModel::ActiveRole).toBool())
        return false;
    return !index.data(AlarmModel::BlinkRole).toBool() || phase;
}

QColor AlarmLampDelegate::onColour(const QModelIndex &index)
{
    const auto severity = AlarmModel::Severity(index.data(AlarmModel::SeverityRole).toInt());
    return severity == AlarmModel::Severity::Alert ? QColor(255, 191, 0) : QColor(255, 0, 0);
}

void AlarmLampDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
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
    painter->save();
    painter->translate(area.topLeft());
    LedIndicator::paintLamp(*painter, area.size(), isLit(index, phase), on, on.darker(130),
                            on.darker(500), on.darker(250));
    painter->restore();
}

QSize AlarmLampDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(Edge + 4, Edge + 4));
}

#include "quiettextitem.h"

#include <QTableWidget>

namespace {
bool isTextRole(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole;
}
} // namespace

QuietTextItem::QuietTextItem() = default;

QuietTextItem::~QuietTextItem() = default;

QVariant QuietTextItem::data(int role) const
{
    return isTextRole(role) ? QVariant(shown) : QTableWidgetItem::data(role);
}

void QuietTextItem::setData(int role, const QVariant &value)
{
    if (!isTextRole(role)) {
        QTableWidgetItem::setData(role, value);
        return;
    }
    const QString text = value.toString();
    if (text == shown)
        return;
    shown = text;
    if (QTableWidget *table = tableWidget()) {
        // The notice any item gives: the view repaints the cell and the table emits itemChanged.
        QAbstractItemModel *model = table->model();
        const QModelIndex index = model->index(row(), column());
        emit model->dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
}

QTableWidgetItem *QuietTextItem::clone() const
{
    return new QuietTextItem(*this);
}

#include "tableitembatch.h"

#include "quiettextitem.h"

#include <QTableWidget>

#include <algorithm>

TableItemBatch::TableItemBatch(QTableWidget *table)
    : table(table)
    , quiet(table->model())
{
    std::fill(std::begin(firstRow), std::end(firstRow), -1);
    std::fill(std::begin(lastRow), std::end(lastRow), -1);
}

TableItemBatch::~TableItemBatch()
{
    quiet.unblock();
    if (written.isEmpty())
        return;
    for (QTableWidgetItem *item : written)
        emit table->itemChanged(item);
    if (!isOnScreen(table->viewport()))
        return;
    for (const QTableWidgetItem *item : cells)
        table->viewport()->update(table->visualItemRect(item));
    if (wholeTable) {
        table->viewport()->update();
        return;
    }
    const QAbstractItemModel *model = table->model();
    for (int column = 0; column < MaxColumns; ++column) {
        if (firstRow[column] < 0)
            continue;
        int top = firstRow[column];
        int bottom = lastRow[column];
        int last = column;
        while (last + 1 < MaxColumns && firstRow[last + 1] >= 0) {
            ++last;
            top = std::min(top, firstRow[last]);
            bottom = std::max(bottom, lastRow[last]);
        }
        const QRect area = table->visualRect(model->index(top, column)) |
                           table->visualRect(model->index(bottom, last));
        table->viewport()->update(area);
        column = last;
    }
}

void TableItemBatch::setText(QuietTextItem *item, int column, const QString &text)
{
    // An item that no table holds (a channel without measurements keeps its time item aside)
    // has no cell to repaint.
    Q_ASSERT(!item->tableWidget() || column == item->column());
    item->setTextQuietly(text);
    const int row = item->row();
    if (column < 0 || row < 0)
        return;
    written.append(item);
    if (column >= MaxColumns) {
        // Wider than any table here; such a table is repainted whole rather than miss a cell.
        wholeTable = true;
        return;
    }
    firstRow[column] = firstRow[column] < 0 ? row : std::min(firstRow[column], row);
    lastRow[column] = std::max(lastRow[column], row);
}

void TableItemBatch::setData(QTableWidgetItem *item, int role, const QVariant &value)
{
    item->setData(role, value);
    if (!item->tableWidget())
        return;
    written.append(item);
    cells.append(item);
}

bool isOnScreen(const QWidget *widget)
{
    if (!widget->isVisible())
        return false;
    QRect area = widget->rect();
    for (const QWidget *w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        area.translate(w->pos());
        area &= w->parentWidget()->rect();
        if (area.isEmpty())
            return false;
    }
    return true;
}

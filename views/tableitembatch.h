#pragma once

#include <QRect>
#include <QSignalBlocker>
#include <QVarLengthArray>

QT_BEGIN_NAMESPACE
class QString;
class QTableWidget;
class QTableWidgetItem;
class QVariant;
class QWidget;
QT_END_NAMESPACE

class QuietTextItem;

// Writes a batch of item texts and lamps into one table and tells its view once. Each item's own
// notice would have the view mark its cell dirty on its own, a region union per cell that grows
// with the rows, and for a panel scrolled out of sight as well. Here the model stays quiet while
// the batch lasts; at its end every written item is still announced through itemChanged, and the
// view repaints one rectangle per run of adjacent written text columns and the cell of each
// written lamp, only when it is on screen.
class TableItemBatch
{
public:
    explicit TableItemBatch(QTableWidget *table);
    ~TableItemBatch();
    TableItemBatch(const TableItemBatch &) = delete;
    TableItemBatch &operator=(const TableItemBatch &) = delete;

    // column is the item's column, which the caller knows for less than the table's lookup.
    void setText(QuietTextItem *item, int column, const QString &text);
    // Any other role. Such changes are rare and sit beside cells that did not change, so each
    // repaints its own cell only.
    void setData(QTableWidgetItem *item, int role, const QVariant &value);

private:
    static constexpr int MaxColumns = 16;

    QTableWidget *const table;
    QSignalBlocker quiet;
    QVarLengthArray<QTableWidgetItem *, 128> written;
    QVarLengthArray<QTableWidgetItem *, 16> cells; // repainted one by one
    // Per column, the first and last written row; -1 while none.
    int firstRow[MaxColumns];
    int lastRow[MaxColumns];
    bool wholeTable = false;
};

// Whether any part of the widget can be seen in its window, the clipping of every ancestor
// (such as a scroll area's viewport) counted.
bool isOnScreen(const QWidget *widget);

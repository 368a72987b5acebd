#include "tableheight.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QTableWidget>

int fittedTableHeight(const QTableWidget *table)
{
    int h = table->horizontalHeader()->height() + 4;
    for (int row = 0; row < table->rowCount(); ++row)
        h += table->rowHeight(row);
    return h;
}

void fitPanelToTable(QGroupBox *panel, QLayout *layout, QTableWidget *table, int slack)
{
    const int h = fittedTableHeight(table);
    table->setMaximumHeight(h + 10);
    // A style with a taller title or wider margins gets what it needs.
    const QMargins box = panel->contentsMargins();
    const QMargins inner = layout->contentsMargins();
    const int around = box.top() + box.bottom() + inner.top() + inner.bottom();
    const int height = qMax(h + slack, h + 10 + around);
    panel->setMinimumHeight(height);
    panel->setMaximumHeight(height);
}

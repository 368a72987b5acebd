#pragma once

#include <QtGlobal>
QT_BEGIN_NAMESPACE
class QGroupBox;
class QLayout;
class QTableWidget;
QT_END_NAMESPACE

// Height of a table that shows its header and every row without a scroll bar.
int fittedTableHeight(const QTableWidget *table);

// Fixes a panel's height to its table's content, so that the main window scrolls the panels and
// no panel hides rows behind a scroll bar of its own. `slack` is the room the panel keeps around
// the table beyond its own margins.
void fitPanelToTable(QGroupBox *panel, QLayout *layout, QTableWidget *table, int slack);

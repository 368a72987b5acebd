#include "kqtablecopyaction.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

KQTableCopyAction::KQTableCopyAction(QTableView *table, QObject *parent)
    : QAction(parent ? parent : table)
    , table(table)
{
    setShortcut(QKeySequence::Copy);
    setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (table)
        table->addAction(this);
    connect(this, &QAction::triggered, this, &KQTableCopyAction::copy);
    retranslate();
}

KQTableCopyAction::~KQTableCopyAction() = default;

// Writes the visible selected cells into text and returns how many there were.
int KQTableCopyAction::collectSelection(QString &text) const
{
    QModelIndexList indexes = table->selectionModel()->selectedIndexes();
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });

    int previousRow = -1;
    int kept = 0;
    for (const QModelIndex &index : qAsConst(indexes)) {
        if (table->isRowHidden(index.row()) || table->isColumnHidden(index.column()))
            continue;
        if (kept > 0)
            text += index.row() == previousRow ? QLatin1Char('\t') : QLatin1Char('\n');
        text += index.data(Qt::DisplayRole).toString();
        previousRow = index.row();
        ++kept;
    }
    return kept;
}

void KQTableCopyAction::copy()
{
    if (!table || !table->selectionModel())
        return;
    // A selection of hidden cells only has nothing to copy, so it must not wipe the clipboard.
    QString text;
    if (collectSelection(text) == 0)
        return;
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void KQTableCopyAction::retranslate()
{
    setText(tr("&Copy"));
    setStatusTip(tr("Copy selected text"));
}

bool KQTableCopyAction::event(QEvent *e)
{
    // The table hands language changes on to its child objects, this action among them.
    if (e->type() == QEvent::LanguageChange)
        retranslate();
    return QAction::event(e);
}

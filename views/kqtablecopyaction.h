#pragma once

#include <QAction>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QTableView;
QT_END_NAMESPACE

// "Copy" for one table view: the selected cells go to the clipboard as tab-separated
// fields, one line per row, ready to paste into a spreadsheet. The action is added to the
// table's actions with the standard copy shortcut, working while the table has focus; a
// holder may also put it into the table's context menu.
class KQTableCopyAction : public QAction
{
    Q_OBJECT

public:
    // Without a parent the action is parented to the table, so it never outlives it.
    explicit KQTableCopyAction(QTableView *table, QObject *parent = nullptr);
    ~KQTableCopyAction() override;

public slots:
    void copy();
    void retranslate();

protected:
    bool event(QEvent *e) override;

private:
    int collectSelection(QString &text) const;

    QPointer<QTableView> table;
};

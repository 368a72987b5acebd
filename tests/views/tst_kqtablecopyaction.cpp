#include "kqtablecopyaction.h"
#include "viewtestsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {
using Cells = QVector<QPoint>; // x = row, y = column

// A 3 x 4 table whose cells read "row,column".
struct Table
{
    explicit Table(const Cells &selected)
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                model.setItem(r, c, new QStandardItem(QStringLiteral("%1,%2").arg(r).arg(c)));
        view.setModel(&model);
        for (const QPoint &cell : selected)
            view.selectionModel()->select(model.index(cell.x(), cell.y()),
                                          QItemSelectionModel::Select);
    }
    QStandardItemModel model{3, 4};
    QTableView view;
};

const QString before = QStringLiteral("clipboard before");
QString clipboard()
{
    return QApplication::clipboard()->text();
}
} // namespace

Q_DECLARE_METATYPE(Cells)

class TestKQTableCopyAction : public QObject
{
    Q_OBJECT

private slots:
    void init() { QApplication::clipboard()->setText(before); }

    void copy_data()
    {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QList<int>>("hiddenRows");
        QTest::addColumn<QList<int>>("hiddenColumns");
        QTest::addColumn<QString>("text");

        const QList<int> none;
        QTest::newRow("single cell") << Cells{{1, 2}} << none << none << "1,2";
        QTest::newRow("selection order does not matter")
            << Cells{{1, 1}, {0, 2}, {0, 0}} << none << none << "0,0\t0,2\n1,1";
        QTest::newRow("not rectangular") << Cells{{0, 0}, {0, 1}, {1, 3}, {2, 0}, {2, 1}, {2, 2}}
                                         << none << none << "0,0\t0,1\n1,3\n2,0\t2,1\t2,2";
        QTest::newRow("hidden first row") << Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}
                                          << QList<int>{0} << none << "1,0\t1,1\n2,0\t2,1";
        QTest::newRow("hidden row and column")
            << Cells{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {2, 0}, {2, 2}} << QList<int>{1}
            << QList<int>{1} << "0,0\t0,2\n2,0\t2,2";
        // Nothing visible to copy must not wipe the clipboard.
        QTest::newRow("empty selection") << Cells{} << none << none << before;
        QTest::newRow("only hidden cells")
            << Cells{{0, 0}, {1, 1}} << QList<int>{0} << QList<int>{1} << before;
    }

    void copy()
    {
        QFETCH(Cells, cells);
        QFETCH(QList<int>, hiddenRows);
        QFETCH(QList<int>, hiddenColumns);
        QFETCH(QString, text);

        Table table(cells);
        auto *action = new KQTableCopyAction(&table.view);
        for (int r : hiddenRows)
            table.view.setRowHidden(r, true);
        for (int c : hiddenColumns)
            table.view.setColumnHidden(c, true);
        action->trigger();
        QCOMPARE(clipboard(), text);
    }

    void shortcutCopiesWhileTableHasFocus()
    {
        Table table({{0, 0}, {0, 1}, {2, 3}});
        new KQTableCopyAction(&table.view);
        table.view.show();
        QApplication::setActiveWindow(&table.view);
        QVERIFY(QTest::qWaitForWindowActive(&table.view));
        table.view.setFocus();
        QTest::keySequence(&table.view, QKeySequence(QKeySequence::Copy));
        QCOMPARE(clipboard(), QStringLiteral("0,0\t0,1\n2,3"));
    }

    void survivesItsTable()
    {
        QObject holder;
        QPointer<KQTableCopyAction> action;
        {
            Table table({{0, 0}});
            action = new KQTableCopyAction(&table.view, &holder);
        }
        QVERIFY(action);
        action->trigger();
        QCOMPARE(clipboard(), before);
    }
};

QTEST_MAIN(TestKQTableCopyAction)
#include "tst_kqtablecopyaction.moc"

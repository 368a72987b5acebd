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
class CopyFixture
{
public:
    CopyFixture()
        : model(3, 4)
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                model.setItem(r, c, new QStandardItem(QStringLiteral("%1,%2").arg(r).arg(c)));
        view.setModel(&model);
        view.setSelectionMode(QAbstractItemView::MultiSelection);
    }

    void select(const Cells &cells)
    {
        for (const QPoint &cell : cells)
            view.selectionModel()->select(model.index(cell.x(), cell.y()),
                                          QItemSelectionModel::Select);
    }

    QStandardItemModel model;
    QTableView view;
};

const QString sentinel = QStringLiteral("clipboard before");
} // namespace

Q_DECLARE_METATYPE(Cells)

class TestKQTableCopyAction : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void construction();
    void copy_data();
    void copy();
    void shortcutCopiesWhileTableHasFocus();
    void survivesItsTable();
    void languageChange();
};

void TestKQTableCopyAction::init()
{
    QApplication::clipboard()->setText(sentinel);
}

void TestKQTableCopyAction::construction()
{
    QTableView table;
    auto *action = new KQTableCopyAction(&table);
    QCOMPARE(action->parent(), &table);
    QVERIFY(table.actions().contains(action));
    QCOMPARE(action->text(), QStringLiteral("&Copy"));
    QCOMPARE(action->statusTip(), QStringLiteral("Copy selected text"));
    QCOMPARE(action->shortcut(), QKeySequence(QKeySequence::Copy));
    QCOMPARE(action->shortcutContext(), Qt::WidgetWithChildrenShortcut);
}

void TestKQTableCopyAction::copy_data()
{
    QTest::addColumn<Cells>("cells");
    QTest::addColumn<QList<int>>("hiddenRows");
    QTest::addColumn<QList<int>>("hiddenColumns");
    QTest::addColumn<QString>("text"); // sentinel: clipboard left alone

    QTest::newRow("single cell") << Cells{{1, 2}} << QList<int>{} << QList<int>{} << "1,2";
    QTest::newRow("two rows by three columns")
        << Cells{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}} << QList<int>{} << QList<int>{}
        << "0,0\t0,1\t0,2\n1,0\t1,1\t1,2";
    QTest::newRow("selection order does not matter")
        << Cells{{1, 1}, {0, 2}, {0, 0}} << QList<int>{} << QList<int>{} << "0,0\t0,2\n1,1";
    QTest::newRow("not rectangular")
        << Cells{{0, 0}, {0, 1}, {1, 3}, {2, 0}, {2, 1}, {2, 2}} << QList<int>{} << QList<int>{}
        << "0,0\t0,1\n1,3\n2,0\t2,1\t2,2";
    QTest::newRow("hidden first row") << Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}
                                      << QList<int>{0} << QList<int>{} << "1,0\t1,1\n2,0\t2,1";
    QTest::newRow("hidden column inside the block")
        << Cells{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}} << QList<int>{} << QList<int>{1}
        << "0,0\t0,2\n1,0\t1,2";
    QTest::newRow("hidden row and column") << Cells{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}
                                           << QList<int>{1} << QList<int>{0} << "0,1\n2,1";
    QTest::newRow("empty selection") << Cells{} << QList<int>{} << QList<int>{} << sentinel;
    QTest::newRow("only hidden cells")
        << Cells{{0, 0}, {1, 1}} << QList<int>{0} << QList<int>{1} << sentinel;
}

void TestKQTableCopyAction::copy()
{
    QFETCH(Cells, cells);
    QFETCH(QList<int>, hiddenRows);
    QFETCH(QList<int>, hiddenColumns);
    QFETCH(QString, text);

    CopyFixture fixture;
    auto *action = new KQTableCopyAction(&fixture.view);
    fixture.select(cells);
    for (int r : hiddenRows)
        fixture.view.setRowHidden(r, true);
    for (int c : hiddenColumns)
        fixture.view.setColumnHidden(c, true);

    action->trigger();
    QCOMPARE(QApplication::clipboard()->text(), text);
}

void TestKQTableCopyAction::shortcutCopiesWhileTableHasFocus()
{
    CopyFixture fixture;
    new KQTableCopyAction(&fixture.view);
    fixture.select({{0, 0}, {0, 1}, {2, 3}});
    fixture.view.show();
    QApplication::setActiveWindow(&fixture.view);
    QVERIFY(QTest::qWaitForWindowActive(&fixture.view));
    fixture.view.setFocus();

    QTest::keySequence(&fixture.view, QKeySequence(QKeySequence::Copy));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0,0\t0,1\n2,3"));
}

void TestKQTableCopyAction::survivesItsTable()
{
    QObject holder;
    QPointer<KQTableCopyAction> action;
    {
        CopyFixture fixture;
        action = new KQTableCopyAction(&fixture.view, &holder);
        QCOMPARE(action->parent(), &holder);
        fixture.select({{0, 0}});
    }
    QVERIFY(action);
    action->trigger();
    QCOMPARE(QApplication::clipboard()->text(), sentinel);
}

void TestKQTableCopyAction::languageChange()
{
    QTableView table;
    auto *action = new KQTableCopyAction(&table);
    {
        ViewTest::Russian russian;
        QVERIFY(russian.loaded);
        QTRY_COMPARE(action->text(), QStringLiteral("&Копировать"));
        QCOMPARE(action->statusTip(), QStringLiteral("Копировать выделенный текст"));
    }
    QTRY_COMPARE(action->text(), QStringLiteral("&Copy"));
}

QTEST_MAIN(TestKQTableCopyAction)
#include "tst_kqtablecopyaction.moc"

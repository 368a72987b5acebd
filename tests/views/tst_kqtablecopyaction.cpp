#include "kqtablecopyaction.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QTableWidget>
#include <QtTest>

namespace {
// A 3 x 4 table whose cells read "row,column", the named ones selected.
void fill(QTableWidget &table, const QString &selected)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            table.setItem(r, c, new QTableWidgetItem(QStringLiteral("%1,%2").arg(r).arg(c)));
    for (const QString &cell : selected.split(' ', Qt::SkipEmptyParts))
        table.findItems(cell, Qt::MatchExactly).first()->setSelected(true);
}

const QString before = QStringLiteral("clipboard before");
} // namespace

class TestKQTableCopyAction : public QObject
{
    Q_OBJECT

private slots:
    void init() { QApplication::clipboard()->setText(before); }

    void copy_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("hidden"); // "r<n>": row n, "c<n>": column n
        QTest::addColumn<QString>("text");

        QTest::newRow("selection order does not matter") << "1,1 0,2 0,0"
                                                         << ""
                                                         << "0,0\t0,2\n1,1";
        QTest::newRow("not rectangular") << "0,0 0,1 1,3 2,0 2,1 2,2"
                                         << ""
                                         << "0,0\t0,1\n1,3\n2,0\t2,1\t2,2";
        QTest::newRow("hidden first row") << "0,0 0,1 1,0 1,1 2,0 2,1"
                                          << "r0"
                                          << "1,0\t1,1\n2,0\t2,1";
        QTest::newRow("hidden row and column") << "0,0 0,1 0,2 1,0 1,1 2,0 2,2"
                                               << "r1 c1"
                                               << "0,0\t0,2\n2,0\t2,2";
        // Nothing visible to copy must not wipe the clipboard.
        QTest::newRow("empty selection") << ""
                                         << "" << before;
        QTest::newRow("only hidden cells") << "0,0 1,1"
                                           << "r0 c1" << before;
    }

    void copy()
    {
        QFETCH(QString, selected);
        QFETCH(QString, hidden);
        QFETCH(QString, text);

        QTableWidget table(3, 4);
        fill(table, selected);
        auto *action = new KQTableCopyAction(&table);
        for (const QString &h : hidden.split(' ', Qt::SkipEmptyParts)) {
            if (h.startsWith('r'))
                table.setRowHidden(h.mid(1).toInt(), true);
            else
                table.setColumnHidden(h.mid(1).toInt(), true);
        }
        action->trigger();
        QCOMPARE(QApplication::clipboard()->text(), text);
    }

    void survivesItsTable()
    {
        QObject holder;
        QPointer<KQTableCopyAction> action;
        {
            QTableWidget table(3, 4);
            fill(table, "0,0");
            action = new KQTableCopyAction(&table, &holder);
        }
        QVERIFY(action);
        action->trigger();
        QCOMPARE(QApplication::clipboard()->text(), before);
    }
};

QTEST_MAIN(TestKQTableCopyAction)
#include "tst_kqtablecopyaction.moc"

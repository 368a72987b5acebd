#include "quiettextitem.h"
#include "tableitembatch.h"
#include "viewtestsupport.h"

#include <QSignalSpy>

// Texts written in a batch are announced once the batch ends; written in any other way, at
// once, as by any table item.
class TestTableItemBatch : public QObject
{
    Q_OBJECT

private slots:
    void notices_data()
    {
        QTest::addColumn<QStringList>("steps");  // "b:<text>" in a batch, "d:<text>" directly
        QTest::addColumn<QList<int>>("notices"); // itemChanged seen after each step
        QTest::addColumn<QString>("shown");

        QTest::newRow("batch") << QStringList{"b:1.5"} << QList<int>{1} << "1.5";
        QTest::newRow("direct") << QStringList{"d:1.5"} << QList<int>{1} << "1.5";
        QTest::newRow("same text again")
            << QStringList{"d:1.5", "d:1.5"} << QList<int>{1, 1} << "1.5";
        // The item must not take its own older copy for the text it shows.
        QTest::newRow("direct back to the text before a batch")
            << QStringList{"d:1.5", "b:2.5", "d:1.5"} << QList<int>{1, 2, 3} << "1.5";
        QTest::newRow("cleared") << QStringList{"b:2.5", "d:"} << QList<int>{1, 2} << "";
    }

    void notices()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, notices);

        QTableWidget table(2, 2);
        auto *item = new QuietTextItem;
        table.setItem(1, 1, item);
        QSignalSpy changed(&table, &QTableWidget::itemChanged);
        for (int i = 0; i < steps.size(); ++i) {
            const QString text = steps.at(i).mid(2);
            if (steps.at(i).startsWith('b')) {
                TableItemBatch batch(&table);
                batch.setText(item, 1, text);
                QCOMPARE(changed.count(), i == 0 ? 0 : notices.at(i - 1));
            } else {
                item->setText(text);
            }
            QCOMPARE(changed.count(), notices.at(i));
        }
        QTEST(item->text(), "shown");
        QTEST(table.model()->index(1, 1).data().toString(), "shown");
        item->setToolTip(QStringLiteral("tip"));
        QCOMPARE(table.model()->index(1, 1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("tip"));
    }
};

QTEST_MAIN(TestTableItemBatch)
#include "tst_tableitembatch.moc"

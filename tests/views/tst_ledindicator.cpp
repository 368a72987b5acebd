#include "lampdelegate.h"
#include "ledindicator.h"
#include "meascondledindicator.h"
#include "viewtestsupport.h"

#include <QHeaderView>
#include <QSignalSpy>

#include <algorithm>

using ViewTest::lampShows;

namespace {
// Two equal columns: a lamp the table draws in column 0, a condition lamp widget in column 1.
struct LampTable
{
    LampTable(int state, QSize cell, int rows)
    {
        new LampDelegate(&table);
        table.setColumnCount(2);
        table.setRowCount(rows + 1);
        table.horizontalHeader()->setMinimumSectionSize(1);
        table.verticalHeader()->setMinimumSectionSize(1);
        table.verticalHeader()->hide();
        for (int column : {0, 1})
            table.setColumnWidth(column, cell.width());
        for (int row = 0; row <= rows; ++row)
            table.setRowHeight(row, cell.height());
        auto *item = LampDelegate::newLampItem();
        item->setData(LampDelegate::StateRole, state);
        table.setItem(0, 0, item);
        auto *widget = new MeasCondLedIndicator;
        widget->setState(state);
        table.setCellWidget(0, 1, widget);
        table.setItem(rows, 0, new QTableWidgetItem(QStringLiteral("text")));
        if (rows > 1) {
            table.setSpan(0, 0, rows, 1);
            table.setSpan(0, 1, rows, 1);
        }
        table.resize(2 * cell.width() + 60, (rows + 1) * cell.height() + 60);
        // Away from both lamps, which would otherwise differ by a focus frame.
        table.setCurrentCell(rows, 1);
    }
    QImage cellImage(int column)
    {
        const QImage all = table.viewport()->grab().toImage();
        return all.copy(table.visualRect(table.model()->index(0, column)));
    }
    QTableWidget table;
};
} // namespace

// The plain lamp and the condition lamp of the status tables built on it.
class TestLedIndicator : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QString>("shows");

        // A circle of diameter 22 around (30, 11): a grey rim around the green face.
        QTest::newRow("left of the circle") << false << QPoint(18, 11) << "background";
        QTest::newRow("right of the circle") << false << QPoint(41, 11) << "background";
        QTest::newRow("upper left corner of the square") << false << QPoint(19, 0) << "background";
        QTest::newRow("leftmost column of the circle") << false << QPoint(19, 11) << "rim";
        QTest::newRow("rightmost column of the circle") << false << QPoint(40, 11) << "rim";
        QTest::newRow("top row of the circle") << false << QPoint(30, 0) << "rim";
        QTest::newRow("bottom row of the circle") << true << QPoint(29, 21) << "rim";
        QTest::newRow("centre, off") << false << QPoint(30, 11) << "dark face";
        QTest::newRow("lower right of the face, on") << true << QPoint(35, 16) << "lit face";
        QTest::newRow("centre, on") << true << QPoint(30, 11) << "lit face";
    }

    void geometry()
    {
        QFETCH(bool, on);
        QFETCH(QPoint, pixel);
        LedIndicator led(nullptr, 22);
        led.resize(60, 22);
        led.setChecked(on);
        const QImage image = led.grab().toImage();
        const QColor c = image.pixelColor(pixel), background = image.pixelColor(0, 0);
        // Antialiasing tints the pixels just outside the edge by a few levels.
        const int distance = qAbs(c.red() - background.red()) +
                             qAbs(c.green() - background.green()) +
                             qAbs(c.blue() - background.blue());
        const bool grey = qAbs(c.red() - c.green()) <= 2 && qAbs(c.green() - c.blue()) <= 2;
        const int green = c.red() + c.blue() == 0 ? c.green() : -1;
        QTEST(distance <= 24                ? "background"
              : grey                        ? "rim"
              : green >= 192                ? "lit face"
              : green >= 28 && green <= 128 ? "dark face"
                                            : c.name(),
              "shows");
    }

    void blink_data()
    {
        QTest::addColumn<QVector<int>>("callsAtToggles");
        QTest::addColumn<int>("expectedToggles");

        // Each call is made once the lamp has toggled the given number of times
        // (1: on phase of the first cycle, 2: its off phase).
        QTest::newRow("one call gives one cycle") << QVector<int>{0} << 2;
        QTest::newRow("three calls in the first interval give two cycles")
            << QVector<int>{0, 1, 1} << 4;
        QTest::newRow("a call in the off phase adds one cycle") << QVector<int>{0, 2} << 4;
        QTest::newRow("calls in both phases still add only one cycle")
            << QVector<int>{0, 1, 2, 2} << 4;
        QTest::newRow("a call during the pending cycle adds a third") << QVector<int>{0, 1, 3} << 6;
    }

    void blink()
    {
        QFETCH(QVector<int>, callsAtToggles);
        QFETCH(int, expectedToggles);
        // Short, because the order of calls and toggles does not depend on it: every call is
        // made as soon as its toggle is seen, before the next timer can run.
        constexpr int interval = 20;
        constexpr int patience = 5000; // for a loaded machine; a passing run never waits it out

        LedIndicator led;
        led.setBlinkInterval(interval);
        QSignalSpy toggles(&led, &QAbstractButton::toggled);
        for (int at : callsAtToggles) {
            while (toggles.count() < at)
                QVERIFY(toggles.wait(patience));
            led.blink();
        }
        while (toggles.count() < expectedToggles)
            QVERIFY(toggles.wait(patience));
        QVERIFY(!toggles.wait(5 * interval));
        QCOMPARE(toggles.count(), expectedToggles);
        for (int i = 0; i < toggles.count(); ++i)
            QCOMPARE(toggles.at(i).at(0).toBool(), i % 2 == 0);
        QVERIFY(!led.isChecked());
    }

    void conditionLamp_data()
    {
        QTest::addColumn<QString>("calls"); // "s<n>": setState(n), "c<n>": setCondition(n)
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shows");

        QTest::newRow("new lamp") << "" << int(Lamp::Off) << "off";
        QTest::newRow("state 7 is off and kept") << "s1 s7" << 7 << "off";
        QTest::newRow("state -1 is off and kept") << "s0 s-1" << -1 << "off";
        QTest::newRow("red, off, green") << "s1 s2 s0" << int(Lamp::Green) << "green";
        QTest::newRow("condition -1 is off") << "c1 c-1" << int(Lamp::Off) << "off";
        QTest::newRow("condition 1 is red") << "c0 c1" << int(Lamp::Red) << "red";
        QTest::newRow("condition 5 changes nothing") << "c1 c5" << int(Lamp::Red) << "red";
    }

    void conditionLamp()
    {
        QFETCH(QString, calls);

        MeasCondLedIndicator indicator;
        for (const QString &call : calls.split(' ', Qt::SkipEmptyParts))
            call.startsWith('s') ? indicator.setState(call.mid(1).toInt())
                                 : indicator.setCondition(call.mid(1).toInt());
        QTEST(indicator.state(), "stored");
        QTEST(lampShows(&indicator), "shows");
    }

    // Tables draw their lamps instead of holding a widget per lamp; nobody may see the
    // difference.
    void lampCellLooksLikeTheWidget_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<int>("rows");

        QTest::newRow("green, lamp column of the channel table") << 0 << QSize(30, 30) << 1;
        QTest::newRow("red, odd sizes") << 1 << QSize(31, 27) << 1;
        QTest::newRow("off") << 2 << QSize(30, 30) << 1;
        QTest::newRow("state 7 is off") << 7 << QSize(30, 30) << 1;
        QTest::newRow("failure lamp over three rows") << 0 << QSize(30, 30) << 3;
        QTest::newRow("stretched last column of the relay table") << 1 << QSize(213, 30) << 1;
        QTest::newRow("cell lower than the lamp") << 0 << QSize(40, 15) << 1;
        QTest::newRow("cell narrower than the lamp") << 1 << QSize(17, 30) << 1;
    }

    void lampCellLooksLikeTheWidget()
    {
        QFETCH(int, state);
        QFETCH(QSize, cell);
        QFETCH(int, rows);

        LampTable lamps(state, cell, rows);
        lamps.table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lamps.table));
        ViewTest::settle();
        const QImage drawn = lamps.cellImage(0);
        const QImage widget = lamps.cellImage(1);
        QCOMPARE(drawn.size(), widget.size());
        // The table's painter rounds the antialiased rim a few levels (of 255) otherwise than a
        // widget's own painter does; a lamp one pixel off or in another colour differs by far
        // more.
        int worst = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor a = drawn.pixelColor(x, y), b = widget.pixelColor(x, y);
                worst = std::max({worst, qAbs(a.red() - b.red()), qAbs(a.green() - b.green()),
                                  qAbs(a.blue() - b.blue())});
            }
        }
        QVERIFY2(worst <= 8, qPrintable(QString::number(worst)));
        // Not two empty cells.
        QVERIFY(drawn.pixelColor(drawn.rect().center()) != drawn.pixelColor(0, 0));
    }

    void lampCellKeepsPresses_data()
    {
        QTest::addColumn<int>("row"); // 0 the lamp, 1 a text
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("selects");

        QTest::newRow("click on the lamp") << 0 << false << false;
        QTest::newRow("double click on the lamp") << 0 << true << false;
        QTest::newRow("click on a text") << 1 << false << true;
    }

    void lampCellKeepsPresses()
    {
        QFETCH(int, row);
        QFETCH(bool, doubleClick);

        LampTable lamps(0, QSize(40, 30), 1);
        lamps.table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lamps.table));
        QWidget *viewport = lamps.table.viewport();
        const QModelIndex current = lamps.table.currentIndex();
        const QPoint at = lamps.table.visualRect(lamps.table.model()->index(row, 0)).center();
        if (doubleClick)
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QFETCH(bool, selects);
        QCOMPARE(lamps.table.selectionModel()->isSelected(lamps.table.model()->index(row, 0)),
                 selects);
        QCOMPARE(lamps.table.currentIndex() != current, selects);
    }

    void rightPressIsForwarded_data()
    {
        QTest::addColumn<bool>("onLamp");
        QTest::addColumn<int>("button");

        QTest::newRow("right on the lamp") << true << int(Qt::RightButton);
        QTest::newRow("right beside the lamp") << false << int(Qt::RightButton);
        QTest::newRow("left on the lamp") << true << int(Qt::LeftButton);
    }

    void rightPressIsForwarded()
    {
        QFETCH(bool, onLamp);
        QFETCH(int, button);

        MeasCondLedIndicator indicator;
        indicator.resize(120, 40);
        indicator.show();
        QVERIFY(QTest::qWaitForWindowExposed(&indicator));
        LedIndicator *lamp = indicator.lamp();
        // The lamp sits in the middle, so its coordinates differ from the indicator's.
        QVERIFY(lamp->pos().x() > 0);

        QSignalSpy spy(&indicator, &QWidget::customContextMenuRequested);
        const QPoint pos(5, 7);
        QTest::mouseClick(onLamp ? static_cast<QWidget *>(lamp) : &indicator,
                          Qt::MouseButton(button), {}, pos);
        QCOMPARE(spy.count(), button == Qt::RightButton ? 1 : 0);
        if (!spy.isEmpty())
            QCOMPARE(spy.at(0).at(0).toPoint(), onLamp ? lamp->mapTo(&indicator, pos) : pos);
        QCOMPARE(lampShows(&indicator), QStringLiteral("off"));
    }
};

QTEST_MAIN(TestLedIndicator)
#include "tst_ledindicator.moc"

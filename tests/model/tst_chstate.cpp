#include <chstate.h>

#include <QtTest>

#include <array>
#include <cstring>

namespace {
using Image = std::array<quint16, ChState::ImageRegisters>;

quint16 *entry(Image &image, int m)
{
    return image.data() + 8 + 10 * m;
}

void putValue(quint16 *e, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    e[2] = quint16(bits);
    e[3] = quint16(bits >> 16);
}
} // namespace

class TestChState : public QObject
{
    Q_OBJECT

private slots:
    void conditions_data();
    void conditions();
    void statusIsWidenedWithoutSign_data();
    void statusIsWidenedWithoutSign();
    void noTypesGiveNoMeasurements();
    void onlySlotsInUseBecomeItems();
    void valueLowHalfFirst();
};

void TestChState::conditions_data()
{
    QTest::addColumn<quint16>("flags");
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("alert");
    QTest::addColumn<int>("danger");
    QTest::addColumn<bool>("baselineValid");
    QTest::addColumn<bool>("extraFlag");

    QTest::newRow("all clear") << quint16(0x0000) << 0 << 0 << 0 << false << false;
    QTest::newRow("0x0125: failure, alert, danger undetermined, baseline")
        << quint16(0x0125) << 1 << 1 << -1 << true << false;
    QTest::newRow("failure field 3 is undetermined")
        << quint16(0x0003) << -1 << 0 << 0 << false << false;
    QTest::newRow("failure field 2 is undetermined")
        << quint16(0x0002) << -1 << 0 << 0 << false << false;
    QTest::newRow("danger true only") << quint16(0x0010) << 0 << 0 << 1 << false << false;
    QTest::newRow("alert undetermined") << quint16(0x000C) << 0 << -1 << 0 << false << false;
    QTest::newRow("extra flag is bit 9") << quint16(0x0200) << 0 << 0 << 0 << false << true;
    QTest::newRow("unused bits 6, 7, 10-15 change nothing")
        << quint16(0xFCC0) << 0 << 0 << 0 << false << false;
    QTest::newRow("every bit set") << quint16(0xFFFF) << -1 << -1 << -1 << true << true;
}

void TestChState::conditions()
{
    QFETCH(quint16, flags);
    Image image{};
    entry(image, 0)[0] = 4;
    entry(image, 0)[1] = flags;

    const ChState state(1, image.data());
    QCOMPARE(state.ch, 1);
    QCOMPARE(int(state.meas.size()), 1);
    const ChMeas &meas = *state.meas.front();
    QTEST(meas.failure, "failure");
    QTEST(meas.alert, "alert");
    QTEST(meas.danger, "danger");
    QTEST(meas.baseline_valid, "baselineValid");
    QTEST(meas.extra_flag, "extraFlag");
}

void TestChState::statusIsWidenedWithoutSign_data()
{
    QTest::addColumn<quint16>("reg");
    QTest::newRow("valid") << quint16(0);
    QTest::newRow("open circuit") << quint16(2);
    QTest::newRow("no valid data") << quint16(0xFFFF);
    QTest::newRow("high bit") << quint16(0x8000);
}

void TestChState::statusIsWidenedWithoutSign()
{
    QFETCH(quint16, reg);
    Image image{};
    image[0] = reg;
    QCOMPARE(ChState(3, image.data()).status, int(reg));
}

void TestChState::noTypesGiveNoMeasurements()
{
    Image image;
    image.fill(0xA5A5);
    for (int m = 0; m < 8; ++m)
        entry(image, m)[0] = 0;
    QVERIFY(ChState(0, image.data()).meas.empty());
}

void TestChState::onlySlotsInUseBecomeItems()
{
    Image image{};
    entry(image, 2)[0] = 7;
    entry(image, 2)[4] = 16383;
    entry(image, 2)[5] = 65535;
    entry(image, 5)[0] = 16;
    entry(image, 5)[4] = 1;
    // Registers nothing reads may hold anything.
    for (int r = 1; r < 8; ++r)
        image[r] = 0xBEEF;
    entry(image, 2)[9] = 0xBEEF;

    const ChState state(2, image.data());
    QCOMPARE(int(state.meas.size()), 2);
    QCOMPARE(state.meas[0]->num, 2);
    QCOMPARE(state.meas[0]->type, 7u);
    QCOMPARE(state.meas[0]->fs_value, quint16(16383));
    QCOMPARE(state.meas[0]->baseline, quint16(65535));
    QCOMPARE(state.meas[1]->num, 5);
    QCOMPARE(state.meas[1]->type, 16u);
    QCOMPARE(state.meas[1]->fs_value, quint16(1));
}

void TestChState::valueLowHalfFirst()
{
    Image image{};
    entry(image, 0)[0] = 1;
    entry(image, 0)[2] = 0x0FDB; // 3.14159274f is 0x40490FDB
    entry(image, 0)[3] = 0x4049;
    entry(image, 7)[0] = 2;
    putValue(entry(image, 7), -1.0e-3f);

    const ChState state(0, image.data());
    QCOMPARE(state.meas[0]->value, double(3.14159274f));
    QCOMPARE(state.meas[1]->num, 7);
    QCOMPARE(state.meas[1]->value, double(-1.0e-3f));
}

QTEST_GUILESS_MAIN(TestChState)
#include "tst_chstate.moc"

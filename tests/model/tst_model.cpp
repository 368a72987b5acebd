#include "chstate.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"

#include <QtTest>

#include <cstring>

using Conditions = QVector<int>; // failure, alert, danger, baseline valid, extra flag

// Register r of measurement slot m in the 88-register channel image.
constexpr auto at = [](int m, int r) { return 8 + 10 * m + r; };

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void conditions_data();
    void conditions();
    void onlySlotsInUseBecomeItems();
    void relayName_data();
    void relayName();
    void relayWord_data();
    void relayWord();
};

void TestModel::conditions_data()
{
    QTest::addColumn<quint16>("flags");
    QTest::addColumn<Conditions>("conditions");
    QTest::newRow("all clear") << quint16(0x0000) << Conditions{0, 0, 0, 0, 0};
    QTest::newRow("0x0125: failure, alert, danger undetermined, baseline")
        << quint16(0x0125) << Conditions{1, 1, -1, 1, 0};
    QTest::newRow("failure field 3 is undetermined")
        << quint16(0x0003) << Conditions{-1, 0, 0, 0, 0};
    QTest::newRow("failure field 2 is undetermined")
        << quint16(0x0002) << Conditions{-1, 0, 0, 0, 0};
    QTest::newRow("extra flag is bit 9") << quint16(0x0200) << Conditions{0, 0, 0, 0, 1};
    QTest::newRow("bits 6, 7, 10-15 change nothing")
        << quint16(0xFCC0) << Conditions{0, 0, 0, 0, 0};
}

void TestModel::conditions()
{
    QFETCH(quint16, flags);
    quint16 image[ChState::ImageRegisters] = {};
    image[at(0, 0)] = 4;
    image[at(0, 1)] = flags;
    const ChState state(1, image);
    QCOMPARE(int(state.meas.size()), 1);
    const ChMeas &m = *state.meas.front();
    QTEST((Conditions{m.failure, m.alert, m.danger, m.baseline_valid, m.extra_flag}), "conditions");
}

void TestModel::onlySlotsInUseBecomeItems()
{
    // Only a slot's type register decides whether it is in use; the rest may hold anything.
    quint16 image[ChState::ImageRegisters];
    std::fill(std::begin(image), std::end(image), quint16(0xA5A5));
    for (int m = 0; m < 8; ++m)
        image[at(m, 0)] = 0;
    image[0] = 0xFFFF; // no valid data, widened without sign
    image[at(2, 0)] = 7;
    image[at(2, 2)] = 0x0FDB; // 3.14159274f is 0x40490FDB, low half first
    image[at(2, 3)] = 0x4049;
    image[at(5, 0)] = 16;

    const ChState state(2, image);
    QCOMPARE(state.status, 0xFFFF);
    QCOMPARE(int(state.meas.size()), 2);
    QCOMPARE(state.meas[0]->num, 2);
    QCOMPARE(state.meas[0]->type, 7u);
    QCOMPARE(state.meas[0]->value, double(3.14159274f));
    QCOMPARE(state.meas[1]->num, 5);
    QCOMPARE(state.meas[1]->type, 16u);
}

void TestModel::relayName_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("ended by a zero byte") << QByteArray("Pump 1\0garbage", 14) << "Pump 1";
    QTest::newRow("no zero byte: all 80 bytes, nothing beyond")
        << QByteArray(80, 'R') << QString(80, QLatin1Char('R'));
}

void TestModel::relayName()
{
    QFETCH(QByteArray, field);
    // The mode register after the field is not zero, so reading past the field would show.
    t_orvo_relay_settings relay{};
    std::memcpy(relay.name, field.constData(), size_t(field.size()));
    relay.mode = 0x4141;
    QTEST(::relayName(relay), "name");
}

QTEST_GUILESS_MAIN(TestModel)
void TestModel::relayWord_data()
{
    QTest::addColumn<quint32>("word");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVector<int>>("relays"); // numbers 1 to 8 that are set
    QTest::newRow("relays 1 and 8 enabled")
        << 0x81000000u << int(RelayWord::Enabled) << QVector<int>{1, 8};
    QTest::newRow("enabled byte is not the fault byte")
        << 0x81000000u << int(RelayWord::Fault) << QVector<int>{};
    QTest::newRow("fault of relay 3") << 0x00040000u << int(RelayWord::Fault) << QVector<int>{3};
    QTest::newRow("physical state of relay 2")
        << 0x00000200u << int(RelayWord::PhysState) << QVector<int>{2};
    QTest::newRow("logic state of every relay")
        << 0x000000FFu << int(RelayWord::LogicState) << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8};
}

void TestModel::relayWord()
{
    QFETCH(quint32, word);
    QFETCH(int, kind);
    QFETCH(QVector<int>, relays);
    QVector<int> set;
    for (int r = -1; r <= 8; ++r) {
        if (RelayWord::isSet(word, RelayWord::Kind(kind), r))
            set << r + 1;
    }
    QCOMPARE(set, relays);
}

#include "tst_model.moc"

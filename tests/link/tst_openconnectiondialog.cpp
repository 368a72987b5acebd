// The connection address dialog: the address judgement, and how the field and OK follow edits.

#include "addressvalidator.h"
#include "openconnectiondialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

Q_DECLARE_METATYPE(QValidator::State)

namespace {

const QString Green = QStringLiteral("QLineEdit { color: darkGreen }");
const QString Red = QStringLiteral("QLineEdit { color: darkRed }");

} // namespace

class TestOpenConnectionDialog : public QObject
{
    Q_OBJECT

private slots:
    void acceptedAddresses_data();
    void acceptedAddresses();
    void unfinishedAddresses_data();
    void unfinishedAddresses();
    void rejectedAddresses_data();
    void rejectedAddresses();
    void opensEmptyWithDefaultPort();
    void colourAndOkFollowEdits();
    void rejectedKeysDoNotEnterTheField();
    void presetsReachConnectionInfo();

private:
    static void addRows(const QStringList &texts);
};

void TestOpenConnectionDialog::addRows(const QStringList &texts)
{
    QTest::addColumn<QString>("text");
    for (const QString &t : texts)
        QTest::newRow(qPrintable(t.isEmpty() ? QStringLiteral("(empty)") : t)) << t;
}

void TestOpenConnectionDialog::acceptedAddresses_data()
{
    addRows({"192.168.0.10", "0.0.0.0", "255.255.255.255", "10.0.0.1", "::1", "::", "fe80::1",
             "2001:db8::8a2e:370:7334", "1:2:3:4:5:6:7:8", "::ffff:192.0.2.1",
             "fe80::", "localhost", "module-7", "plant.example.org", "a", "3com.net", "x1.y2.z3",
             "Module-07.Plant-A", QString(63, QLatin1Char('a')) + ".org"});
}

void TestOpenConnectionDialog::acceptedAddresses()
{
    QFETCH(QString, text);
    QCOMPARE(AddressValidator::check(text), QValidator::Acceptable);
}

void TestOpenConnectionDialog::unfinishedAddresses_data()
{
    addRows({"", "1", "192", "192.", "192.168", "192.168.0.", "010.0.0.1", "256.1.1.1", "1.2.3.4.5",
             "host.", "my-", "plant.example.", "host.123", ":", "fe80:", "2001:db8",
             "::ffff:192.0.2", "::ffff:192.0.2."});
}

void TestOpenConnectionDialog::unfinishedAddresses()
{
    QFETCH(QString, text);
    QCOMPARE(AddressValidator::check(text), QValidator::Intermediate);
}

void TestOpenConnectionDialog::rejectedAddresses_data()
{
    QStringList labels;
    for (int i = 0; i < 64; ++i)
        labels << QStringLiteral("abc");
    addRows({" 10.0.0.1",
             "10.0.0.1 ",
             "10 0 0 1",
             ".",
             ".host",
             "a..b",
             "-host",
             "host.-x",
             "ho_st",
             "hóst",
             "10.0.0.1:502",
             "[::1]",
             ":::",
             "1::2::3",
             "fe80::1%eth0",
             "12345::",
             "1:2:3:4:5:6:7:8:9",
             "::ffff:1.2.3.4.5",
             "::ffff:300.1.1.1",
             "1.2:3::",
             QString(64, QLatin1Char('a')),
             labels.join(QLatin1Char('.')) /* 255 characters */});
}

void TestOpenConnectionDialog::rejectedAddresses()
{
    QFETCH(QString, text);
    QCOMPARE(AddressValidator::check(text), QValidator::Invalid);
}

void TestOpenConnectionDialog::opensEmptyWithDefaultPort()
{
    OpenConnectionDialog dialog;
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit"));
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QVERIFY(edit && buttons);
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(edit->styleSheet(), Red);
    QVERIFY(!buttons->button(QDialogButtonBox::Ok)->isEnabled());
    QCOMPARE(dialog.port(), quint16(502));
    QVERIFY(!dialog.windowTitle().isEmpty());
}

void TestOpenConnectionDialog::colourAndOkFollowEdits()
{
    OpenConnectionDialog dialog;
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit"));
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                          ->button(QDialogButtonBox::Ok);
    edit->setFocus();

    QTest::keyClicks(edit, "192.168.0.");
    QCOMPARE(edit->styleSheet(), Red);
    QVERIFY(!ok->isEnabled());

    QTest::keyClicks(edit, "7");
    QCOMPARE(edit->text(), QStringLiteral("192.168.0.7"));
    QCOMPARE(edit->styleSheet(), Green);
    QVERIFY(ok->isEnabled());

    // A fifth group turns it back, a letter makes it a host name, a dot unfinished again.
    QTest::keyClicks(edit, ".1");
    QCOMPARE(edit->styleSheet(), Red);
    QVERIFY(!ok->isEnabled());
    QTest::keyClicks(edit, "x");
    QCOMPARE(edit->styleSheet(), Green);
    QVERIFY(ok->isEnabled());
    QTest::keyClick(edit, Qt::Key_Period);
    QCOMPARE(edit->styleSheet(), Red);
    QVERIFY(!ok->isEnabled());

    edit->clear();
    QCOMPARE(edit->styleSheet(), Red);
    QTest::keyClicks(edit, "fe80::1");
    QCOMPARE(edit->styleSheet(), Green);
    QVERIFY(ok->isEnabled());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("fe80::"));
    QCOMPARE(edit->styleSheet(), Green); // "fe80::" is itself a complete address
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->styleSheet(), Red);
    QVERIFY(!ok->isEnabled());
}

void TestOpenConnectionDialog::rejectedKeysDoNotEnterTheField()
{
    OpenConnectionDialog dialog;
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit"));
    edit->setFocus();
    QTest::keyClicks(edit, "host name");
    QCOMPARE(edit->text(), QStringLiteral("hostname"));
    QTest::keyClicks(edit, "..");
    QCOMPARE(edit->text(), QStringLiteral("hostname."));
}

void TestOpenConnectionDialog::presetsReachConnectionInfo()
{
    OpenConnectionDialog dialog;
    dialog.setAddress(QStringLiteral("10.1.2.3"));
    dialog.setPort(1502);
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit"));
    QCOMPARE(edit->styleSheet(), Green);
    QVERIFY(dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                ->button(QDialogButtonBox::Ok)
                ->isEnabled());
    dialog.findChild<QSpinBox *>(QStringLiteral("portSpin"))->setValue(15020);

    const auto info = dialog.connectionInfo();
    QVERIFY(info);
    QCOMPARE(info->iface, 0u);
    QCOMPARE(info->ipAddr, QStringLiteral("10.1.2.3"));
    QCOMPARE(info->port, quint16(15020));
    // Every call hands out a record of its own.
    QVERIFY(dialog.connectionInfo() != info);
}

QTEST_MAIN(TestOpenConnectionDialog)
#include "tst_openconnectiondialog.moc"

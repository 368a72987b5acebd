// The connection address dialog: the address judgement, and how the field and OK follow edits.

#include "addressvalidator.h"
#include "openconnectiondialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(QValidator::State)

class TestOpenConnectionDialog : public QObject
{
    Q_OBJECT

    OpenConnectionDialog dialog;
    QLineEdit *edit = nullptr;
    QPushButton *ok = nullptr;

    // The field's colour and whether OK is enabled, in one comparable value.
    QString look() const { return edit->styleSheet() + (ok->isEnabled() ? "+OK" : ""); }
    const QString green = "QLineEdit { color: darkGreen }+OK", red = "QLineEdit { color: darkRed }";

private slots:
    void initTestCase()
    {
        edit = dialog.findChild<QLineEdit *>(QStringLiteral("ipEdit"));
        ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(edit && ok);
        QCOMPARE(look(), red);
        QCOMPARE(dialog.port(), quint16(502));
        dialog.show();
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QValidator::State>("state");
        const QPair<QValidator::State, QStringList> rows[] = {
            {QValidator::Acceptable,
             {"192.168.0.10", "0.0.0.0", "255.255.255.255", "::1",
              "::", "fe80::", "1:2:3:4:5:6:7:8", "2001:db8::8a2e:370:7334", "::ffff:192.0.2.1",
              "localhost", "a", "3com.net", "Module-07.Plant-A", QString(63, 'a') + ".org"}},
            {QValidator::Intermediate,
             {"", "192.", "192.168.0.", "010.0.0.1", "256.1.1.1", "1.2.3.4.5", "host.", "my-",
              "host.123", ":", "fe80:", "2001:db8", "::ffff:192.0.2"}},
            {QValidator::Invalid,
             {" 10.0.0.1", "10.0.0.1 ", ".", ".host", "a..b", "-host", "host.-x", "ho_st", "hóst",
              "10.0.0.1:502", "[::1]", ":::", "1::2::3", "fe80::1%eth0", "12345::"}},
            {QValidator::Invalid,
             {"1:2:3:4:5:6:7:8:9", "::ffff:1.2.3.4.5", "::ffff:300.1.1.1",
              "1.2:3::", QString(64, 'a'), QString("abc.").repeated(64).chopped(1)}},
        };
        for (const auto &group : rows)
            for (const QString &t : group.second)
                QTest::newRow(qPrintable(t.isEmpty() ? "(empty)" : t)) << t << group.first;
    }

    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QValidator::State, state);
        QCOMPARE(AddressValidator::check(text), state);
        if (text.size() > edit->maxLength())
            return; // the field cannot hold it
        dialog.setAddress(text);
        QCOMPARE(look(), state == QValidator::Acceptable ? green : red);
    }

    void typingAndConnectionInfo()
    {
        edit->clear();
        edit->setFocus();
        // Keys the validator rejects never enter the field.
        QTest::keyClicks(edit, "host name..");
        QCOMPARE(edit->text(), QStringLiteral("hostname."));
        QCOMPARE(look(), red);
        QTest::keyClicks(edit, "x");
        QCOMPARE(look(), green);
        dialog.setPort(15020);
        const auto info = dialog.connectionInfo();
        QCOMPARE(info->ipAddr, QStringLiteral("hostname.x"));
        QCOMPARE(info->port, quint16(15020));
    }
};

QTEST_MAIN(TestOpenConnectionDialog)
#include "tst_openconnectiondialog.moc"

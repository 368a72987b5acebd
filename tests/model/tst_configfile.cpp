// The configuration file's rules, once for every program that reads or writes one: the window
// and the console each keep one row of their own wording.

#include "configfile.h"
#include "recordfiles.h"
#include "t_orvo_settings.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ConfigFile::Status)

using RecordFiles::image;
using RecordFiles::plausibleRecord;
using RecordFiles::writeFile;

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void configFileRoundTrip()
    {
        const QString path = dir.filePath(QStringLiteral("round.cfg"));
        QVERIFY(writeFile(path, QByteArray(9000, 'x')));
        const t_orvo_settings saved = plausibleRecord();
        QString error;
        QVERIFY2(ConfigFile::save(path, saved, &error), qPrintable(error));
        // The longer file that was there is replaced, not overwritten in place.
        QCOMPARE(QFileInfo(path).size(), qint64(OrvoSettings::ByteCount));
        t_orvo_settings loaded;
        std::memset(&loaded, 0xAA, sizeof loaded);
        QVERIFY2(ConfigFile::load(path, loaded, &error), qPrintable(error));
        QCOMPARE(image(loaded), image(saved));
    }

    void configFileRefused_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a directory; "fifo": a named pipe
        QTest::addColumn<ConfigFile::Status>("status");
        QTest::addColumn<QString>("fragment");
        using S = ConfigFile::Status;
        const QByteArray good = image(plausibleRecord());
        QTest::newRow("one byte short") << good.left(6571) << S::WrongSize << "6571";
        QTest::newRow("one byte long") << good + 'x' << S::WrongSize << "6573";
        QTest::newRow("empty file") << QByteArray("") << S::WrongSize << "0 bytes";
        QTest::newRow("a directory") << QByteArray() << S::NotRegularFile << "not a regular file";
        // Read, it would wait for a writer for ever.
        QTest::newRow("a named pipe")
            << QByteArray("fifo") << S::NotRegularFile << "not a regular file";
        // Each field just outside its range, the rest of the record plausible.
        t_orvo_settings s = plausibleRecord();
        s.node_id = 0;
        QTest::newRow("node id 0") << image(s) << S::NotAModule << "node_id";
        s.node_id = 33;
        QTest::newRow("node id 33") << image(s) << S::NotAModule << "node_id";
        s = plausibleRecord();
        s.channel_mask = 0x10;
        QTest::newRow("fifth channel bit") << image(s) << S::NotAModule << "channel_mask";
        s = plausibleRecord();
        s.channels[3].meas[2].type = 17;
        QTest::newRow("measurement type 17")
            << image(s) << S::NotAModule << "channels[3].meas[2].type";
    }
    void configFileRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(ConfigFile::Status, status);
        QFETCH(QString, fragment);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        if (content.isNull())
            QVERIFY(QDir().mkpath(path));
        else if (content == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(writeFile(path, content));
        t_orvo_settings out;
        std::memset(&out, 0x55, sizeof out);
        QString error;
        QVERIFY(!ConfigFile::load(path, out, &error));
        QVERIFY2(error.contains(fragment), qPrintable(error));
        QCOMPARE(out.node_id, quint16(0x5555));

        // The console's --force writes a record that is not a module's: it is read all the same.
        const ConfigFile::Result result = ConfigFile::read(path, out);
        QCOMPARE(result.status, status);
        if (status == ConfigFile::Status::NotAModule) {
            QVERIFY2(result.detail.contains(fragment), qPrintable(result.detail));
            QCOMPARE(image(out), content);
        }
    }

    void saveRefusesNonRegularTarget()
    {
        const QString path = dir.filePath(QStringLiteral("a-folder"));
        QVERIFY(QDir().mkpath(path));
        QString error;
        QVERIFY(!ConfigFile::save(path, plausibleRecord(), &error));
        QVERIFY2(error.contains(QLatin1String("not a regular file")), qPrintable(error));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(!ConfigFile::save(QStringLiteral("/dev/null"), plausibleRecord(), &error));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"

// The inspector's parts that need no module: reading point words, configuration files and
// exporting a plot.

#include "captureplot.h"
#include "configfile.h"
#include "pointformat.h"
#include "t_orvo_settings.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

class TestInspectorParts : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static quint32 floatWord(float f)
    {
        quint32 w = 0;
        std::memcpy(&w, &f, sizeof w);
        return w;
    }

    static QByteArray image(const t_orvo_settings &s)
    {
        return QByteArray(reinterpret_cast<const char *>(&s), sizeof s);
    }

    static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    static t_orvo_settings plausibleRecord()
    {
        t_orvo_settings s;
        std::memset(&s, 0, sizeof s);
        s.node_id = 5;
        s.channel_mask = 0x3;
        s.channels[1].meas[7].type = 16;
        return s;
    }

private slots:
    void pointValues_data()
    {
        QTest::addColumn<quint32>("word");
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("expected");
        QTest::newRow("float 1.5") << floatWord(1.5f) << int(PointFormat::Float32) << 1.5;
        QTest::newRow("float negative") << floatWord(-0.25f) << int(PointFormat::Float32) << -0.25;
        QTest::newRow("int32 all ones is -1") << 0xFFFFFFFFu << int(PointFormat::Int32) << -1.0;
        QTest::newRow("int32 most negative")
            << 0x80000000u << int(PointFormat::Int32) << -2147483648.0;
        QTest::newRow("uint32 all ones") << 0xFFFFFFFFu << int(PointFormat::UInt32) << 4294967295.0;
        QTest::newRow("uint32 of a float's bits")
            << floatWord(1.0f) << int(PointFormat::UInt32) << double(0x3F800000u);
    }
    void pointValues()
    {
        QFETCH(quint32, word);
        QFETCH(int, kind);
        QFETCH(double, expected);
        QCOMPARE(PointFormat::value(word, PointFormat::Kind(kind)), expected);
        // What an export writes reads back as the same number.
        QCOMPARE(PointFormat::text(word, PointFormat::Kind(kind)).toDouble(), expected);
    }

    void nonFiniteFloatsLeftOut()
    {
        const float inf = std::numeric_limits<float>::infinity();
        const QVector<quint32> words = {floatWord(1), 0x7FC00000u, floatWord(-inf), floatWord(3)};
        int skipped = -1;
        const QVector<QPointF> samples =
            PointFormat::samples(words, PointFormat::Float32, &skipped);
        QCOMPARE(skipped, 2);
        // The points that remain keep their own index.
        QCOMPARE(samples, (QVector<QPointF>{{0, 1}, {3, 3}}));
        QCOMPARE(PointFormat::samples(words, PointFormat::UInt32, &skipped).size(), 4);
        QCOMPARE(skipped, 0);
        QCOMPARE(PointFormat::text(0x7FC00000u, PointFormat::Float32), QStringLiteral("nan"));
    }

    void formatKeysRoundTrip()
    {
        for (auto kind : {PointFormat::Float32, PointFormat::Int32, PointFormat::UInt32})
            QCOMPARE(PointFormat::fromKey(PointFormat::key(kind)), kind);
        // A settings file edited by hand falls back to the default.
        QCOMPARE(PointFormat::fromKey(QStringLiteral("double")), PointFormat::Float32);
    }

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
        QTest::addColumn<QByteArray>("content"); // null: the path is a directory
        QTest::addColumn<QString>("fragment");
        const QByteArray good = image(plausibleRecord());
        QTest::newRow("one byte short") << good.left(6571) << "6571";
        QTest::newRow("one byte long") << good + 'x' << "6573";
        QTest::newRow("empty file") << QByteArray("") << "0 bytes";
        QTest::newRow("a directory") << QByteArray() << "not a regular file";
        // Each field just outside its range, the rest of the record plausible.
        t_orvo_settings s = plausibleRecord();
        s.node_id = 0;
        QTest::newRow("node id 0") << image(s) << "node_id";
        s.node_id = 33;
        QTest::newRow("node id 33") << image(s) << "node_id";
        s = plausibleRecord();
        s.channel_mask = 0x10;
        QTest::newRow("fifth channel bit") << image(s) << "channel_mask";
        s = plausibleRecord();
        s.channels[3].meas[2].type = 17;
        QTest::newRow("measurement type 17") << image(s) << "channels[3].meas[2].type";
    }
    void configFileRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, fragment);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(content.isNull() ? QDir().mkpath(path) : writeFile(path, content));
        t_orvo_settings out;
        std::memset(&out, 0x55, sizeof out);
        QString error;
        QVERIFY(!ConfigFile::load(path, out, &error));
        QVERIFY2(error.contains(fragment), qPrintable(error));
        QCOMPARE(out.node_id, quint16(0x5555));
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

    void plotExport()
    {
        CapturePlot plot;
        plot.setPointFormat(PointFormat::Int32);
        plot.setCapture(0, {1, 2, 3});
        plot.setCapture(2, {0xFFFFFFFFu});
        // Channels without a capture get no column; shorter captures leave their cells empty.
        const QString expected = QStringLiteral("Point\tChannel 1\tChannel 3\n"
                                                "0\t1\t-1\n1\t2\t\n2\t3\t\n");
        QCOMPARE(plot.csv(), expected);
        const QString path = dir.filePath(QStringLiteral("plot.csv"));
        QString error;
        QVERIFY2(plot.exportCsv(path, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), expected);

        // A stale plot turns live again with the next capture.
        plot.setStale(true);
        plot.setCapture(1, {7});
        QVERIFY(!plot.isStale());
    }
};

QTEST_MAIN(TestInspectorParts)
#include "tst_inspectorparts.moc"

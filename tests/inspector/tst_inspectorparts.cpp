// The inspector's parts that need no module: reading point words, the operation log and
// the plots' cursor, peaks and exports.

#include "captureplot.h"
#include "configfieldmodel.h"
#include "configfile.h"
#include "configurationdialog.h"
#include "imagesizedialog.h"
#include "inspectorsettings.h"
#include "logarchive.h"
#include "meascatalogue.h"
#include "moduledialogs.h"
#include "operationlog.h"
#include "pointformat.h"

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_picker.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_item.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>
#include <qwt_text.h>

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

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
    }

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

    // The oldest rows make way at the limit; the filter hides background reads until asked.
    void operationLogKeepsItsLimit()
    {
        OperationLog log(3);
        OperationLogFilter shown;
        shown.setSourceModel(&log);
        QAbstractItemModelTester logTester(&log,
                                           QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester shownTester(
            &shown, QAbstractItemModelTester::FailureReportingMode::QtTest);
        log.append("open", true, QString(), false);
        log.append("waveform", true, QString(), true);
        log.append("write", false, "refused", false);
        log.append("spectrum", true, QString(), true);
        log.append("close", true, QString(), false);
        QCOMPARE(log.rowCount(), 3);
        const auto operation = [](const QAbstractItemModel &m, int row) {
            return m.index(row, OperationLog::OperationColumn).data().toString();
        };
        QCOMPARE(operation(log, 0), QString("write"));
        QCOMPARE(log.index(0, OperationLog::ErrorColumn).data().toString(), QString("refused"));
        QCOMPARE(log.index(0, OperationLog::ResultColumn).data().toString(), QString("Failed"));
        QVERIFY(log.index(0, OperationLog::ResultColumn).data(Qt::ForegroundRole).isValid());
        QCOMPARE(shown.rowCount(), 2);
        QCOMPARE(operation(shown, 1), QString("close"));
        shown.setShowBackground(true);
        QCOMPARE(shown.rowCount(), 3);
        QCOMPARE(operation(shown, 1), QString("spectrum"));
    }

    // Rows carry their date, and what the log gathered reaches the address's file appended,
    // without the background reads and without being taken twice.
    void logArchive()
    {
        OperationLog log(10);
        log.append("Save configuration", true, QString(), false);
        log.append("Read waveform", true, QString(), true);
        log.append("Restart", false, "Module connection lost\n(Connection timed out)", false);
        const QString shownTime = log.index(0, OperationLog::TimeColumn).data().toString();
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                     .match(shownTime)
                     .hasMatch(),
                 qPrintable(shownTime));

        const QString folder = dir.filePath(QStringLiteral("logs/deeper"));
        QString error;
        QVERIFY2(LogArchive::append(folder, "::1", 1502, log.takePending(), &error),
                 qPrintable(error));
        QVERIFY(log.takePending().isEmpty());
        log.append("Load configuration", true, QString(), false);
        QVERIFY(LogArchive::append(folder, "::1", 1502, log.takePending()));

        QFile file(QDir(folder).filePath(QStringLiteral("__1_1502.log")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
        QCOMPARE(lines.size(), 4); // three rows and the end of the last
        const QRegularExpression row("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t");
        QVERIFY(row.match(lines[0]).hasMatch());
        QVERIFY(lines[0].endsWith("\tOK\tSave configuration\t"));
        QVERIFY(
            lines[1].endsWith("\tFailed\tRestart\tModule connection lost (Connection timed out)"));
        QVERIFY(lines[2].endsWith("\tOK\tLoad configuration\t"));
        QCOMPARE(LogArchive::fileName("192.0.2.10", 502), QStringLiteral("192.0.2.10_502.log"));
        QCOMPARE(LogArchive::fileName("../etc/x", 502), QStringLiteral(".._etc_x_502.log"));
    }

    // The record's fields by name, with what they mean; compared with a file, only what
    // differs, matched by field so that a slot used in one record only shows too.
    void configurationFields()
    {
        t_orvo_settings module = {};
        module.node_id = 7;
        module.full_scale = 65535;
        module.channel_mask = 0b0101;
        module.channels[0].meas[0].type = 1;
        module.channels[2].sp_disable = 1;
        module.relays[0].mode = 3;
        std::memcpy(module.relays[0].name, "Pump", 5);

        ConfigFieldModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRecord(module);
        QMap<QString, QPair<QString, QString>> shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown.insert(model.index(row, ConfigFieldModel::FieldColumn).data().toString(),
                         {model.index(row, ConfigFieldModel::ValueColumn).data().toString(),
                          model.index(row, ConfigFieldModel::MeaningColumn).data().toString()});
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(shown.value("node_id").first, QStringLiteral("7"));
        QCOMPARE(shown.value("channel_mask"),
                 qMakePair(QStringLiteral("0x0005"), QStringLiteral("Active channels: 1, 3")));
        QVERIFY(
            shown.value("channels[0].meas[0].type")
                .second.contains(MeasCatalogue::typeName(1) + " in " + MeasCatalogue::typeUnit(1)));
        QVERIFY(!shown.contains("channels[0].meas[1].type")); // an empty slot has no row
        QCOMPARE(shown.value("channels[2].sp_disable").second,
                 QStringLiteral("Channel 3 has no spectra"));
        QCOMPARE(shown.value("relays[0].name").first, QStringLiteral("Pump"));
        QCOMPARE(shown.value("relays[0].mode").second, QStringLiteral("Relay 1 in use"));

        t_orvo_settings file = module;
        file.node_id = 8;
        file.channels[0].meas[1].type = 2;
        model.compareWith(file);
        QCOMPARE(model.columnCount(), 4);
        QStringList differences;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column : {0, 1, 3})
                cells << model.index(row, column).data().toString();
            differences << cells.join('|');
        }
        QCOMPARE(differences, (QStringList{"node_id|7|8", "channels[0].meas[1].type|(none)|2"}));
        model.compareWith(module);
        QCOMPARE(model.rowCount(), 0);
        model.compareWith(std::nullopt);
        QCOMPARE(model.rowCount(), shown.size());
    }

    // The dialog compares with a file only when the file is a record, and says which way.
    void configurationDialogComparesWithAFile()
    {
        auto module = QSharedPointer<t_orvo_settings>::create();
        std::memset(module.data(), 0, sizeof(t_orvo_settings));
        module->node_id = 3;
        ConfigurationDialog dialog(module, [] { return QString(); });
        QVERIFY(dialog.model()->rowCount() > 0);
        QVERIFY(!dialog.compareWithFile(dir.filePath("missing.cfg")));
        QVERIFY2(dialog.status().contains("cannot be compared"), qPrintable(dialog.status()));
        QVERIFY(!dialog.model()->isComparing());

        t_orvo_settings saved = *module;
        QString error;
        const QString path = dir.filePath("saved.cfg");
        QVERIFY2(ConfigFile::save(path, saved, &error), qPrintable(error));
        QVERIFY(dialog.compareWithFile(path));
        QCOMPARE(dialog.model()->rowCount(), 0);
        QVERIFY(dialog.status().contains("the same configuration"));
        saved.node_id = 4;
        QVERIFY(ConfigFile::save(path, saved, &error));
        QVERIFY(dialog.compareWithFile(path));
        QCOMPARE(dialog.model()->rowCount(), 1);
    }

    void cursorReading_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("hideSecond");
        QTest::addColumn<QString>("reading");
        // Channel 1: 10, NaN, 30, -40; channel 2: 5, 6.
        QTest::newRow("on a point") << 0.0 << false << "Sample 0\nChannel 1: 10\nChannel 2: 5";
        QTest::newRow("rounds to the nearest point")
            << 0.6 << false << "Sample 1\nChannel 2: 6"; // channel 1's NaN is not read as 0
        QTest::newRow("past the shorter capture") << 3.2 << false << "Sample 3\nChannel 1: -40";
        QTest::newRow("hidden channel not read") << 0.0 << true << "Sample 0\nChannel 1: 10";
        QTest::newRow("left of every point") << -2.0 << false << "Sample -2";
    }

    void cursorReading()
    {
        QFETCH(double, x);
        QFETCH(bool, hideSecond);
        QFETCH(QString, reading);
        CapturePlot plot;
        plot.setTitles("Waveform", "Sample index", "Value", "Sample %1");
        plot.setCapture(0, {floatWord(10), floatWord(std::numeric_limits<float>::quiet_NaN()),
                            floatWord(30), floatWord(-40)});
        plot.setCapture(1, {floatWord(5), floatWord(6)});
        plot.setChannelShown(1, !hideSecond);
        QCOMPARE(plot.cursorReading(x), reading);
    }

    void cursorFollowsTheMouse()
    {
        CapturePlot plot;
        plot.setTitles("Spectrum", "Line index", "Value", "Line %1");
        plot.setCapture(2, {floatWord(1), floatWord(2), floatWord(3)});
        plot.resize(600, 400);
        plot.replot();
        auto *cursor = plot.canvas()->findChild<QwtPicker *>("captureCursor");
        QVERIFY(cursor);
        const int px = int(plot.canvasMap(QwtPlot::xBottom).transform(2.0));
        QCOMPARE(cursor->trackerText(QPoint(px, 10)).text(),
                 QStringLiteral("Line 2\nChannel 3: 3"));
    }

    void peaksMarked()
    {
        CapturePlot plot;
        plot.setPointFormat(PointFormat::Int32);
        plot.setCapture(0, {1, 5, 2});
        plot.setCapture(1, {1, quint32(-7), 6});
        const auto markers = plot.itemList(QwtPlotItem::Rtti_PlotMarker);
        QCOMPARE(markers.size(), CapturePlot::Channels);
        const auto marker = [&markers](int ch) {
            return static_cast<QwtPlotMarker *>(markers[ch]);
        };
        // At the largest magnitude, negative or not, labelled with its value.
        QCOMPARE(marker(0)->value(), QPointF(1, 5));
        QCOMPARE(marker(1)->value(), QPointF(1, -7));
        QCOMPARE(marker(1)->label().text(), QStringLiteral("-7"));
        QVERIFY(marker(0)->isVisible() && marker(1)->isVisible());
        QVERIFY(!marker(2)->isVisible()); // no capture, no peak
        plot.setChannelShown(1, false);
        QVERIFY(!marker(1)->isVisible());
        plot.setChannelShown(1, true);
        // A new capture moves the mark; an emptied channel loses it.
        plot.setCapture(0, {9, 1});
        QCOMPARE(marker(0)->value(), QPointF(0, 9));
        plot.setCapture(1, {});
        QVERIFY(!marker(1)->isVisible());
    }

    void imageSizeIsAskedAndRemembered()
    {
        QSettings().remove("ModuleView/pngSize");
        const ModuleDialogs::SizeChooser choose = ModuleDialogs::sizeChooser(nullptr);
        QSize offered;
        // Answers the dialog once it is up, as a user would.
        const auto answer = [&offered](const QSize &typed, bool accept) {
            QTimer::singleShot(0, qApp, [&offered, typed, accept] {
                auto *dialog = qobject_cast<ImageSizeDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                offered = dialog->imageSize();
                dialog->findChild<QSpinBox *>("imageWidth")->setValue(typed.width());
                dialog->findChild<QSpinBox *>("imageHeight")->setValue(typed.height());
                accept ? dialog->accept() : dialog->reject();
            });
        };
        answer(QSize(1024, 640), true);
        QCOMPARE(choose(), QSize(1024, 640));
        QCOMPARE(offered, QSize(CapturePlot::PngWidth, CapturePlot::PngHeight));
        // Offered again next time; a cancel gives no size and forgets nothing.
        answer(QSize(300, 300), false);
        QVERIFY(!choose().isValid());
        QCOMPARE(offered, QSize(1024, 640));
        QCOMPARE(InspectorSettings::pngSize(), QSize(1024, 640));
        // A size out of reach in the file falls back to the default.
        QSettings().setValue("ModuleView/pngSize", QSize(10, 90000));
        QCOMPARE(InspectorSettings::pngSize(),
                 QSize(CapturePlot::PngWidth, CapturePlot::PngHeight));
    }

    void plotExport()
    {
        CapturePlot plot;
        plot.setTitles("Waveform", "Point", "Value");
        plot.setPointFormat(PointFormat::Int32);
        plot.setCapture(0, {1, 2, 3});
        plot.setCapture(2, {0xFFFFFFFFu});
        // Comma-separated with the module, the capture times and the format before the
        // header; channels without a capture get no column, shorter ones leave cells empty.
        const QString csv = plot.csv("127.0.0.1:1502 (node id 1)");
        QStringList lines = csv.split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("# Waveform: 127.0.0.1:1502 (node id 1)"));
        QVERIFY2(QRegularExpression("^# captured: channel 1 \\d{4}-\\d\\d-\\d\\d "
                                    "\\d\\d:\\d\\d:\\d\\d, channel 3 ")
                     .match(lines.value(1))
                     .hasMatch(),
                 qPrintable(lines.value(1)));
        QVERIFY(lines.value(2).startsWith("# values: signed 32-bit integer"));
        QCOMPARE(lines.mid(3).join('\n'),
                 QStringLiteral("point,channel 1,channel 3\n0,1,-1\n1,2,\n2,3,\n"));

        // The suffix is added where it is missing, and kept where one was given.
        QString error;
        QVERIFY2(plot.exportCsv(dir.filePath("plot"), &error, "m"), qPrintable(error));
        QFile file(dir.filePath("plot.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(file.readAll()).endsWith("0,1,-1\n1,2,\n2,3,\n"));
        QVERIFY(plot.exportCsv(dir.filePath("plot.txt"), &error));
        QVERIFY(QFile::exists(dir.filePath("plot.txt")));

        // The image is rendered at the size asked for, whatever the widget's.
        QVERIFY2(plot.exportPng(dir.filePath("plot"), &error, "m", QSize(800, 500)),
                 qPrintable(error));
        QImage image(dir.filePath("plot.png"));
        QCOMPARE(image.size(), QSize(800, 500));

        // Each curve names its peak (the largest magnitude); the legend hides and shows it.
        const auto curveTitle = [&plot](int ch) {
            return plot.itemList(QwtPlotItem::Rtti_PlotCurve).at(ch)->title().text();
        };
        QCOMPARE(curveTitle(0), QStringLiteral("Channel 1, peak 3 at 2"));
        QCOMPARE(curveTitle(2), QStringLiteral("Channel 3, peak -1 at 0"));
        plot.setChannelShown(2, false);
        QVERIFY(!plot.isChannelShown(2) && plot.isChannelShown(0));
        QVERIFY(plot.csv().contains(",channel 3\n")); // hidden, still exported
        plot.setChannelShown(2, true);

        // A failed fetch fades that channel's curve only, until its next capture.
        plot.markOlder(0);
        QVERIFY(plot.isOlder(0) && !plot.isOlder(2));
        QCOMPARE(curveTitle(0), QStringLiteral("Channel 1 (older capture), peak 3 at 2"));
        plot.setCapture(0, {1, 2, 3});
        QVERIFY(!plot.isOlder(0));
        QCOMPARE(curveTitle(0), QStringLiteral("Channel 1, peak 3 at 2"));

        // A stale plot names its curves so, and turns live again with the next capture.
        plot.setStale(true);
        QCOMPARE(plot.itemList(QwtPlotItem::Rtti_PlotCurve).first()->title().text(),
                 QStringLiteral("Channel 1 (not live), peak 3 at 2"));
        plot.setCapture(1, {7});
        QVERIFY(!plot.isStale());
        QCOMPARE(curveTitle(0), QStringLiteral("Channel 1, peak 3 at 2"));
    }
};

QTEST_MAIN(TestInspectorParts)
#include "tst_inspectorparts.moc"

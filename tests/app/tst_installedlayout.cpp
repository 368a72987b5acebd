// The viewer as an administrator installs it: `cmake --install` into a temporary prefix, then
// the installed program started there, which must find its catalogues in share/ and the
// framework's in the system's Qt folder.

#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUdpSocket>
#include <QtTest>

class TestInstalledLayout : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix;

private slots:
    void initTestCase()
    {
        QVERIFY(prefix.isValid());
        QProcess install;
        install.start(QStringLiteral(ORVO_CMAKE),
                      {"--install", ORVO_BUILD_DIR, "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAllStandardError().constData());
    }

    void files_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("installed");
        for (const char *program :
             {"orvo-icp-view", "orvo-module-view", "orvo-module-tool", "orvo-module-sim",
              "orvo-node-sim", "orvo-recorder", "orvo-journal-view"}) {
            QTest::addRow("%s", program) << QString("bin/") + program << true;
            QTest::addRow("%s manual", program)
                << QString("share/man/man1/%1.1.gz").arg(program) << true;
        }
        QTest::newRow("program catalogue")
            << "share/orvo-icp-view/translations/orvo_zovIzid_ru.qm" << true;
        QTest::newRow("switch catalogue")
            << "share/orvo-icp-view/translations/qttranslationswitch_ru.qm" << true;
        QTest::newRow("no folder among the programs") << "bin/translations" << false;
        QTest::newRow("no copy of the framework's catalogue")
            << "share/orvo-icp-view/translations/qt_ru.qm" << false;
        for (const char *app : {"orvo-icp-view", "orvo-module-view", "orvo-journal-view"}) {
            QTest::addRow("%s desktop entry", app)
                << QString("share/applications/%1.desktop").arg(app) << true;
            QTest::addRow("%s metainfo", app)
                << QString("share/metainfo/example.keldor.%1.metainfo.xml")
                       .arg(QString(app).replace('-', '_'))
                << true;
            for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
                QTest::addRow("%s icon %d", app, side)
                    << QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(app) << true;
            QTest::addRow("%s scalable icon", app)
                << QString("share/icons/hicolor/scalable/apps/%1.svg").arg(app) << true;
        }
        QTest::newRow("recorder service, not enabled")
            << "lib/systemd/system/orvo-recorder.service" << true;
        QTest::newRow("licence") << "share/doc/orvo-icp-view/copyright" << true;
        QTest::newRow("changelog") << "share/doc/orvo-icp-view/changelog.gz" << true;
    }

    void files()
    {
        QFETCH(QString, path);
        QFETCH(bool, installed);
        QCOMPARE(QFileInfo::exists(prefix.filePath(path)), installed);
    }

    void russianFromTheInstalledCatalogues()
    {
        QTemporaryDir config, runtime;
        QVERIFY(config.isValid() && runtime.isValid());
        {
            QSettings stored(config.filePath("Keldor/Orvo_ICP View.ini"), QSettings::IniFormat);
            stored.setValue("lang", "ru");
        }
        // A port held without sharing makes the viewer say, on standard error and in its
        // language, why it cannot listen.
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::Any, 0, QUdpSocket::DontShareAddress));

        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        viewer.setProcessEnvironment(env);
        viewer.start(prefix.filePath("bin/orvo-icp-view"),
                     {"--port", QString::number(holder.localPort()), "--no-journal"});
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += QString::fromUtf8(viewer.readAllStandardError())).endsWith('\n'), 30000);
        viewer.kill();
        viewer.waitForFinished();

        QTranslator system;
        QVERIFY(system.load(QLocale(QLocale::Russian), "qt", "_",
                            QLibraryInfo::location(QLibraryInfo::TranslationsPath)));
        const QString reason =
            system.translate("QNativeSocketEngine", "The bound address is already in use");
        QVERIFY(!reason.isEmpty());
        QVERIFY2(err.contains(QString("orvo-icp-view: Не удаётся принимать данные на UDP-порту "
                                      "%1: %2\n")
                                  .arg(holder.localPort())
                                  .arg(reason)),
                 qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestInstalledLayout)
#include "tst_installedlayout.moc"

// The viewer as an administrator installs it: `cmake --install` into a temporary prefix, then
// the installed program started there, which must find its catalogues in share/ and the
// framework's in the system's Qt folder. Each Debian package is one install component; each is
// installed on its own too, to see what an administrator gets who chooses only some.

#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUdpSocket>
#include <QtTest>

#include <memory>
#include <vector>

class TestInstalledLayout : public QObject
{
    Q_OBJECT

    QTemporaryDir prefix;
    // Component name, package name, where the component alone was installed.
    struct Package
    {
        const char *component;
        const char *name;
        QTemporaryDir prefix;
    };
    Package packages[3] = {{"main", "orvo-icp-view", {}},
                           {"tools", "orvo-icp-view-tools", {}},
                           {"simulators", "orvo-icp-view-simulators", {}}};

private slots:
    void initTestCase()
    {
        QVERIFY(prefix.isValid());
        // All at once: four installs one after another would hold up the suite.
        std::vector<std::unique_ptr<QProcess>> installs;
        const auto install = [&installs](const QString &to, const QStringList &component) {
            installs.push_back(std::make_unique<QProcess>());
            installs.back()->start(QStringLiteral(ORVO_CMAKE),
                                   QStringList{"--install", ORVO_BUILD_DIR, "--prefix", to} +
                                       component);
        };
        install(prefix.path(), {});
        for (Package &package : packages) {
            QVERIFY(package.prefix.isValid());
            install(package.prefix.path(), {"--component", package.component});
        }
        for (const auto &process : installs) {
            QVERIFY(process->waitForFinished(120000));
            QVERIFY2(process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0,
                     process->readAllStandardError().constData());
        }
    }

    // Everything a program brings goes into its package and into no other; every package
    // carries its own licence and changelog.
    void eachFileInItsPackage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("package");
        const auto program = [](const char *name, const char *package) {
            QTest::addRow("%s", name) << QString("bin/") + name << package;
            QTest::addRow("%s manual", name)
                << QString("share/man/man1/%1.1.gz").arg(name) << package;
        };
        program("orvo-icp-view", "main");
        program("orvo-module-view", "main");
        program("orvo-module-tool", "tools");
        program("orvo-node-sim", "simulators");
        program("orvo-module-sim", "simulators");
        for (const char *app : {"orvo-icp-view", "orvo-module-view"}) {
            QTest::addRow("%s desktop entry", app)
                << QString("share/applications/%1.desktop").arg(app) << "main";
            QTest::addRow("%s icon", app)
                << QString("share/icons/hicolor/48x48/apps/%1.png").arg(app) << "main";
        }
        QTest::newRow("program catalogue") << "share/orvo-icp-view/translations/orvo_zovIzid_ru.qm"
                                           << "main";
        QTest::newRow("README") << "share/doc/orvo-icp-view/README.md"
                                << "main";
        QTest::newRow("receive-buffer sample")
            << "share/doc/orvo-icp-view/examples/60-orvo-icp-view.conf"
            << "main";
        for (const Package &package : packages) {
            for (const char *file : {"copyright", "changelog.gz"})
                QTest::addRow("%s %s", package.name, file)
                    << QString("share/doc/%1/%2").arg(package.name, file) << package.component;
        }
    }
    void eachFileInItsPackage()
    {
        QFETCH(QString, path);
        QFETCH(QString, package);
        for (const Package &candidate : packages)
            QVERIFY2(QFileInfo::exists(candidate.prefix.filePath(path)) ==
                         (package == candidate.component),
                     candidate.component);
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

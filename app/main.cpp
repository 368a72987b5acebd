#include "mainwindow.h"
#include "orvoresources.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QSettings>

int main(int argc, char *argv[])
{
    // Before the application object exists, so every settings object of the program is INI.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.4"));
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("keldor.example"));
    initOrvoResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/orvo-icp-view.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Shows the status of Orvo_ICP measurement and relay nodes reporting on UDP port "
                "49153."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    MainWindow window;
    window.show();
    const int result = app.exec();
    return result;
}

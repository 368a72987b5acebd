// Draws the program's PNG images. Run by hand after changing a drawing, then commit the files:
//   orvo-make-icons <repo>/resources <repo>/translation/lang
#include "icondrawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <functional>

namespace {

struct Output
{
    int folder; // 0: resources, 1: the language switch's flags
    const char *name;
    int side;
    std::function<QImage(int)> draw;
};

} // namespace

int main(int argc, char *argv[])
{
    // Nothing is shown; the offscreen platform lets this run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: orvo-make-icons <resources-dir> <translation-lang-dir>\n";
        return 2;
    }
    const QString folders[2] = {args.at(1), args.at(2)};

    const Output outputs[] = {
        {0, "connect.png", 128, IconDrawing::connectIcon},
        {0, "disconnect.png", 128, IconDrawing::disconnectIcon},
        {0, "rs.png", 272, IconDrawing::serialConnectorIcon},
        {0, "en.png", 256, IconDrawing::unitedKingdomFlag},
        {0, "ru.png", 256, IconDrawing::russianFlag},
        {0, "orvo-icp-view.png", 256, IconDrawing::applicationIcon},
        {0, "orvo-module-view.png", 256, IconDrawing::moduleViewIcon},
        {1, "en.png", 256, IconDrawing::unitedKingdomFlag},
        {1, "ru.png", 256, IconDrawing::russianFlag},
    };

    for (const QString &folder : folders) {
        if (!QDir().mkpath(folder)) {
            err << "cannot create " << folder << '\n';
            return 1;
        }
    }
    for (const Output &out : outputs) {
        const QString path = QDir(folders[out.folder]).filePath(QString::fromLatin1(out.name));
        if (!out.draw(out.side).save(path, "PNG")) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}

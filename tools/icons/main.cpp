// orvo-make-icons: draws the program's images.
//   orvo-make-icons RESOURCES-DIR LANG-DIR         the embedded images, committed by hand
//   orvo-make-icons --theme DIR [--size N]... ICON  an application icon for the hicolor theme,
//                                                   drawn by the build
#include "icondrawing.h"
#include "programidentity.h"
#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

#include <functional>

namespace {

const char Description[] =
    "Draws the program's images from their geometry.\n"
    "\n"
    "  orvo-make-icons RESOURCES-DIR LANG-DIR\n"
    "      the images embedded in the programs: RESOURCES-DIR is resources/ and LANG-DIR\n"
    "      translation/lang/ of the source tree\n"
    "  orvo-make-icons --theme DIR [--size N]... ICON\n"
    "      the application icon ICON for the hicolor theme: DIR/NxN/apps/ICON.png for every\n"
    "      size and DIR/scalable/apps/ICON.svg\n"
    "\n"
    "Application icons: orvo-icp-view, orvo-module-view, orvo-journal-view.";

struct ThemeIcon
{
    const char *name;
    IconDrawing::Painting paint;
};

const ThemeIcon ThemeIcons[] = {
    {"orvo-icp-view", IconDrawing::paintApplicationIcon},
    {"orvo-module-view", IconDrawing::paintModuleViewIcon},
    {"orvo-journal-view", IconDrawing::paintJournalViewIcon},
};

// The sizes desktops ask for when the build names none.
const int DefaultSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct Output
{
    int folder; // 0: resources, 1: the language switch's flags
    const char *name;
    int side;
    std::function<QImage(int)> draw;
};

int cannotWrite(const QString &path)
{
    QTextStream(stderr) << "orvo-make-icons: cannot write " << path << '\n';
    return 1;
}

int writeEmbedded(const QString &resourcesDir, const QString &langDir)
{
    const QString folders[2] = {resourcesDir, langDir};
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
        if (!QDir().mkpath(folder))
            return cannotWrite(folder);
    }
    for (const Output &out : outputs) {
        const QString path = QDir(folders[out.folder]).filePath(QString::fromLatin1(out.name));
        if (!out.draw(out.side).save(path, "PNG"))
            return cannotWrite(path);
    }
    return 0;
}

int writeTheme(const QString &themeDir, const ThemeIcon &icon, const QList<int> &sizes)
{
    const QDir theme(themeDir);
    const QString file = QString::fromLatin1(icon.name);
    for (int side : sizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(side);
        const QString path = theme.filePath(folder + QLatin1Char('/') + file + ".png");
        if (!theme.mkpath(folder) || !IconDrawing::render(icon.paint, side).save(path, "PNG"))
            return cannotWrite(path);
    }

    const QString path = theme.filePath(QStringLiteral("scalable/apps/") + file + ".svg");
    if (!theme.mkpath(QStringLiteral("scalable/apps")))
        return cannotWrite(path);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setTitle(file);
    // The drawing's own square; desktops scale the view box to whatever they need.
    const int side = 256;
    svg.setSize(QSize(side, side));
    svg.setViewBox(QRect(0, 0, side, side));
    QPainter p;
    if (!p.begin(&svg))
        return cannotWrite(path);
    icon.paint(p, side);
    if (!p.end())
        return cannotWrite(path);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Nothing is shown; the offscreen platform lets this run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ProgramIdentity::setUp("orvo-make-icons");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption themeOption(
        QStringLiteral("theme"), QStringLiteral("Draw an application icon into the theme DIR."),
        QStringLiteral("DIR"));
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("With --theme: draw the PNG at N pixels; repeatable (default 16, 22, 24, "
                       "32, 48, 64, 128 and 256)."),
        QStringLiteral("N"));
    parser.addOption(themeOption);
    parser.addOption(sizeOption);
    parser.addPositionalArgument(QStringLiteral("args"),
                                 QStringLiteral("RESOURCES-DIR LANG-DIR, or ICON with --theme."),
                                 QStringLiteral("ARGS..."));
    ToolCommandLine::process(parser, app);
    const QStringList args = parser.positionalArguments();

    if (!parser.isSet(themeOption)) {
        if (parser.isSet(sizeOption))
            return ToolCommandLine::usageError(QStringLiteral("--size needs --theme"));
        if (args.size() != 2)
            return ToolCommandLine::usageError(
                QStringLiteral("give RESOURCES-DIR and LANG-DIR, or --theme DIR ICON"));
        return writeEmbedded(args.at(0), args.at(1));
    }

    if (args.size() != 1)
        return ToolCommandLine::usageError(QStringLiteral("--theme takes exactly one ICON"));
    const ThemeIcon *icon = nullptr;
    for (const ThemeIcon &candidate : ThemeIcons) {
        if (args.first() == QLatin1String(candidate.name))
            icon = &candidate;
    }
    if (!icon)
        return ToolCommandLine::usageError(
            QStringLiteral("no application icon '%1'").arg(args.first()));
    QList<int> sizes;
    for (const QString &text : parser.values(sizeOption)) {
        quint64 side = 0;
        if (!ToolCommandLine::parseUInt(text, 4096, side) || side == 0)
            return ToolCommandLine::usageError(
                QStringLiteral("--size takes 1 to 4096 pixels, not '%1'").arg(text));
        sizes << int(side);
    }
    if (sizes.isEmpty())
        sizes = QList<int>(std::begin(DefaultSizes), std::end(DefaultSizes));
    return writeTheme(parser.value(themeOption), *icon, sizes);
}

#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdlib>

namespace ToolCommandLine {

bool parseUInt(const QString &text, quint64 max, quint64 &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qulonglong v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toULongLong(&ok, 16);
    else if (!t.startsWith(QLatin1Char('+')))
        v = t.toULongLong(&ok, 10);
    if (!ok || v > max)
        return false;
    value = v;
    return true;
}

bool parsePort(const QString &text, quint16 &port, PortZero zero)
{
    const quint64 lowest = zero == PortZero::Allowed ? 0 : 1;
    quint64 value = 0;
    if (!parseUInt(text, 65535, value) || value < lowest) {
        usageError(QStringLiteral("invalid port '%1': give %2 to 65535").arg(text).arg(lowest));
        return false;
    }
    port = quint16(value);
    return true;
}

void process(QCommandLineParser &parser, const QCoreApplication &app)
{
    if (!parser.parse(app.arguments()))
        std::exit(usageError(parser.errorText()));
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

int usageError(const QString &text)
{
    // The name the user typed, whatever name the program gives its settings.
    QString program = QFileInfo(QCoreApplication::arguments().value(0)).fileName();
    if (program.isEmpty())
        program = QCoreApplication::applicationName();
    QTextStream(stderr) << program << ": " << text << "\nTry '" << program
                        << " --help' for more information.\n";
    return UsageExit;
}

} // namespace ToolCommandLine

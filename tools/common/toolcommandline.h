#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QCommandLineParser;
class QCoreApplication;
class QString;
QT_END_NAMESPACE

// What every command-line tool of the project does alike with its arguments.
namespace ToolCommandLine {

// Exit status of a usage error (unknown option, missing value, bad number, extra argument).
constexpr int UsageExit = 2;

// A number in decimal, or in hexadecimal with a 0x prefix, at most max. Never octal: "010" is
// ten, as an engineer typing a channel or a port means it.
bool parseUInt(const QString &text, quint64 max, quint64 &value);

// Parses the program's arguments; the parser has addHelpOption() and addVersionOption().
// --help and --version print to standard output and end the program with status 0; an
// argument the parser refuses ends it with UsageExit after saying why, where
// QCommandLineParser::process() would end with 1.
void process(QCommandLineParser &parser, const QCoreApplication &app);

// Prints "<program>: text" and a pointer to --help on standard error; returns UsageExit.
int usageError(const QString &text);

} // namespace ToolCommandLine

#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QCommandLineParser;
class QCoreApplication;
class QString;
QT_END_NAMESPACE

// What every program of the project does alike with its arguments. A window program parses
// under a QCoreApplication that lives only for the parse, so --help, --version and usage errors
// need no display; see ProgramIdentity for the names it gives itself meanwhile.
namespace ToolCommandLine {

// Exit status of a usage error (unknown option, missing value, bad number, extra argument).
constexpr int UsageExit = 2;

// A number in decimal, or in hexadecimal with a 0x prefix, at most max. Never octal: "010" is
// ten, as an engineer typing a channel or a port means it. A leading '+' or '-' is refused.
bool parseUInt(const QString &text, quint64 max, quint64 &value);

// Whether a port of 0 means something to the program (a server that picks a free one).
enum class PortZero { Refused, Allowed };

// A TCP or UDP port, 1 to 65535 (or 0 to 65535 when zero is allowed), in parseUInt's notation.
// On failure it prints the one port message every program gives, "invalid port 'TEXT': give 1
// to 65535", through usageError(), leaves port alone and returns false; the caller then ends
// with UsageExit.
bool parsePort(const QString &text, quint16 &port, PortZero zero = PortZero::Refused);

// Parses the program's arguments; the parser has addHelpOption() and addVersionOption().
// --help and --version print to standard output and end the program with status 0; an
// argument the parser refuses ends it with UsageExit after saying why, where
// QCommandLineParser::process() would end with 1.
void process(QCommandLineParser &parser, const QCoreApplication &app);

// Prints "<program>: text" and a pointer to --help on standard error; returns UsageExit.
// Needs the application object (it names the program from its first argument).
int usageError(const QString &text);

} // namespace ToolCommandLine

#include "addressvalidator.h"

#include <QHostAddress>
#include <QStringList>

#include <algorithm>

namespace {

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool isLabelChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

bool isHexChar(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isIpv4Octet(const QString &p)
{
    return allDigits(p) && p.size() <= 3 && !(p.size() > 1 && p.startsWith(QLatin1Char('0'))) &&
           p.toInt() <= 255;
}

bool isIpv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    return parts.size() == 4 && std::all_of(parts.begin(), parts.end(), isIpv4Octet);
}

// The dotted tail of an IPv6 literal as far as it is typed: up to four octets, only the last
// one still empty.
bool isIpv4Prefix(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return false;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts[i].isEmpty() ? i != parts.size() - 1 : !isIpv4Octet(parts[i]))
            return false;
    }
    return true;
}

QValidator::State checkIpv6(const QString &text)
{
    QHostAddress addr;
    if (addr.setAddress(text) && addr.protocol() == QAbstractSocket::IPv6Protocol &&
        addr.scopeId().isEmpty())
        return QValidator::Acceptable;
    for (const QChar c : text) {
        if (!isHexChar(c) && c != QLatin1Char(':') && c != QLatin1Char('.'))
            return QValidator::Invalid;
    }
    const int lastColon = text.lastIndexOf(QLatin1Char(':'));
    const QString hexPart = text.left(lastColon + 1);
    const QString tail = text.mid(lastColon + 1);
    const bool dottedTail = tail.contains(QLatin1Char('.'));
    if (hexPart.contains(QLatin1Char('.')) || (dottedTail && !isIpv4Prefix(tail)))
        return QValidator::Invalid;
    if (text.contains(QLatin1String(":::")) || text.count(QLatin1String("::")) > 1)
        return QValidator::Invalid;
    const QStringList groups = (dottedTail ? hexPart : text).split(QLatin1Char(':'));
    int used = 0;
    for (const QString &g : groups) {
        if (g.size() > 4)
            return QValidator::Invalid;
        if (!g.isEmpty())
            ++used;
    }
    if (used > (dottedTail ? 6 : 8))
        return QValidator::Invalid;
    return QValidator::Intermediate;
}

QValidator::State checkHostName(const QString &text)
{
    if (text.size() > 253)
        return QValidator::Invalid;
    const QStringList labels = text.split(QLatin1Char('.'));
    bool finished = true;
    for (int i = 0; i < labels.size(); ++i) {
        const QString &l = labels[i];
        const bool last = i == labels.size() - 1;
        if (l.isEmpty()) {
            if (!last || i == 0)
                return QValidator::Invalid;
            finished = false; // "host." - the next label is being typed
            continue;
        }
        if (l.size() > 63 || l.startsWith(QLatin1Char('-')))
            return QValidator::Invalid;
        for (const QChar c : l) {
            if (!isLabelChar(c))
                return QValidator::Invalid;
        }
        if (l.endsWith(QLatin1Char('-')))
            finished = false;
    }
    const QString &lastLabel = labels.last();
    if (allDigits(lastLabel))
        finished = false; // a name cannot end in an all-digit label; maybe more is coming
    return finished ? QValidator::Acceptable : QValidator::Intermediate;
}

} // namespace

AddressValidator::AddressValidator(QObject *parent)
    : QValidator(parent)
{}

AddressValidator::~AddressValidator() = default;

QValidator::State AddressValidator::validate(QString &input, int &) const
{
    return check(input);
}

QValidator::State AddressValidator::check(const QString &text)
{
    if (text.isEmpty())
        return Intermediate;
    if (text.contains(QLatin1Char(':')))
        return checkIpv6(text);
    if (isIpv4(text))
        return Acceptable;
    // Digits and dots that are not an IPv4 literal may still grow into a host name.
    return checkHostName(text);
}

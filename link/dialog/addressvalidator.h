#pragma once

#include <QValidator>

// Judges a module address while it is typed.
//
// Acceptable:
//  - an IPv4 literal: exactly four decimal octets 0-255 separated by dots, without leading
//    zeros ("192.168.0.10", "0.0.0.0"); "010.0.0.1" is not taken, resolvers read it as octal;
//  - an IPv6 literal as QHostAddress reads it ("::1", "fe80::1", "::ffff:192.0.2.1"), without
//    brackets and without a zone id ("%eth0");
//  - a DNS host name by RFC 1123: dot-separated labels of 1-63 ASCII letters, digits and
//    hyphens, not starting or ending with a hyphen, at most 253 characters in all, no trailing
//    dot, and a last label that is not all digits ("module-7", "plant.example.org").
// Intermediate (the text may still become acceptable by typing on): the empty text, digits and
// dots that are not (yet) an IPv4 literal ("192.168.", "300.1.1.1"), a name that ends with a
// dot, a hyphen or an all-digit label, an unfinished IPv6 literal (hex digits and colons, at
// most one "::", groups of at most four digits, at most eight groups, optionally a dotted IPv4
// tail after the last colon).
// Invalid: everything else, for example blanks, characters outside the sets above, an empty
// label (".host", "a..b"), a label that starts with a hyphen or is longer than 63 characters, a
// port appended with a colon ("10.0.0.1:502"), brackets, ":::".
class AddressValidator : public QValidator
{
    Q_OBJECT

public:
    explicit AddressValidator(QObject *parent = nullptr);
    ~AddressValidator() override;

    State validate(QString &input, int &pos) const override;

    // The same judgement without a validator object.
    static State check(const QString &text);
};

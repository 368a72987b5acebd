#pragma once

#include "journallocation.h"
#include <QCoreApplication>

#include <QCommandLineOption>
#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QCommandLineParser;
QT_END_NAMESPACE

class JournalRecorder;

// The journal options the viewer and the recorder share: --journal PATH|postgresql://...,
// --no-journal and --installation NAME, with the top-level settings key "journal" standing in
// for --journal so that a site sets it once.
class JournalOptions
{
    Q_DECLARE_TR_FUNCTIONS(JournalOptions)

public:
    JournalOptions();

    void addTo(QCommandLineParser &parser) const;
    // After the parser has processed the command line. settingsValue is the settings key's
    // value (empty: not set). False with *error for a usage error.
    bool read(const QCommandLineParser &parser, const QString &settingsValue, QString *error);

    bool enabled() const { return journalEnabled; }
    const JournalLocation &location() const { return journalLocation; }
    // The name given, or the host name, a colon and the listening port.
    QString installation(quint16 port) const;

    // The key "journal" of the viewer's settings file, whichever program asks.
    static QString settingsValue();
    // The detail of "recording-started": the port, or why the program is not listening.
    static QString startDetail(quint16 port, bool listening, const QString &listenError);

    // A recorder started with these options, its failures and recoveries logged to standard
    // error under logName; null with --no-journal.
    std::unique_ptr<JournalRecorder> startRecorder(quint16 port, const QString &startDetail,
                                                   const QString &logName) const;

private:
    const QCommandLineOption journalOption;
    const QCommandLineOption noJournalOption;
    const QCommandLineOption installationOption;
    bool journalEnabled = true;
    JournalLocation journalLocation;
    QString installationName;
};

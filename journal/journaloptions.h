#pragma once

#include "journallocation.h"
#include "journalretention.h"
#include <QCoreApplication>

#include <QCommandLineOption>
#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QCommandLineParser;
QT_END_NAMESPACE

class JournalRecorder;

// The journal options the viewer and the recorder share: --journal PATH|postgresql://...,
// --no-journal, --installation NAME and --keep RETENTION, with the top-level settings keys
// "journal" and "journalKeep" standing in for --journal and --keep so that a site sets them
// once.
class JournalOptions
{
    Q_DECLARE_TR_FUNCTIONS(JournalOptions)

public:
    JournalOptions();

    void addTo(QCommandLineParser &parser) const;
    // After the parser has processed the command line. settingsValue and keepSettingsValue are
    // the settings keys' values (empty: not set). False with *error for a usage error.
    bool read(const QCommandLineParser &parser, const QString &settingsValue, QString *error,
              const QString &keepSettingsValue);

    bool enabled() const { return journalEnabled; }
    const JournalLocation &location() const { return journalLocation; }
    // The name given, or the host name, a colon and the listening port.
    QString installation(quint16 port) const;

    // The key "journal" of the viewer's settings file, whichever program asks.
    static QString settingsValue();
    // The key "journalKeep", the retention in the form of --keep.
    static QString keepSettingsValue();
    // The journal a program uses when none is named: the key "journal", else the viewer's
    // file. False with *error when the key holds no journal.
    static bool siteJournal(JournalLocation *location, QString *error);
    // The retention a program applies when none is given: the key "journalKeep", else the
    // defaults. False with *error when the key holds no retention.
    static bool siteRetention(JournalRetention *retention, QString *error);
    // The option --keep, for programs that take it without the rest.
    static QCommandLineOption keepOption();
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
    const QCommandLineOption retentionOption;
    bool journalEnabled = true;
    JournalLocation journalLocation;
    JournalRetention journalRetention;
    QString installationName;
};

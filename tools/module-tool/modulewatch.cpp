#include "modulewatch.h"

#include "capturefetcher.h"
#include "consoletext.h"
#include "orvo_icpconnection.h"
#include "orvo_icpmeaspoller.h"
#include "t_orvo_settings.h"

#include <QTextStream>
#include <QTime>

ModuleWatch::ModuleWatch(Orvo_ICPConnection *link, QTextStream &out, QTextStream &err,
                         QObject *parent)
    : QObject(parent)
    , link(link)
    , poller(new Orvo_ICPMeasPoller(link, this))
    , fetcher(new CaptureFetcher(link, poller, this))
    , out(out)
    , err(err)
{
    connect(poller, &Orvo_ICPMeasPoller::settingsChanged, this,
            [this](QSharedPointer<t_orvo_settings> settings) {
                print(ConsoleText::settingsLine(*settings) +
                      QStringLiteral(" spectrum_channels=%1")
                          .arg(ConsoleText::channelList(poller->spectrumChannelMask())));
                missingStates.expect(this->link->deviceType(), settings->channel_mask);
            });
    connect(poller, &Orvo_ICPMeasPoller::relayStateChanged, this,
            [this](uint relayStatus) { print(ConsoleText::relayLine(relayStatus)); });
    connect(poller, &Orvo_ICPMeasPoller::chStateChanged, this,
            [this](QSharedPointer<Orvo_ICPMeasPoller::ChState> state) {
                missingStates.arrived(state->ch);
                print(ConsoleText::channelLine(*state));
            });
    connect(poller, &Orvo_ICPMeasPoller::wfStateChanged, this,
            [this](int ch, uint last_id, uint wf_cnt) {
                print(QStringLiteral("waveform-ready ch=%1 last_id=%2 wf_cnt=%3")
                          .arg(ConsoleText::channelNumber(ch))
                          .arg(last_id)
                          .arg(wf_cnt));
            });
    connect(poller, &Orvo_ICPMeasPoller::spectrStateChanged, this, [this](int ch, uint type) {
        print(QStringLiteral("spectrum-ready ch=%1 type=%2")
                  .arg(ConsoleText::channelNumber(ch))
                  .arg(type));
    });

    connect(fetcher, &CaptureFetcher::waveformFetched, this,
            [this](int ch, uint id, QSharedPointer<Orvo_ICPConnection::Waveform> wf) {
                print(QStringLiteral("waveform ch=%1 id=%2 points=%3")
                          .arg(ConsoleText::channelNumber(ch))
                          .arg(id)
                          .arg(wf->points.size()));
            });
    connect(fetcher, &CaptureFetcher::spectrumFetched, this,
            [this](int ch, uint type, QSharedPointer<Orvo_ICPConnection::Spectr> spectr) {
                print(QStringLiteral("spectrum ch=%1 type=%2 points=%3")
                          .arg(ConsoleText::channelNumber(ch))
                          .arg(type)
                          .arg(spectr->points.size()));
            });
    connect(fetcher, &CaptureFetcher::fetchFailed, this,
            [this](bool spectrum, int ch, uint selector) {
                printError((spectrum ? QStringLiteral("spectrum ch=%1 type=%2 not delivered")
                                     : QStringLiteral("waveform ch=%1 id=%2 not delivered"))
                               .arg(ConsoleText::channelNumber(ch))
                               .arg(selector));
            });
    connect(link, &Orvo_ICPConnection::error, this, [this](const QString &descr) {
        printError(QStringLiteral("module lost: %1").arg(descr));
        emit moduleLost();
    });

    connect(&missingStates, &MissingStateWatch::channelMissing, this, &ModuleWatch::warnMissing);
}

ModuleWatch::~ModuleWatch() = default;

void ModuleWatch::print(const QString &line)
{
    out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' ' << line << '\n';
    out.flush();
}

void ModuleWatch::printError(const QString &line)
{
    failed = true;
    err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << " error: " << line
        << '\n';
    err.flush();
}

void ModuleWatch::warnMissing(int ch)
{
    err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"))
        << " warning: no state of channel " << ConsoleText::channelNumber(ch) << " for "
        << QString::number(missingStates.timeout() / 1000.0)
        << " s although it is configured: its registers cannot be read or it has no valid data\n";
    err.flush();
}

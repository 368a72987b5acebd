// The longest the inspector's GUI thread goes without running its event loop, while the
// worker thread restarts the module, fetches 4096-point waveforms, or polls a four-channel
// module with eight measurements per channel. Goal: under 50 ms in every case.
//
// A 1 ms timer on the GUI thread records the time between its ticks; the largest interval is
// the longest the window could not repaint or answer the user.
//
// --screenshot PNG instead saves a picture of the window on the simulator, with the cursor on
// the waveforms and the configuration view over the log:
//   QT_QPA_PLATFORM=offscreen bench_inspector --screenshot docs/module-view.png

#include "captureplot.h"
#include "configurationdialog.h"
#include "modulesimulator.h"
#include "modulewindow.h"
#include "t_orvo_settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double GoalMs = 50.0;

class GapMeter
{
public:
    GapMeter()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            const qint64 now = clock.nsecsElapsed();
            gaps.push_back(double(now - last) / 1e6);
            last = now;
        });
    }
    void start()
    {
        gaps.clear();
        clock.start();
        last = 0;
        timer.start();
    }
    void stop() { timer.stop(); }
    double largest() const
    {
        return gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    }
    double percentile(double p) const
    {
        if (gaps.empty())
            return 0;
        std::vector<double> sorted = gaps;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, size_t(p * sorted.size()))];
    }
    size_t ticks() const { return gaps.size(); }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<double> gaps;
};

// Runs the event loop until done() or the time is up; false on timeout.
bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct Result
{
    const char *name;
    double largest;
    double p99;
    size_t ticks;
    bool completed;
};

std::unique_ptr<ModuleWindow> connectedWindow(ModuleSimulator &sim)
{
    auto window = std::make_unique<ModuleWindow>();
    window->setConfirmer([](const QString &) { return true; });
    window->show();
    window->connectTo(QStringLiteral("127.0.0.1"), sim.port());
    runUntil(
        [&] {
            return window->linkState() == ModuleWindow::LinkState::Connected &&
                   window->moduleSettings();
        },
        10000);
    return window;
}

Result restart()
{
    ModuleSimulator sim;
    sim.start();
    auto window = connectedWindow(sim);
    GapMeter meter;
    meter.start();
    window->restartModule();
    const bool done = runUntil([&] { return !window->isBusy(); }, 30000);
    meter.stop();
    return {"restart (8 s wait on the worker)", meter.largest(), meter.percentile(0.99),
            meter.ticks(), done && sim.restartCount() == 1};
}

Result waveforms4096()
{
    ModuleSimulator sim;
    for (int ch = 0; ch < 4; ++ch)
        sim.setWaveformPoints(ch, 4096);
    sim.start();
    auto window = connectedWindow(sim);
    int shown = 0;
    QObject::connect(window.get(), &ModuleWindow::waveformShown, window.get(),
                     [&shown](int, uint) { ++shown; });
    GapMeter meter;
    meter.start();
    // Three rounds of four channels: fetch, plot, and the capture cycle in between.
    const bool done = runUntil([&] { return shown >= 12; }, 60000);
    meter.stop();
    return {"4096-point waveforms, 4 channels, 3 rounds", meter.largest(), meter.percentile(0.99),
            meter.ticks(), done};
}

Result polling4x8()
{
    ModuleSimulator sim;
    t_orvo_settings settings;
    sim.settings(settings);
    settings.channel_mask = 0xF;
    for (int ch = 0; ch < 4; ++ch) {
        for (int slot = 0; slot < 8; ++slot) {
            const quint16 type = quint16(slot + 1);
            settings.channels[ch].meas[slot].type = type;
            sim.setMeasurement(ch, slot, type, 0, 1.0f + slot, 30000, 12000);
        }
    }
    sim.setSettings(settings);
    sim.setMovingValues(true, 100);
    sim.start();
    auto window = connectedWindow(sim);
    GapMeter meter;
    meter.start();
    QElapsedTimer t;
    t.start();
    runUntil([&] { return t.elapsed() > 15000; }, 20000);
    meter.stop();
    return {"polling 4 channels x 8 measurements, 15 s", meter.largest(), meter.percentile(0.99),
            meter.ticks(), window->linkState() == ModuleWindow::LinkState::Connected};
}

bool screenshot(const QString &path)
{
    ModuleSimulator sim;
    sim.start();
    auto window = connectedWindow(sim);
    window->resize(1280, 1000);
    // Room for the plots: three rows of the channel table and a strip of the log are enough.
    window->findChild<QSplitter *>(QStringLiteral("mainSplitter"))->setSizes({230, 600});
    window->resizeDocks({window->findChild<QDockWidget *>(QStringLiteral("logDock"))}, {110},
                        Qt::Vertical);
    CapturePlot *waveforms = window->waveformPlot();
    CapturePlot *spectra = window->spectrumPlot();
    const bool captured = runUntil(
        [&] {
            for (int ch = 0; ch < CapturePlot::Channels; ++ch) {
                if (waveforms->capture(ch).isEmpty() || spectra->capture(ch).isEmpty())
                    return false;
            }
            return true;
        },
        20000);
    if (!captured)
        return false;
    // Two channels shown, so that the curves, their peaks and the cursor stay readable.
    for (CapturePlot *plot : {waveforms, spectra}) {
        plot->setChannelShown(2, false);
        plot->setChannelShown(3, false);
    }
    // The cursor follows the mouse: a third of the way along the waveforms.
    QWidget *canvas = waveforms->canvas();
    const QPoint at(
        int(waveforms->canvasMap(QwtPlot::xBottom).transform(waveforms->capture(0).size() / 3.0)),
        canvas->height() / 2);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(canvas, &enter);
    QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &move);
    runUntil([] { return false; }, 300);

    ConfigurationDialog configuration(window->moduleSettings(), {}, window.get());
    configuration.resize(600, 300);
    configuration.show();
    runUntil([] { return false; }, 300);

    QImage image = window->grab().toImage();
    QPainter painter(&image);
    const QImage dialog = configuration.grab().toImage();
    const QPoint corner(image.width() - dialog.width() - 16, image.height() - dialog.height() - 36);
    painter.drawImage(corner, dialog);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawRect(QRect(corner, dialog.size()).adjusted(-1, -1, 0, 0));
    painter.end();
    // A palette of 256 colours is plenty for a window and keeps the file small.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
        .save(path, nullptr, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir settingsDir;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View bench"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window on the simulator instead of measuring."),
        QStringLiteral("PNG"));
    parser.addOption(screenshotOption);
    parser.process(app);
    if (parser.isSet(screenshotOption))
        return screenshot(parser.value(screenshotOption)) ? 0 : 1;

    QTextStream out(stdout);
    bool allGood = true;
    for (const Result &r : {restart(), waveforms4096(), polling4x8()}) {
        const bool good = r.completed && r.largest < GoalMs;
        allGood = allGood && good;
        out << QString::asprintf("%-46s largest gap %7.1f ms  99th %5.1f ms  %6zu ticks  %s\n",
                                 r.name, r.largest, r.p99, r.ticks,
                                 !r.completed ? "DID NOT COMPLETE"
                                 : good       ? "ok"
                                              : "OVER GOAL");
        out.flush();
    }
    return allGood ? 0 : 1;
}

#pragma once

#include "pointformat.h"
#include "t_orvo_settings.h"

#include <QDateTime>
#include <QSize>
#include <QVector>
#include <qwt_plot.h>

#include <array>
#include <optional>

class CaptureCursor;
class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotZoomer;

// A plot of the latest capture of each channel, waveforms or spectra alike: one curve per
// channel against the point index, with a legend, the peak of each curve marked, a cursor that
// reads the curves under the mouse, zoom (drag a rectangle; right click steps back), pan
// (middle button) and wheel zoom. It keeps the words as received, so a change of
// the point format redraws without a new fetch and an export carries what the module sent.
class CapturePlot : public QwtPlot
{
    Q_OBJECT

public:
    static constexpr int Channels = OrvoSettings::ChannelCount;
    // What the plot shows, for its titles and its cursor's words.
    enum Kind { Waveform, Spectrum };

    explicit CapturePlot(QWidget *parent = nullptr);
    ~CapturePlot() override;

    void setKind(Kind shown);
    // Titles of another kind of plot; xReading names a position on the x axis in the cursor's
    // read-out, with %1 for it. A language change restores the kind's own titles.
    void setTitles(const QString &title, const QString &xTitle, const QString &yTitle,
                   const QString &xReading = QStringLiteral("%1"));
    void setPointFormat(PointFormat::Kind kind);
    PointFormat::Kind pointFormat() const { return format; }

    void setCapture(int ch, const QVector<quint32> &words);
    void clearCaptures();
    QVector<quint32> capture(int ch) const;
    // The samples the curve of channel ch draws.
    QVector<QPointF> curveSamples(int ch) const;
    // What the legend's check boxes do: a hidden channel keeps its capture and its export.
    void setChannelShown(int ch, bool shown);
    bool isChannelShown(int ch) const;
    // The sample of largest magnitude of channel ch's curve, if it has one.
    std::optional<QPointF> peak(int ch) const;
    // What the cursor shows at x: the nearest point's position and each shown curve's value
    // there, one line each.
    QString cursorReading(double x) const;
    // The legend's name of channel ch: its number, its peak, and whether it is live.
    QString curveTitle(int ch) const;
    // Old curves stay drawn, faded and dashed, until a new capture comes.
    void setStale(bool stale);
    // The latest fetch of channel ch failed: its curve is from an older capture, faded and
    // named so until the next capture arrives.
    void markOlder(int ch);
    bool isOlder(int ch) const { return ch >= 0 && ch < Channels && older[ch]; }
    bool isStale() const { return stale; }

    // Comma-separated: comment lines naming the module, each capture's arrival time and the
    // point format, a header line, then the point index and one column per channel with a
    // capture, values in the point format.
    QString csv(const QString &module = QString()) const;
    // Both add their suffix (".csv", ".png") to a path without it.
    bool exportCsv(const QString &path, QString *error, const QString &module = QString()) const;
    // Rendered at size, not grabbed from the screen, with the module and capture times as a
    // caption below the plot.
    static constexpr int PngWidth = 1600;
    static constexpr int PngHeight = 900;
    bool exportPng(const QString &path, QString *error, const QString &module = QString(),
                   const QSize &size = QSize(PngWidth, PngHeight));
    // "channel 1 2026-12-08 01:30:00, ..." for the channels with a capture.
    QString captureTimes() const;
    void copyToClipboard();

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateCurve(int ch);
    void updateScales();
    void retranslate();
    void syncLegendChecks();
    void restyle(int ch);
    void updateMarker(int ch);

    std::array<QwtPlotCurve *, Channels> curves = {};
    std::array<QwtPlotMarker *, Channels> peakMarkers = {};
    std::array<QVector<quint32>, Channels> words;
    std::array<QDateTime, Channels> arrived;
    std::array<bool, Channels> older = {};
    QwtPlotZoomer *zoomer = nullptr;
    CaptureCursor *cursor = nullptr;
    Kind kind = Waveform;
    QString xReading = QStringLiteral("%1");
    PointFormat::Kind format = PointFormat::Float32;
    bool stale = false;
};

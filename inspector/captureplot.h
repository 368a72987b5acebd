#pragma once

#include "pointformat.h"
#include "t_orvo_settings.h"

#include <QVector>
#include <qwt_plot.h>

#include <array>

class QwtPlotCurve;
class QwtPlotZoomer;

// A plot of the latest capture of each channel, waveforms or spectra alike: one curve per
// channel against the point index, with a legend, zoom (drag a rectangle; right click steps
// back), pan (middle button) and wheel zoom. It keeps the words as received, so a change of
// the point format redraws without a new fetch and an export carries what the module sent.
class CapturePlot : public QwtPlot
{
    Q_OBJECT

public:
    static constexpr int Channels = OrvoSettings::ChannelCount;

    explicit CapturePlot(QWidget *parent = nullptr);
    ~CapturePlot() override;

    void setTitles(const QString &title, const QString &xTitle, const QString &yTitle);
    void setPointFormat(PointFormat::Kind kind);
    PointFormat::Kind pointFormat() const { return format; }

    void setCapture(int ch, const QVector<quint32> &words);
    void clearCaptures();
    QVector<quint32> capture(int ch) const;
    // The samples the curve of channel ch draws.
    QVector<QPointF> curveSamples(int ch) const;
    // Old curves stay drawn, dashed, until a new capture comes.
    void setStale(bool stale);
    bool isStale() const { return stale; }

    // Point index, then one column per channel with a capture, values in the point format.
    QString csv() const;
    bool exportCsv(const QString &path, QString *error) const;
    bool exportPng(const QString &path, QString *error);
    void copyToClipboard();

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateCurve(int ch);
    void updateScales();
    void retranslate();

    std::array<QwtPlotCurve *, Channels> curves = {};
    std::array<QVector<quint32>, Channels> words;
    QwtPlotZoomer *zoomer = nullptr;
    PointFormat::Kind format = PointFormat::Float32;
    bool stale = false;
};

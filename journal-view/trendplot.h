#pragma once

#include "journalviewtypes.h"

#include <QPair>
#include <QPointF>
#include <QSize>
#include <QVector>
#include <qwt_plot.h>

class QwtPlotItem;
class QwtPlotZoomer;
QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

// The trends of the chosen measurements against local time: per measurement a min-max band
// and the mean, each drawn flat over its interval, broken where an interval is missing or
// holds invalid data, with the alarm transitions marked. Zoom (drag a rectangle, right click
// steps back; the wheel), pan (middle button) from two years down to one second; each change
// of the shown range asks, once the user pauses, for the points that fit the width.
class TrendPlot : public QwtPlot
{
    Q_OBJECT

public:
    static constexpr qint64 MinSpanMs = 1000;
    static constexpr qint64 MaxSpanMs = 730 * 24 * 3600 * 1000LL;
    static constexpr int QueryDelayMs = 120;
    static constexpr int PngWidth = 1600;
    static constexpr int PngHeight = 900;

    explicit TrendPlot(QWidget *parent = nullptr);
    ~TrendPlot() override;

    // Shows [fromMs, toMs), held within the zoom limits, and asks for its points.
    void setRange(qint64 fromMs, qint64 toMs);
    qint64 fromMs() const;
    qint64 toMs() const;
    // As many points as the plot is wide in pixels.
    int pointsWanted() const;
    // While on, a range that ends at the present moves with it (see TrendFollower).
    void setFollowing(bool on);
    bool isFollowing() const { return followOn && atPresent; }

    // The points read for [fromMs, toMs) with the measurements' names for the legend.
    void setTrends(const QVector<TrendData> &trends, const QVector<QString> &titles,
                   qint64 fromMs = 0, qint64 toMs = 0);
    // The range the shown points were read for: the shown range once the answer is in.
    qint64 dataFromMs() const { return dataFrom; }
    qint64 dataToMs() const { return dataTo; }
    const QVector<TrendData> &trends() const { return shown; }
    // The mean line of trend i as drawn, one polyline per unbroken run of intervals.
    QVector<QVector<QPointF>> meanRuns(int i) const;
    // Where the alarm transitions of trend i are marked.
    QVector<QPointF> marks(int i) const;
    // The runs of points drawn without a break, as [first, last] indices: a run ends before a
    // missing interval or one without valid data.
    static QVector<QPair<int, int>> runs(const QVector<TrendPoint> &points);

    // The trend columns of orvo-journal-tool; with several measurements, each one's rows
    // follow a comment line naming it.
    QString csv() const;
    bool exportCsv(const QString &path, QString *error) const;
    bool exportPng(const QString &path, QString *error,
                   const QSize &size = QSize(PngWidth, PngHeight));
    void copyToClipboard();

signals:
    // The shown range changed and the user paused: points for it are wanted.
    void viewChanged(qint64 fromMs, qint64 toMs, int points);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void scaleChanged();
    void follow();
    void retranslate();
    void clearItems();

    QVector<TrendData> shown;
    QVector<QString> shownTitles;
    QVector<QwtPlotItem *> items;
    QVector<QVector<QPair<int, int>>> shownRuns;
    QwtPlotZoomer *zoomer = nullptr;
    QTimer *queryTimer = nullptr;
    QTimer *followTimer = nullptr;
    bool followOn = false;
    bool atPresent = false; // the shown range ends at the present
    bool moving = false;    // the range changes because time passed, not the user
    qint64 lastMoveMs = 0;
    qint64 dataFrom = 0;
    qint64 dataTo = 0;
    bool clamping = false;
};

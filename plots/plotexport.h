#pragma once

#include <QCoreApplication>

QT_BEGIN_NAMESPACE
class QSize;
class QString;
class QWidget;
QT_END_NAMESPACE

class QwtPlot;

// Where a plot's export and copy actions put what they make: whole files or nothing (a failed
// write leaves no half file behind), and the clipboard with both the text and the picture.
class PlotExport
{
    Q_DECLARE_TR_FUNCTIONS(PlotExport)

public:
    static bool saveText(const QString &path, const QString &text, QString *error);
    // The plot rendered at size on white, not the screen's grab.
    static bool savePng(QwtPlot *plot, const QString &path, const QSize &size, QString *error);
    static void copy(QWidget *plot, const QString &text);
};

#include "plotexport.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSaveFile>
#include <QWidget>
#include <qwt_plot.h>
#include <qwt_plot_renderer.h>

bool PlotExport::saveText(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool PlotExport::savePng(QwtPlot *plot, const QString &path, const QSize &size, QString *error)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QwtPlotRenderer().renderTo(plot, image);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        if (error)
            *error =
                file.errorString().isEmpty() ? tr("Cannot write the image") : file.errorString();
        return false;
    }
    return true;
}

void PlotExport::copy(QWidget *plot, const QString &text)
{
    auto *mime = new QMimeData;
    mime->setText(text);
    mime->setImageData(plot->grab().toImage());
    QApplication::clipboard()->setMimeData(mime); // the clipboard owns it
}

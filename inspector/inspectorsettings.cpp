#include "inspectorsettings.h"

#include "captureplot.h"
#include "imagesizedialog.h"
#include "openconnectiondialog.h"

#include <QMainWindow>
#include <QSettings>

namespace {

const char *const Group = "ModuleView";
const char *const HostKey = "host";
const char *const PortKey = "port";
const char *const PointFormatKey = "pointFormat";
const char *const PngSizeKey = "pngSize";
const char *const GeometryKey = "geometry";
const char *const StateKey = "state";

QString key(const char *name)
{
    return QStringLiteral("%1/%2").arg(QLatin1String(Group), QLatin1String(name));
}

} // namespace

QString InspectorSettings::lastHost()
{
    return QSettings().value(key(HostKey)).toString();
}

quint16 InspectorSettings::lastPort()
{
    const uint port = QSettings().value(key(PortKey), OpenConnectionDialog::DefaultPort).toUInt();
    return port >= 1 && port <= 65535 ? quint16(port) : OpenConnectionDialog::DefaultPort;
}

void InspectorSettings::storeAddress(const QString &host, quint16 port)
{
    QSettings stored;
    stored.setValue(key(HostKey), host);
    stored.setValue(key(PortKey), port);
}

PointFormat::Kind InspectorSettings::pointFormat()
{
    return PointFormat::fromKey(QSettings().value(key(PointFormatKey)).toString());
}

void InspectorSettings::storePointFormat(PointFormat::Kind kind)
{
    QSettings().setValue(key(PointFormatKey), PointFormat::key(kind));
}

QSize InspectorSettings::pngSize()
{
    const QSize size = QSettings().value(key(PngSizeKey)).toSize();
    return ImageSizeDialog::isFit(size) ? size
                                        : QSize(CapturePlot::PngWidth, CapturePlot::PngHeight);
}

void InspectorSettings::storePngSize(const QSize &size)
{
    QSettings().setValue(key(PngSizeKey), size);
}

void InspectorSettings::restoreWindow(QMainWindow *window)
{
    QSettings stored;
    window->restoreGeometry(stored.value(key(GeometryKey)).toByteArray());
    window->restoreState(stored.value(key(StateKey)).toByteArray());
}

void InspectorSettings::storeWindow(const QMainWindow *window)
{
    QSettings stored;
    stored.setValue(key(GeometryKey), window->saveGeometry());
    stored.setValue(key(StateKey), window->saveState());
}

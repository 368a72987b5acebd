#pragma once

#include "pointformat.h"

#include <QSize>
#include <QString>

QT_BEGIN_NAMESPACE
class QMainWindow;
QT_END_NAMESPACE

// Every key the inspector keeps in the settings file it shares with the viewer, each with its
// default, in the group "ModuleView"; the language is the shared key of WindowShell. Each call
// opens its own short-lived settings object.
class InspectorSettings
{
public:
    InspectorSettings() = delete;

    // The last address that connected; the port falls back to the Modbus default.
    static QString lastHost();
    static quint16 lastPort();
    static void storeAddress(const QString &host, quint16 port);

    static PointFormat::Kind pointFormat();
    static void storePointFormat(PointFormat::Kind kind);

    // The size an exported plot image was last rendered at.
    static QSize pngSize();
    static void storePngSize(const QSize &size);

    // Geometry and dock layout; a first start keeps what the window set up itself.
    static void restoreWindow(QMainWindow *window);
    static void storeWindow(const QMainWindow *window);
};

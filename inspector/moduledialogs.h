#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

// The questions the inspector puts to its user, as functions a test can replace; the defaults
// are the standard dialogs over the given window. A chooser returns an empty path, or an empty
// size, for Cancel.
class ModuleDialogs
{
    Q_DECLARE_TR_FUNCTIONS(ModuleWindow)

public:
    enum class FileRole { SaveConfig, LoadConfig, ExportCsv, ExportPng };
    using FileChooser = std::function<QString(FileRole role)>;
    using Confirmer = std::function<bool(const QString &question)>;
    using Messenger = std::function<void(const QString &message)>;
    // The pixel size of an exported image; the default offers the last size chosen.
    using SizeChooser = std::function<QSize()>;

    ModuleDialogs() = delete;
    static FileChooser fileChooser(QWidget *window);
    static Confirmer confirmer(QWidget *window);
    static Messenger messenger(QWidget *window);
    static SizeChooser sizeChooser(QWidget *window);
};

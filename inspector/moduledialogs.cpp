#include "moduledialogs.h"

#include "imagesizedialog.h"
#include "inspectorsettings.h"

#include <QFileDialog>
#include <QMessageBox>

ModuleDialogs::FileChooser ModuleDialogs::fileChooser(QWidget *window)
{
    return [window](FileRole role) {
        const QString config = tr("Module configuration (*.cfg);;All files (*)");
        switch (role) {
        case FileRole::SaveConfig:
            return QFileDialog::getSaveFileName(window, tr("Save configuration"), QString(),
                                                config);
        case FileRole::LoadConfig:
            return QFileDialog::getOpenFileName(window, tr("Load configuration"), QString(),
                                                config);
        case FileRole::ExportCsv:
            return QFileDialog::getSaveFileName(window, tr("Export CSV"), QString(),
                                                tr("CSV files (*.csv);;All files (*)"));
        case FileRole::ExportPng:
            return QFileDialog::getSaveFileName(window, tr("Export PNG"), QString(),
                                                tr("PNG images (*.png);;All files (*)"));
        }
        return QString();
    };
}

ModuleDialogs::Confirmer ModuleDialogs::confirmer(QWidget *window)
{
    return [window](const QString &question) {
        return QMessageBox::question(window, window->windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Yes;
    };
}

ModuleDialogs::Messenger ModuleDialogs::messenger(QWidget *window)
{
    return [window](const QString &message) {
        QMessageBox::warning(window, window->windowTitle(), message);
    };
}

ModuleDialogs::SizeChooser ModuleDialogs::sizeChooser(QWidget *window)
{
    return [window] {
        ImageSizeDialog dialog(InspectorSettings::pngSize(), window);
        if (dialog.exec() != QDialog::Accepted)
            return QSize();
        InspectorSettings::storePngSize(dialog.imageSize());
        return dialog.imageSize();
    };
}

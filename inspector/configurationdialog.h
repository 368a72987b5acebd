#pragma once

#include "t_orvo_settings.h"

#include <QDialog>
#include <QSharedPointer>

#include <functional>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

class ConfigFieldModel;

// The module's configuration record as fields with their meaning, and "Compare with file..."
// to see which of them a saved record has otherwise. It only shows: writing stays with
// "Load configuration...".
class ConfigurationDialog : public QDialog
{
    Q_OBJECT

public:
    // chooseFile names the record file to compare with; empty when the user cancelled.
    ConfigurationDialog(QSharedPointer<t_orvo_settings> record, std::function<QString()> chooseFile,
                        QWidget *parent = nullptr);
    ~ConfigurationDialog() override;

    ConfigFieldModel *model() const { return fields; }
    QString status() const;
    // Loads path and shows what differs; false (with the reason shown) for an unfit file.
    bool compareWithFile(const QString &path);

private:
    ConfigFieldModel *const fields;
    QLabel *const statusLabel;
    const std::function<QString()> chooseFile;
};

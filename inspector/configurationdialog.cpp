#include "configurationdialog.h"

#include "configfieldmodel.h"
#include "configfile.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

ConfigurationDialog::ConfigurationDialog(QSharedPointer<t_orvo_settings> record,
                                         std::function<QString()> chooseFile, QWidget *parent)
    : QDialog(parent)
    , fields(new ConfigFieldModel(this))
    , statusLabel(new QLabel(this))
    , chooseFile(std::move(chooseFile))
{
    setWindowTitle(tr("Configuration"));
    auto *table = new QTableView(this);
    table->setModel(fields);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *compare =
        buttons->addButton(tr("Compare with file..."), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(compare, &QPushButton::clicked, this, [this] {
        const QString path = this->chooseFile ? this->chooseFile() : QString();
        if (!path.isEmpty())
            compareWithFile(path);
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(statusLabel);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(760, 560);

    if (record) {
        fields->setRecord(*record);
        statusLabel->setText(tr("The module's configuration, node id %1").arg(record->node_id));
    } else {
        compare->setEnabled(false);
        statusLabel->setText(tr("No configuration has been read from the module yet"));
    }
}

ConfigurationDialog::~ConfigurationDialog() = default;

QString ConfigurationDialog::status() const
{
    return statusLabel->text();
}

bool ConfigurationDialog::compareWithFile(const QString &path)
{
    t_orvo_settings file = {};
    QString error;
    if (!ConfigFile::load(path, file, &error)) {
        statusLabel->setText(
            tr("%1 cannot be compared: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    fields->compareWith(file);
    statusLabel->setText(fields->rowCount() == 0
                             ? tr("%1 holds the same configuration as the module")
                                   .arg(QDir::toNativeSeparators(path))
                             : tr("Fields that differ between the module and %1")
                                   .arg(QDir::toNativeSeparators(path)));
    return true;
}

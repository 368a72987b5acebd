#include "openconnectiondialog.h"

#include "addressvalidator.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

OpenConnectionDialog::OpenConnectionDialog(QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    retranslateUi();
    connect(ipEdit, &QLineEdit::textChanged, this, &OpenConnectionDialog::ipTextChanged);
    // Start from the empty field's judgement: red, OK off.
    ipTextChanged(ipEdit->text());
}

OpenConnectionDialog::~OpenConnectionDialog() = default;

void OpenConnectionDialog::setupUi()
{
    setObjectName(QStringLiteral("OpenConnectionDialog"));
    auto *form = new QFormLayout;
    ipLabel = new QLabel(this);
    ipLabel->setObjectName(QStringLiteral("ipLabel"));
    ipEdit = new QLineEdit(this);
    ipEdit->setObjectName(QStringLiteral("ipEdit"));
    ipEdit->setMaxLength(253);
    validator = new AddressValidator(ipEdit);
    ipEdit->setValidator(validator);
    ipLabel->setBuddy(ipEdit);
    form->addRow(ipLabel, ipEdit);

    portLabel = new QLabel(this);
    portLabel->setObjectName(QStringLiteral("portLabel"));
    portSpin = new QSpinBox(this);
    portSpin->setObjectName(QStringLiteral("portSpin"));
    portSpin->setRange(1, 65535);
    portSpin->setValue(DefaultPort);
    portLabel->setBuddy(portSpin);
    form->addRow(portLabel, portSpin);

    buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
}

void OpenConnectionDialog::retranslateUi()
{
    setWindowTitle(tr("Connect to module"));
    ipLabel->setText(tr("Module &address:"));
    ipEdit->setPlaceholderText(tr("IP address or host name"));
    ipEdit->setToolTip(tr("IPv4 or IPv6 address, or host name of the module"));
    portLabel->setText(tr("&Port:"));
    portSpin->setToolTip(tr("TCP port of the module's Modbus server"));
}

void OpenConnectionDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void OpenConnectionDialog::ipTextChanged(QString text)
{
    QPushButton *ok = buttonBox->button(QDialogButtonBox::Ok);
    int pos = 0;
    if (validator->validate(text, pos) == QValidator::Acceptable) {
        ipEdit->setStyleSheet(QStringLiteral("QLineEdit { color: darkGreen }"));
        ok->setEnabled(true);
    } else {
        ipEdit->setStyleSheet(QStringLiteral("QLineEdit { color: darkRed }"));
        ok->setEnabled(false);
    }
}

void OpenConnectionDialog::setAddress(const QString &address)
{
    ipEdit->setText(address);
}

QString OpenConnectionDialog::address() const
{
    return ipEdit->text();
}

void OpenConnectionDialog::setPort(quint16 port)
{
    portSpin->setValue(port == 0 ? DefaultPort : port);
}

quint16 OpenConnectionDialog::port() const
{
    return quint16(portSpin->value());
}

QSharedPointer<Orvo_ICPConnection::ConnectionInfo> OpenConnectionDialog::connectionInfo() const
{
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->iface = 0;
    info->ipAddr = ipEdit->text();
    info->port = port();
    return info;
}

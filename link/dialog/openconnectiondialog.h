#pragma once

#include "orvo_icpconnection.h"

#include <QDialog>
#include <QSharedPointer>

QT_BEGIN_NAMESPACE
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;
QT_END_NAMESPACE

class AddressValidator;

// Asks for the address and port of a module before the link connects to it. The address is
// judged while it is typed (AddressValidator): dark green and OK enabled when acceptable, dark
// red and OK disabled otherwise.
class OpenConnectionDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 502;

    explicit OpenConnectionDialog(QWidget *parent = nullptr);
    ~OpenConnectionDialog() override;

    // Presets, for example the parameters of the last connection.
    void setAddress(const QString &address);
    QString address() const;
    void setPort(quint16 port);
    quint16 port() const;

    // A new record with the typed address and port, for Orvo_ICPConnection::open.
    QSharedPointer<Orvo_ICPConnection::ConnectionInfo> connectionInfo() const;

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void ipTextChanged(QString text);

private:
    void setupUi();
    void retranslateUi();

    QLabel *ipLabel = nullptr;
    QLineEdit *ipEdit = nullptr;
    QLabel *portLabel = nullptr;
    QSpinBox *portSpin = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
    AddressValidator *validator = nullptr;
};

#pragma once

// The form of RelayStateView, kept in the shape uic gives a form class.

#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

QT_BEGIN_NAMESPACE

namespace Ui {

class RelayStateView
{
public:
    QVBoxLayout *verticalLayout = nullptr;
    QTableWidget *eventsTable = nullptr;

    void setupUi(QGroupBox *view)
    {
        if (view->objectName().isEmpty())
            view->setObjectName(QStringLiteral("RelayStateView"));
        view->resize(400, 300);
        view->setWindowTitle(QString());
        verticalLayout = new QVBoxLayout(view);
        verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
        eventsTable = new QTableWidget(view);
        if (eventsTable->columnCount() < 5)
            eventsTable->setColumnCount(5);
        for (int column = 0; column < 5; ++column)
            eventsTable->setHorizontalHeaderItem(column, new QTableWidgetItem);
        eventsTable->setObjectName(QStringLiteral("eventsTable"));
        eventsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        eventsTable->setColumnCount(5);
        eventsTable->horizontalHeader()->setDefaultSectionSize(40);
        eventsTable->horizontalHeader()->setStretchLastSection(true);
        eventsTable->verticalHeader()->setVisible(false);
        verticalLayout->addWidget(eventsTable);

        retranslateUi(view);

        QMetaObject::connectSlotsByName(view);
    }

    void retranslateUi(QGroupBox *view)
    {
        view->setTitle(QString());
        eventsTable->horizontalHeaderItem(0)->setText(
            QCoreApplication::translate("RelayStateView", "№"));
        eventsTable->horizontalHeaderItem(1)->setText(
            QCoreApplication::translate("RelayStateView", "En"));
        eventsTable->horizontalHeaderItem(2)->setText(
            QCoreApplication::translate("RelayStateView", "Fault"));
        eventsTable->horizontalHeaderItem(3)->setText(
            QCoreApplication::translate("RelayStateView", "PhysState"));
        eventsTable->horizontalHeaderItem(4)->setText(
            QCoreApplication::translate("RelayStateView", "LogicState"));
    }
};

} // namespace Ui

QT_END_NAMESPACE

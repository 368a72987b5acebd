#pragma once

// The form of EventsStateView, kept in the shape uic gives a form class.

#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

QT_BEGIN_NAMESPACE

namespace Ui {

class EventsStateView
{
public:
    QVBoxLayout *verticalLayout = nullptr;
    QTableWidget *eventsTable = nullptr;

    void setupUi(QGroupBox *view)
    {
        if (view->objectName().isEmpty())
            view->setObjectName(QStringLiteral("EventsStateView"));
        view->resize(300, 300);
        view->setWindowTitle(QString());
        verticalLayout = new QVBoxLayout(view);
        verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
        eventsTable = new QTableWidget(view);
        if (eventsTable->columnCount() < 3)
            eventsTable->setColumnCount(3);
        for (int column = 0; column < 3; ++column)
            eventsTable->setHorizontalHeaderItem(column, new QTableWidgetItem);
        eventsTable->setObjectName(QStringLiteral("eventsTable"));
        eventsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        eventsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
        // Number and lamp are narrow; the name takes the rest of the width.
        eventsTable->horizontalHeader()->setMinimumSectionSize(30);
        eventsTable->horizontalHeader()->setDefaultSectionSize(40);
        eventsTable->setColumnWidth(1, 50);
        eventsTable->horizontalHeader()->setStretchLastSection(true);
        eventsTable->verticalHeader()->setVisible(false);
        verticalLayout->addWidget(eventsTable);

        retranslateUi(view);

        QMetaObject::connectSlotsByName(view);
    }

    void retranslateUi(QGroupBox *view)
    {
        view->setTitle(QCoreApplication::translate("EventsStateView", "Events"));
        eventsTable->horizontalHeaderItem(0)->setText(
            QCoreApplication::translate("EventsStateView", "№"));
        eventsTable->horizontalHeaderItem(1)->setText(
            QCoreApplication::translate("EventsStateView", "State"));
        eventsTable->horizontalHeaderItem(2)->setText(
            QCoreApplication::translate("EventsStateView", "Name"));
        eventsTable->horizontalHeaderItem(1)->setToolTip(
            QCoreApplication::translate("EventsStateView", "Red - active, off - inactive"));
    }
};

} // namespace Ui

QT_END_NAMESPACE

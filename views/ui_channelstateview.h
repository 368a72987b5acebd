#pragma once

// The form of ChannelStateView, kept in the shape uic gives a form class.

#include "meascatalogue.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

QT_BEGIN_NAMESPACE

namespace Ui {

class ChannelStateView
{
public:
    QVBoxLayout *verticalLayout = nullptr;
    QTableWidget *measTable = nullptr;

    void setupUi(QGroupBox *view)
    {
        if (view->objectName().isEmpty())
            view->setObjectName(QStringLiteral("ChannelStateView"));
        view->resize(501, 152);
        view->setWindowTitle(QString());
        verticalLayout = new QVBoxLayout(view);
        verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
        measTable = new QTableWidget(view);
        if (measTable->columnCount() < MeasCatalogue::ColumnCount)
            measTable->setColumnCount(MeasCatalogue::ColumnCount);
        for (int column = 0; column < MeasCatalogue::ColumnCount; ++column)
            measTable->setHorizontalHeaderItem(column, new QTableWidgetItem);
        measTable->setObjectName(QStringLiteral("measTable"));
        measTable->setMinimumSize(QSize(420, 0));
        measTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // The minimum first: the default size is clamped to the style's minimum, which is wider.
        measTable->horizontalHeader()->setMinimumSectionSize(30);
        measTable->horizontalHeader()->setDefaultSectionSize(30);
        measTable->horizontalHeader()->setStretchLastSection(true);
        measTable->verticalHeader()->setVisible(false);
        verticalLayout->addWidget(measTable);

        retranslateUi(view);

        QMetaObject::connectSlotsByName(view);
    }

    void retranslateUi(QGroupBox *view)
    {
        view->setTitle(QString());
        for (int column = 0; column < MeasCatalogue::ColumnCount; ++column)
            measTable->horizontalHeaderItem(column)->setText(MeasCatalogue::columnCaption(column));
    }
};

} // namespace Ui

QT_END_NAMESPACE

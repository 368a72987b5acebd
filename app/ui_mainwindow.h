#pragma once

// The main window's form, written by hand in the shape uic would give it: elements are created
// in a fixed order with fixed object names, and every text is set in retranslateUi.

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QWidget>

QT_BEGIN_NAMESPACE

class Ui_MainWindow
{
public:
    QAction *actionOpenConnection = nullptr;
    QAction *actionCloseConnection = nullptr;
    QAction *actionOpenRS485 = nullptr;
    QMenuBar *menubar = nullptr;
    QMenu *menuLanguage = nullptr;
    QWidget *centralwidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *scrollAreaWidgetContents = nullptr;
    QStatusBar *statusBar = nullptr;

    void setupUi(QMainWindow *MainWindow)
    {
        if (MainWindow->objectName().isEmpty())
            MainWindow->setObjectName(QString::fromUtf8("MainWindow"));
        MainWindow->resize(800, 600);
        MainWindow->setWindowTitle(QString());

        // The connection actions are built and translated but placed nowhere, so neither they
        // nor their shortcuts can ever be triggered in this window.
        actionOpenConnection = new QAction(MainWindow);
        actionOpenConnection->setObjectName(QString::fromUtf8("actionOpenConnection"));
        actionOpenConnection->setIcon(iconFrom(QString::fromUtf8(":/icons/connect.png")));
        actionCloseConnection = new QAction(MainWindow);
        actionCloseConnection->setObjectName(QString::fromUtf8("actionCloseConnection"));
        actionCloseConnection->setIcon(iconFrom(QString::fromUtf8(":/icons/disconnect.png")));
        actionOpenRS485 = new QAction(MainWindow);
        actionOpenRS485->setObjectName(QString::fromUtf8("actionOpenRS485"));
        actionOpenRS485->setEnabled(false);
        actionOpenRS485->setIcon(iconFrom(QString::fromUtf8(":/icons/rs.png")));
        actionOpenRS485->setVisible(false);

        menubar = new QMenuBar(MainWindow);
        menubar->setObjectName(QString::fromUtf8("menubar"));
        menubar->setGeometry(QRect(0, 0, 800, 20));
        MainWindow->setMenuBar(menubar);
        menuLanguage = new QMenu(menubar);
        menuLanguage->setObjectName(QString::fromUtf8("menuLanguage"));

        centralwidget = new QWidget(MainWindow);
        centralwidget->setObjectName(QString::fromUtf8("centralwidget"));
        horizontalLayout = new QHBoxLayout(centralwidget);
        horizontalLayout->setObjectName(QString::fromUtf8("horizontalLayout"));
        scrollArea = new QScrollArea(centralwidget);
        scrollArea->setObjectName(QString::fromUtf8("scrollArea"));
        // The vertical bar is always there so the panels do not jump sideways when the stack
        // grows past the window height.
        scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scrollArea->setSizeAdjustPolicy(QAbstractScrollArea::AdjustIgnored);
        scrollArea->setWidgetResizable(true);
        scrollArea->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        scrollAreaWidgetContents = new QWidget();
        scrollAreaWidgetContents->setObjectName(QString::fromUtf8("scrollAreaWidgetContents"));
        scrollAreaWidgetContents->setGeometry(QRect(0, 0, 766, 558));
        scrollArea->setWidget(scrollAreaWidgetContents);
        horizontalLayout->addWidget(scrollArea);
        MainWindow->setCentralWidget(centralwidget);

        statusBar = new QStatusBar(MainWindow);
        statusBar->setObjectName(QString::fromUtf8("statusBar"));
        MainWindow->setStatusBar(statusBar);

        menubar->addAction(menuLanguage->menuAction());

        retranslateUi(MainWindow);

        QMetaObject::connectSlotsByName(MainWindow);
    }

    void retranslateUi(QMainWindow *MainWindow)
    {
        Q_UNUSED(MainWindow)
        actionOpenConnection->setText(
            QCoreApplication::translate("MainWindow", "&Open connection...", nullptr));
        actionOpenConnection->setToolTip(
            QCoreApplication::translate("MainWindow", "Open connection", nullptr));
        actionOpenConnection->setShortcut(
            QKeySequence(QCoreApplication::translate("MainWindow", "Ctrl+E", nullptr)));
        actionCloseConnection->setText(
            QCoreApplication::translate("MainWindow", "&Close connection", nullptr));
        actionCloseConnection->setToolTip(
            QCoreApplication::translate("MainWindow", "Close connection", nullptr));
        actionCloseConnection->setShortcut(
            QKeySequence(QCoreApplication::translate("MainWindow", "Ctrl+Q", nullptr)));
        actionOpenRS485->setText(
            QCoreApplication::translate("MainWindow", "Open RS485 connection", nullptr));
        actionOpenRS485->setShortcut(
            QKeySequence(QCoreApplication::translate("MainWindow", "Ctrl+D", nullptr)));
        menuLanguage->setTitle(QCoreApplication::translate("MainWindow", "&Language", nullptr));
    }

private:
    static QIcon iconFrom(const QString &file)
    {
        QIcon icon;
        icon.addFile(file, QSize(), QIcon::Normal, QIcon::Off);
        return icon;
    }
};

namespace Ui {
class MainWindow : public Ui_MainWindow
{
};
} // namespace Ui

QT_END_NAMESPACE

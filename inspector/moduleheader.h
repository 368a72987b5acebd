#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QString>

class ModuleController;

// The words and the lamp colour of the inspector's header for the controller's state, worked
// out without a widget. The texts are the window's, in its translation context.
class ModuleHeader
{
    Q_DECLARE_TR_FUNCTIONS(ModuleWindow)

public:
    explicit ModuleHeader(const ModuleController &controller);

    QString state;
    QColor lamp; // invalid: the lamp is off
    QString type;
    QString ident;
    QString mode;
    QString address; // empty before the first address
    QString title;
};

#include "orvoresources.h"

#include <QtGlobal>

void initOrvoResources()
{
    Q_INIT_RESOURCE(icons);
    Q_INIT_RESOURCE(app);
}

#pragma once

#include <QMetaType>

// The kind of module found by identification.
enum t_ORVO_Type {
    ORVO_TYPE_NONE = 0,
    ORVO_TYPE_ICP = 2,  // measurement module, ICP inputs
    ORVO_TYPE_REL = 3,  // relay module
    ORVO_TYPE_PROX = 4, // measurement module, proximity-probe inputs
};

Q_DECLARE_METATYPE(t_ORVO_Type)

#include "ground/qt/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside a namespace.
static void init_cadenzor_resources() { Q_INIT_RESOURCE(cadenzor); }

void kelvo::init_resources()
{
    static const bool done = (init_cadenzor_resources(), true);
    (void)done;
}

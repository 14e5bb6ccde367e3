#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE and Q_CLEANUP_RESOURCE declare the trees' functions where they are used, so they
// must be used outside any namespace.

cUserInterfaceResources::cUserInterfaceResources()
{
    Q_INIT_RESOURCE(qml);
    Q_INIT_RESOURCE(script);
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(font);
}

cUserInterfaceResources::~cUserInterfaceResources()
{
    Q_CLEANUP_RESOURCE(font);
    Q_CLEANUP_RESOURCE(images);
    Q_CLEANUP_RESOURCE(script);
    Q_CLEANUP_RESOURCE(qml);
}

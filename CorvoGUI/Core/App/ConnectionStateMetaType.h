#pragma once

#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"

#include <QMetaType>

// The serial link's state as a Qt meta-type ("eConnectionState", registered at start-up), so that it
// can travel in queued signals and QML properties.
Q_DECLARE_METATYPE(eConnectionState)

#pragma once

#include <QMetaType>

#include <string>

// Host names travel as std::string in the connection layer's signals.
Q_DECLARE_METATYPE(std::string)

// Registers the types of the connection layer's signal arguments for queued connections and
// signal spies. Any thread; idempotent.
void RegisterConnectionMetaTypes();

#pragma once

#include <string>

// The name of a driver, a back end or a unit, made from a printf format: the back ends find the
// units by these names, so each is spelt exactly as its format gives it (an empty %s leaves the
// blanks around it as they are). Any thread.
std::string BackendName(const char* format, ...) __attribute__((format(printf, 1, 2)));

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string BackendName(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string name;
    if (length > 0)
    {
        std::vector<char> text(size_t(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        name.assign(text.data(), size_t(length));
    }
    va_end(arguments);
    return name;
}

#pragma once

#include <cstring>
#include <type_traits>

// Loads and stores of fields in non-volatile blocks. Blocks are packed byte by byte, so a field may
// sit at any address: access it through these, never through a dereferenced typed pointer.
// Fields are in the machine's native byte order.
namespace nNonVolatile
{

template <typename T>
T Load(const void* address)
{
    static_assert(std::is_trivially_copyable<T>::value, "non-volatile fields are plain values");
    T value;
    std::memcpy(&value, address, sizeof value);
    return value;
}

template <typename T>
void Store(void* address, T value)
{
    static_assert(std::is_trivially_copyable<T>::value, "non-volatile fields are plain values");
    std::memcpy(address, &value, sizeof value);
}

} // namespace nNonVolatile

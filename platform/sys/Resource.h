#pragma once
// Resources embedded in the program, found by (number, type). The type is compared without
// regard to case ("PNG" and "png" are the same). Executables that need the program's pictures
// link the `resources` library, which provides the embedded table; without it no resource is
// found. Tables may also be registered at run time (tests). Lookups are safe on any thread.

#include <cstddef>
#include <cstdint>

namespace plat {

// The program icon: a PNG picture stored as resource 1 of type "ICON".
constexpr int kIconResource = 1;
constexpr const char* kIconResourceType = "ICON";

struct ResourceEntry {
    int number;
    const char* type;
    const uint8_t* data;
    std::size_t size;
};

struct ResourceData {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    bool Empty() const { return data == nullptr || size == 0; }
};

// The bytes of a resource; empty when missing. The bytes live as long as the program (or as
// long as the registered table).
ResourceData FindResource(int number, const char* type);

// Adds a table looked up before the embedded one; the table must outlive its registration.
void RegisterResources(const ResourceEntry* table, std::size_t count);
void UnregisterResources(const ResourceEntry* table);

} // namespace plat

// Provided by the generated `resources` library (weakly referenced by the lookup, so programs
// without it still link): the embedded table and its length.
extern "C" const plat::ResourceEntry* zelta_embedded_resources(std::size_t* count);

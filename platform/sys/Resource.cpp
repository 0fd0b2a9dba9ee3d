#include "platform/sys/Resource.h"

#include <algorithm>
#include <mutex>
#include <vector>

// Weak: programs that do not link the generated table still link, and find no resource.
extern "C" __attribute__((weak)) const plat::ResourceEntry*
zelta_embedded_resources(std::size_t* count);

namespace plat {

namespace {

struct Table {
    const ResourceEntry* entries;
    std::size_t count;
};

// Built on first use, so registration and lookup work in any order, static initialisers included.
struct Registry {
    std::mutex mutex;
    std::vector<Table> tables;
};

Registry& GetRegistry() {
    static Registry registry;
    return registry;
}

bool SameType(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb)
            return false;
        if (ca == '\0')
            return true;
    }
}

const ResourceEntry* Search(const ResourceEntry* entries, std::size_t count, int number,
                            const char* type) {
    for (std::size_t i = 0; i < count; ++i) {
        const ResourceEntry& e = entries[i];
        if (e.number == number && e.type && SameType(e.type, type))
            return &e;
    }
    return nullptr;
}

} // namespace

ResourceData FindResource(int number, const char* type) {
    if (!type)
        return {};
    const ResourceEntry* found = nullptr;
    {
        Registry& reg = GetRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (const Table& t : reg.tables)
            if ((found = Search(t.entries, t.count, number, type)))
                break;
    }
    if (!found && zelta_embedded_resources) {
        std::size_t count = 0;
        const ResourceEntry* entries = zelta_embedded_resources(&count);
        found = Search(entries, count, number, type);
    }
    if (!found || !found->data || found->size == 0)
        return {};
    return ResourceData{found->data, found->size};
}

void RegisterResources(const ResourceEntry* table, std::size_t count) {
    if (!table)
        return;
    Registry& reg = GetRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.tables.insert(reg.tables.begin(), Table{table, count});
}

void UnregisterResources(const ResourceEntry* table) {
    Registry& reg = GetRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    std::erase_if(reg.tables, [table](const Table& t) { return t.entries == table; });
}

} // namespace plat

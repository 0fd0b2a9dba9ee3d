#include "pane/core/ResourcePath.h"

#include <cstring>

namespace Pane {

namespace {
CUIString& ResourcePathStorage() {
    static CUIString path;
    return path;
}
} // namespace

const CUIString& GetResourcePath() {
    return ResourcePathStorage();
}

void SetResourcePath(const char* path) {
    CUIString& stored = ResourcePathStorage();
    stored = path != nullptr ? path : "";
    const int length = stored.GetLength();
    if (length > 0 && stored.GetAt(length - 1) != '/' && stored.GetAt(length - 1) != '\\') {
        stored += "/";
    }
}

} // namespace Pane

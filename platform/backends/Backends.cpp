// Start-up: the one place that knows which backends exist.

#include "platform/win/Backend.h"

#include <cstdlib>
#include <cstring>

namespace plat {

bool Initialise() {
    const char* name = std::getenv("PANE_BACKEND");
    const bool headless = name != nullptr && std::strcmp(name, "headless") == 0;
    return InitialiseWith(headless ? MakeHeadlessBackend() : MakeSdlBackend());
}

} // namespace plat

// Placeholder until the SDL2 backend lands: no desktop display yet.
#include "platform/Backend.h"

namespace plat {

std::unique_ptr<Backend> MakeSdlBackend() {
    return nullptr;
}

} // namespace plat

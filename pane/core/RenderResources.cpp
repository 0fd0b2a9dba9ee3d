#include "pane/core/RenderResources.h"

namespace Pane {

CRenderResources::CRenderResources() {
    SetDefaultFont("微软雅黑", 12, false, false, false);
}

} // namespace Pane

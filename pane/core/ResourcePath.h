#pragma once
// The framework's resource path: the folder that markup and image file names are relative to.
// Process-wide, set once at start-up on the UI thread; always ends in '/' when not empty.

#include "pane/utils/UIString.h"

namespace Pane {

const CUIString& GetResourcePath();
void SetResourcePath(const char* path);

} // namespace Pane

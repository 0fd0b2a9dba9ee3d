#pragma once
// The scripted session plat-demo runs on the headless backend: it types into the edit, opens
// the pop-up and picks an entry, opens it again and clicks outside, lets the clock run, starts
// the worker and waits for it, and saves the window's pixels as PNG.

#include "platform/gfx/Bitmap.h"
#include "tools/plat-demo/DemoWindow.h"

#include <string>

namespace demo {

// Returns the process exit code: 0 when every step had the effect it should, 1 otherwise
// (each failed step is printed on stderr).
int RunScript(DemoState& state, const std::string& pngPath);

// Writes premultiplied pixels as a straight-alpha RGBA PNG file.
bool SaveBitmapPng(const plat::Bitmap& bitmap, const std::string& path);

} // namespace demo

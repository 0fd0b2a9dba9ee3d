// Placeholder bodies of the headless backend while it is written.
#include "platform/Headless.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace plat {

std::unique_ptr<Backend> MakeHeadlessBackend() {
    return nullptr;
}

namespace headless {

bool Active() {
    return false;
}
DWORD Clock() {
    return 0;
}
void AdvanceClock(DWORD ms) {}
int PumpMessages() {
    return 0;
}
void SetIdleHook(std::function<void()> hook) {}
void SetAutoAdvance(bool on) {}
void MouseMove(int x, int y) {}
void MouseDown(int x, int y, MouseButton button) {}
void MouseUp(int x, int y, MouseButton button) {}
void Click(int x, int y, MouseButton button) {}
void DoubleClick(int x, int y) {}
void Wheel(int x, int y, int delta) {}
void KeyDown(int vk) {}
void KeyUp(int vk) {}
void KeyPress(int vk, std::initializer_list<int> modifiers) {}
void Char(char32_t ch) {}
void Text(const std::string& utf8) {}
void CloseRequest(HWND hwnd) {}
void FocusChanged(HWND hwnd, bool focused) {}
bool GetNativeState(HWND hwnd, NativeState* out) {
    return false;
}
HCURSOR Cursor() {
    return 0;
}
bool TextInputOn() {
    return false;
}
RECT ImeRect() {
    return {};
}
bool MouseCaptured() {
    return false;
}
void SetWorkArea(const RECT& rect) {}
const Bitmap* Pixels(HWND hwnd) {
    return nullptr;
}
bool SavePng(HWND hwnd, const std::string& path) {
    return false;
}

} // namespace headless
} // namespace plat

// Placeholder bodies so that the library links while the window system is being written.
#include "platform/Window.h"
#include "platform/Backend.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace plat {

bool Initialise() {
    return {};
}
void Shutdown() {}
bool IsHeadless() {
    return {};
}
bool RegisterClass(const WNDCLASS& wc) {
    return {};
}
bool GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* out) {
    return {};
}
bool UnregisterClass(const char* className, HINSTANCE instance) {
    return {};
}
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
    return {};
}
bool DestroyWindow(HWND hwnd) {
    return {};
}
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return {};
}
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return {};
}
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    return {};
}
LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    return {};
}
bool SetProp(HWND hwnd, const char* name, void* value) {
    return {};
}
void* GetProp(HWND hwnd, const char* name) {
    return {};
}
void* RemoveProp(HWND hwnd, const char* name) {
    return {};
}
bool GetClassName(HWND hwnd, std::string* out) {
    return {};
}
bool ShowWindow(HWND hwnd, int cmd) {
    return {};
}
bool IsWindowVisible(HWND hwnd) {
    return {};
}
bool IsWindow(HWND hwnd) {
    return {};
}
bool IsIconic(HWND hwnd) {
    return {};
}
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    return {};
}
bool SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    return {};
}
bool GetWindowRect(HWND hwnd, RECT* rect) {
    return {};
}
bool GetClientRect(HWND hwnd, RECT* rect) {
    return {};
}
bool ClientToScreen(HWND hwnd, POINT* pt) {
    return {};
}
bool ScreenToClient(HWND hwnd, POINT* pt) {
    return {};
}
HWND GetParent(HWND hwnd) {
    return {};
}
HWND GetWindow(HWND hwnd, UINT relation) {
    return {};
}
HWND GetAncestorTopLevel(HWND hwnd) {
    return {};
}
bool EnableWindow(HWND hwnd, bool enable) {
    return {};
}
bool IsWindowEnabled(HWND hwnd) {
    return {};
}
bool SetWindowText(HWND hwnd, const char* text) {
    return {};
}
int GetWindowText(HWND hwnd, char* buffer, int size) {
    return {};
}
std::string GetWindowTextString(HWND hwnd) {
    return {};
}
bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    return {};
}
BYTE GetWindowOpacity(HWND hwnd) {
    return {};
}
bool SetWindowRgn(HWND hwnd, const RECT& rect, int ex, int ey, bool redraw) {
    return {};
}
bool GetWindowRgn(HWND hwnd, RECT* rect, int* ex, int* ey) {
    return {};
}
HWND SetFocus(HWND hwnd) {
    return {};
}
HWND GetFocus() {
    return {};
}
HWND SetActiveWindow(HWND hwnd) {
    return {};
}
HWND GetActiveWindow() {
    return {};
}
HWND SetCapture(HWND hwnd) {
    return {};
}
bool ReleaseCapture() {
    return {};
}
HWND GetCapture() {
    return {};
}
HCURSOR LoadCursor(HINSTANCE instance, int id) {
    return {};
}
HCURSOR SetCursor(HCURSOR cursor) {
    return {};
}
HCURSOR GetCursor() {
    return {};
}
bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    return {};
}
bool GetCursorPos(POINT* pt) {
    return {};
}
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* unused) {
    return {};
}
bool KillTimer(HWND hwnd, UINT_PTR id) {
    return {};
}
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    return {};
}
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase) {
    return {};
}
bool UpdateWindow(HWND hwnd) {
    return {};
}
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    return {};
}
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    return {};
}
Bitmap* GetWindowBuffer(HWND hwnd, POINT* offset) {
    return {};
}
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    return {};
}
bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
    return {};
}
bool TranslateMessage(const MSG* msg) {
    return {};
}
LRESULT DispatchMessage(const MSG* msg) {
    return {};
}
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return {};
}
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return {};
}
void PostQuitMessage(int exitCode) {}
bool WaitMessage() {
    return {};
}
short GetKeyState(int vk) {
    return {};
}
short GetAsyncKeyState(int vk) {
    return {};
}
DWORD GetTickCount() {
    return {};
}
DWORD GetMessageTime() {
    return {};
}
bool GetMonitorWorkArea(HWND hwnd, RECT* rect) {
    return {};
}
bool SetClipboardText(const std::string& text) {
    return {};
}
std::string GetClipboardText() {
    return {};
}
void SetImeRect(HWND hwnd, const RECT& caretClient) {}
void StartTextInput(HWND hwnd) {}
void StopTextInput(HWND hwnd) {}
Backend* CurrentBackend() {
    return nullptr;
}
void InputMouseMove(HWND over, POINT screen) {}
void InputMouseButton(HWND over, POINT screen, MouseButton button, bool down) {}
void InputMouseWheel(HWND over, POINT screen, int delta) {}
void InputMouseLeft(HWND window) {}
void InputKey(int vk, bool down) {}
void InputChar(char32_t ch) {}
void InputText(const std::string& utf8) {}
void InputCloseRequest(HWND window) {}
void InputExpose(HWND window) {}
void InputFocusChanged(HWND window, bool focused) {}
void InputMoved(HWND window, POINT screenTopLeft) {}
void InputResized(HWND window, int width, int height) {}
void InputMinimised(HWND window, bool minimised) {}
LRESULT InputHitTest(HWND window, POINT screen) {
    return HTCLIENT;
}

} // namespace plat

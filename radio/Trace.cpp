#include "radio/Trace.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace radio {

namespace {

struct TraceState {
    std::mutex lock;
    std::FILE* file = nullptr; // guarded by lock
    bool ownsFile = false;
};

TraceState& State() {
    static TraceState state;
    return state;
}

// Read without the lock so that an untraced exchange costs one atomic load.
std::atomic<bool> g_active{false};

void CloseLocked(TraceState& state) {
    if (state.file && state.ownsFile)
        std::fclose(state.file);
    state.file = nullptr;
    state.ownsFile = false;
    g_active = false;
}

// "2026-12-08 13:45:07.123" in UTC.
std::string TimeStamp() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millis));
    return text;
}

void WriteLine(const std::string& text) {
    TraceState& state = State();
    std::string line = TimeStamp() + " " + text + "\n";
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.file)
        return;
    std::fwrite(line.data(), 1, line.size(), state.file);
    std::fflush(state.file);
}

} // namespace

bool StartTrace(const std::string& path, std::string* error) {
    std::FILE* file = nullptr;
    bool owns = path != "-";
    if (owns) {
        file = std::fopen(path.c_str(), "ae");
        if (!file) {
            if (error)
                *error = path + ": cannot open the trace file: " + std::strerror(errno);
            return false;
        }
    } else {
        file = stderr;
    }
    TraceState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    CloseLocked(state);
    state.file = file;
    state.ownsFile = owns;
    g_active = true;
    return true;
}

void StopTrace() {
    TraceState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    CloseLocked(state);
}

bool TraceActive() {
    return g_active.load();
}

void StartTraceFromEnvironment() {
    static std::once_flag once;
    std::call_once(once, [] {
        const char* path = std::getenv("ZELTA_RCT_TRACE");
        if (!path || !*path || TraceActive())
            return;
        std::string error;
        if (!StartTrace(path, &error))
            std::fprintf(stderr, "%s\n", error.c_str());
    });
}

void TraceBytes(const char* direction, const std::string& port, const uint8_t* bytes,
                size_t length) {
    if (!g_active.load())
        return;
    WriteLine(std::string(direction) + " " + port + " " + EscapeBytes(bytes, length));
}

void TraceNote(const std::string& text) {
    if (!g_active.load())
        return;
    WriteLine("-- " + text);
}

std::string EscapeBytes(const uint8_t* bytes, size_t length) {
    std::string text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        uint8_t c = bytes[i];
        switch (c) {
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                if (c < 0x20 || c > 0x7E) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    text += hex;
                } else {
                    text += static_cast<char>(c);
                }
        }
    }
    return text;
}

std::string EscapeBytes(const std::string& bytes) {
    return EscapeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace radio

#pragma once
// A trace of the exchange with the radio for the technician: every line sent and every
// stretch of bytes received, each with a millisecond time stamp and its direction, control
// bytes escaped. One trace per process; written from the operation's thread (sent) and the
// serial thread (received), each call a whole line under one lock. The environment variable
// ZELTA_RCT_TRACE=FILE starts it for any program using the radio code, on the first port
// opened.

#include <cstddef>
#include <cstdint>
#include <string>

namespace radio {

// Starts tracing to `path` ("-" = standard error), appending; replaces a trace already
// running. False with the reason in `error` (when not null) if the file cannot be opened.
bool StartTrace(const std::string& path, std::string* error);
// Stops the trace and closes its file.
void StopTrace();
bool TraceActive();

// Starts the trace named by ZELTA_RCT_TRACE once per process, unless one is running.
void StartTraceFromEnvironment();

// One line of the trace: direction "->" (sent) or "<-" (received), the port and the bytes.
void TraceBytes(const char* direction, const std::string& port, const uint8_t* bytes,
                size_t length);
// A note in the trace ("opened /dev/pts/3 at 38400").
void TraceNote(const std::string& text);

// The bytes as printable text: control bytes, backslash and bytes above 0x7E escaped
// ("\r", "\n", "\x06", "\\").
std::string EscapeBytes(const uint8_t* bytes, size_t length);
std::string EscapeBytes(const std::string& bytes);

} // namespace radio

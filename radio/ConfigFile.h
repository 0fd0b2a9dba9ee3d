#pragma once
// The .cfg file: the frequencies of all ten slots, both addresses and the selector indexes of
// a RadioSettings record as "Key,value" lines ending in CR LF. Export writes them, import
// reads them back into the fields without validating. Used on the thread that owns the fields.

#include "radio/RadioHost.h"
#include "radio/RadioSettings.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace radio {

// Longest line the importer takes; the rest of a longer line is skipped.
constexpr size_t kMaxConfigLine = 999;

// The entries of an export in file order: Channel0..9, RXChannel0..9, ProtocolType,
// CurrentChannel, PortBaudRate, LinkBaudRate, workMode, SRC, DST, HighPower, LowPower.
// Texts stand as they are in the fields; indexes in decimal, -1 for no selection.
std::vector<std::pair<std::string, std::string>> ConfigEntries(const RadioSettings& settings);
// The whole file: every entry as "key,value\r\n".
std::string FormatConfig(const RadioSettings& settings);

// The name an export is written to: ".cfg" is appended to a name shorter than 250
// characters unless it already ends in ".cfg" (lower case) and is at least 5 long.
std::string ExportFileName(const std::string& chosen);

// Writes the file through a temporary file beside it that replaces `path` only once every
// line is written, flushed and closed; true on success. On failure `path` is left as it was
// (an earlier file survives) and `why` (when not null) names the file and the cause. An
// existing target that is not a regular file, or that the user may not write, is refused.
bool ExportConfigFile(const RadioSettings& settings, const std::string& path,
                      std::string* why = nullptr);

// ExportConfigFile without a dialog or status line, for a caller that names the file itself
// (a backup); a failure goes to the host's ReportFailure as a file failure.
bool ExportConfigTo(const std::string& path, const RadioSettings& settings, IRadioHost& host);

// Reads the file into the fields; false when it cannot be opened (the fields are then
// untouched) or reading stopped on an error, with the file and cause in `why` (when not
// null). Unknown keys, lines without a comma and empty lines are skipped.
bool ImportConfigFile(RadioSettings& settings, const std::string& path, std::string* why = nullptr);

// The import rules applied to file contents already in memory.
void ImportConfigText(RadioSettings& settings, std::string_view text);

// Applies one line, its line end already removed.
void ApplyConfigLine(RadioSettings& settings, std::string_view line);

// The file dialog of the export (save) or import (open), titled in the current language.
FileDialogOptions ConfigDialogOptions(bool save, bool chinese);

// The window's Export and Import commands: ask for a file name, then write or read it and
// report the outcome through `report` (the status line of the Export or Import control), a
// failure's cause first through the host's ReportFailure. A cancelled dialog reports nothing.
// Import succeeds when the file could be read, whatever it holds; export once the file is complete
// and in place.
using ReportFunction = std::function<void(bool success)>;
void ExportConfig(const RadioSettings& settings, IRadioHost& host, const ReportFunction& report);
void ImportConfig(RadioSettings& settings, IRadioHost& host, const ReportFunction& report);

} // namespace radio

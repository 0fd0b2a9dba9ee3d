#pragma once
// The backup before a write: the radio's settings as they were, read and saved as a .cfg file
// in the user's data folder, named with the date, time and the radio's serial number.

#include "tools/zelta-rct-cli/CliHost.h"

#include <ctime>
#include <string>

namespace cli {

// ${XDG_DATA_HOME:-~/.local/share}/zelta-rct/backups (a relative XDG_DATA_HOME is ignored, as
// the base directory rules say).
std::string BackupFolder();

// "2026-12-08_13-19-55_ZR2600001.cfg"; characters of the serial number that do not belong in a
// file name become '_', and a radio without one is "unknown".
std::string BackupFileName(std::time_t when, const std::string& serialNumber);

// Reads the radio on the host's port and saves the backup; 0, or the exit status of the
// failure (the radio could not be read, the file could not be written) after printing why.
int BackUpRadio(CCliHost& host);

} // namespace cli

#pragma once
// The firmware upgrade: sends a .dwn file to the radio's boot loader page by page at the boot
// loader's rate. Runs on any thread (the window runs it on its worker thread); it reaches the
// window only through the host: the file dialog, busy, progress and the result.

#include "radio/Protocol.h"

#include <cstdint>
#include <string>
#include <vector>

namespace radio {

// A firmware file: the first page at offset 0, the further pages from offset 4096.
constexpr int64_t kFirmwarePageSize = 256;
constexpr int64_t kFirmwarePagesOffset = 4096;
// The bytes between the first page and the further pages are not sent; the progress divisor
// (file size minus these) is the number of bytes sent when the file ends on a whole page.
constexpr int64_t kFirmwareSkippedBytes = kFirmwarePagesOffset - kFirmwarePageSize;
constexpr int kProgressFull = 10000;

// The status line while an upgrade runs: a bar of this colour growing from the left over
// this many pixels.
constexpr Colour kProgressColour = 0xFF3333FF;
constexpr int kProgressBarWidth = 216;

// A page frame: the 256 bytes, then their sum as unsigned values, high byte first.
std::vector<uint8_t> BuildPageFrame(const uint8_t* page);

// The progress after `pagesSent` pages (the first page included) of a file of `fileSize`
// bytes, in ten-thousandths.
int UpgradeProgressAfter(int64_t pagesSent, int64_t fileSize);

// The status line's right padding for a progress value: the part of the bar not yet filled.
int UpgradeProgressPadding(int progress);

// The open dialog for a firmware file, in the current language.
FileDialogOptions FirmwareDialogOptions(bool chinese);

// Asks for a firmware file and sends it. A cancelled dialog does nothing; otherwise the host
// is told busy, the progress of every page, the failure's cause if any, the result
// (UpgradeFinished; the port is closed after it) and not busy. The file must be a readable
// regular file of more than one boot block, and its first page is read, before the radio is
// contacted. True when the radio took every page.
bool UpgradeFirmware(CRadioProtocol& protocol);

// The same with the file already chosen.
bool UpgradeFirmwareFile(CRadioProtocol& protocol, const std::string& path);

} // namespace radio

#pragma once
// The serial ports of the machine with what the kernel knows of each: USB adapters first, with
// the USB device's vendor, product and serial number and the stable /dev/serial/by-id name,
// then the other ports that have hardware behind them, then the ports the user added through
// ZELTA_RCT_EXTRA_PORTS. Reads sysfs and /dev only; safe to call from any thread.

#include <string>
#include <vector>

namespace radio {

enum class PortSource {
    Usb,   // a USB serial adapter (ttyUSB*, ttyACM*, …)
    Board, // a port of the machine itself with a driver and a real UART
    Extra, // named in ZELTA_RCT_EXTRA_PORTS
};

struct PortInfo {
    std::string name; // "ttyUSB0", or the full path of an extra port
    PortSource source = PortSource::Board;
    // What the USB device says of itself; empty when it says nothing (or not USB).
    std::string vendor;       // the manufacturer text, else the vendor number "0403"
    std::string product;      // the product text, else the product number "6001"
    std::string usbId;        // "0403:6001"
    std::string serialNumber; // the adapter's own serial number
    std::string byId;         // "/dev/serial/by-id/usb-FTDI_…-if00-port0", empty when none
};

// The ports from a tty class folder (normally /sys/class/tty), a by-id folder (normally
// /dev/serial/by-id) and the extra-ports text (entries separated by ':' or ','; null for none).
// Ports without a driver (consoles, virtual terminals, pseudo-terminals) and ttyS* ports whose
// type is 0 (the platform registers those whether or not a UART is there) are left out.
std::vector<PortInfo> ListSerialPorts(const std::string& ttyClassFolder,
                                      const std::string& byIdFolder, const char* extraPorts);

// The same for this machine and its ZELTA_RCT_EXTRA_PORTS.
std::vector<PortInfo> ListSerialPorts();

// The ports a program may take on its own when the user named none: the USB adapters and the
// extra ports (a board port is never a radio by itself).
std::vector<PortInfo> AutomaticPortCandidates(const std::vector<PortInfo>& ports);

// One readable line for a port: "ttyUSB0  FTDI FT232R USB UART (0403:6001), serial A50285BI,
// /dev/serial/by-id/usb-FTDI_…".
std::string DescribePort(const PortInfo& port);

} // namespace radio

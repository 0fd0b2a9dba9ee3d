#include "radio/PortList.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace radio {

namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute, empty when it cannot be read.
std::string ReadAttribute(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// "ttyUSB10" after "ttyUSB9": the name's text, then its trailing number.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        size_t end = s.size();
        while (end > 0 && s[end - 1] >= '0' && s[end - 1] <= '9')
            --end;
        long number = end < s.size() ? std::strtol(s.c_str() + end, nullptr, 10) : -1;
        return std::make_tuple(s.substr(0, end), number, s);
    };
    return split(a) < split(b);
}

// Fills the USB fields from the nearest device up the path of the port's device that carries
// a USB vendor number (the interface's parent for ttyACM, two levels up for ttyUSB). False when
// there is none: the port is not on USB.
bool FindUsbDevice(const fs::path& device, PortInfo& port) {
    std::error_code error;
    fs::path at = fs::canonical(device, error);
    if (error)
        return false;
    for (; !at.empty() && at != at.parent_path(); at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", error))
            continue;
        std::string vendorId = ReadAttribute(at / "idVendor");
        std::string productId = ReadAttribute(at / "idProduct");
        port.usbId = vendorId + ":" + productId;
        port.vendor = ReadAttribute(at / "manufacturer");
        if (port.vendor.empty())
            port.vendor = vendorId;
        port.product = ReadAttribute(at / "product");
        if (port.product.empty())
            port.product = productId;
        port.serialNumber = ReadAttribute(at / "serial");
        return true;
    }
    return false;
}

// The by-id link that leads to /dev/<name>; the folder's entries are links to "../../ttyUSB0".
std::string FindByIdName(const std::string& byIdFolder, const std::string& name) {
    std::vector<std::string> matches;
    std::error_code error;
    for (fs::directory_iterator it(byIdFolder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        fs::path target = fs::read_symlink(it->path(), ignored);
        if (!ignored && target.filename() == name)
            matches.push_back(it->path().string());
    }
    std::sort(matches.begin(), matches.end());
    return matches.empty() ? std::string() : matches.front();
}

} // namespace

std::vector<PortInfo> ListSerialPorts(const std::string& ttyClassFolder,
                                      const std::string& byIdFolder, const char* extraPorts) {
    std::vector<PortInfo> usb, board;
    std::error_code error;
    for (fs::directory_iterator it(ttyClassFolder, error), end; !error && it != end;
         it.increment(error)) {
        PortInfo port;
        port.name = it->path().filename().string();
        fs::path device = it->path() / "device";
        // Virtual terminals, consoles and pseudo-terminals have no device with a driver.
        std::error_code ignored;
        if (!fs::exists(device / "driver", ignored))
            continue;
        if (FindUsbDevice(device, port)) {
            port.source = PortSource::Usb;
            port.byId = FindByIdName(byIdFolder, port.name);
            usb.push_back(port);
            continue;
        }
        // The platform registers a fixed number of 8250 ports whether or not a UART is
        // there; a port type of 0 means there is none.
        if (port.name.compare(0, 4, "ttyS") == 0) {
            std::string type = ReadAttribute(it->path() / "type");
            if (type.empty() || std::atoi(type.c_str()) == 0)
                continue;
        }
        port.source = PortSource::Board;
        board.push_back(port);
    }
    auto byName = [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.name, b.name); };
    std::sort(usb.begin(), usb.end(), byName);
    std::sort(board.begin(), board.end(), byName);

    std::vector<PortInfo> ports = std::move(usb);
    ports.insert(ports.end(), board.begin(), board.end());
    if (!extraPorts)
        return ports;
    std::string item;
    for (const char* p = extraPorts;; ++p) {
        if (*p != ':' && *p != ',' && *p != '\0') {
            item.push_back(*p);
            continue;
        }
        bool listed = std::any_of(ports.begin(), ports.end(), [&](const PortInfo& port) {
            return port.name == item || "/dev/" + port.name == item;
        });
        if (!item.empty() && !listed) {
            PortInfo extra;
            extra.name = item;
            extra.source = PortSource::Extra;
            ports.push_back(extra);
        }
        item.clear();
        if (*p == '\0')
            break;
    }
    return ports;
}

std::vector<PortInfo> ListSerialPorts() {
    return ListSerialPorts("/sys/class/tty", "/dev/serial/by-id",
                           std::getenv("ZELTA_RCT_EXTRA_PORTS"));
}

std::vector<PortInfo> AutomaticPortCandidates(const std::vector<PortInfo>& ports) {
    std::vector<PortInfo> candidates;
    for (const PortInfo& port : ports) {
        if (port.source != PortSource::Board)
            candidates.push_back(port);
    }
    return candidates;
}

std::string DescribePort(const PortInfo& port) {
    std::string line = port.name;
    switch (port.source) {
        case PortSource::Usb: {
            line += "  " + port.vendor;
            if (!port.product.empty())
                line += " " + port.product;
            line += " (USB " + port.usbId + ")";
            if (!port.serialNumber.empty())
                line += ", serial " + port.serialNumber;
            if (!port.byId.empty())
                line += ", " + port.byId;
            break;
        }
        case PortSource::Board:
            line += "  serial port of this machine";
            break;
        case PortSource::Extra:
            line += "  from ZELTA_RCT_EXTRA_PORTS";
            break;
    }
    return line;
}

} // namespace radio

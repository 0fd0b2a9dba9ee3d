// The port list against a made-up sysfs tree and by-id folder.

#include "radio/PortList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class FakeSysfs {
public:
    FakeSysfs() : m_root(fs::path(testing::TempDir()) / ("ports_" + std::to_string(getpid()))) {
        fs::remove_all(m_root);
        fs::create_directories(ClassFolder());
        fs::create_directories(ByIdFolder());
    }
    ~FakeSysfs() { fs::remove_all(m_root); }

    std::string ClassFolder() const { return (m_root / "sys/class/tty").string(); }
    std::string ByIdFolder() const { return (m_root / "dev/serial/by-id").string(); }

    // A USB device folder with the attributes given (an empty value is left out).
    fs::path UsbDevice(const std::string& name, const std::string& vendorId,
                       const std::string& productId, const std::string& manufacturer,
                       const std::string& product, const std::string& serial) {
        fs::path dir = m_root / "sys/devices/pci0000:00/usb1" / name;
        fs::create_directories(dir);
        Attribute(dir / "idVendor", vendorId);
        Attribute(dir / "idProduct", productId);
        Attribute(dir / "manufacturer", manufacturer);
        Attribute(dir / "product", product);
        Attribute(dir / "serial", serial);
        return dir;
    }

    // A tty class entry whose device is `device` (with a driver unless told otherwise).
    void Tty(const std::string& name, const fs::path& device, bool driver = true,
             const std::string& type = "") {
        fs::create_directories(device);
        if (driver)
            fs::create_directories(device / "driver");
        fs::path entry = fs::path(ClassFolder()) / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(device, entry / "device");
        Attribute(entry / "type", type);
    }

    void ById(const std::string& link, const std::string& name) {
        fs::create_symlink("../../" + name, fs::path(ByIdFolder()) / link);
    }

    fs::path Root() const { return m_root; }

private:
    static void Attribute(const fs::path& path, const std::string& value) {
        if (value.empty())
            return;
        std::ofstream(path) << value << "\n";
    }

    fs::path m_root;
};

TEST(PortList, UsbAdaptersFirstWithWhatTheDeviceSaysThenBoardPortsThenExtras) {
    FakeSysfs sys;
    fs::path ftdi = sys.UsbDevice("1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
    sys.Tty("ttyUSB0", ftdi / "1-1:1.0" / "ttyUSB0");
    sys.ById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
    // An adapter that names nothing but its numbers; sorted by number, not as text.
    fs::path bare = sys.UsbDevice("1-3", "1a86", "7523", "", "", "");
    sys.Tty("ttyUSB10", bare / "1-3:1.0" / "ttyUSB10");
    fs::path acm = sys.UsbDevice("1-2", "2341", "0043", "Arduino", "Uno", "");
    sys.Tty("ttyACM0", acm / "1-2:1.0");
    sys.ById("usb-Arduino_Uno-if00", "ttyACM0");
    fs::path pnp = sys.Root() / "sys/devices/pnp0/00:00";
    sys.Tty("ttyS0", pnp / "0", true, "4");
    sys.Tty("ttyS1", pnp / "1", true, "0"); // registered, no UART behind it
    sys.Tty("ttyS2", pnp / "2", true, "");  // no type at all
    sys.Tty("tty1", sys.Root() / "sys/devices/virtual/tty/tty1", false);

    std::vector<radio::PortInfo> ports = radio::ListSerialPorts(
        sys.ClassFolder(), sys.ByIdFolder(), "/dev/pts/7:ttyS0,,/dev/ttyUSB0:/dev/pts/8");

    std::vector<std::string> names;
    for (const radio::PortInfo& port : ports)
        names.push_back(port.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ttyACM0", "ttyUSB0", "ttyUSB10", "ttyS0",
                                               "/dev/pts/7", "/dev/pts/8"}));
    ASSERT_EQ(ports.size(), 6u);

    const radio::PortInfo& usb0 = ports[1];
    EXPECT_EQ(usb0.source, radio::PortSource::Usb);
    EXPECT_EQ(usb0.vendor, "FTDI");
    EXPECT_EQ(usb0.product, "FT232R USB UART");
    EXPECT_EQ(usb0.usbId, "0403:6001");
    EXPECT_EQ(usb0.serialNumber, "A50285BI");
    EXPECT_EQ(usb0.byId, sys.ByIdFolder() + "/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    EXPECT_EQ(radio::DescribePort(usb0),
              "ttyUSB0  FTDI FT232R USB UART (USB 0403:6001), serial A50285BI, " + usb0.byId);

    EXPECT_EQ(ports[0].byId, sys.ByIdFolder() + "/usb-Arduino_Uno-if00");
    EXPECT_EQ(ports[0].vendor, "Arduino");
    EXPECT_EQ(ports[2].vendor, "1a86");
    EXPECT_EQ(ports[2].product, "7523");
    EXPECT_EQ(ports[2].byId, "");
    EXPECT_EQ(ports[3].source, radio::PortSource::Board);
    EXPECT_EQ(ports[4].source, radio::PortSource::Extra);

    // Only adapters and named extras are taken without asking.
    std::vector<radio::PortInfo> candidates = radio::AutomaticPortCandidates(ports);
    EXPECT_EQ(candidates.size(), 5u);
    for (const radio::PortInfo& port : candidates)
        EXPECT_NE(port.name, "ttyS0");
}

TEST(PortList, MissingFoldersGiveOnlyTheExtras) {
    std::vector<radio::PortInfo> ports =
        radio::ListSerialPorts("/nonexistent/class/tty", "/nonexistent/by-id", "/dev/pts/3");
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].name, "/dev/pts/3");
    EXPECT_TRUE(radio::ListSerialPorts("/nonexistent", "/nonexistent", nullptr).empty());
}

} // namespace

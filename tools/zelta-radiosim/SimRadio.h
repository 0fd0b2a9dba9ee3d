#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace radiosim {

// What the radio makes of one complete command: its name (for fault selection and the log),
// the command as received, and the reply text, if the radio answers at all.
struct Answer {
    std::string command;             // "cfg_ch_n", "control", "write page", "page", ...
    std::string received;            // the bytes of the command as they came in
    bool query = false;              // a parameter query (no argument)
    std::optional<std::string> text; // reply text without framing; empty optional = silence
};

// Parameters a radio keeps, in the radio's own codes.
struct RadioParams {
    std::string txFrequency[9]; // slots 1 to 8, "%09.5f"
    std::string rxFrequency[9];
    std::string protocol = "TRIMTALK"; // the name the radio reports
    int currentChannel = 1;            // 1 to 8
    int portRate = 3;                  // 1 to 5: 9600 ... 115200
    std::string bandwidth = "25.0";    // "12.5" or "25.0"
    int linkRate = 2;                  // 1 to 3: 4800, 9600, 19200
    std::string mode = "duplex";       // "tx", "duplex", "repeater"
    int src = 1;                       // 0 to 254
    int dst = 255;                     // 0 to 255
    int highPower = 1;                 // 1 to 3
    int lowPower = 1;                  // 1 to 3
    std::string serialNumber = "ZR2600001";
    std::string hardwareVersion = "H1.0";
    std::string firmwareVersion = "V2.10";
    std::string subFirmwareVersion = "S1.03";
};

// The simulated radio: configuration mode, parameter queries and sets, and the boot loader.
// Pure logic without I/O; fed one received byte at a time by the line that owns it
// (single-threaded).
class CSimRadio {
public:
    CSimRadio();

    // Feeds one byte received at nowMs (milliseconds on any monotonic clock). Returns the
    // answer when the byte completes a command or a page frame.
    std::optional<Answer> Feed(uint8_t byte, int64_t nowMs);

    bool InConfigMode() const { return m_config; }
    bool InBootLoader() const { return m_boot != Boot::Off; }

    // Makes the boot loader refuse the n-th page frame after each "boot_start" (1-based; 0 =
    // none) as if its sum were wrong.
    void SetBadPage(int n) { m_badPage = n; }

    // The last image completed with "ISP finish": every accepted page in the order received.
    const std::vector<uint8_t>& Image() const { return m_image; }
    bool HasImage() const { return m_hasImage; }

    const RadioParams& Params() const { return m_params; }
    // The serial rate the radio's port runs at (its port-rate parameter), in bit/s.
    int SerialRate() const;

    // Parameter state as "key=value" lines. Loading applies each line with the same checks as
    // the radio's set commands; on failure error names the first bad line.
    std::string SaveState() const;
    bool LoadState(const std::string& text, std::string& error);

    // The sum of a page frame's 256 bytes, as the boot loader checks it.
    static unsigned PageSum(const uint8_t* page);

private:
    enum class Boot { Off, Commands, Frame };

    std::optional<Answer> FeedLine(uint8_t byte);
    std::optional<Answer> FeedBoot(uint8_t byte, int64_t nowMs);
    Answer Execute(const std::string& line);
    std::optional<std::string> Query(const std::string& name);
    bool Set(const std::string& name, const std::string& value);
    Answer EnterBootLoader(std::string received);

    RadioParams m_params;
    bool m_config = false;
    std::string m_line;
    bool m_lineOverflow = false;

    Boot m_boot = Boot::Off;
    std::string m_bootWindow; // the last bytes received in boot command state
    std::vector<uint8_t> m_frame;
    int64_t m_lastFrameByteMs = 0;
    int m_pagesThisRun = 0;
    int m_badPage = 0;
    std::vector<uint8_t> m_pending; // pages of the upgrade in progress
    std::vector<uint8_t> m_image;
    bool m_hasImage = false;
};

} // namespace radiosim

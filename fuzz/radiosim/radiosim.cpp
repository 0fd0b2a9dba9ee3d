// Feeds arbitrary bytes to the simulated radio as if they came over its line, and the same
// bytes as a state file and as a fault file. The simulator's logic is compiled in directly:
// the fuzz build makes only the libraries, not the tools.
#include "tools/zelta-radiosim/Faults.cpp"
#include "tools/zelta-radiosim/SimRadio.cpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    radiosim::CSimRadio radio;
    radiosim::CFaultSet faults;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    faults.LoadFile(text, error);
    radio.SetBadPage(faults.BadPage());
    bool ownRate = faults.OwnRateOnly();
    radio.LoadState(text, error);
    // Every input starts in configuration mode so that the parameter commands are reached.
    const char control[] = "control\r";
    for (const char* c = control; *c; ++c)
        radio.Feed(static_cast<uint8_t>(*c), 0);
    int64_t now = 0;
    for (size_t i = 0; i < size; ++i) {
        // A 0xFF byte also moves the clock on, so the page frame time-out is reached too.
        if (data[i] == 0xFF)
            now += 2000;
        // The own-rate fault drops what comes at another rate than the radio's.
        if (ownRate && !radio.InBootLoader() && radio.SerialRate() != 38400)
            continue;
        if (auto answer = radio.Feed(data[i], now))
            faults.Apply(answer->command, answer->query, answer->text);
    }
    return 0;
}

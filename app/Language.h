#pragma once
// The two languages of the main window: the language table that ties each control to its pair
// of texts, the status texts, the built-in pairs, and applying a language. The texts come from
// two profile files beside the program, "Multi_RUS1251.ini" (first language) and
// "Multi_ENG1251.ini" (second), read with fixed buffer sizes; a missing file or key gives an
// empty text. UI thread only.

#include "app/MainControls.h"
#include "radio/RadioHost.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace Pane {
class CControlUI;
}

namespace app {

constexpr const char* kFirstLanguageFile = "Multi_RUS1251.ini";
constexpr const char* kSecondLanguageFile = "Multi_ENG1251.ini";

// One of the built-in pairs: the first text while `chinese`, else the second.
inline const char* Pick(bool chinese, const char* first, const char* second) {
    return chinese ? first : second;
}

// Reads a key of section "String" (or `section`) from a profile file with a buffer of `bytes`
// bytes: at most bytes - 1 of the value, never half a character.
std::string ReadLanguageKey(const std::string& file, const char* key, int bytes,
                            const char* section = "String");

class CLanguage {
public:
    // The two files' full paths.
    CLanguage(std::string firstFile, std::string secondFile);
    // The files beside the program.
    static CLanguage BesideProgram();

    const std::string& FirstFile() const { return m_files[0]; }
    const std::string& SecondFile() const { return m_files[1]; }

    // Reads the first key table from both files and records each control with its pair of
    // texts, in table order. Once, after the tree exists.
    void LoadTable(const MainControls& controls);

    // Inverts `chinese`, then applies the language it now selects: status texts, unlock
    // buttons, group titles, work-mode texts, widths, drop-down panel places, every table
    // entry's text, `refillLists` (which refills the lists and so resets their selections),
    // unlock-button and identity-label widths, and the work-mode entries. Last, the selection
    // each refilled list had before is selected again (protocol and bandwidth first, so their
    // change notifications rebuild the link rates before the link rate's own selection), so a
    // change of language keeps the values shown.
    void Apply(bool& chinese, MainControls& controls, const std::function<void()>& refillLists);

    // The status texts as last read, each with a space at its front (" OK").
    std::string StatusText(radio::TextId id, bool chinese) const;

    // The current channel list's entries for the language: "IDS_CHANNEL1_TEXT" to
    // "IDS_CHANNEL8_TEXT" read now, each with a space at its front.
    std::vector<std::string> ChannelNames(bool chinese) const;

    struct Entry {
        Pane::CControlUI* control;
        std::string first;
        std::string second;
    };
    const std::vector<Entry>& Table() const { return m_table; }

private:
    std::array<std::string, 2> m_files;
    std::vector<Entry> m_table;
    std::array<std::array<std::string, 2>, 5> m_status; // by TextId, then first/second
};

} // namespace app

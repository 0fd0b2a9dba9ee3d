#include "app/Language.h"

#include "app/Composites.h"
#include "app/ListFill.h"
#include "pane/controls/Button.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Label.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/sys/Profile.h"
#include "platform/sys/ProgramFolder.h"
#include "radio/RadioSettings.h"

#include <cstdio>
#include <vector>

namespace app {

namespace {

constexpr int kFirst = 0;
constexpr int kSecond = 1;

int FileIndex(bool chinese) {
    return chinese ? kFirst : kSecond;
}

// A key of section "String" and the size of the buffer it is read with, terminator included.
struct SizedKey {
    const char* key;
    int bytes;
};

// Entries 1 to 17 of the table: buttons, menu buttons and File menu entries.
const SizedKey kCommandKeys[] = {
    {"IDS_BUTTON_CONNECT", 12},
    {"IDS_BUTTON_DISCONNECT", 12},
    {"IDS_BUTTON_READ", 12},
    {"IDS_BUTTON_WRITE", 12},
    {"IDS_BUTTON_IMPORTCFG", 20},
    {"IDS_BUTTON_EXPORTCFG", 20},
    {"IDS_MENU_FILE", 12},
    {"IDS_MENU_LANGUAGE", 12},
    {"IDS_MENU_HELP", 20},
    {"IDS_BUTTON_DFTTXVAL", 16},
    {"IDS_BUTTON_DFTRXVAL", 16},
    {"IDS_MENU_FILE_CONNECT", 12},
    {"IDS_MENU_FILE_DISCONNECT", 12},
    {"IDS_MENU_FILE_READ", 12},
    {"IDS_MENU_FILE_WRITE", 12},
    {"IDS_MENU_FILE_IMPORTCFG", 20},
    {"IDS_MENU_FILE_EXPORTCFG", 20},
};

// Entries 22 to 37: the parameter and port-setting labels.
const SizedKey kLabelKeys[] = {
    {"IDS_LABLE_PROTOCOLTYPE", 20}, {"IDS_LABLE_CURRENTCHANNEL", 20},
    {"IDS_LABLE_PORTBAUDRATE", 24}, {"IDS_LABLE_LINKBUADRATE", 24},
    {"IDS_LABLE_BANDWIDTH", 24},    {"IDS_LABLE_REPEATER", 30},
    {"IDS_LABLE_SRC", 30},          {"IDS_LABLE_DST", 20},
    {"IDS_LABLE_HIGHPOWER", 20},    {"IDS_LABLE_LOWPOWER", 20},
    {"IDS_LABLE_SN", 20},           {"IDS_LABLE_HARDWARE", 20},
    {"IDS_LABLE_FIRMWARE", 20},     {"IDS_LABLE_SUBFIRMWARE", 24},
    {"IDS_LABLE_PORT", 18},         {"IDS_LABLE_BUAD", 18},
};

// Positions in the table (from 0) that the width steps walk.
constexpr size_t kFirstLabelEntry = 21;    // protocol type label
constexpr size_t kLastParameterEntry = 34; // sub-firmware version label
constexpr size_t kPortLabelEntry = 35;
constexpr size_t kBaudLabelEntry = 36;
constexpr size_t kFirstChannelEntry = 37; // transmit label of channel 0
constexpr size_t kTableSizeWithoutUpgrade = kFirstChannelEntry + 2 * kFrequencySlots;

constexpr const char* kStatusKeys[] = {"IDS_MSG_ERROR", "IDS_MSG_SUCCESS", "IDS_MSG_INVALID",
                                       "IDS_MSG_LAUNCH_CH", "IDS_MSG_RECEIVE_CH"};
constexpr int kStatusBytes = 18;
constexpr const char* kWorkModeKeys[] = {"IDS_VECSTRING_WORKMODE1", "IDS_VECSTRING_WORKMODE2",
                                         "IDS_VECSTRING_WORKMODE3"};
constexpr int kWorkModeBytes = 18;
constexpr int kChannelNameBytes = 12;

std::string WithLeadingSpace(const std::string& text) {
    return " " + text;
}

void SetWidth(Pane::CControlUI* control, int width) {
    if (control != nullptr)
        control->SetFixedWidth(width);
}

void SetText(Pane::CControlUI* control, const std::string& text) {
    if (control != nullptr)
        control->SetText(text.c_str());
}

// The combos the list refill empties, in the order their selections are given back: the
// protocol and the bandwidth first, since choosing them replaces or rules the link baud-rate
// list whose own selection comes after.
std::vector<Pane::CComboBoxUI*> RefilledCombos(const MainControls& c) {
    return {c.protocol.combo,  c.bandwidth.combo, c.linkBaud.combo,
            c.channel.combo,   c.radioBaud.combo, c.workMode.combo,
            c.powerHigh.combo, c.powerLow.combo,  c.baud.combo};
}

} // namespace

std::string ReadLanguageKey(const std::string& file, const char* key, int bytes,
                            const char* section) {
    if (bytes <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(bytes), '\0');
    const uint32_t length = plat::GetPrivateProfileString(
        section, key, "", buffer.data(), static_cast<uint32_t>(bytes), file.c_str());
    return std::string(buffer.data(), length);
}

CLanguage::CLanguage(std::string firstFile, std::string secondFile)
    : m_files{std::move(firstFile), std::move(secondFile)} {}

CLanguage CLanguage::BesideProgram() {
    std::string folder = plat::GetProgramFolder();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return CLanguage(folder + kFirstLanguageFile, folder + kSecondLanguageFile);
}

void CLanguage::LoadTable(const MainControls& c) {
    m_table.clear();
    m_table.reserve(kTableSizeWithoutUpgrade + 1);
    const auto add = [this](Pane::CControlUI* control, const char* key, int bytes,
                            const char* section = "String") {
        m_table.push_back({control, ReadLanguageKey(m_files[kFirst], key, bytes, section),
                           ReadLanguageKey(m_files[kSecond], key, bytes, section)});
    };

    Pane::CControlUI* const commands[] = {
        c.btnConnect,       c.btnDisconnect, c.btnRead,          c.btnWrite,
        c.btnImport,        c.btnExport,     c.menus[kMenuFile], c.menus[kMenuLanguage],
        c.menus[kMenuHelp], c.btnDefaultTx,  c.btnDefaultRx,     c.itemConnect,
        c.itemDisconnect,   c.itemRead,      c.itemWrite,        c.itemImport,
        c.itemExport,
    };
    static_assert(std::size(commands) == std::size(kCommandKeys));
    for (size_t i = 0; i < std::size(kCommandKeys); ++i)
        add(commands[i], kCommandKeys[i].key, kCommandKeys[i].bytes);

    m_table.push_back({c.itemExit, "退出", "Exit"});
    add(c.itemLanguage, "Language", 16, "Setting");
    add(c.itemAbout, "IDS_MENU_HELP_ABOUT", 16);
    add(c.title, "IDS_NAME_VERSION", 50);

    Pane::CControlUI* const labels[] = {
        c.protocol.label,  c.channel.label,     c.radioBaud.label,    c.linkBaud.label,
        c.bandwidth.label, c.workMode.label,    c.src.label,          c.dst.label,
        c.powerHigh.label, c.powerLow.label,    c.serialNumber.label, c.hardwareVersion.label,
        c.firmware.label,  c.subFirmware.label, c.port.label,         c.baud.label,
    };
    static_assert(std::size(labels) == std::size(kLabelKeys));
    for (size_t i = 0; i < std::size(kLabelKeys); ++i)
        add(labels[i], kLabelKeys[i].key, kLabelKeys[i].bytes);

    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        char key[32];
        std::snprintf(key, sizeof key, "IDS_CHANNEL_%d", slot);
        add(c.tx[slot].label, key, 16);
        // The receive label of the slot shares the transmit label's pair.
        m_table.push_back({c.rx[slot].label, m_table.back().first, m_table.back().second});
    }

    // Appended last so every entry above keeps its place.
    add(c.itemUpgrade, "IDS_MENU_FILE_UPGRADE", 20);
}

void CLanguage::Apply(bool& chinese, MainControls& c, const std::function<void()>& refillLists) {
    chinese = !chinese;
    const int lang = FileIndex(chinese);
    const std::string& file = m_files[lang];

    for (size_t id = 0; id < std::size(kStatusKeys); ++id)
        for (int f : {kFirst, kSecond})
            m_status[id][f] =
                WithLeadingSpace(ReadLanguageKey(m_files[f], kStatusKeys[id], kStatusBytes));

    SetText(c.btnUnlockSn, ReadLanguageKey(file, "IDS_BUTTON_UNLOCKSN", 18));
    SetText(c.btnUnlockHw, ReadLanguageKey(file, "IDS_BUTTON_UNLOCKHARDWARE", 18));

    // The first file's port-settings title has two bytes less room than the second's.
    const std::string portTitle = ReadLanguageKey(file, "IDS_GROUPBOX_PORTSET", chinese ? 18 : 20);
    if (c.groupPort != nullptr)
        c.groupPort->SetTitle(portTitle.c_str());
    if (c.groupTx != nullptr)
        c.groupTx->SetTitle(ReadLanguageKey(file, "IDS_GROUPBOX_TX", 18).c_str());
    if (c.groupRx != nullptr)
        c.groupRx->SetTitle(ReadLanguageKey(file, "IDS_GROUPBOX_RX", 18).c_str());

    std::vector<std::string> workModes;
    for (const char* key : kWorkModeKeys)
        workModes.push_back(WithLeadingSpace(ReadLanguageKey(file, key, kWorkModeBytes)));

    if (m_table.size() >= kTableSizeWithoutUpgrade) {
        // Each slot has its transmit label's entry, then its receive label's. Walking from
        // the transmit label of the first slot to that of the last, then from the receive
        // label of the first to that of the last, covers every channel label.
        const auto channelEntry = [](int slot, bool receive) {
            return kFirstChannelEntry + 2 * static_cast<size_t>(slot) + (receive ? 1 : 0);
        };
        for (bool receive : {false, true})
            for (size_t i = channelEntry(0, receive);
                 i <= channelEntry(kFrequencySlots - 1, receive); ++i)
                SetWidth(m_table[i].control, 58);
        for (size_t i = kFirstLabelEntry; i <= kLastParameterEntry; ++i)
            SetWidth(m_table[i].control, chinese ? 123 : 100);
        SetWidth(m_table[kPortLabelEntry].control, 55);
        SetWidth(m_table[kBaudLabelEntry].control, 32);
    }
    SetWidth(c.menus[kMenuLanguage], chinese ? 42 : 72);
    SetWidth(c.menus[kMenuHelp], chinese ? 72 : 42);

    // The File panel is 20 pixels taller than its entries alone need: it also holds the
    // firmware-upgrade entry.
    const plat::RECT panelPlaces[kMenuCount] = {
        {10, 63, 130, 226},
        {52, 63, chinese ? 142 : 122, 85},
        {chinese ? 94 : 124, 63, 194, 85},
    };
    for (int menu = 0; menu < kMenuCount; ++menu)
        if (c.panels[menu] != nullptr)
            c.panels[menu]->SetPosition(panelPlaces[menu]);

    for (const Entry& entry : m_table)
        SetText(entry.control, chinese ? entry.first : entry.second);

    // Refilling empties the radio parameter lists; the values shown (perhaps just read from
    // the radio) must survive a change of language, so each selection is given back.
    const std::vector<Pane::CComboBoxUI*> combos = RefilledCombos(c);
    std::vector<int> selections;
    for (Pane::CComboBoxUI* combo : combos)
        selections.push_back(combo != nullptr ? combo->GetCurSel() : -1);

    if (refillLists)
        refillLists();

    SetWidth(c.btnUnlockSn, chinese ? 26 : 40);
    SetWidth(c.btnUnlockHw, chinese ? 26 : 40);
    SetWidth(c.serialNumber.label, chinese ? 90 : 60);
    SetWidth(c.hardwareVersion.label, chinese ? 90 : 60);

    if (c.workMode.combo != nullptr)
        FillCombo(c.workMode.combo, workModes);

    for (size_t i = 0; i < combos.size(); ++i) {
        Pane::CComboBoxUI* combo = combos[i];
        if (combo != nullptr && selections[i] >= 0 && selections[i] < combo->GetCount() &&
            combo->GetCurSel() != selections[i])
            combo->SelectItem(selections[i]);
    }
}

std::string CLanguage::StatusText(radio::TextId id, bool chinese) const {
    const auto index = static_cast<size_t>(id);
    if (index >= m_status.size())
        return " ";
    const std::string& text = m_status[index][FileIndex(chinese)];
    // Before the first application nothing has been read; the texts are then empty.
    return text.empty() ? " " : text;
}

std::vector<std::string> CLanguage::ChannelNames(bool chinese) const {
    std::vector<std::string> names;
    for (int c = 0; c < radio::ChannelCount; ++c) {
        char key[32];
        std::snprintf(key, sizeof key, "IDS_CHANNEL%d_TEXT", c + 1);
        names.push_back(
            WithLeadingSpace(ReadLanguageKey(m_files[FileIndex(chinese)], key, kChannelNameBytes)));
    }
    return names;
}

} // namespace app

#include "app/MainTree.h"

#include "app/Attributes.h"
#include "app/Composites.h"
#include "app/ListFill.h"
#include "pane/controls/Button.h"
#include "radio/RadioSettings.h"

#include <string>

namespace app {

namespace {

using Pane::CButtonUI;
using Pane::CControlUI;
using Pane::CHorizontalLayoutUI;
using Pane::CLabelUI;
using Pane::CVerticalLayoutUI;

// The kinds of control the window has several of.
constexpr Attribute kMenuButton[] = {
    {"width", "42"},
    {"hotimage", "res='175' restype='png' corner='3,3,3,3'"},
};
constexpr Attribute kMenuPanel[] = {
    {"float", "true"},   {"bkcolor", "#EEEEEEEE"}, {"bordercolor", "#FFFFC700"},
    {"bordersize", "1"}, {"inset", "1,1,1,1"},     {"visible", "false"},
};
constexpr Attribute kMenuEntry[] = {
    {"textstyle", "4"},
    {"textpadding", "12,2,0,0"},
    {"height", "20"},
    {"font", "2"},
    {"hotimage", "res='175' restype='png' corner='3,3,3,3'"},
};
constexpr Attribute kMenuSeparator[] = {{"bkcolor", "#FFFFC700"}, {"height", "1"}};
// The default-values buttons, and after them the unlock and command buttons.
constexpr Attribute kCommandButton[] = {
    {"normalimage", "res='160' restype='png' corner='2,2,2,2'"},
    {"hotimage", "res='161' restype='png' corner='2,2,2,2'"},
    {"pushedimage", "res='162' restype='png' corner='2,2,2,2'"},
    {"disabledimage", "res='169' restype='png' corner='2,2,2,2'"},
    {"height", "22"},
};
constexpr Attribute kCommandSpacer[] = {{"height", "16"}};
constexpr Attribute kFrequencyEdit[] = {
    {"maxchar", "9"},
    {"tooltip", radio::kFrequencyTooltip},
    {"textcolor", "#FF000000"},
};
// The link-rate row starts display-only, greyed; the link-rate rule changes it later.
constexpr const char* kLinkRateGreyText = "#00A7A6B7";

constexpr int kParameterLabelWidth = 70;
constexpr int kPortLabelWidth = 42;
constexpr int kChannelLabelWidth = 36;

template <class T>
T* Named(T* control, const char* name) {
    control->SetName(name);
    return control;
}

CButtonUI* MenuEntry(CVerticalLayoutUI* panel, const char* name) {
    auto* entry = Named(Make<CButtonUI>(kMenuEntry), name);
    panel->Add(entry);
    return entry;
}

void AddTitleBar(Pane::CContainerUI* main, MainControls& c) {
    auto* bar = Make<CHorizontalLayoutUI>({
        {"height", "33"},
        {"inset", "3,2,3,2"},
        {"bkcolor", "#FFD1E8F5"},
        {"bkcolor2", "#FFC9E3F4"},
    });
    auto* icon = Make<CVerticalLayoutUI>({{"width", "26"}, {"inset", "0,5,5,0"}});
    icon->Add(Make<CControlUI>({{"bkimage", "res='174' restype='png'"}}));
    bar->Add(icon);
    c.title = Named(Make<CLabelUI>({
                        {"width", "300"},
                        {"textstyle", "4"},
                        {"font", "1"},
                        {"textcolor", "#FF447AA1"},
                    }),
                    "title");
    bar->Add(c.title);
    bar->Add(new CControlUI);
    c.btnMin = Named(Make<CButtonUI>({
                         {"width", "26"},
                         {"height", "17"},
                         {"normalimage", "res='150' restype='png'"},
                         {"hotimage", "res='151' restype='png'"},
                         {"pushedimage", "res='152' restype='png'"},
                     }),
                     "btnMin");
    bar->Add(c.btnMin);
    c.btnClose = Named(Make<CButtonUI>({
                           {"width", "45"},
                           {"height", "17"},
                           {"normalimage", "res='144' restype='png'"},
                           {"hotimage", "res='145' restype='png'"},
                           {"pushedimage", "res='146' restype='png'"},
                       }),
                       "btnClose");
    bar->Add(c.btnClose);
    main->Add(bar);
}

void AddMenuBar(Pane::CContainerUI* main, MainControls& c) {
    auto* bar = Make<CHorizontalLayoutUI>({
        {"height", "29"},
        {"inset", "8,10,0,0"},
        {"bkcolor", "#FFC9E3F4"},
        {"bkcolor2", "#FFD1E8F5"},
    });
    static constexpr const char* kNames[kMenuCount] = {"menuFile", "menuLanguage", "menuHelp"};
    for (int i = 0; i < kMenuCount; ++i) {
        c.menus[static_cast<size_t>(i)] = Named(Make<CButtonUI>(kMenuButton), kNames[i]);
        bar->Add(c.menus[static_cast<size_t>(i)]);
    }
    main->Add(bar);
}

// A frequency group: rows for every slot, of which only the used ones (1 to ChannelCount) go
// into the group, then the default-values button.
CGroupBoxUI* FrequencyGroup(const char* title, const char* prefix,
                            std::array<EditRow, kFrequencySlots>& rows, CButtonUI** defaults,
                            const char* defaultsName, MainControls& c) {
    auto* group = new CGroupBoxUI(title);
    group->SetFixedWidth(151);
    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        EditRow& row = rows[static_cast<size_t>(slot)];
        row.row = new CLabelAndEditUI("", kChannelLabelWidth, &row.edit, &row.label);
        ApplyAttributes(row.edit, kFrequencyEdit);
        row.edit->SetName((prefix + std::to_string(slot)).c_str());
        if (slot >= 1 && slot <= radio::ChannelCount)
            group->Add(row.row);
        else
            c.detached.emplace_back(row.row);
    }
    *defaults = Named(Make<CButtonUI>(kCommandButton), defaultsName);
    group->Add(*defaults);
    return group;
}

void AddComboRow(CVerticalLayoutUI* panel, ComboRow& row, const char* label, int labelWidth,
                 const char* name) {
    row.row = new CLabelAndComboUI(label, labelWidth, &row.combo, &row.label);
    row.combo->SetName(name);
    panel->Add(row.row);
}

EditRow EditRowOf(const char* label, const char* name) {
    EditRow row;
    row.row = new CLabelAndEditUI(label, kParameterLabelWidth, &row.edit, &row.label);
    row.edit->SetName(name);
    return row;
}

// A row of an unlock button and the identity field it unlocks.
CHorizontalLayoutUI* UnlockRow(CButtonUI** button, const char* buttonName, EditRow& field,
                               const char* label, const char* name) {
    auto* line = Make<CHorizontalLayoutUI>({{"height", "22"}});
    *button = Named(Make<CButtonUI>(kCommandButton), buttonName);
    line->Add(*button);
    field = EditRowOf(label, name);
    line->Add(field.row);
    return line;
}

CVerticalLayoutUI* ParameterColumn(MainControls& c) {
    auto* column = Make<CVerticalLayoutUI>({{"width", "236"}, {"childpadding", "11"}});
    auto* panel = Make<CVerticalLayoutUI>({
        {"height", "369"},
        {"childpadding", "3"},
        {"inset", "2,18,15,0"},
        {"padding", "0,6,0,0"},
        {"bordersize", "1"},
        {"bordercolor", "#FF888888"},
    });
    const int w = kParameterLabelWidth;
    AddComboRow(panel, c.protocol, "协议类型:", w, "protocol");
    AddComboRow(panel, c.channel, "当前频道:", w, "channel");
    AddComboRow(panel, c.radioBaud, "串口波特率:", w, "radioBaud");
    AddComboRow(panel, c.linkBaud, "空中波特率:", w, "linkBaud");
    c.linkBaud.combo->SetMouseEnabled(false);
    c.linkBaud.label->SetAttribute("textcolor", kLinkRateGreyText);
    c.linkBaud.combo->SetAttribute("itemtextcolor", kLinkRateGreyText);
    c.linkBaud.combo->SetAttribute("itemselectedtextcolor", kLinkRateGreyText);
    AddComboRow(panel, c.bandwidth, "带宽:", w, "bandwidth");
    AddComboRow(panel, c.workMode, "工作模式:", w, "workMode");
    c.src = EditRowOf("源地址:", "src");
    panel->Add(c.src.row);
    c.dst = EditRowOf("目标地址:", "dst");
    panel->Add(c.dst.row);
    AddComboRow(panel, c.powerHigh, "高功率:", w, "powerHigh");
    AddComboRow(panel, c.powerLow, "低功率:", w, "powerLow");
    panel->Add(UnlockRow(&c.btnUnlockSn, "btnUnlockSn", c.serialNumber, "序列号:", "serialNumber"));
    panel->Add(UnlockRow(&c.btnUnlockHw, "btnUnlockHw", c.hardwareVersion,
                         "硬件版本:", "hardwareVersion"));
    c.firmware = EditRowOf("固件版本:", "firmware");
    panel->Add(c.firmware.row);
    c.subFirmware = EditRowOf("子固件版本:", "subFirmware");
    panel->Add(c.subFirmware.row);
    column->Add(panel);

    auto* statusBar = Make<CVerticalLayoutUI>({
        {"height", "20"},
        {"inset", "1,1,1,1"},
        {"bordersize", "1"},
        {"bordercolor", "#FF888888"},
    });
    c.status = Named(Make<CLabelUI>({{"textstyle", "5"}}), "status");
    statusBar->Add(c.status);
    column->Add(statusBar);
    return column;
}

CVerticalLayoutUI* CommandColumn(MainControls& c) {
    auto* column = Make<CVerticalLayoutUI>({{"width", "150"}});
    column->Add(Make<CButtonUI>({
        {"height", "24"},
        {"normalimage", "res='179' restype='png' dest='14,0,137,24'"},
    }));
    column->Add(Make<CControlUI>({{"height", "28"}}));

    c.groupPort = new CGroupBoxUI("端口设置");
    c.groupPort->SetFixedHeight(80);
    c.port.row = new CLabelAndComboUI("串口号:", kPortLabelWidth, &c.port.combo, &c.port.label);
    c.port.combo->SetName("port");
    c.groupPort->Add(c.port.row);
    c.baud.row = new CLabelAndComboUI("波特率:", kPortLabelWidth, &c.baud.combo, &c.baud.label);
    c.baud.combo->SetName("baud");
    c.groupPort->Add(c.baud.row);
    column->Add(c.groupPort);

    struct Command {
        CButtonUI** button;
        const char* name;
    };
    const Command commands[] = {
        {&c.btnConnect, "btnConnect"}, {&c.btnRead, "btnRead"},
        {&c.btnWrite, "btnWrite"},     {&c.btnDisconnect, "btnDisconnect"},
        {&c.btnImport, "btnImport"},   {&c.btnExport, "btnExport"},
    };
    for (const Command& command : commands) {
        column->Add(Make<CControlUI>(kCommandSpacer));
        *command.button = Named(Make<CButtonUI>(kCommandButton, {{"height", "25"}}), command.name);
        column->Add(*command.button);
    }
    column->Add(Make<CControlUI>(kCommandSpacer));
    return column;
}

void AddBody(Pane::CContainerUI* main, MainControls& c) {
    auto* body = Make<CHorizontalLayoutUI>({{"inset", "18,17,18,18"}, {"childpadding", "15"}});
    c.groupTx = FrequencyGroup("TX Frequency(MHZ)", "tx", c.tx, &c.btnDefaultTx, "btnDefaultTx", c);
    body->Add(c.groupTx);
    c.groupRx = FrequencyGroup("RX Frequency(MHZ)", "rx", c.rx, &c.btnDefaultRx, "btnDefaultRx", c);
    body->Add(c.groupRx);
    body->Add(ParameterColumn(c));
    body->Add(CommandColumn(c));
    main->Add(body);
}

CVerticalLayoutUI* MenuPanel(MainControls& c, int menu, const char* name) {
    auto* panel = Named(Make<CVerticalLayoutUI>(kMenuPanel), name);
    c.panels[static_cast<size_t>(menu)] = panel;
    return panel;
}

void AddMenuPanels(Pane::CContainerUI* main, MainControls& c) {
    CVerticalLayoutUI* help = MenuPanel(c, kMenuHelp, "panelHelp");
    c.itemAbout = MenuEntry(help, "itemAbout");
    main->Add(help);

    CVerticalLayoutUI* language = MenuPanel(c, kMenuLanguage, "panelLanguage");
    c.itemLanguage = MenuEntry(language, "itemLanguage");
    main->Add(language);

    CVerticalLayoutUI* file = MenuPanel(c, kMenuFile, "panelFile");
    c.itemConnect = MenuEntry(file, "itemConnect");
    c.itemRead = MenuEntry(file, "itemRead");
    c.itemWrite = MenuEntry(file, "itemWrite");
    c.itemDisconnect = MenuEntry(file, "itemDisconnect");
    file->Add(Make<CControlUI>(kMenuSeparator));
    c.itemUpgrade = MenuEntry(file, "itemUpgrade");
    file->Add(Make<CControlUI>(kMenuSeparator));
    c.itemImport = MenuEntry(file, "itemImport");
    c.itemExport = MenuEntry(file, "itemExport");
    file->Add(Make<CControlUI>(kMenuSeparator));
    c.itemExit = MenuEntry(file, "itemExit");
    main->Add(file);
}

template <class Table, class Text>
std::vector<std::string> Texts(const Table& table, Text text) {
    std::vector<std::string> texts;
    for (const auto& entry : table)
        texts.emplace_back(text(entry));
    return texts;
}

std::vector<std::string> Texts(const std::array<const char*, 3>& table) {
    return Texts(table, [](const char* entry) { return entry; });
}

void EnableWhenFilled(ComboRow& row) {
    row.row->SetEnabled(row.combo->GetCount() > 0);
}

} // namespace

void BuildMainTree(Pane::CContainerUI* main, MainControls& controls) {
    AddTitleBar(main, controls);
    AddMenuBar(main, controls);
    AddBody(main, controls);
    AddMenuPanels(main, controls);
}

void FillMainLists(MainControls& c, const std::vector<std::string>& channelNames) {
    FillCombo(c.protocol.combo,
              Texts(radio::kProtocols, [](const radio::ProtocolEntry& e) { return e.display; }));
    FillCombo(c.channel.combo, channelNames);

    // The slots the radio does not use stay disabled and empty, on both sides.
    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        if (slot >= 1 && slot <= radio::ChannelCount)
            continue;
        for (EditRow* row : {&c.tx[static_cast<size_t>(slot)], &c.rx[static_cast<size_t>(slot)]}) {
            row->row->SetEnabled(false);
            row->edit->SetText("");
        }
    }

    FillCombo(c.powerHigh.combo, Texts(radio::kHighPowers));
    FillCombo(c.powerLow.combo, Texts(radio::kLowPowers));

    const std::vector<std::string> rates =
        Texts(radio::kPortRates, [](const radio::RateEntry& e) { return e.display; });
    FillCombo(c.baud.combo, rates);
    FillCombo(c.radioBaud.combo, rates);
    c.baud.combo->SelectItem(radio::kDefaultPortRate);

    FillCombo(c.linkBaud.combo, radio::InitialLinkRates());
    FillCombo(c.bandwidth.combo,
              Texts(radio::kBandwidths, [](const radio::CodeEntry& e) { return e.display; }));
    FillCombo(c.workMode.combo,
              Texts(radio::kWorkModes, [](const radio::CodeEntry& e) { return e.display; }));

    c.btnUnlockSn->SetVisible(true);
    c.btnUnlockHw->SetVisible(true);

    EnableWhenFilled(c.protocol);
    EnableWhenFilled(c.linkBaud);
    EnableWhenFilled(c.radioBaud);
}

void PrepareFieldsOnce(MainControls& c) {
    c.src.edit->SetNumberOnly(true);
    c.dst.edit->SetNumberOnly(true);
    c.serialNumber.edit->SetMaxChar(9);
    c.hardwareVersion.edit->SetMaxChar(4);
    for (EditRow* row : {&c.firmware, &c.subFirmware, &c.hardwareVersion, &c.serialNumber})
        row->row->SetEnabled(false);
}

bool FillPortList(MainControls& c, const std::vector<std::string>& portNames) {
    std::vector<std::string> texts;
    for (const std::string& name : portNames)
        texts.push_back(" " + name);
    FillCombo(c.port.combo, texts);
    if (texts.empty())
        return false;
    c.port.combo->SelectItem(0);
    return true;
}

} // namespace app

#include "app/ControlFields.h"

#include "app/Composites.h"
#include "app/ListFill.h"
#include "pane/controls/Combo.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "pane/controls/List.h"

#include <utility>

namespace app {

namespace {

// What the protocol selector shows for a radio that names no protocol it knows.
constexpr const char* kUnknownText = " UNKNOW";

} // namespace

// ---- CEditField --------------------------------------------------------------------------------

CEditField::CEditField(Pane::CEditUI* edit, Pane::CControlUI* row) : m_edit(edit), m_row(row) {}

std::string CEditField::text() const {
    return m_edit->GetText().GetData();
}

void CEditField::setText(const std::string& text) {
    m_edit->SetText(text.c_str());
}

void CEditField::setEnabled(bool enabled) {
    m_row->SetEnabled(enabled);
}

bool CEditField::isEnabled() const {
    return m_edit->IsEnabled();
}

void CEditField::setFocus() {
    m_edit->SetFocus();
}

// ---- CComboSelector ----------------------------------------------------------------------------

CComboSelector::CComboSelector(Pane::CComboUI* combo) : m_combo(combo) {}

void CComboSelector::clear() {
    m_combo->RemoveAll();
}

void CComboSelector::add(const std::string& text) {
    AddComboEntry(m_combo, text);
}

int CComboSelector::count() const {
    return m_combo->GetCount();
}

std::string CComboSelector::entryText(int index) const {
    Pane::CControlUI* item = m_combo->GetItemAt(index);
    return item != nullptr ? item->GetText().GetData() : std::string();
}

int CComboSelector::selected() const {
    return m_combo->GetCurSel();
}

void CComboSelector::select(int index) {
    const int before = m_combo->GetCurSel();
    // The combo keeps the rules: the same index does nothing, a negative one clears quietly, one
    // past the end takes the last entry; a change sends "itemselect" before it returns.
    m_combo->SelectItem(index);
    const int after = m_combo->GetCurSel();
    if (after >= 0 && after != before && m_onChange)
        m_onChange(after);
}

void CComboSelector::setChangeHandler(ChangeHandler handler) {
    m_onChange = std::move(handler);
}

void CComboSelector::showUnknown() {
    m_combo->SetStandInText(kUnknownText);
}

std::string CComboSelector::displayText() const {
    return m_combo->GetText().GetData();
}

void CComboSelector::setTextColour(radio::Colour colour) {
    Pane::ItemAppearance& appearance = *m_combo->GetItemAppearance();
    const Pane::ItemAppearance defaults;
    appearance.textColor = colour != 0 ? colour : defaults.textColor;
    appearance.selectedTextColor = colour != 0 ? colour : defaults.selectedTextColor;
    m_colour = colour;
    m_combo->Invalidate();
}

radio::Colour CComboSelector::textColour() const {
    return m_colour;
}

void CComboSelector::setMouseEnabled(bool enabled) {
    m_combo->SetMouseEnabled(enabled);
}

bool CComboSelector::isMouseEnabled() const {
    return m_combo->IsMouseEnabled();
}

// ---- CLabelText --------------------------------------------------------------------------------

CLabelText::CLabelText(Pane::CLabelUI* label) : m_label(label) {}

std::string CLabelText::text() const {
    return m_label->GetText().GetData();
}

void CLabelText::setText(const std::string& text) {
    m_label->SetText(text.c_str());
}

void CLabelText::setTextColour(radio::Colour colour) {
    m_label->SetTextColor(colour);
}

radio::Colour CLabelText::textColour() const {
    return m_label->TextColor();
}

// ---- CMainFields -------------------------------------------------------------------------------

struct CMainFields::Impl {
    explicit Impl(MainControls& c)
        : tx(Fields(c.tx)), rx(Fields(c.rx)), src(Field(c.src)), dst(Field(c.dst)),
          serialNumber(Field(c.serialNumber)), hardwareVersion(Field(c.hardwareVersion)),
          firmware(Field(c.firmware)), subFirmware(Field(c.subFirmware)),
          protocol(c.protocol.combo), channel(c.channel.combo), radioBaud(c.radioBaud.combo),
          linkBaud(c.linkBaud.combo), bandwidth(c.bandwidth.combo), workMode(c.workMode.combo),
          powerHigh(c.powerHigh.combo), powerLow(c.powerLow.combo), protocolLabel(c.protocol.label),
          channelLabel(c.channel.label), radioBaudLabel(c.radioBaud.label),
          linkBaudLabel(c.linkBaud.label), workModeLabel(c.workMode.label),
          powerHighLabel(c.powerHigh.label), powerLowLabel(c.powerLow.label),
          serialNumberLabel(c.serialNumber.label), hardwareVersionLabel(c.hardwareVersion.label) {}

    static CEditField Field(const EditRow& row) { return CEditField(row.edit, row.row); }

    template <size_t N>
    static std::array<CEditField, N> Fields(const std::array<EditRow, N>& rows) {
        return [&]<size_t... I>(std::index_sequence<I...>) {
            return std::array<CEditField, N>{Field(rows[I])...};
        }
        (std::make_index_sequence<N>());
    }

    std::array<CEditField, kFrequencySlots> tx;
    std::array<CEditField, kFrequencySlots> rx;
    CEditField src, dst, serialNumber, hardwareVersion, firmware, subFirmware;
    CComboSelector protocol, channel, radioBaud, linkBaud, bandwidth, workMode, powerHigh, powerLow;
    CLabelText protocolLabel, channelLabel, radioBaudLabel, linkBaudLabel, workModeLabel,
        powerHighLabel, powerLowLabel, serialNumberLabel, hardwareVersionLabel;
};

CMainFields::CMainFields(MainControls& controls) : m_impl(std::make_unique<Impl>(controls)) {}

CMainFields::~CMainFields() = default;

void CMainFields::Bind(radio::RadioSettings& s) {
    Impl& f = *m_impl;
    for (int slot = 0; slot < kFrequencySlots; ++slot) {
        s.Channel[static_cast<size_t>(slot)] = &f.tx[static_cast<size_t>(slot)];
        s.RXChannel[static_cast<size_t>(slot)] = &f.rx[static_cast<size_t>(slot)];
    }
    s.ProtocolType = &f.protocol;
    s.CurrentChannel = &f.channel;
    s.PortBaudRate = &f.radioBaud;
    s.LinkBaudRate = &f.linkBaud;
    s.Bandwidth = &f.bandwidth;
    s.workMode = &f.workMode;
    s.SRC = &f.src;
    s.DST = &f.dst;
    s.HighPower = &f.powerHigh;
    s.LowPower = &f.powerLow;
    s.SerialNumber = &f.serialNumber;
    s.HardwareVersion = &f.hardwareVersion;
    s.FirmwareVersion = &f.firmware;
    s.SubFirmwareVersion = &f.subFirmware;

    s.ProtocolTypeLabel = &f.protocolLabel;
    s.CurrentChannelLabel = &f.channelLabel;
    s.PortBaudRateLabel = &f.radioBaudLabel;
    s.LinkBaudRateLabel = &f.linkBaudLabel;
    s.workModeLabel = &f.workModeLabel;
    s.HighPowerLabel = &f.powerHighLabel;
    s.LowPowerLabel = &f.powerLowLabel;
    s.SerialNumberLabel = &f.serialNumberLabel;
    s.HardwareVersionLabel = &f.hardwareVersionLabel;
}

} // namespace app

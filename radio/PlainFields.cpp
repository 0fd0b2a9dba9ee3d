#include "radio/PlainFields.h"

namespace radio {

void CPlainSelector::clear() {
    m_entries.clear();
    m_selected = -1;
    m_showUnknown = false;
}

void CPlainSelector::add(const std::string& text) {
    m_entries.push_back(text);
    m_showUnknown = false;
}

std::string CPlainSelector::entryText(int index) const {
    if (index < 0 || index >= count())
        return {};
    return m_entries[static_cast<size_t>(index)];
}

void CPlainSelector::select(int index) {
    if (index == m_selected)
        return;
    // The old selection goes first, whatever follows: a refused index leaves none.
    m_selected = -1;
    m_showUnknown = false;
    if (index < 0 || m_entries.empty())
        return;
    if (index >= count())
        index = count() - 1;
    m_selected = index;
    if (m_onChange)
        m_onChange(index);
}

std::string CPlainSelector::displayText() const {
    if (m_showUnknown)
        return " UNKNOW";
    return entryText(m_selected);
}

CPlainFields::CPlainFields()
    : protocolTypeLabel("Protocol Type:"), currentChannelLabel("Current Channel:"),
      portBaudRateLabel("Serial Baud Rate:"), linkBaudRateLabel("Air Baud Rate:"),
      workModeLabel("Work Mode:"), highPowerLabel("High Power:"), lowPowerLabel("Low Power:"),
      serialNumberLabel("SN:"), hardwareVersionLabel("Hardware:") {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        settings.Channel[slot] = &channel[slot];
        settings.RXChannel[slot] = &rxChannel[slot];
    }
    settings.ProtocolType = &protocolType;
    settings.CurrentChannel = &currentChannel;
    settings.PortBaudRate = &portBaudRate;
    settings.LinkBaudRate = &linkBaudRate;
    settings.Bandwidth = &bandwidth;
    settings.workMode = &workMode;
    settings.SRC = &src;
    settings.DST = &dst;
    settings.HighPower = &highPower;
    settings.LowPower = &lowPower;
    settings.SerialNumber = &serialNumber;
    settings.HardwareVersion = &hardwareVersion;
    settings.FirmwareVersion = &firmwareVersion;
    settings.SubFirmwareVersion = &subFirmwareVersion;

    settings.ProtocolTypeLabel = &protocolTypeLabel;
    settings.CurrentChannelLabel = &currentChannelLabel;
    settings.PortBaudRateLabel = &portBaudRateLabel;
    settings.LinkBaudRateLabel = &linkBaudRateLabel;
    settings.workModeLabel = &workModeLabel;
    settings.HighPowerLabel = &highPowerLabel;
    settings.LowPowerLabel = &lowPowerLabel;
    settings.SerialNumberLabel = &serialNumberLabel;
    settings.HardwareVersionLabel = &hardwareVersionLabel;

    // The unused slots and the locked identity fields stay disabled, as in the window.
    channel[0].setEnabled(false);
    channel[kSlotCount - 1].setEnabled(false);
    rxChannel[0].setEnabled(false);
    rxChannel[kSlotCount - 1].setEnabled(false);
    serialNumber.setEnabled(false);
    hardwareVersion.setEnabled(false);
    firmwareVersion.setEnabled(false);
    subFirmwareVersion.setEnabled(false);

    std::vector<std::string> names;
    for (int c = 1; c <= ChannelCount; ++c)
        names.push_back(" Channel " + std::to_string(c));
    settings.FillLists(names);
    settings.ConnectSelectionRules();
    // Nothing is preselected: a write sends nothing for a selection no one made.
}

} // namespace radio

#pragma once
// Plain, window-free implementations of the field interfaces, for the command-line tool and
// the tests, and CPlainFields, one complete set of them bound to a RadioSettings record.
// Not thread-safe: used on one thread, like the controls they stand in for.

#include "radio/Fields.h"
#include "radio/RadioSettings.h"

#include <array>
#include <string>
#include <vector>

namespace radio {

class CPlainTextField : public ITextField {
public:
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isEnabled() const override { return m_enabled; }
    void setFocus() override { ++m_focusCount; }

    // How often the field was given the focus.
    int focusCount() const { return m_focusCount; }

private:
    std::string m_text;
    bool m_enabled = true;
    int m_focusCount = 0;
};

class CPlainSelector : public ISelector {
public:
    void clear() override;
    void add(const std::string& text) override;
    int count() const override { return static_cast<int>(m_entries.size()); }
    std::string entryText(int index) const override;
    int selected() const override { return m_selected; }
    void select(int index) override;
    void setChangeHandler(ChangeHandler handler) override { m_onChange = std::move(handler); }
    void showUnknown() override { m_showUnknown = true; }
    std::string displayText() const override;
    void setTextColour(Colour colour) override { m_textColour = colour; }
    Colour textColour() const override { return m_textColour; }
    void setMouseEnabled(bool enabled) override { m_mouseEnabled = enabled; }
    bool isMouseEnabled() const override { return m_mouseEnabled; }

    const std::vector<std::string>& entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
    int m_selected = -1;
    bool m_showUnknown = false;
    Colour m_textColour = 0;
    bool m_mouseEnabled = true;
    ChangeHandler m_onChange;
};

class CPlainLabel : public ILabel {
public:
    CPlainLabel() = default;
    explicit CPlainLabel(std::string text) : m_text(std::move(text)) {}

    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }
    void setTextColour(Colour colour) override { m_textColour = colour; }
    Colour textColour() const override { return m_textColour; }

private:
    std::string m_text;
    Colour m_textColour = 0;
};

// Every field and label of the record as plain objects, bound to `settings`, with the value
// tables filled, the selection rules connected and nothing selected. The
// labels read as the English captions of the fields; the channel names are "Channel 1" to
// "Channel 8". Not copyable: the record points into it.
class CPlainFields {
public:
    CPlainFields();
    CPlainFields(const CPlainFields&) = delete;
    CPlainFields& operator=(const CPlainFields&) = delete;

    RadioSettings settings;

    std::array<CPlainTextField, kSlotCount> channel;
    std::array<CPlainTextField, kSlotCount> rxChannel;
    CPlainSelector protocolType, currentChannel, portBaudRate, linkBaudRate, bandwidth, workMode,
        highPower, lowPower;
    CPlainTextField src, dst, serialNumber, hardwareVersion, firmwareVersion, subFirmwareVersion;
    CPlainLabel protocolTypeLabel, currentChannelLabel, portBaudRateLabel, linkBaudRateLabel,
        workModeLabel, highPowerLabel, lowPowerLabel, serialNumberLabel, hardwareVersionLabel;
};

} // namespace radio

#pragma once
// A host for tests of the radio code: English texts, every message box, file dialog and
// status line recorded, file dialog answers queued by the test.

#include "radio/RadioHost.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace radio::test {

class CRecordingHost : public IRadioHost {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    struct Status {
        std::string text;
        int paddingRight;
        Colour background;
    };

    std::string Text(TextId id) const override {
        switch (id) {
            case TextId::MsgError:
                return " Error";
            case TextId::MsgSuccess:
                return " OK";
            case TextId::MsgInvalid:
                return " Invalid!";
            case TextId::MsgLaunchCh:
                return " TX Channel";
            case TextId::MsgReceiveCh:
                return " RX Channel";
        }
        return {};
    }
    bool IsChinese() const override { return chinese; }

    void MessageBox(const std::string& text, const std::string& caption,
                    MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }

    bool ChooseFile(const FileDialogOptions& options, std::string& path) override {
        dialogs.push_back(options);
        if (fileAnswers.empty() || !fileAnswers.front()) {
            if (!fileAnswers.empty())
                fileAnswers.pop_front();
            return false;
        }
        path = *fileAnswers.front();
        fileAnswers.pop_front();
        return true;
    }

    std::string Caption(Operation operation) const override {
        switch (operation) {
            case Operation::Connect:
                return "Connect";
            case Operation::Disconnect:
                return "Disconnect";
            case Operation::Read:
                return "Read";
            case Operation::Write:
                return "Write";
            case Operation::Import:
                return "Import";
            case Operation::Export:
                return "Export";
            case Operation::Upgrade:
                return "Upgrade";
        }
        return {};
    }

    void SetStatusLine(const std::string& text, int paddingRight, Colour background) override {
        statuses.push_back({text, paddingRight, background});
    }

    std::string SelectedPortEntry() const override { return portEntry; }
    std::string SelectedBaudEntry() const override { return baudEntry; }
    // A refused operation on one thread may report while an upgrade reports on another.
    void ReportFailure(const Failure& failure) override {
        std::lock_guard<std::mutex> lock(eventLock);
        failures.push_back(failure);
        events.push_back("failure");
    }
    void UpgradeBusy(bool busy) override {
        std::lock_guard<std::mutex> lock(eventLock);
        busyCalls.push_back(busy);
        events.push_back(busy ? "busy" : "not busy");
    }
    void UpgradeProgress(int progress) override { progressCalls.push_back(progress); }
    void UpgradeFinished(bool success) override {
        std::lock_guard<std::mutex> lock(eventLock);
        finished.push_back(success);
        events.push_back(success ? "finished ok" : "finished failed");
    }

    bool chinese = false;
    std::vector<Message> messages;
    std::vector<FileDialogOptions> dialogs;
    // Each file dialog takes the next answer; std::nullopt (or none left) is a cancel.
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<Status> statuses;

    // The port settings the protocol opens ("" = no port selected).
    std::string portEntry;
    std::string baudEntry = " 38400";
    std::vector<Failure> failures;
    std::vector<bool> busyCalls;
    std::vector<bool> finished;
    // The failure, busy and result calls in the order they came.
    std::vector<std::string> events;
    std::mutex eventLock;
    std::vector<int> progressCalls;
};

} // namespace radio::test

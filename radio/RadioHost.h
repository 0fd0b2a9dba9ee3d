#pragma once
// What the radio code needs from the program around it: the current language's texts,
// message boxes, the file dialog, the captions of the controls that start operations and the
// status line. The main window implements it on its controls; the command-line tool on
// standard error; the tests with a recording host. Called on the thread that runs the radio
// operation; an implementation whose controls belong to another thread forwards the calls.

#include "radio/Fields.h"

#include <string>

namespace radio {

// Texts of the current language that radio operations show. Each is returned as stored,
// with its leading space (" OK").
enum class TextId {
    MsgError,     // failure word of the status line; caption of error boxes
    MsgSuccess,   // success word of the status line
    MsgInvalid,   // tail of the invalid-entry messages
    MsgLaunchCh,  // head of the invalid transmit-frequency message
    MsgReceiveCh, // head of the invalid receive-frequency message
};

enum class MessageIcon { Error, Warning, Information };

// The operations that report in the status line, each named there by the caption of the
// control that starts it.
enum class Operation { Connect, Disconnect, Read, Write, Import, Export, Upgrade };

// An open or save dialog request. The chosen name is at most kMaxPath - 1 bytes long.
struct FileDialogOptions {
    static constexpr int kMaxPath = 260;

    bool save = false;
    std::string title;
    std::string filterName; // "Config File(*.cfg)"
    std::string pattern;    // "*.cfg"
    std::string initialFolder;
    bool overwritePrompt = false; // save: ask before replacing an existing file
    bool fileMustExist = false;   // open: only existing files may be chosen
    // save: the extension (".cfg") added to a chosen name that lacks it before the dialog
    // asks about overwriting, so the question names the file that will be written.
    std::string defaultExtension;
};

// What kind of thing a failed operation tripped over.
enum class FailureKind {
    Radio, // the radio did not answer, or answered without the expected token
    Port,  // the port cannot be used: missing, busy, no permission, not a terminal
    File,  // a file cannot be read or written
};

// Why an operation failed, for a person: the port or file, the step or command, the cause
// ("/dev/pts/5: command \"cfg_chan\": no reply within 465 ms").
struct Failure {
    FailureKind kind = FailureKind::Radio;
    std::string detail;
};

class IRadioHost {
public:
    virtual ~IRadioHost() = default;

    virtual std::string Text(TextId id) const = 0;
    // True while the first language (Chinese built-in texts) is in force.
    virtual bool IsChinese() const = 0;

    // A modal message box; returns when the user has closed it.
    virtual void MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) = 0;

    // Shows the file dialog; false when the user cancelled, otherwise the chosen name is in
    // `path`.
    virtual bool ChooseFile(const FileDialogOptions& options, std::string& path) = 0;

    // The caption of the control that starts `operation` (the text that heads its status).
    virtual std::string Caption(Operation operation) const = 0;

    // The status line: its text, left/top/right/bottom padding and background colour.
    virtual void SetStatusLine(const std::string& text, int paddingRight, Colour background) = 0;

    // The port settings as shown: the selected entries of the serial port list (" ttyUSB0",
    // " /dev/pts/3") and of the baud list (" 38400"); empty when nothing is selected.
    virtual std::string SelectedPortEntry() const = 0;
    virtual std::string SelectedBaudEntry() const = 0;

    // Why an operation failed, called once just before its failure status (for the upgrade:
    // before UpgradeFinished(false)), on the operation's thread. A host may show it beside the
    // status line, never instead of it.
    virtual void ReportFailure(const Failure& failure) { (void)failure; }

    // The firmware upgrade, called on the thread that runs it (the worker thread) and
    // synchronous: busy locks the radio commands until not busy; progress runs from 0 to
    // 10000 ten-thousandths. The result comes last but one, before not busy: the upgrade
    // itself touches neither the status line nor the captions, so a window turns the result
    // into the status of the upgrade control (CRadioProtocol::ReportResult) on its own thread.
    // The port is closed after the call returns, whatever the host did.
    virtual void UpgradeBusy(bool busy) = 0;
    virtual void UpgradeProgress(int progress) = 0;
    virtual void UpgradeFinished(bool success) { (void)success; }
};

} // namespace radio

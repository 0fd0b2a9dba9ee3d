#pragma once
// What the open and save dialogs know about the file system, apart from drawing: the options a
// caller asks for, one folder's listing (folders first, then the files the filter lets through,
// each group sorted by name ignoring case, hidden entries left out), the name a choice finally
// stands for, and the last folder each kind of dialog used. Names are UTF-8 bytes as the file
// system holds them. UI thread only.

#include <string>
#include <vector>

namespace Pane {

struct FileDialogOptions {
    bool save = false;
    std::string title;
    std::string filterName; // "Config File(*.cfg)"
    std::string pattern;    // "*.cfg"; several separated by ';'; empty = every file
    std::string initialFolder;
    bool overwritePrompt = false; // save: ask before replacing an existing file
    bool fileMustExist = false;   // open: only existing files may be chosen
    std::string defaultExtension; // save: ".cfg" added to a chosen name without an extension
};

struct FolderEntry {
    std::string name;
    bool folder = false;
};

struct FolderListing {
    std::string folder;               // absolute, without a trailing '/' (except "/")
    std::vector<FolderEntry> entries; // folders, then files
    std::string error;                // why the folder could not be read; empty when it could
};

// Whether `name` matches one of the ';'-separated wildcard patterns ('*', '?', ASCII letters
// compared ignoring case). An empty pattern list matches everything.
bool MatchesPattern(const std::string& name, const std::string& patterns);

// Reads `folder`. A folder that cannot be read gives an empty listing with the reason.
FolderListing ReadFolder(const std::string& folder, const std::string& patterns);

// The folder above `folder` ("/" stays "/").
std::string ParentFolder(const std::string& folder);
// `name` taken relative to `folder` unless absolute; "~" and "~/" start at home; "." and ".."
// parts resolved; no trailing '/'.
std::string JoinPath(const std::string& folder, const std::string& name);

// The path a typed name stands for: relative to the folder, and, for a save dialog, with the
// default extension added when the name has none.
std::string FinalPath(const FileDialogOptions& options, const std::string& folder,
                      const std::string& name);

bool IsFolder(const std::string& path);
bool FileExists(const std::string& path);
std::string HomeFolder();

// The folder the last open (or save) dialog ended in; empty before any.
const std::string& LastFolder(bool save);
void SetLastFolder(bool save, const std::string& folder);

} // namespace Pane

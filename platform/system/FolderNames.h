// Case-insensitive lookup of names in host folders. Finding "readme.TXT" in a
// folder that holds "ReadMe.txt" takes reading the whole folder; a program
// that puts hundreds of files into one folder would read it once per file.
// So the names of the folders read last are kept, and inotify keeps them
// true: every entry made, removed or renamed in such a folder, by this
// process or any other, updates the kept names before the next lookup.
// Without inotify, or on a file system whose changes it cannot see (network
// shares, FUSE), every lookup reads the folder.
#pragma once

#include <optional>
#include <string>

namespace foldernames {

// The entry of `folder` whose name equals `name` without regard to ASCII
// letter case; when several do, one of them. Nothing when there is none or
// the folder cannot be read.
std::optional<std::string> FindIgnoringCase(const std::string& folder, const std::string& name);

// Drops every kept folder.
void Forget();

}  // namespace foldernames

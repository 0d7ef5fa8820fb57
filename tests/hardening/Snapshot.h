// A picture of everything below a host folder, to show that a run wrote
// nothing where it should not: every entry with its kind, a file with its
// contents, a link with its target (links are never followed).
#pragma once

#include <map>
#include <string>
#include <vector>

// Relative '/'-separated path -> "folder", "file:<contents>" or "link:<target>".
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const std::string& hostFolder);

// The entries that differ between the two pictures, except those that only
// a run creating the folder `allowed` (relative to the pictured folder) may
// add: `allowed` itself, anything below it, and the folders above it.
// Empty `allowed`: every difference counts. Each is "added", "removed" or
// "changed" and the path.
std::vector<std::string> ChangesOutside(const Snapshot& before, const Snapshot& after, const std::string& allowed);

// The entries of `after` at or below `folder`, relative to it.
Snapshot Below(const Snapshot& after, const std::string& folder);

/* A reader of registry hive files in the text format Wine writes:

     WINE REGISTRY Version 2
     ;; comment
     #arch=win32
     [Software\\Microsoft\\Windows\\CurrentVersion] 1700000000
     "ProgramFilesDir"="C:\\Program Files"
     "CommonFilesDir"=str(2):"%ProgramFiles%\\Common Files"
     "Count"=dword:0000001f
     "Blob"=hex:01,02,\
       03
     @="the default value"

   Text is UTF-8 in the file (non-ASCII characters may also be written as \x
   escapes of UTF-16 units) and is kept in UTF-8 here. The reader takes any
   bytes: a damaged line is skipped, a truncated file keeps what came before
   the damage, and what it keeps grows only in proportion to the input. */
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace hive {

// Value types, numbered as the registry numbers them.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;

struct Value {
  uint32_t type = REG_NONE;
  // True when the data came from a quoted string: `data` is then UTF-8 text
  // (escapes resolved, an escaped NUL kept). Otherwise `data` holds the raw
  // bytes (a dword as four little-endian bytes; strings given in hex as
  // UTF-16LE units).
  bool quoted = false;
  std::string data;
};

// One key: its values by name, the default value under the empty name.
struct Key {
  // Indexed by the ASCII-lower-cased name; each entry keeps the name as written.
  std::map<std::string, std::pair<std::string, Value>> values;

  const Value* Find(std::string_view name) const;
};

class Hive {
 public:
  // Reads a hive from bytes. Bytes without the header line give an empty hive.
  static Hive Parse(std::string_view text);
  // Reads a hive file; a missing or unreadable file is an empty hive. Only the
  // first kMaxFileBytes bytes are read, as if the file ended there.
  static Hive Load(const std::string& hostPath);
  static constexpr std::size_t kMaxFileBytes = 64u << 20;

  // The key at `path` ("Software\Microsoft", components separated by single
  // backslashes; empty components ignored), compared without regard to ASCII
  // case. A key that only has sub-keys exists too: then an empty key is
  // returned. Nothing when there is no such key.
  std::optional<Key> FindKey(std::string_view path) const;

  std::size_t KeyCount() const { return keys_.size(); }

 private:
  // Indexed by the normalised path: lower-cased, single '\' separators, no
  // leading or trailing separator.
  std::map<std::string, Key> keys_;

  friend class Parser;
};

// The normalised form of a key path as the index uses it.
std::string NormaliseKeyPath(std::string_view path);

// Resolves the escapes of a quoted text as the hive format writes them.
// `text` starts after the opening quote. On success returns the UTF-8 text
// and sets `consumed` to the bytes read including the closing `terminator`;
// nothing when the terminator is missing.
std::optional<std::string> Unescape(std::string_view text, char terminator, std::size_t* consumed);

}  // namespace hive

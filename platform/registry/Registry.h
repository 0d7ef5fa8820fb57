// The registry accessor: reads keys and values of the root's hive files
// (HKEY_LOCAL_MACHINE from system.reg, HKEY_CURRENT_USER from user.reg). It
// never writes: the program only reads the registry.
#pragma once

#include <cstdint>

#include "platform/gui/Exception.h"
#include "platform/registry/Hive.h"
#include "platform/text/Text.h"

using HKEY = uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

// The accessor's read error: a value of another type than the one asked for.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class TRegistry {
 public:
  TRegistry() = default;

  HKEY RootKey() const { return rootKey_; }
  // Switching to another root closes the open key.
  void SetRootKey(HKEY root);

  // Opens an existing key for full access and makes it the current key. A
  // path with a leading '\' counts from the root key, any other from the
  // current key (from the root when none is open). Returns false, leaving the
  // current key as it was, when the key is missing or full access is refused:
  // the hive file is not writable for this user, or the fault seam fires for
  // the call "RegOpenKey" with the key's full path ("HKEY_LOCAL_MACHINE\...").
  // Keys are never created here: `canCreate` true behaves as false.
  bool OpenKey(const AnsiString& key, bool canCreate);

  // The text of a string or expandable string value of the current key, the
  // latter unexpanded. Empty when no key is open, the value is missing or its
  // data is empty. A value of any other type raises ERegistryException.
  AnsiString ReadString(const AnsiString& name) const;

  void CloseKey();

  bool HasCurrentKey() const { return open_; }
  // The current key's path from the root, without a leading '\'; empty when
  // no key is open.
  const AnsiString& CurrentPath() const { return currentPath_; }

 private:
  HKEY rootKey_ = HKEY_CURRENT_USER;
  bool open_ = false;
  AnsiString currentPath_;
  hive::Key current_;
};

#include "platform/shell/ShellLink.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/shell/LnkWriter.h"
#include "platform/system/Fault.h"
#include "platform/system/Paths.h"
#include "platform/text/Text.h"

namespace {

std::atomic<int> liveObjects{0};

DWORD Win32ErrorFromErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ERROR_ACCESS_DENIED;  // EACCES, EPERM, EROFS, EISDIR, ...
  }
}

HRESULT FromErrno(int e) { return HRESULT_FROM_WIN32(Win32ErrorFromErrno(e)); }

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes `bytes` under the temporary name, then renames it into place, so a
// reader sees the old file or the whole new one, and a failure leaves nothing.
HRESULT WriteReplacing(const std::string& hostPath, const std::string& bytes) {
  const std::string temp = shell_link::TempPathFor(hostPath);
  if (temp.empty()) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
  ::unlink(temp.c_str());  // a leftover of an earlier, interrupted save
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return FromErrno(errno);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), hostPath.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (ok) return S_OK;
  ::unlink(temp.c_str());
  return FromErrno(saved);
}

HRESULT CopyOut(const AnsiString& text, char* out, int size) {
  if (out == nullptr || size <= 0) return E_INVALIDARG;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return S_OK;
}

class ShellLink final : public IShellLinkA, public IPersistFile {
 public:
  ShellLink() { ++liveObjects; }
  ~ShellLink() { --liveObjects; }
  ShellLink(const ShellLink&) = delete;
  ShellLink& operator=(const ShellLink&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
      *object = static_cast<IShellLinkA*>(this);
    } else if (iid == IID_IPersistFile || iid == IID_IPersist) {
      *object = static_cast<IPersistFile*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT SetPath(const char* file) override {
    if (file == nullptr) return E_INVALIDARG;
    path_ = file;
    return S_OK;
  }
  HRESULT GetPath(char* file, int size, WIN32_FIND_DATAA* /*findData*/, DWORD /*flags*/) override {
    const HRESULT hr = CopyOut(path_, file, size);
    return (SUCCEEDED(hr) && path_.empty()) ? S_FALSE : hr;
  }
  HRESULT SetDescription(const char* name) override {
    if (name == nullptr) return E_INVALIDARG;
    if (Utf16FromAnsi(name).size() > 0xFFFF) return E_INVALIDARG;  // the file counts in 16 bits
    description_ = name;
    return S_OK;
  }
  HRESULT GetDescription(char* name, int size) override { return CopyOut(description_, name, size); }

  HRESULT Save(const char16_t* fileName, BOOL remember) override {
    if (fileName == nullptr) return E_INVALIDARG;
    const AnsiString winPath = AnsiFromUtf16(fileName);
    if (auto rule = fault::Check("ShellLinkSave", winPath)) return HRESULT_FROM_WIN32(rule->error);
    DWORD error = 0;
    const auto hostPath = paths::ToHost(winPath, &error);
    if (!hostPath) return HRESULT_FROM_WIN32(error != 0 ? error : ERROR_PATH_NOT_FOUND);

    lnk::LinkData data;
    data.targetAnsi = path_;
    data.targetUnicode = Utf16FromAnsi(path_);
    data.description = Utf16FromAnsi(description_);
    const HRESULT hr = WriteReplacing(*hostPath, lnk::Build(data));
    if (SUCCEEDED(hr) && remember) currentFile_ = winPath;
    return hr;
  }

 private:
  std::atomic<ULONG> refs_{1};
  AnsiString path_;
  AnsiString description_;
  AnsiString currentFile_;
};

}  // namespace

namespace shell_link {

IUnknown* CreateObject() {
  return static_cast<IShellLinkA*>(new (std::nothrow) ShellLink());
}

int LiveObjects() { return liveObjects.load(); }

std::string TempPathFor(const std::string& hostLinkPath) {
  const std::size_t slash = hostLinkPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : hostLinkPath.substr(0, slash + 1);
  const std::string name = hostLinkPath.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.empty()) return {};
  return folder + "." + name + ".tmp";
}

}  // namespace shell_link

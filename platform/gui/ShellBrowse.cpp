#include "ShellBrowse.h"

#include <cstring>
#include <set>

#include "Dialogs.h"

struct ITEMIDLIST {
  AnsiString path;
};

namespace {

std::set<const ITEMIDLIST*>& LiveLists() {
  static std::set<const ITEMIDLIST*> live;
  return live;
}

// Copies `text` with its terminating zero into a MAX_PATH buffer; false when
// it does not fit (the buffer gets "").
bool CopyPath(const AnsiString& text, char* out) {
  if (text.empty() || text.size() > MAX_PATH - 1) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

class ShellAllocator : public IMalloc {
 public:
  void Free(void* block) override {
    auto* list = static_cast<const ITEMIDLIST*>(block);
    if (LiveLists().erase(list) != 0) delete list;  // anything else is not ours
  }
  ULONG Release() override { return refs_ > 0 ? --refs_ : 0; }
  void AddRef() { ++refs_; }

 private:
  ULONG refs_ = 0;
};

ShellAllocator& Allocator() {
  static ShellAllocator allocator;
  return allocator;
}

}  // namespace

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info) {
  if (info == nullptr) return nullptr;
  const AnsiString title = info->lpszTitle != nullptr ? info->lpszTitle : "";
  const std::optional<AnsiString> chosen = CurrentDialogHost().BrowseForFolder(title, info->hwndOwner);
  if (!chosen) return nullptr;
  auto* list = new ITEMIDLIST{*chosen};
  LiveLists().insert(list);
  if (info->pszDisplayName != nullptr) {
    const AnsiString name = ExtractFileName(*chosen);
    CopyPath(name.empty() ? *chosen : name, info->pszDisplayName);
  }
  return list;
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, char* path) {
  if (path == nullptr) return CORVALEN_FALSE;
  if (list == nullptr || LiveLists().count(list) == 0) {
    path[0] = '\0';
    return CORVALEN_FALSE;
  }
  return CopyPath(list->path, path) ? CORVALEN_TRUE : CORVALEN_FALSE;
}

HRESULT SHGetMalloc(IMalloc** malloc) {
  if (malloc == nullptr) return E_INVALIDARG;
  Allocator().AddRef();
  *malloc = &Allocator();
  return S_OK;
}

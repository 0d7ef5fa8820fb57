// The shell's folder browser as the browse button calls it: a record of
// parameters, an item list for the chosen folder, its path, and the
// allocator that frees the list. The browser itself is the dialog host's.
#pragma once

#include <cstdint>

#include "platform/abi/wintypes.h"
#include "platform/shell/Com.h"

// The chosen item (opaque). It holds the folder's path.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

using BFFCALLBACK = int (*)(void* window, UINT message, intptr_t lParam, intptr_t data);

struct BROWSEINFOA {
  void* hwndOwner;              // the owner window (a form's Handle) or null
  PCIDLIST_ABSOLUTE pidlRoot;   // must be null: the browser starts at the top
  char* pszDisplayName;         // null, or MAX_PATH bytes for the chosen folder's name
  const char* lpszTitle;        // the browser's title
  UINT ulFlags;                 // every folder offered has a path; flags change nothing
  BFFCALLBACK lpfn;             // not called: the browser sends no messages
  intptr_t lParam;
  int iImage;
};

// Shows the modal folder browser. Returns the chosen item, to be freed with
// the shell allocator, or null when the user cancelled.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info);

// Writes the item's path into `path` (MAX_PATH bytes): at most 259 bytes and
// a terminating zero. An item without a path, or a path that does not fit,
// writes "" and returns FALSE.
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, char* path);

// The shell's allocator: frees item lists.
struct IMalloc {
  virtual void Free(void* block) = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IMalloc() = default;
};

// Stores the allocator in `*malloc`; S_OK.
HRESULT SHGetMalloc(IMalloc** malloc);

#include "platform/shell/Com.h"

#include "platform/shell/ShellLink.h"

namespace {
// How many times COM was initialised on this thread and not yet ended.
thread_local int initCount = 0;
}  // namespace

HRESULT CoInitialize(void* /*reserved*/) { return initCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (initCount > 0) --initCount;
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid,
                         void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (initCount == 0) return CO_E_NOTINITIALIZED;
  if (!(clsid == CLSID_ShellLink) || (context & CLSCTX_INPROC_SERVER) == 0) {
    return REGDB_E_CLASSNOTREG;
  }
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  IUnknown* created = shell_link::CreateObject();
  if (created == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = created->QueryInterface(iid, object);
  created->Release();  // the interface asked for holds the object now, if any
  return hr;
}

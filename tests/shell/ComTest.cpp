// COM's shape: per-thread initialisation, object creation, reference counts.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/shell/ShellLink.h"

namespace {

// COM initialised for one test body on this thread.
struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

HRESULT CreateLink(IShellLinkA** link) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                          reinterpret_cast<void**>(link));
}

TEST(Com, CreatingAnObjectNeedsCoInitializeOnTheThread) {
  const int before = shell_link::LiveObjects();
  static char garbage;
  IShellLinkA* link = reinterpret_cast<IShellLinkA*>(&garbage);
  const HRESULT hr = CreateLink(&link);
  EXPECT_EQ(hr, CO_E_NOTINITIALIZED);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(link, nullptr);
  EXPECT_EQ(shell_link::LiveObjects(), before);

  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // nested
  CoUninitialize();
  ASSERT_EQ(CreateLink(&link), S_OK);  // still initialised once
  link->Release();
  CoUninitialize();
  EXPECT_EQ(CreateLink(&link), CO_E_NOTINITIALIZED);
  CoUninitialize();  // one too many does no harm
  EXPECT_EQ(CreateLink(&link), CO_E_NOTINITIALIZED);
}

TEST(Com, InitialisationBelongsToOneThread) {
  ComScope com;
  HRESULT other = S_OK;
  std::thread([&other] {
    IShellLinkA* link = nullptr;
    other = CreateLink(&link);
  }).join();
  EXPECT_EQ(other, CO_E_NOTINITIALIZED);
}

TEST(Com, CreationFailures) {
  ComScope com;
  const int before = shell_link::LiveObjects();
  void* object = nullptr;
  const CLSID unknown = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, 0x4 /* local server */, IID_IShellLinkA,
                             &object),
            REGDB_E_CLASSNOTREG);
  IShellLinkA* outer = nullptr;
  ASSERT_EQ(CreateLink(&outer), S_OK);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, outer, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &object),
            CLASS_E_NOAGGREGATION);
  outer->Release();
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, unknown, &object),
            E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, nullptr),
            E_POINTER);
  EXPECT_EQ(shell_link::LiveObjects(), before);  // nothing created was left behind
}

TEST(Com, ReferenceCountsAndInterfaces) {
  ComScope com;
  const int before = shell_link::LiveObjects();
  IShellLinkA* link = nullptr;
  ASSERT_EQ(CreateLink(&link), S_OK);
  EXPECT_EQ(shell_link::LiveObjects(), before + 1);

  IPersistFile* file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  ASSERT_NE(file, nullptr);
  // Both interfaces lead to the same object identity.
  IUnknown* fromLink = nullptr;
  IUnknown* fromFile = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromLink)), S_OK);
  ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromFile)), S_OK);
  EXPECT_EQ(fromLink, fromFile);
  EXPECT_EQ(fromLink->Release(), 3u);
  EXPECT_EQ(fromFile->Release(), 2u);

  void* none = link;
  const IID unknown = {0xDEADBEEF, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
  EXPECT_EQ(link->QueryInterface(unknown, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);

  EXPECT_EQ(link->AddRef(), 3u);
  EXPECT_EQ(link->Release(), 2u);
  EXPECT_EQ(file->Release(), 1u);
  EXPECT_EQ(shell_link::LiveObjects(), before + 1);
  EXPECT_EQ(link->Release(), 0u);
  EXPECT_EQ(shell_link::LiveObjects(), before);
}

TEST(Com, LinkPropertiesReadBack) {
  ComScope com;
  IShellLinkA* link = nullptr;
  ASSERT_EQ(CreateLink(&link), S_OK);
  char buffer[16];
  EXPECT_EQ(link->GetPath(buffer, sizeof buffer, nullptr, 0), S_FALSE);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(link->SetPath(nullptr), E_INVALIDARG);
  EXPECT_EQ(link->SetPath("C:\\A\\Corvan.exe"), S_OK);
  EXPECT_EQ(link->GetPath(buffer, sizeof buffer, nullptr, 0), S_OK);
  EXPECT_STREQ(buffer, "C:\\A\\Corvan.exe");
  char small[6];
  EXPECT_EQ(link->GetPath(small, sizeof small, nullptr, 0), S_OK);
  EXPECT_STREQ(small, "C:\\A\\");  // cut to fit, terminated
  EXPECT_EQ(link->SetDescription(""), S_OK);
  EXPECT_EQ(link->GetDescription(buffer, sizeof buffer), S_OK);
  EXPECT_STREQ(buffer, "");
  link->Release();
}

}  // namespace

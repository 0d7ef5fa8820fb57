// The window's life: the entry runs it, Cancel closes it, and destroying it
// unloads the imaging library once.
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <optional>

#include "app/Entry.h"
#include "picture/ImageLibrary.h"
#include "platform/gui/Forms.h"
#include "tests/setup_window/FrameFixture.h"

namespace {

// The seven modules of the imaging library, beside the installer.
void PutImagingLibraryInto(const TempRoot& root, const std::string& folder) {
  for (const char* module : {IMAGING_MODULE_FILES}) {
    const std::filesystem::path from(module);
    std::filesystem::copy_file(from, root.Host(folder + "\\" + from.filename().string()));
  }
}

// Counts how often the form's OnDestroy runs.
class CountingFrame : public TFrameForm {
 public:
  explicit CountingFrame(TApplication* owner) : TFrameForm(owner) {
    std::function<void()> inner = OnDestroy;
    OnDestroy = [inner] {
      ++destroyed;
      inner();
    };
  }
  static inline int destroyed = 0;
};

TEST_F(FrameTest, CancelRightAfterStartEndsTheEntryWithZero) {
  PutImagingLibraryInto(*root_, "C:\\dist");
  std::optional<int> modulesWhileOpen;
  bool shown = false;
  QTimer::singleShot(0, [&] {
    ASSERT_NE(FrameForm, nullptr);
    modulesWhileOpen = imagelibrary::LoadedModules();
    shown = FrameForm->Widget()->isVisible();
    FrameForm->Button2->Click();
  });
  const int code = RunSetup();
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(modulesWhileOpen, 7);
  EXPECT_EQ(imagelibrary::LoadedModules(), 0);
  EXPECT_EQ(FrameForm, nullptr);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FrameTest, ClosingEndsRunAndDestroyingRunsFormDestroyOnce) {
  PutImagingLibraryInto(*root_, "C:\\dist");
  CountingFrame::destroyed = 0;
  CountingFrame* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(imagelibrary::LoadedModules(), 7);
  QTimer::singleShot(0, [&] { form->Button2->Click(); });
  Application->Run();
  EXPECT_TRUE(form->Closed());
  // Closing alone leaves the form and its library in place.
  EXPECT_EQ(CountingFrame::destroyed, 0);
  EXPECT_EQ(imagelibrary::LoadedModules(), 7);
  Application->DestroyForms();
  EXPECT_EQ(CountingFrame::destroyed, 1);
  EXPECT_EQ(imagelibrary::LoadedModules(), 0);
  Application->DestroyForms();
  EXPECT_EQ(CountingFrame::destroyed, 1);
}

}  // namespace

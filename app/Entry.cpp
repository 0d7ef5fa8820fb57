#include "app/Entry.h"

#include "platform/gui/Forms.h"
#include "setup_window/Frame.h"

int RunSetup() {
  try {
    Application->Initialize();
    Application->CreateForm(FrameForm);
    Application->Run();
  } catch (const Exception& e) {
    Application->ShowException(e);
  }
  Application->DestroyForms();
  return 0;
}

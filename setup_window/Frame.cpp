// The setup window: construction from the form description, creation and
// destruction of the form's own fields.
#include "setup_window/Frame.h"

#include "platform/system/Files.h"
#include "setup_window/WorkingFolder.h"

TFrameForm* FrameForm = nullptr;

TFrameForm::TFrameForm(TApplication* /*owner*/) : TForm("FrameForm") {
  BindField("Panel1", Panel1);
  BindField("Panel2", Panel2);
  BindField("Panel3", Panel3);
  BindField("Panel4", Panel4);
  BindField("Panel5", Panel5);
  BindField("Button1", Button1);
  BindField("Button2", Button2);
  BindField("Label1", Label1);
  BindField("Label2", Label2);
  BindField("Label3", Label3);
  BindField("Label4", Label4);
  BindField("Label5", Label5);
  BindField("Image1", Image1);
  BindField("Label6", Label6);
  BindField("Edit1", Edit1);
  BindField("Button3", Button3);

  BindEvent("Button1Click", [this] { Button1Click(this); });
  BindEvent("Button2Click", [this] { Button2Click(this); });
  BindEvent("Button3Click", [this] { Button3Click(this); });
  BindEvent("FormResize", [this] { FormResize(this); });
  BindEvent("FormCreate", [this] { FormCreate(this); });
  BindEvent("FormDestroy", [this] { FormDestroy(this); });

  LoadFromResource("TFRAMEFORM");

  DesktopFolder.clear();
  ProgramFilesFolder.clear();
}

TFrameForm::~TFrameForm() {
  PluginList.reset();
  ProgramFilesFolder.clear();
  DesktopFolder.clear();
  // The global reference must not outlive the form it names.
  if (FrameForm == this) FrameForm = nullptr;
}

void TFrameForm::FormCreate(void* /*sender*/) {
  PluginCount = 0;
  PluginList = std::make_unique<TStringList>();
  ReadDefaultFolders();
  WithInstallerFolder([this] {
    FindPlugins();
    LoadImageLibrary();
  });
}

void TFrameForm::FormDestroy(void* /*sender*/) { FreeImageLibrary(); }

AnsiString TFrameForm::InstallerFolder() const { return ExtractFileDir(Application->ExeName()); }

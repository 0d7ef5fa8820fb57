// The window layout: two columns (60 % and the rest of the width), each a
// fixed-height panel and a flexible one, above the status line.
#include "setup_window/Frame.h"

void TFrameForm::ArrangePanels() {
  const int32_t w = ClientWidth();
  const int32_t h = ClientHeight();
  const int32_t left = (w * 60) / 100;
  const int32_t right = w - left;

  Panel1->SetLeft(0);
  Panel1->SetTop(0);
  Panel1->SetWidth(left);
  Panel1->SetHeight(120);

  Panel2->SetLeft(0);
  Panel2->SetTop(120);
  Panel2->SetWidth(left);
  Panel2->SetHeight(h - 120 - Panel5->Height());

  Panel3->SetLeft(left);
  Panel3->SetTop(0);
  Panel3->SetWidth(right);
  Panel3->SetHeight(h - 200 - Panel5->Height());

  // Panel4 starts where Panel3 really ends and the edit box follows Panel4's
  // real width, whatever the controls made of the values handed to them.
  Panel4->SetLeft(left);
  Panel4->SetTop(Panel3->Height());
  Panel4->SetWidth(right);
  Panel4->SetHeight(200);

  Edit1->SetWidth(Panel4->Width() - 32);
}

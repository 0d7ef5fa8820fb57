// The controls a form description can hold, over Qt widgets. Bounds are set
// one value at a time and take effect at once; reading returns what the
// control holds now. A negative width or height is taken as 0 (the widget
// cannot be smaller), so such a value reads back as 0.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Graphics.h"
#include "platform/text/Text.h"

class QWidget;
class TForm;
class TPicture;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A colour: 0x00BBGGRR, or a desktop colour (clSystemColor plus its index)
// that follows the palette of the running desktop.
using TColor = unsigned;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clWindow = clSystemColor | 5u;
constexpr TColor clWindowText = clSystemColor | 8u;
constexpr TColor clBtnFace = clSystemColor | 15u;
constexpr TColor clBtnText = clSystemColor | 18u;
constexpr TColor clBlack = 0x000000u;
constexpr TColor clMaroon = 0x000080u;
constexpr TColor clGreen = 0x008000u;
constexpr TColor clNavy = 0x800000u;
constexpr TColor clGray = 0x808080u;
constexpr TColor clSilver = 0xC0C0C0u;
constexpr TColor clRed = 0x0000FFu;
constexpr TColor clBlue = 0xFF0000u;
constexpr TColor clWhite = 0xFFFFFFu;

struct TFont {
  AnsiString Name;     // as the form description names it ("ＭＳ Ｐゴシック"), active code page
  int Height = -12;    // negative: character height in pixels; 0: the desktop's size
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = clWindowText;
};

// The desktop font family that stands in for a font named in a form
// description (UTF-8): "ＭＳ Ｐゴシック" -> "IPAPGothic", "ＭＳ Ｐ明朝" -> "IPAPMincho";
// any other name is used as it stands.
std::string FontFamilyFor(std::string_view utf8Name);

class TControl {
 public:
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  void SetBounds(int left, int top, int width, int height);

  const AnsiString& Name() const { return name_; }
  TControl* Parent() const { return parent_; }
  const std::vector<TControl*>& Children() const { return children_; }

  // The font in use. A control whose font was never set uses its parent's
  // font and follows it when the parent's font changes.
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  // True: take the parent's font again.
  void SetParentFont(bool parentFont);

  // Tab order among the siblings; -1 when the control has none.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);

  // alBottom keeps the control along the parent's bottom edge at the full
  // client width (likewise alTop, alLeft, alRight, alClient), whenever the
  // parent's size or the control's own size changes.
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  // Background colour, for the controls that paint one (forms and panels).
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  QWidget* Widget() const { return widget_; }

  // Lays out the children that have an alignment in this control's client area.
  void Realign();
  // Called once the form description has set every property of the control.
  virtual void Loaded() {}
  // True while a form description sets the control's properties: sizes that
  // follow from its text and font are worked out once, in Loaded.
  bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }

 protected:
  // Takes ownership of `widget`, which must already be a child of the
  // parent's widget (or a window when `parent` is null).
  TControl(QWidget* widget, TControl* parent, AnsiString name);
  virtual void FontChanged() {}
  virtual void ColorChanged();
  QWidget* widget_;

 private:
  void ApplyFont();
  void InheritFont();
  TControl* parent_;
  AnsiString name_;
  std::vector<TControl*> children_;
  TFont font_;
  bool parentFont_ = true;
  int tabOrder_ = -1;
  TAlign align_ = alNone;
  TColor color_ = clBtnFace;
  bool loading_ = false;
};

// A plain container that paints its colour, its bevels and its caption (one
// line, vertically centred).
class TPanel : public TControl {
 public:
  TPanel(TControl* parent, AnsiString name);
  // Exactly the text last written.
  const AnsiString& Caption() const { return caption_; }
  // Stores the text and repaints the panel at once, so that it shows even
  // while the handler that set it is still running.
  void SetCaption(const AnsiString& text);
  TBevelCut BevelInner() const { return bevelInner_; }
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevels(TBevelCut inner, TBevelCut outer);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  void SetCaptionLeftJustified(bool left) { SetAlignment(left ? taLeftJustify : taCenter); }

 protected:
  void ColorChanged() override;

 private:
  AnsiString caption_;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  TAlignment alignment_ = taCenter;
};

// A one-line text that sizes itself to its text and font.
class TLabel : public TControl {
 public:
  TLabel(TControl* parent, AnsiString name);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& text);
  void Loaded() override;

 protected:
  void FontChanged() override;

 private:
  AnsiString caption_;
};

// A push button. It is never a default or cancel button: Enter and Space
// press only the button that has the focus.
class TButton : public TControl {
 public:
  TButton(TControl* parent, AnsiString name);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& text);
  void SetOnClick(std::function<void()> handler);
  // What a mouse click does: runs OnClick through the application's error
  // handling.
  void Click();

 private:
  AnsiString caption_;
  std::function<void()> onClick_;
};

// A one-line edit box.
class TEdit : public TControl {
 public:
  TEdit(TControl* parent, AnsiString name);
  // What the box holds now (also what the user typed), in the active code page.
  AnsiString Text() const;
  void SetText(const AnsiString& text);

 private:
  AnsiString text_;  // last text set, returned as such while the box still shows it
};

// Shows its picture's bitmap, stretched to its own bounds when Stretch is on.
// It repaints when its bounds change, when the bitmap changes and when the
// bitmap or its canvas handle is taken.
class TImage : public TControl {
 public:
  TImage(TControl* parent, AnsiString name);
  ~TImage() override;
  TPicture* Picture();
  // The canvas of the picture's bitmap (the picture is made to hold one).
  TCanvas* Canvas();
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
};

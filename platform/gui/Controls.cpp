#include "Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "Forms.h"
#include "QtText.h"
#include "Widgets.h"

std::string FontFamilyFor(std::string_view utf8Name) {
  if (utf8Name == "ＭＳ Ｐゴシック") return "IPAPGothic";
  if (utf8Name == "ＭＳ Ｐ明朝") return "IPAPMincho";
  return std::string(utf8Name);
}

// ---- TControl ----

TControl::TControl(QWidget* widget, TControl* parent, AnsiString name)
    : widget_(widget), parent_(parent), name_(std::move(name)) {
  if (parent_ != nullptr) {
    parent_->children_.push_back(this);
    font_ = parent_->font_;
  }
  ApplyFont();
}

TControl::~TControl() {
  // Children normally go first; one that outlives us keeps its widget.
  for (TControl* child : children_) {
    child->parent_ = nullptr;
    child->widget_->setParent(nullptr);
  }
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  delete widget_;
}

int TControl::Left() const { return widget_->x(); }
int TControl::Top() const { return widget_->y(); }
int TControl::Width() const { return widget_->width(); }
int TControl::Height() const { return widget_->height(); }

void TControl::SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
void TControl::SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
void TControl::SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
void TControl::SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (widget_->isWindow()) {
    // Moving a window fixes its place; leave it to the window system until
    // a position is really asked for.
    if (QPoint(left, top) != widget_->pos()) widget_->move(left, top);
    widget_->resize(width, height);
  } else {
    widget_->setGeometry(left, top, width, height);
  }
  // A hidden widget gets its resize event only when shown; lay out now.
  Realign();
  if (align_ != alNone && parent_ != nullptr) parent_->Realign();
}

void TControl::Realign() {
  int x = 0, y = 0, w = widget_->width(), h = widget_->height();
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : children_) {
      if (c->align_ != pass) continue;
      QWidget* cw = c->widget_;
      switch (pass) {
        case alTop:
          cw->setGeometry(x, y, w, cw->height());
          y += cw->height();
          h = std::max(0, h - cw->height());
          break;
        case alBottom:
          cw->setGeometry(x, y + h - cw->height(), w, cw->height());
          h = std::max(0, h - cw->height());
          break;
        case alLeft:
          cw->setGeometry(x, y, cw->width(), h);
          x += cw->width();
          w = std::max(0, w - cw->width());
          break;
        case alRight:
          cw->setGeometry(x + w - cw->width(), y, cw->width(), h);
          w = std::max(0, w - cw->width());
          break;
        case alClient:
          cw->setGeometry(x, y, w, h);
          break;
        case alNone:
          break;
      }
      c->Realign();
    }
  }
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetColor(TColor color) {
  color_ = color;
  ColorChanged();
}

void TControl::ColorChanged() {
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, ToQColor(color_));
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  parentFont_ = false;
  ApplyFont();
  FontChanged();
  for (TControl* child : children_) {
    if (child->parentFont_) child->InheritFont();
  }
}

void TControl::SetParentFont(bool parentFont) {
  parentFont_ = parentFont;
  if (parentFont && parent_ != nullptr) InheritFont();
}

void TControl::InheritFont() {
  font_ = parent_->font_;
  ApplyFont();
  FontChanged();
  for (TControl* child : children_) {
    if (child->parentFont_) child->InheritFont();
  }
}

void TControl::ApplyFont() {
  QFont font;
  const std::string name = Utf8FromAnsi(font_.Name);
  if (!name.empty()) font.setFamily(QString::fromStdString(FontFamilyFor(name)));
  if (font_.Height != 0) font.setPixelSize(std::abs(font_.Height));
  font.setBold(font_.Bold);
  font.setItalic(font_.Italic);
  font.setUnderline(font_.Underline);
  font.setStrikeOut(font_.StrikeOut);
  widget_->setFont(font);
  QPalette palette = widget_->palette();
  const QColor color = ToQColor(font_.Color);
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::ButtonText, color);
  palette.setColor(QPalette::Text, color);
  widget_->setPalette(palette);
}

void TControl::SetTabOrder(int order) {
  tabOrder_ = order;
  TControl* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  ApplyTabChain(root);
}

namespace {

void CollectTabChain(const TControl* control, std::vector<QWidget*>& chain) {
  std::vector<TControl*> kids = control->Children();
  std::stable_sort(kids.begin(), kids.end(), [](const TControl* a, const TControl* b) {
    const int ka = a->TabOrder() < 0 ? INT_MAX : a->TabOrder();
    const int kb = b->TabOrder() < 0 ? INT_MAX : b->TabOrder();
    return ka < kb;
  });
  for (TControl* kid : kids) {
    if ((kid->Widget()->focusPolicy() & Qt::TabFocus) != 0) chain.push_back(kid->Widget());
    CollectTabChain(kid, chain);
  }
}

}  // namespace

void ApplyTabChain(TControl* root) {
  std::vector<QWidget*> chain;
  CollectTabChain(root, chain);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

// ---- TPanel ----

TPanel::TPanel(TControl* parent, AnsiString name)
    : TControl(new PanelWidget(parent != nullptr ? parent->Widget() : nullptr, this), parent, std::move(name)) {}

void TPanel::SetCaption(const AnsiString& text) {
  caption_ = text;
  widget_->update();
  widget_->repaint();
}

void TPanel::SetBevels(TBevelCut inner, TBevelCut outer) {
  bevelInner_ = inner;
  bevelOuter_ = outer;
  widget_->update();
}

void TPanel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  widget_->update();
}

void TPanel::ColorChanged() { widget_->update(); }

// ---- TLabel ----

TLabel::TLabel(TControl* parent, AnsiString name)
    : TControl(new QLabel(parent != nullptr ? parent->Widget() : nullptr), parent, std::move(name)) {
  static_cast<QLabel*>(widget_)->setTextFormat(Qt::PlainText);
  widget_->adjustSize();
}

void TLabel::SetCaption(const AnsiString& text) {
  caption_ = text;
  static_cast<QLabel*>(widget_)->setText(ToQString(text));
  if (!Loading()) widget_->adjustSize();
}

// Measuring a text lays it out and loads the fonts for its scripts: while
// loading, the caption and the font are measured once, together.
void TLabel::FontChanged() {
  if (!Loading()) widget_->adjustSize();
}
void TLabel::Loaded() { widget_->adjustSize(); }

// ---- TButton ----

TButton::TButton(TControl* parent, AnsiString name)
    : TControl(new ButtonWidget(parent != nullptr ? parent->Widget() : nullptr), parent, std::move(name)) {
  QObject::connect(static_cast<QPushButton*>(widget_), &QPushButton::clicked, [this] { Click(); });
}

void TButton::SetCaption(const AnsiString& text) {
  caption_ = text;
  static_cast<QPushButton*>(widget_)->setText(ToQString(text));
}

void TButton::SetOnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

void TButton::Click() {
  if (!onClick_) return;
  const std::function<void()> handler = onClick_;  // the handler may replace OnClick
  Application->Dispatch(handler);
}

// ---- TEdit ----

TEdit::TEdit(TControl* parent, AnsiString name)
    : TControl(new QLineEdit(parent != nullptr ? parent->Widget() : nullptr), parent, std::move(name)) {}

AnsiString TEdit::Text() const {
  const QString shown = static_cast<QLineEdit*>(widget_)->text();
  // Bytes that do not survive the trip through Qt come back as they were set.
  if (shown == ToQString(text_)) return text_;
  return FromQString(shown);
}

void TEdit::SetText(const AnsiString& text) {
  text_ = text;
  static_cast<QLineEdit*>(widget_)->setText(ToQString(text));
}

// ---- TImage ----

namespace {
void RepaintImage(void* widget) { static_cast<QWidget*>(widget)->update(); }
}  // namespace

TImage::TImage(TControl* parent, AnsiString name)
    : TControl(new ImageWidget(parent != nullptr ? parent->Widget() : nullptr, this), parent, std::move(name)),
      picture_(std::make_unique<TPicture>()) {
  picture_->SetOnChange(&RepaintImage, widget_);
}

TImage::~TImage() { picture_.reset(); }

TPicture* TImage::Picture() { return picture_.get(); }

TCanvas* TImage::Canvas() { return picture_->Bitmap()->Canvas(); }

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  widget_->update();
}

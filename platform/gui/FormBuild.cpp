// Builds a form's controls from its text description.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "FormText.h"
#include "Forms.h"
#include "Resources.h"
#include "Widgets.h"

using formtext::Object;
using formtext::Property;
using formtext::SameName;
using formtext::Value;

class FormBuilder {
 public:
  FormBuilder(TForm& form, std::string source) : form_(form), source_(std::move(source)) {}

  void Build(const Object& root) {
    ApplyProperties(&form_, root);
    for (const Object& child : root.children) BuildControl(&form_, child);
    BindFields(root.line);
    ApplyTabChain(&form_);
    form_.Realign();
  }

 private:
  // Font entries are gathered and applied once the control's properties are read.
  struct FontEntries {
    TFont value;
    bool any = false;
    int parentFont = -1;  // -1: not written; 0: False; 1: True
  };

  template <class E>
  using Names = std::initializer_list<std::pair<const char*, E>>;

  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw Exception("Form description " + source_ + ", line " + std::to_string(line) + ": " + what);
  }

  void BuildControl(TControl* parent, const Object& obj) {
    if (dynamic_cast<TForm*>(parent) == nullptr && dynamic_cast<TPanel*>(parent) == nullptr) {
      Fail(obj.line, parent->Name() + " cannot hold " + obj.name);
    }
    if (form_.FindControl(obj.name) != nullptr) Fail(obj.line, "a second control named " + obj.name);
    std::unique_ptr<TControl> control;
    if (SameName(obj.className, "TPanel")) {
      control = std::make_unique<TPanel>(parent, obj.name);
    } else if (SameName(obj.className, "TLabel")) {
      control = std::make_unique<TLabel>(parent, obj.name);
    } else if (SameName(obj.className, "TButton")) {
      control = std::make_unique<TButton>(parent, obj.name);
    } else if (SameName(obj.className, "TEdit")) {
      control = std::make_unique<TEdit>(parent, obj.name);
    } else if (SameName(obj.className, "TImage")) {
      control = std::make_unique<TImage>(parent, obj.name);
    } else {
      Fail(obj.line, "unknown class " + obj.className + " of " + obj.name);
    }
    TControl* made = control.get();
    form_.controls_.push_back(std::move(control));
    made->SetLoading(true);
    ApplyProperties(made, obj);
    made->SetLoading(false);
    made->Loaded();
    for (const Object& child : obj.children) BuildControl(made, child);
  }

  void BindFields(int line) {
    for (const auto& [name, bind] : form_.fieldBinders_) {
      TControl* control = form_.FindControl(name);
      if (control == nullptr) Fail(line, "no control named " + name);
      if (!bind(control)) Fail(line, "control " + name + " is not of its field's class");
    }
  }

  void ApplyProperties(TControl* c, const Object& obj) {
    FontEntries font;
    font.value = c->Font();
    for (const Property& p : obj.properties) Apply(c, obj, p, font);
    if (font.parentFont == 1) {
      c->SetParentFont(true);
    } else if (font.any) {
      c->SetFont(font.value);
    } else if (font.parentFont == 0) {
      c->SetParentFont(false);
    }
  }

  int Int(const Property& p) const {
    if (p.value.kind != Value::Kind::Integer) Fail(p.line, p.name + ": a number is expected");
    if (p.value.integer < INT32_MIN || p.value.integer > INT32_MAX) Fail(p.line, p.name + ": number out of range");
    return static_cast<int>(p.value.integer);
  }

  bool Bool(const Property& p) const { return Enum<bool>(p, {{"False", false}, {"True", true}}); }

  AnsiString Text(const Property& p) const {
    if (p.value.kind != Value::Kind::String) Fail(p.line, p.name + ": a string is expected");
    return AnsiFromUtf8(p.value.text);
  }

  template <class E>
  E Enum(const Property& p, Names<E> names) const {
    if (p.value.kind == Value::Kind::Identifier) {
      for (const auto& [name, value] : names) {
        if (SameName(p.value.text, name)) return value;
      }
    }
    Fail(p.line, p.name + ": unsupported value " + Shown(p.value));
  }

  std::vector<std::string> Set(const Property& p, std::initializer_list<const char*> allowed) const {
    if (p.value.kind != Value::Kind::Set) Fail(p.line, p.name + ": a set is expected");
    for (const std::string& item : p.value.items) {
      bool known = false;
      for (const char* a : allowed) known = known || SameName(item, a);
      if (!known) Fail(p.line, p.name + ": unsupported element " + item);
    }
    return p.value.items;
  }

  static bool Has(const std::vector<std::string>& items, const char* name) {
    for (const std::string& item : items) {
      if (SameName(item, name)) return true;
    }
    return false;
  }

  TColor Color(const Property& p) const {
    if (p.value.kind == Value::Kind::Integer) {
      if (p.value.integer < 0 || p.value.integer > 0xFFFFFF) Fail(p.line, p.name + ": unsupported colour");
      return static_cast<TColor>(p.value.integer);
    }
    return Enum<TColor>(p, {{"clBlack", clBlack},
                            {"clMaroon", clMaroon},
                            {"clGreen", clGreen},
                            {"clNavy", clNavy},
                            {"clGray", clGray},
                            {"clSilver", clSilver},
                            {"clRed", clRed},
                            {"clBlue", clBlue},
                            {"clWhite", clWhite},
                            {"clWindow", clWindow},
                            {"clWindowText", clWindowText},
                            {"clBtnFace", clBtnFace},
                            {"clBtnText", clBtnText}});
  }

  std::function<void()> Handler(const Property& p) const {
    if (p.value.kind != Value::Kind::Identifier) Fail(p.line, p.name + ": a handler name is expected");
    const auto it = form_.events_.find(p.value.text);
    if (it == form_.events_.end()) Fail(p.line, p.name + ": no handler named " + p.value.text);
    return it->second;
  }

  static std::string Shown(const Value& v) {
    switch (v.kind) {
      case Value::Kind::Integer: return std::to_string(v.integer);
      case Value::Kind::String: return "'" + v.text + "'";
      case Value::Kind::Identifier: return v.text;
      case Value::Kind::Set: return "[...]";
    }
    return {};
  }

  void Apply(TControl* c, const Object& obj, const Property& p, FontEntries& font) {
    auto* form = dynamic_cast<TForm*>(c);
    auto* panel = dynamic_cast<TPanel*>(c);
    auto* label = dynamic_cast<TLabel*>(c);
    auto* button = dynamic_cast<TButton*>(c);
    auto* edit = dynamic_cast<TEdit*>(c);
    auto* image = dynamic_cast<TImage*>(c);
    const auto is = [&p](const char* name) { return SameName(p.name, name); };

    // Bounds. A form's position is used only when its Position says so.
    if (is("Left")) return form ? void(form->designLeft_ = Int(p)) : c->SetLeft(Int(p));
    if (is("Top")) return form ? void(form->designTop_ = Int(p)) : c->SetTop(Int(p));
    if (is("Width")) return c->SetWidth(Int(p));
    if (is("Height")) return c->SetHeight(Int(p));
    if (form && is("ClientWidth")) return form->SetClientWidth(Int(p));
    if (form && is("ClientHeight")) return form->SetClientHeight(Int(p));

    // Texts.
    if (is("Caption")) {
      if (form) return form->SetCaption(Text(p));
      if (panel) return panel->SetCaption(Text(p));
      if (label) return label->SetCaption(Text(p));
      if (button) return button->SetCaption(Text(p));
    }
    if (edit && is("Text")) return edit->SetText(Text(p));

    // Placement and look.
    if (!form && is("Align")) {
      return c->SetAlign(Enum<TAlign>(
          p, {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}}));
    }
    if (panel && is("Alignment")) {
      return panel->SetAlignment(
          Enum<TAlignment>(p, {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}}));
    }
    const Names<TBevelCut> bevels = {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}};
    if (panel && is("BevelInner")) return panel->SetBevels(Enum(p, bevels), panel->BevelOuter());
    if (panel && is("BevelOuter")) return panel->SetBevels(panel->BevelInner(), Enum(p, bevels));
    if ((form || panel) && is("Color")) return c->SetColor(Color(p));
    if (image && is("Stretch")) return image->SetStretch(Bool(p));
    if ((panel || button || edit) && is("TabOrder")) return c->SetTabOrder(Int(p));

    // The window.
    if (form && is("BorderIcons")) {
      const auto icons = Set(p, {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
      return form->SetBorderIcons(!icons.empty());
    }
    if (form && is("BorderStyle")) return void(Enum<int>(p, {{"bsSizeable", 0}}));
    if (form && is("Position")) {
      return form->SetPosition(Enum<TPosition>(p, {{"poDesigned", poDesigned},
                                                   {"poDefault", poDefault},
                                                   {"poDefaultPosOnly", poDefaultPosOnly},
                                                   {"poDefaultSizeOnly", poDefaultSizeOnly},
                                                   {"poScreenCenter", poScreenCenter}}));
    }
    if (form && is("WindowState")) {
      return form->SetWindowState(
          Enum<TWindowState>(p, {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}}));
    }
    if (form && is("AutoScroll")) {
      if (Bool(p)) Fail(p.line, "AutoScroll: unsupported value True");
      return;
    }
    // The design resolution: the description's pixels are used as they stand.
    if (form && (is("PixelsPerInch") || is("TextHeight"))) return void(Int(p));

    // Fonts. Character sets do not apply to the desktop's Unicode fonts.
    if (!image) {
      if (is("Font.Charset")) {
        if (p.value.kind == Value::Kind::Integer) return void(Int(p));
        if (p.value.kind == Value::Kind::Identifier && p.value.text.size() > 8 &&
            SameName(std::string_view(p.value.text).substr(p.value.text.size() - 8), "_CHARSET")) {
          return;
        }
        Fail(p.line, p.name + ": unsupported value " + Shown(p.value));
      }
      if (is("Font.Color")) return void((font.value.Color = Color(p), font.any = true));
      if (is("Font.Height")) return void((font.value.Height = Int(p), font.any = true));
      if (is("Font.Name")) return void((font.value.Name = Text(p), font.any = true));
      if (is("Font.Style")) {
        const auto style = Set(p, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
        font.value.Bold = Has(style, "fsBold");
        font.value.Italic = Has(style, "fsItalic");
        font.value.Underline = Has(style, "fsUnderline");
        font.value.StrikeOut = Has(style, "fsStrikeOut");
        font.any = true;
        return;
      }
      if (!form && is("ParentFont")) return void(font.parentFont = Bool(p) ? 1 : 0);
    }

    // Events.
    if (button && is("OnClick")) return button->SetOnClick(Handler(p));
    if (form && is("OnCreate")) return void(form->OnCreate = Handler(p));
    if (form && is("OnResize")) return void(form->OnResize = Handler(p));
    if (form && is("OnDestroy")) return void(form->OnDestroy = Handler(p));

    Fail(p.line, "unknown property " + p.name + " of " + obj.name + " (" + obj.className + ")");
  }

  TForm& form_;
  std::string source_;
};

void TForm::LoadFromResource(const char* resource) {
  const std::string_view text = FindResource(resource);
  if (text.empty()) throw Exception(std::string("Form description ") + resource + " not found");
  LoadFromText(text, resource);
}

void TForm::LoadFromText(std::string_view text, const char* source) {
  const Object root = formtext::Parse(text, source);
  FormBuilder(*this, source).Build(root);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "classlib/core/collections.h"
#include "classlib/core/filer.h"
#include "classlib/core/form_file.h"
#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"

KARO_ENUM(TBevel, bvNone, bvLowered, bvRaised);
KARO_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline);
using TFontStyles = TSet<TFontStyle>;

namespace {

std::vector<std::string> g_log;  // Loaded calls, in order

std::string Crlf(std::string_view text) {
  std::string r;
  for (char c : text) {
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

class TFontish : public TPersistent {
  KARO_CLASS(TFontish)
public:
  std::string Name = "Tahoma";
  int32_t Height = -11;
  TFontStyles Style;
};

class TColumn : public TCollectionItem {
  KARO_CLASS(TColumn)
public:
  using TCollectionItem::TCollectionItem;
  std::string Title;
  int32_t Width = 64;
};

// A root in the manner of a form: it publishes the handlers its components name.
class TTestForm : public TComponent {
  KARO_CLASS(TTestForm)
public:
  using TComponent::TComponent;
  int clicks = 0;
  void ButtonClick(TObject*) { ++clicks; }
  void Wrong(TObject*, int) {}
  void Loaded() override {
    TComponent::Loaded();
    g_log.push_back("Loaded " + Name());
  }
};

// A non-visual component with a property of every kind.
class TWidget : public TComponent {
  KARO_CLASS(TWidget)
public:
  explicit TWidget(TComponent* owner) : TComponent(owner), columns_(this, TColumn::StaticClass()) {}
  int32_t Count = 0;
  int32_t Color = 0;
  bool Enabled = true;
  TBevel Bevel = bvNone;
  std::string Caption;
  TFontish* Font() const { return font_.get(); }
  TStringList* Lines() const { return lines_.get(); }
  TOwnedCollection* Columns() { return &columns_; }
  TComponent* Link = nullptr;
  TNotifyEvent OnClick;
#ifdef _WIN32
  WideString Hint;
#endif
  std::string blob;             // a binary defined property
  bool sawLoadingState = false;  // csLoading while a property was read
  TComponent* linkAtLoaded = nullptr;

  void SetCount(int32_t v) {
    Count = v;
    sawLoadingState = HasState(csLoading) && HasState(csReading);
  }
  void Loaded() override {
    TComponent::Loaded();
    linkAtLoaded = Link;
    g_log.push_back("Loaded " + Name());
  }
  int32_t level = 0;             // an integer defined property
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty("Level", [this](TReader& r) { level = r.ReadInteger(); }, nullptr, false);
    filer.DefineBinaryProperty(
        "Blob", [this](TStream& s) { blob.assign(static_cast<TMemoryStream&>(s).AsString()); },
        [this](TStream& s) { s.WriteBuffer(blob.data(), int32_t(blob.size())); }, !blob.empty());
  }

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == Link) Link = nullptr;
  }

private:
  std::unique_ptr<TFontish> font_ = std::make_unique<TFontish>();
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  TOwnedCollection columns_;
};

// A container of the kind the controls layer makes: what is read inside it becomes its child.
class TBox : public TComponent {
  KARO_CLASS(TBox)
public:
  using TComponent::TComponent;
  ~TBox() override {
    for (TBox* c : children) c->parent = nullptr;
    if (parent) std::erase(parent->children, this);
  }
  TBox* parent = nullptr;
  std::vector<TBox*> children;
  int32_t Left = 0;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* p) override {
    if (parent) std::erase(parent->children, this);
    parent = dyn<TBox>(p);
    if (parent) parent->children.push_back(this);
  }
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (TBox* c : children) proc(c);
  }
};

// A root that is also a box, as a form is.
class TBoxForm : public TBox {
  KARO_CLASS(TBoxForm)
public:
  using TBox::TBox;
  bool HasParent() const override { return false; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    TBox::GetChildren(proc, root);
    TComponent::GetChildren(proc, root);  // the non-visual components
  }
};

}  // namespace

KARO_CLASS_PROPS(TFontish, TPersistent, Prop("Name", &TFontish::Name, &TFontish::Name),
                 Prop("Height", &TFontish::Height, &TFontish::Height),
                 Prop("Style", &TFontish::Style, &TFontish::Style).Default(0))
KARO_CLASS_PROPS(TColumn, TCollectionItem, Prop("Title", &TColumn::Title, &TColumn::Title),
                 Prop("Width", &TColumn::Width, &TColumn::Width).Default(64))
KARO_CLASS_PROPS(TTestForm, TComponent, Method("ButtonClick", &TTestForm::ButtonClick),
                 Method("Wrong", &TTestForm::Wrong))

namespace {
const TTypeInfo* ColorType() {
  static const TTypeInfo t = MakeIntegerTypeInfo("TColor", {{int32_t(0xFF000018), "clInfoBk"}, {0xFF, "clRed"}});
  return &t;
}
}  // namespace

KARO_CLASS_PROPS(TWidget, TComponent, Prop("Count", &TWidget::Count, &TWidget::SetCount).Default(0),
                 Prop("Color", &TWidget::Color, &TWidget::Color).WithType(ColorType()),
                 Prop("Enabled", &TWidget::Enabled, &TWidget::Enabled).Default(1),
                 Prop("Bevel", &TWidget::Bevel, &TWidget::Bevel),
                 Prop("Caption", &TWidget::Caption, &TWidget::Caption), Prop("Font", &TWidget::Font),
                 Prop("Lines", &TWidget::Lines), Prop("Columns", &TWidget::Columns),
                 Prop("Link", &TWidget::Link, &TWidget::Link), Prop("OnClick", &TWidget::OnClick, &TWidget::OnClick)
#ifdef _WIN32
                                                                   ,
                 Prop("Hint", &TWidget::Hint, &TWidget::Hint)
#endif
)
KARO_CLASS_PROPS(TBox, TComponent, Prop("Left", &TBox::Left, &TBox::Left).Default(0))
KARO_COMPONENT_INFO(TBoxForm, TBox)

namespace {

const char* const kForm = R"(object Form1: TTestForm
  Tag = 7
  object Widget1: TWidget
    Count = 3
    Color = clInfoBk
    Enabled = False
    Bevel = bvRaised
    Caption = 'It''s'#13#10'two' +
      ' lines'
    Font.Name = 'Arial'
    Font.Height = $0C
    Font.Style = [fsBold, fsUnderline]
    Lines.Strings = (
      'first'
      #26149'='#9312
      '')
    Columns = <
      item
        Title = 'Yin'
        Width = 80
      end
      item
        Title = 'Jie'
      end>
    Link = Widget2
    OnClick = ButtonClick
    Blob = {
      00FF10 20}
  end
  object Widget2: TWidget
    Color = -16777201
    Link = Form1
  end
end
)";

TEST(FormFile, ReadsEveryPropertyKind) {
  g_log.clear();
  TTestForm form(nullptr);
  ReadComponentText(kForm, &form);
  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Tag(), 7);
  auto* w = dyn<TWidget>(form.FindComponent("Widget1"));
  auto* w2 = dyn<TWidget>(form.FindComponent("Widget2"));
  ASSERT_TRUE(w && w2);
  EXPECT_EQ(w->Count, 3);
  EXPECT_EQ(w->Color, int32_t(0xFF000018));
  EXPECT_FALSE(w->Enabled);
  EXPECT_EQ(w->Bevel, bvRaised);
  EXPECT_EQ(w->Caption, "It's\r\ntwo lines");
  EXPECT_EQ(w->Font()->Name, "Arial");
  EXPECT_EQ(w->Font()->Height, 12);
  EXPECT_EQ(w->Font()->Style, (TFontStyles{fsBold, fsUnderline}));
  ASSERT_EQ(w->Lines()->Count(), 3);
  EXPECT_EQ(w->Lines()->Strings(0), "first");
  EXPECT_EQ(w->Lines()->Strings(2), "");
  // Narrow lists hold what the narrow text can: all of it natively, the ANSI code page on Windows.
  EXPECT_EQ(w->Lines()->Strings(1), Utf16ToNarrow(u"\u6625=\u2460"));
  ASSERT_EQ(w->Columns()->Count(), 2);
  EXPECT_EQ(static_cast<TColumn*>(w->Columns()->Items(0))->Width, 80);
  EXPECT_EQ(static_cast<TColumn*>(w->Columns()->Items(1))->Title, "Jie");
  EXPECT_EQ(static_cast<TColumn*>(w->Columns()->Items(1))->Width, 64);
  EXPECT_EQ(w->Link, w2);
  EXPECT_EQ(w2->Link, &form);
  EXPECT_EQ(w2->Color, int32_t(0xFF00000F));
  EXPECT_EQ(w->blob, std::string("\x00\xFF\x10\x20", 4));
  ASSERT_TRUE(w->OnClick);
  w->OnClick(w);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(GetMethodProp(w, "OnClick").Name, "ButtonClick");
  // Properties are set while the component is loading; Loaded comes once everything is read.
  EXPECT_TRUE(w->sawLoadingState);
  EXPECT_EQ(w->linkAtLoaded, w2);
  EXPECT_EQ(g_log, (std::vector<std::string>{"Loaded Form1", "Loaded Widget1", "Loaded Widget2"}));
  EXPECT_FALSE(w->HasState(csLoading) || w->HasState(csReading) || form.HasState(csLoading));
}

TEST(FormFile, WrittenTextReadsBackToTheSameTree) {
  TTestForm form(nullptr);
  ReadComponentText(kForm, &form);
#ifdef _WIN32
  dyn<TWidget>(form.FindComponent("Widget2"))->Hint = L"\u6625 \u2460";
#endif
  std::string text = WriteComponentText(&form);
  TTestForm again(nullptr);
  ReadComponentText(text, &again);
  EXPECT_EQ(WriteComponentText(&again), text);
  auto* w = dyn<TWidget>(again.FindComponent("Widget1"));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->Caption, "It's\r\ntwo lines");
  EXPECT_EQ(w->blob, std::string("\x00\xFF\x10\x20", 4));
  EXPECT_EQ(w->Link, again.FindComponent("Widget2"));
  EXPECT_EQ(GetMethodProp(w, "OnClick").Name, "ButtonClick");
  EXPECT_NE(text.find("Color = clInfoBk"), std::string::npos) << text;
  // Defaults are left out: Widget2 keeps Enabled, Count and the column width unwritten.
  EXPECT_EQ(text.find("Enabled = True"), std::string::npos) << text;
  EXPECT_EQ(text.find("Width = 64"), std::string::npos) << text;
#ifdef _WIN32
  EXPECT_EQ(dyn<TWidget>(again.FindComponent("Widget2"))->Hint, L"\u6625 \u2460");
#endif
}

TEST(FormFile, ChildrenReadInsideAContainerBecomeItsChildren) {
  const char* text = R"(object Form2: TBoxForm
  object Panel1: TBox
    Left = 5
    object Button1: TBox
      Left = 8
    end
  end
  object Helper: TTestForm
  end
end
)";
  TBoxForm form(nullptr);
  ReadComponentText(text, &form);
  auto* panel = dyn<TBox>(form.FindComponent("Panel1"));
  auto* button = dyn<TBox>(form.FindComponent("Button1"));  // owned by the root, not the panel
  ASSERT_TRUE(panel && button);
  EXPECT_EQ(panel->parent, &form);
  EXPECT_EQ(button->parent, panel);
  EXPECT_EQ(button->Left, 8);
  std::string written = WriteComponentText(&form);
  EXPECT_EQ(written, Crlf(text));
  TBoxForm again(nullptr);
  ReadComponentText(written, &again);
  EXPECT_EQ(dyn<TBox>(again.FindComponent("Button1"))->parent, again.FindComponent("Panel1"));
  EXPECT_EQ(WriteComponentText(&again), written);
}

TEST(FormFile, ExistingComponentsOfTheRootAreReadInto) {
  TTestForm form(nullptr);
  auto* made = new TWidget(&form);
  made->SetName("Widget1");
  ReadComponentText("object F: TTestForm\n object Widget1: TWidget\n Count = 9\n end\nend\n", &form);
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(made->Count, 9);
}

TEST(FormFile, CreateComponentFromTextMakesTheRoot) {
  TComponent owner(nullptr);
  TComponent* c = CreateComponentFromText("object W1: TWidget\n  Caption = 'x'\nend", &owner);
  ASSERT_TRUE(dyn<TWidget>(c));
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(dyn<TWidget>(c)->Caption, "x");
  EXPECT_THROW(CreateComponentFromText("object W2: TWidget\n  Nothing = 1\nend", &owner), EReadError);
  EXPECT_EQ(owner.ComponentCount(), 1);  // the failed root is freed again
  EXPECT_THROW(CreateComponentFromText("object W: TUnknown\nend", &owner), EClassNotFound);
}

struct BadCase {
  const char* text;
  const char* kind;     // exception class
  const char* message;  // the start of its message
};

TEST(FormFile, NumbersAtTheirLimitsAreRead) {
  TTestForm form(nullptr);
  ReadComponentText("object F: TTestForm\n object W: TWidget\n  Level = -2147483648\n end\n"
                    " object X: TWidget\n  Level = 2147483647\n end\nend",
                    &form);
  EXPECT_EQ(dyn<TWidget>(form.FindComponent("W"))->level, INT32_MIN);
  EXPECT_EQ(dyn<TWidget>(form.FindComponent("X"))->level, INT32_MAX);
  // Seven digits, leading zeros included, are the most a character code may have.
  TTestForm other(nullptr);
  ReadComponentText("object F: TTestForm\n object W: TWidget\n  Caption = #0000065#$00042\n end\nend", &other);
  EXPECT_EQ(dyn<TWidget>(other.FindComponent("W"))->Caption, "AB");
}

TEST(FormFile, MalformedFilesNameTheLineAndLeaveNothingBehind) {
  const BadCase cases[] = {
      {"", "EParserError", "Line 1: 'object' expected but end of file found"},
      {"object F: TTestForm\n", "EParserError", "Line 2: 'end' expected but end of file found"},
      {"object F: TTestForm\nend\nend\n", "EParserError", "Line 3: end of file expected"},
      {"object F TTestForm\nend", "EParserError", "Line 2: '=' expected but 'end' found"},
      {"object F: TTestForm\n  Tag 5\nend", "EParserError", "Line 2: '=' expected but number found"},
      {"object F: TTestForm\n  Tag =\nend", "EParserError", "Line 3: value expected but 'end' found"},
      {"object F: TTestForm\n  Tag = 'open\nend", "EParserError", "Line 2: unterminated string"},
      {"object F: TTestForm\n  Tag = 99999999999999999999\nend", "EParserError", "Line 2: number out of range"},
      {"object F: TTestForm\n  Tag = 12ab\nend", "EParserError", "Line 2: invalid number"},
      // Seventeen hexadecimal digits would shift the first out of 64 bits.
      {"object F: TTestForm\n  Tag = $10000000000000000\nend", "EParserError", "Line 2: number out of range"},
      // Past the last character of UTF-16, in decimal, in hexadecimal and in eight digits.
      {"object F: TTestForm\n object W: TWidget\n  Caption = #1114112\n end\nend", "EParserError",
       "Line 3: character code out of range"},
      {"object F: TTestForm\n object W: TWidget\n  Caption = #$110000\n end\nend", "EParserError",
       "Line 3: character code out of range"},
      {"object F: TTestForm\n object W: TWidget\n  Caption = 'a'#00000065\n end\nend", "EParserError",
       "Line 3: character code out of range"},
      // An integer that a defined property reads must fit 32 bits.
      {"object F: TTestForm\n object W: TWidget\n  Level = 2147483648\n end\nend", "EReadError",
       "Line 3: integer out of range"},
      {"object F: TTestForm\n object W: TWidget\n  Level = -2147483649\n end\nend", "EReadError",
       "Line 3: integer out of range"},
      {"object F: TTestForm\n  Tag = #\nend", "EParserError", "Line 2: character code expected"},
      {"object F: TTestForm\n  Tag = @\nend", "EParserError", "Line 2: unexpected character '@'"},
      {"object F: TTestForm\n object W: TWidget\n  Blob = {0F1}\n end\nend", "EParserError",
       "Line 3: odd number of hexadecimal digits"},
      {"object F: TTestForm\n object W: TWidget\n  Blob = {0G}\n end\nend", "EParserError", "Line 3: invalid binary data"},
      {"object F: TTestForm\n object W: TWidget\n  Blob = {00", "EParserError", "Line 3: '}' expected"},
      {"object F: TTestForm\n object W: TWidget\n  Columns = < item Title = 'a' >\n end\nend", "EParserError",
       "Line 3: 'end' expected but '>' found"},
      {"object F: TTestForm\n object W: TWidget\n  Font.Style = [fsBold fsItalic]\n end\nend", "EParserError",
       "Line 3: ',' expected"},
      {"object F: TOther\nend", "EReadError", "Line 1: the file holds a TOther, not a TTestForm"},
      {"object F: TTestForm\n  Nothing = 1\nend", "EReadError", "Line 2: Property Nothing does not exist"},
      {"object F: TTestForm\n  Tag = 'text'\nend", "EReadError", "Line 2: Invalid value for property Tag"},
      {"object F: TTestForm\n object W: TWidget\n  Count = 4294967296\n end\nend", "EReadError",
       "Line 3: Value out of range for property Count"},
      {"object F: TTestForm\n object W: TWidget\n  Bevel = bvDeep\n end\nend", "EReadError",
       "Line 3: Invalid value for property Bevel"},
      {"object F: TTestForm\n object W: TWidget\n  Font.Style = [fsBold, fsHuge]\n end\nend", "EReadError",
       "Line 3: 'fsHuge' is not an element of property Style"},
      {"object F: TTestForm\n object W: TWidget\n  Font.Size = 9\n end\nend", "EReadError",
       "Line 3: Property Size does not exist"},
      {"object F: TTestForm\n object W: TWidget\n  Caption.Size = 9\n end\nend", "EReadError",
       "Line 3: Property Caption holds no object"},
      {"object F: TTestForm\n object W: TWidget\n  Font = <>\n end\nend", "EReadError",
       "Line 3: Property Font is not a collection"},
      {"object F: TTestForm\n object W: TWidget\n  Lines = nil\n end\nend", "EReadError",
       "Line 3: Property Lines is read-only"},
      {"object F: TTestForm\n object W: TWidget\n  Lines.Strings = ('a' 5)\n end\nend", "EReadError",
       "Line 3: string expected but number found"},
      {"object F: TTestForm\n object W: TWidget\n  Lines.Strings = 'a'\n end\nend", "EReadError",
       "Line 3: list expected but string found"},
      {"object F: TTestForm\n object W: TWidget\n  Blob = 'a'\n end\nend", "EReadError",
       "Line 3: Invalid value for property Blob"},
      {"object F: TTestForm\n object W: TWidget\n  Link = Nobody\n end\nend", "EReadError",
       "Line 3: No component named Nobody"},
      {"object F: TTestForm\n object W: TWidget\n  Link = F.Nobody\n end\nend", "EReadError",
       "Line 3: No component named F.Nobody"},
      {"object F: TTestForm\n object W: TWidget\n  OnClick = Missing\n end\nend", "EReadError",
       "Line 3: Method Missing not found in TTestForm"},
      {"object F: TTestForm\n object W: TWidget\n  OnClick = Wrong\n end\nend", "EReadError",
       "Line 3: Method Wrong does not fit event OnClick"},
      {"object F: TTestForm\n object W: TNoSuchClass\n end\nend", "EClassNotFound", "Line 2: Class TNoSuchClass not found"},
      {"object F: TTestForm\n object W: TFontish\n end\nend", "EClassNotFound", "Line 2: Class TFontish not found"},
      {"object F: TTestForm\n object W: TWidget\n end\n object W: TWidget\n end\nend", "EReadError",
       "Line 4: A component named W already exists"},
      {"object F: TTestForm\n object 1W: TWidget\n end\nend", "EParserError", "Line 2: invalid number"},
      {"object F: TTestForm\n object W.X: TWidget\n end\nend", "EParserError", "Line 2: component name or class name expected"},
      {"object F: TTestForm\n object W: TWidget\n  Count = 1\n end\n object X: TWidget\n  Count = bad\n end\nend",
       "EReadError", "Line 6: Invalid value for property Count"},
  };
  for (const BadCase& c : cases) {
    TTestForm form(nullptr);
    try {
      ReadComponentText(c.text, &form);
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), c.kind) << c.text;
      EXPECT_EQ(e.Message().rfind(c.message, 0), 0u) << c.text << "\n  gave: " << e.Message();
    }
    EXPECT_EQ(form.ComponentCount(), 0) << c.text;  // what was made is freed again
    EXPECT_FALSE(form.HasState(csLoading) || form.HasState(csReading)) << c.text;
  }
}

TEST(FormFile, DeepNestingIsRefusedNotRecursedInto) {
  std::string deep = "object F: TTestForm\n Tag = ";
  deep += std::string(100000, '(');
  TTestForm form(nullptr);
  try {
    ReadComponentText(deep, &form);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_NE(e.Message().find("nesting too deep"), std::string::npos);
  }
  std::string objects;
  for (int i = 0; i < 1000; ++i) objects += "object W" + std::to_string(i) + ": TBox\n";
  EXPECT_THROW(ReadComponentText("object F: TTestForm\n" + objects, &form), EParserError);
}

TEST(FormFile, ExceptionsOfSettersPassThroughUnchanged) {
  TTestForm form(nullptr);
  auto* taken = new TComponent(&form);
  taken->SetName("Busy");
  // The setter of Name raises the component's own error.
  EXPECT_THROW(ReadComponentText("object F: TTestForm\n object W: TWidget\n  Name = 'Busy'\n end\nend", &form),
               EComponentError);
  EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(FormFile, ReferencesToAnotherRootWaitUntilItIsLoaded) {
  TComponent* module = nullptr;
  int token = RegisterFindGlobalComponent([&](const std::string& name) -> TComponent* {
    return module && SameText(module->Name(), name) ? module : nullptr;
  });
  TTestForm form(nullptr);
  ReadComponentText("object F: TTestForm\n object W: TWidget\n  Link = DataModule1.Source1\n end\nend", &form);
  auto* w = dyn<TWidget>(form.FindComponent("W"));
  EXPECT_EQ(w->Link, nullptr);
  TTestForm dataModule(nullptr);
  module = &dataModule;
  ReadComponentText("object DataModule1: TTestForm\n object Source1: TWidget\n end\nend", &dataModule);
  EXPECT_EQ(w->Link, dataModule.FindComponent("Source1"));

  // A component that dies before its reference is settled leaves nothing waiting behind.
  module = nullptr;
  auto* form2 = new TTestForm(nullptr);
  ReadComponentText("object G: TTestForm\n object W: TWidget\n  Link = Other.X\n end\nend", form2);
  delete form2;
  TTestForm other(nullptr);
  module = &other;
  ReadComponentText("object Other: TTestForm\n object X: TWidget\n end\nend", &other);  // no use of freed memory
  UnregisterFindGlobalComponent(token);
}

TEST(FormFile, StreamsAndEmptyValues) {
  TTestForm form(nullptr);
  TMemoryStream m;
  m.Assign("garbage\xEF\xBB\xBFobject S: TTestForm\r\n object W: TWidget\r\n  Caption = ''\r\n  Blob = {}\r\n end\r\nend\r\n");
  m.SetPosition(7);  // from the position, and past a UTF-8 byte-order mark
  ReadComponentStream(m, &form);
  auto* w = dyn<TWidget>(form.FindComponent("W"));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->blob, "");
  std::string written = WriteComponentText(&form);
  EXPECT_EQ(written.find("Caption"), std::string::npos);  // empty strings and data are not written
  EXPECT_EQ(written.find("Blob"), std::string::npos);
}

#ifdef _WIN32
TEST(FormFileWindows, ReadsAFormResource) {
  TTestForm form(nullptr);
  ReadComponentRes(GetModuleHandleW(nullptr), "TESTFORM", &form);
  auto* w = dyn<TWidget>(form.FindComponent("Widget1"));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->Caption, "from a resource");
  EXPECT_EQ(w->Hint, L"\u2460\u6625");
  EXPECT_THROW(ReadComponentRes(GetModuleHandleW(nullptr), "NOFORM", &form), EResNotFound);
}
#endif

}  // namespace

#include <gtest/gtest.h>

#include "classlib/core/string_list.h"
#include "classlib/core/typinfo.h"

KARO_ENUM(TPaintStyle, psFlat, psRaised, psSunken);
KARO_ENUM(TPartOption, poLeft, poRight, poTop, poBottom);
using TPartOptions = TSet<TPartOption>;

namespace {

using TClickEvent = std::function<void(TObject* Sender, int& count)>;

class TGadget : public TComponent {
  KARO_CLASS(TGadget)
public:
  using TComponent::TComponent;
  int32_t Width() const { return width_; }
  void SetWidth(int32_t v) { width_ = v; }
  uint8_t Small = 0;
  bool Visible = true;
  TPaintStyle Style = psFlat;
  TPartOptions Options{poLeft, poTop};
  std::string Caption;
  TStringList* Lines() const { return lines_.get(); }
  TComponent* Buddy = nullptr;
  TNotifyEvent OnChange;
  TClickEvent OnClick;
  int32_t Color = 0;
  int32_t ReadOnlyCount() const { return 3; }
#ifdef _WIN32
  WideString Text;
#endif
  int changes = 0;
  void HandleChange(TObject*) { ++changes; }
  void HandleClick(TObject*, int& count) { count += 10; }

private:
  int32_t width_ = 0;
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
};

class TBigGadget : public TGadget {
  KARO_CLASS(TBigGadget)
public:
  using TGadget::TGadget;
  int64_t Extra = 0;
};

const TTypeInfo* ColorType() {
  static const TTypeInfo t = MakeIntegerTypeInfo("TColor", {{0x000000FF, "clRed"}, {int32_t(0xFF00000F), "clBtnFace"}});
  return &t;
}

}  // namespace

KARO_CLASS_PROPS(TGadget, TComponent,
                 Prop("Width", &TGadget::Width, &TGadget::SetWidth).Default(0),
                 Prop("Small", &TGadget::Small, &TGadget::Small),
                 Prop("Visible", &TGadget::Visible, &TGadget::Visible),
                 Prop("Style", &TGadget::Style, &TGadget::Style),
                 Prop("Options", &TGadget::Options, &TGadget::Options),
                 Prop("Caption", &TGadget::Caption, &TGadget::Caption),
                 Prop("Lines", &TGadget::Lines),
                 Prop("Buddy", &TGadget::Buddy, &TGadget::Buddy),
                 Prop("OnChange", &TGadget::OnChange, &TGadget::OnChange),
                 Prop("OnClick", &TGadget::OnClick, &TGadget::OnClick),
                 Prop("Color", &TGadget::Color, &TGadget::Color).WithType(ColorType()),
                 Prop<TGadget>("Count", [](TGadget& g) { return g.ReadOnlyCount(); }),
#ifdef _WIN32
                 Prop("Text", &TGadget::Text, &TGadget::Text),
#endif
                 Method("HandleChange", &TGadget::HandleChange),
                 Method("HandleClick", &TGadget::HandleClick))
KARO_CLASS_PROPS(TBigGadget, TGadget,
                 Prop("Extra", &TBigGadget::Extra, &TBigGadget::Extra),
                 // A redeclaration hides the inherited property of that name.
                 Prop<TBigGadget>("Width", [](TBigGadget& g) { return g.Width() * 2; },
                                  [](TBigGadget& g, int32_t v) { g.SetWidth(v / 2); }))

TEST(TypInfo, PropertiesAreInheritedAndFoundByNameInAnyCase) {
  TBigGadget g(nullptr);
  EXPECT_TRUE(IsPublishedProp(&g, "tag"));  // from TComponent
  EXPECT_TRUE(IsPublishedProp(&g, "EXTRA"));
  EXPECT_FALSE(IsPublishedProp(&g, "Nothing"));
  EXPECT_EQ(PropKind(&g, "Caption"), tkLString);
  EXPECT_EQ(PropKind(&g, "Visible"), tkEnumeration);
  EXPECT_EQ(PropKind(&g, "Options"), tkSet);
  EXPECT_EQ(PropKind(&g, "Lines"), tkClass);
  EXPECT_EQ(PropKind(&g, "OnClick"), tkMethod);
  EXPECT_EQ(PropKind(&g, "Nothing"), tkUnknown);
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(TBigGadget::StaticClass())) names.push_back(p->Name);
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_EQ(std::count(names.begin(), names.end(), "Width"), 1);
  EXPECT_EQ(names.back(), "Extra");
  SetOrdProp(&g, "Width", 40);
  EXPECT_EQ(g.Width(), 20);
  EXPECT_EQ(GetOrdProp(&g, "width"), 40);
}

TEST(TypInfo, OrdinalKindsByValueAndByName) {
  TGadget g(nullptr);
  EXPECT_TRUE(SetOrdProp(&g, "Width", -5));
  EXPECT_EQ(g.Width(), -5);
  EXPECT_FALSE(SetOrdProp(&g, "Small", 256));  // outside uint8_t
  EXPECT_TRUE(SetOrdProp(&g, "Small", 255));
  EXPECT_EQ(g.Small, 255);
  EXPECT_EQ(GetEnumProp(&g, "Visible"), "True");
  EXPECT_TRUE(SetEnumProp(&g, "Visible", "false"));
  EXPECT_FALSE(g.Visible);
  EXPECT_EQ(GetEnumProp(&g, "Style"), "psFlat");
  EXPECT_TRUE(SetEnumProp(&g, "Style", "psSunken"));
  EXPECT_EQ(g.Style, psSunken);
  EXPECT_FALSE(SetEnumProp(&g, "Style", "psNone"));
  EXPECT_FALSE(SetOrdProp(&g, "Style", 3));
  EXPECT_EQ(g.Style, psSunken);
  EXPECT_EQ(GetSetProp(&g, "Options"), "[poLeft,poTop]");
  EXPECT_EQ(GetOrdProp(&g, "Options"), 5);
  EXPECT_TRUE(SetSetProp(&g, "Options", "[ poRight , poBottom ]"));
  EXPECT_EQ(g.Options, (TPartOptions{poRight, poBottom}));
  EXPECT_TRUE(SetSetProp(&g, "Options", "[]"));
  EXPECT_TRUE(g.Options.Empty());
  EXPECT_FALSE(SetSetProp(&g, "Options", "[poLeft,poMiddle]"));
  EXPECT_FALSE(SetOrdProp(&g, "Options", 16));  // no fifth element
  EXPECT_EQ(GetPropValue(&g, "Count"), "3");
  EXPECT_FALSE(SetOrdProp(&g, "Count", 4));  // read-only
}

TEST(TypInfo, StringsObjectsAndTextValues) {
  TComponent owner(nullptr);
  auto* g = new TGadget(&owner);
  auto* buddy = new TGadget(&owner);
  buddy->SetName("Buddy1");
  EXPECT_TRUE(SetStrProp(g, "Caption", "Hello"));
  EXPECT_EQ(GetStrProp(g, "caption"), "Hello");
  EXPECT_EQ(GetStrProp(g, "Width"), "");  // not a string
  EXPECT_TRUE(SetObjectProp(g, "Buddy", buddy));
  EXPECT_EQ(GetObjectProp(g, "Buddy"), buddy);
  EXPECT_EQ(GetObjectProp(g, "Buddy", TGadget::StaticClass()), buddy);
  EXPECT_EQ(GetObjectProp(g, "Buddy", TStrings::StaticClass()), nullptr);
  EXPECT_EQ(GetPropValue(g, "Buddy"), "Buddy1");
  EXPECT_FALSE(SetObjectProp(g, "Lines", nullptr));  // read-only
  TStringList notAComponent;
  EXPECT_FALSE(SetObjectProp(g, "Buddy", &notAComponent));
  EXPECT_EQ(GetObjectProp(g, "Lines", TStrings::StaticClass()), g->Lines());
  EXPECT_TRUE(SetPropValue(g, "Width", "$10"));
  EXPECT_EQ(g->Width(), 16);
  EXPECT_TRUE(SetPropValue(g, "Color", "clBtnFace"));
  EXPECT_EQ(g->Color, int32_t(0xFF00000F));
  EXPECT_TRUE(SetPropValue(g, "Visible", "False"));
  EXPECT_TRUE(SetPropValue(g, "Options", "[poBottom]"));
  EXPECT_EQ(GetPropValue(g, "Options"), "[poBottom]");
  EXPECT_FALSE(SetPropValue(g, "Width", "wide"));
#ifdef _WIN32
  EXPECT_TRUE(SetWideStrProp(g, "Text", L"\u6625"));
  EXPECT_EQ(g->Text, L"\u6625");
  EXPECT_TRUE(SetWideStrProp(g, "Caption", L"abc"));
  EXPECT_EQ(GetWideStrProp(g, "Caption"), L"abc");
  EXPECT_EQ(PropKind(g, "Text"), tkWString);
#endif
}

TEST(TypInfo, MissingPropertiesAnswerEmptyAndRaiseNothing) {
  TGadget g(nullptr);
  TObject* none = nullptr;
  for (TObject* o : {static_cast<TObject*>(&g), none}) {
    EXPECT_EQ(GetOrdProp(o, "Missing"), 0);
    EXPECT_EQ(GetStrProp(o, "Missing"), "");
    EXPECT_EQ(GetEnumProp(o, "Missing"), "");
    EXPECT_EQ(GetSetProp(o, "Missing"), "");
    EXPECT_EQ(GetObjectProp(o, "Missing"), nullptr);
    EXPECT_FALSE(GetMethodProp(o, "Missing").Assigned());
    EXPECT_EQ(GetPropValue(o, "Missing"), "");
    EXPECT_FALSE(SetOrdProp(o, "Missing", 1));
    EXPECT_FALSE(SetStrProp(o, "Missing", "x"));
    EXPECT_FALSE(SetEnumProp(o, "Missing", "x"));
    EXPECT_FALSE(SetPropValue(o, "Missing", "1"));
    EXPECT_FALSE(SetMethodProp(o, "Missing", TMethod()));
  }
  // A property of another kind answers empty too.
  EXPECT_EQ(GetEnumProp(&g, "Width"), "");
  EXPECT_EQ(GetSetProp(&g, "Style"), "");
  EXPECT_EQ(GetObjectProp(&g, "Caption"), nullptr);
}

TEST(TypInfo, EventsByNameAndPublishedMethods) {
  TGadget g(nullptr);
  TMethod change = MethodAddress(&g, "handlechange");
  ASSERT_TRUE(change.Assigned());
  EXPECT_EQ(change.Name, "HandleChange");
  EXPECT_TRUE(SetMethodProp(&g, "OnChange", change));
  ASSERT_TRUE(g.OnChange);
  g.OnChange(&g);
  EXPECT_EQ(g.changes, 1);
  EXPECT_EQ(GetMethodProp(&g, "OnChange").Name, "HandleChange");
  // A handler of another signature does not fit the event.
  EXPECT_FALSE(SetMethodProp(&g, "OnClick", change));
  EXPECT_FALSE(g.OnClick);
  EXPECT_TRUE(SetMethodProp(&g, "OnClick", MethodAddress(&g, "HandleClick")));
  int count = 1;
  GetEventProp<TClickEvent>(&g, "OnClick")(&g, count);
  EXPECT_EQ(count, 11);
  EXPECT_FALSE(GetEventProp<TNotifyEvent>(&g, "OnClick"));  // asked as the wrong type
  EXPECT_TRUE(SetEventProp(&g, "OnChange", TNotifyEvent()));
  EXPECT_FALSE(g.OnChange);
  EXPECT_EQ(g.MethodName("OnChange"), "");
  EXPECT_FALSE(MethodAddress(&g, "NoSuchMethod").Assigned());
}

TEST(TypInfo, SetsHoldOrdinalBits) {
  TPartOptions s{poRight};
  s.Include(poBottom).Exclude(poRight);
  EXPECT_EQ(s.Value(), 8u);
  EXPECT_TRUE(s.Contains(poBottom));
  EXPECT_FALSE(s.Contains(poRight));
  EXPECT_EQ((TPartOptions{poLeft, poTop} + TPartOptions{poTop, poBottom}).Value(), 13u);
  EXPECT_EQ((TPartOptions{poLeft, poTop} - TPartOptions{poTop}).Value(), 1u);
  EXPECT_EQ((TPartOptions{poLeft, poTop} * TPartOptions{poTop}).Value(), 4u);
  EXPECT_EQ(TPartOptions::FromValue(0x3), (TPartOptions{poLeft, poRight}));
  const TTypeInfo* type = SetTypeInfo<TPartOption>();
  EXPECT_EQ(type->Name, "set of TPartOption");
  EXPECT_EQ(SetToString(type, 0xF, false), "poLeft,poRight,poTop,poBottom");
  int64_t bits = 0;
  EXPECT_TRUE(StringToSet(type, "poTop", bits));
  EXPECT_EQ(bits, 4);
  EXPECT_FALSE(StringToSet(type, "[poTop,,poLeft]", bits));
  EXPECT_FALSE(StringToSet(type, "[poTop", bits));
  EXPECT_EQ(GetEnumValue(TEnumTraits<TPaintStyle>::Info(), "PSRAISED"), 1);
  EXPECT_EQ(GetEnumName(BooleanTypeInfo(), 1), "True");
  EXPECT_EQ(GetEnumName(BooleanTypeInfo(), 2), "");
}

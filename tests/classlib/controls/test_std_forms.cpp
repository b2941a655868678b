// The standard controls in forms: a form file with one control of each class read into its tree
// and written back the same, radio groups and their buttons, groups of speed buttons, bit-button
// kinds, the layout of glyph and caption, where a picture goes, and what panels and images paint.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "classlib/controls/buttons.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/form_file.h"
#include "tests/support/message_log.h"
#include "tests/support/dib.h"

namespace {

class TStdForm : public TForm {
  KARO_CLASS(TStdForm)
public:
  using TForm::TForm;
  int comboChanges = 0, searches = 0;
  void ComboChange(TObject*) { ++comboChanges; }
  void SearchClick(TObject*) { ++searches; }
};

KARO_CLASS_PROPS(TStdForm, TForm, Method("ComboChange", &TStdForm::ComboChange),
                 Method("SearchClick", &TStdForm::SearchClick))

const char* const kFormText = R"(object StdForm: TStdForm
  Left = 0
  Top = 0
  Caption = 'Standard'
  ClientHeight = 300
  ClientWidth = 500
  Color = clBtnFace
  object A_Panel_top: TPanel
    Left = 0
    Top = 0
    Width = 500
    Height = 40
    Align = alTop
    BevelOuter = bvLowered
    Color = clHighlight
    TabOrder = 0
    object A_Label1: TLabel
      Left = 8
      Top = 12
      Width = 40
      Height = 13
      AutoSize = False
      Caption = #38901#37096
    end
    object A_ComboBox1: TComboBox
      Left = 56
      Top = 8
      Width = 100
      Height = 21
      DropDownCount = 12
      ItemIndex = -1
      TabOrder = 0
      Text = 'A_ComboBox'
      OnChange = ComboChange
      Items.Strings = (
        #19968
        #20108)
    end
    object A_SpeedButton1: TSpeedButton
      Left = 170
      Top = 8
      Width = 60
      Height = 23
      Caption = 'Search'
      Flat = True
      OnClick = SearchClick
    end
  end
  object Edit1: TEdit
    Left = 8
    Top = 48
    Width = 121
    Height = 21
    TabOrder = 1
    Text = 'edit'
  end
  object Memo1: TMemo
    Left = 8
    Top = 76
    Width = 185
    Height = 89
    Lines.Strings = (
      #33609#31295)
    ScrollBars = ssVertical
    TabOrder = 2
  end
  object Button1: TButton
    Left = 200
    Top = 48
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 3
  end
  object BitBtn1: TBitBtn
    Left = 280
    Top = 48
    Width = 75
    Height = 25
    Kind = bkCancel
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    Layout = blGlyphTop
    TabOrder = 4
  end
  object CheckBox1: TCheckBox
    Left = 200
    Top = 80
    Width = 97
    Height = 17
    Caption = 'Check'
    State = cbChecked
    TabOrder = 5
  end
  object RadioButton1: TRadioButton
    Left = 200
    Top = 100
    Width = 113
    Height = 17
    Caption = 'Radio'
    Checked = True
    TabOrder = 6
    TabStop = True
  end
  object ListBox1: TListBox
    Left = 320
    Top = 80
    Width = 121
    Height = 60
    ItemHeight = 16
    Items.Strings = (
      'b'
      'a')
    Sorted = True
    TabOrder = 7
  end
  object ScrollBar1: TScrollBar
    Left = 8
    Top = 170
    Width = 121
    Height = 17
    Max = 50
    Position = 20
    TabOrder = 8
  end
  object GroupBox1: TGroupBox
    Left = 200
    Top = 130
    Width = 110
    Height = 60
    Caption = 'Group'
    TabOrder = 9
  end
  object RadioGroup1: TRadioGroup
    Left = 320
    Top = 150
    Width = 170
    Height = 100
    Caption = 'Tones'
    Columns = 2
    ItemIndex = 2
    Items.Strings = (
      '1'
      '2'
      '3')
    TabOrder = 10
  end
  object ScrollBox1: TScrollBox
    Left = 8
    Top = 200
    Width = 150
    Height = 90
    TabOrder = 11
    object Panel2: TPanel
      Left = 0
      Top = 0
      Width = 300
      Height = 200
      TabOrder = 0
    end
  end
  object Image1: TImage
    Left = 200
    Top = 200
    Width = 50
    Height = 50
    Stretch = True
  end
end
)";

TStdForm* ReadStdForm(const std::string& text = kFormText) { return NewForm<TStdForm>(nullptr, &text); }

template <class T> T* Find(TComponent* root, const char* name) { return dyn<T>(root->FindComponent(name)); }

TEST(StdForms, FormFileWithOneOfEachReadsIntoItsTree) {
  TStdForm* form = ReadStdForm();
  auto* top = Find<TPanel>(form, "A_Panel_top");
  auto* label = Find<TLabel>(form, "A_Label1");
  auto* combo = Find<TComboBox>(form, "A_ComboBox1");
  auto* speed = Find<TSpeedButton>(form, "A_SpeedButton1");
  auto* edit = Find<TEdit>(form, "Edit1");
  auto* memo = Find<TMemo>(form, "Memo1");
  auto* button = Find<TButton>(form, "Button1");
  auto* bit = Find<TBitBtn>(form, "BitBtn1");
  auto* check = Find<TCheckBox>(form, "CheckBox1");
  auto* radio = Find<TRadioButton>(form, "RadioButton1");
  auto* list = Find<TListBox>(form, "ListBox1");
  auto* bar = Find<TScrollBar>(form, "ScrollBar1");
  auto* group = Find<TGroupBox>(form, "GroupBox1");
  auto* radios = Find<TRadioGroup>(form, "RadioGroup1");
  auto* box = Find<TScrollBox>(form, "ScrollBox1");
  auto* inner = Find<TPanel>(form, "Panel2");
  auto* image = Find<TImage>(form, "Image1");
  ASSERT_TRUE(top && label && combo && speed && edit && memo && button && bit && check && radio && list && bar &&
              group && radios && box && inner && image);

  EXPECT_EQ(label->Parent(), top);
  EXPECT_EQ(combo->Parent(), top);
  EXPECT_EQ(speed->Parent(), top);
  EXPECT_EQ(inner->Parent(), box);
  EXPECT_EQ(top->BevelOuter(), bvLowered);
  EXPECT_EQ(top->Color(), clHighlight);
  EXPECT_EQ(label->Caption(), L"\u97f5\u90e8");
  EXPECT_EQ(label->Width(), 40);
  EXPECT_EQ(combo->Text(), L"A_ComboBox");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->DropDownCount(), 12);
  ASSERT_EQ(combo->Items()->Count(), 2);
  EXPECT_EQ(combo->Items()->Strings(1), L"\u4e8c");
  EXPECT_TRUE(speed->Flat());
  EXPECT_EQ(edit->Text(), L"edit");
  EXPECT_EQ(memo->Lines()->Count(), 1);
  EXPECT_EQ(memo->Text(), L"\u8349\u7a3f");
  EXPECT_EQ(memo->ScrollBars(), ssVertical);
  EXPECT_TRUE(button->Default());
  EXPECT_EQ(button->ModalResult(), mrOk);
  EXPECT_EQ(bit->Kind(), bkCancel);
  EXPECT_TRUE(bit->Cancel());
  EXPECT_EQ(bit->Layout(), blGlyphTop);
  EXPECT_EQ(check->State(), cbChecked);
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(list->Items()->Strings(0), L"a");
  EXPECT_EQ(bar->Max(), 50);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(group->Caption(), L"Group");
  EXPECT_EQ(radios->Columns(), 2);
  ASSERT_EQ(radios->ButtonCount(), 3);
  EXPECT_EQ(radios->ItemIndex(), 2);
  EXPECT_TRUE(radios->Buttons(2)->Checked());
  EXPECT_TRUE(image->Stretch());

  // The events name the form's published methods.
  form->Show();
  Pump();
  speed->Click();
  EXPECT_EQ(form->searches, 1);
  SendMessageW(combo->Handle(), CB_SETCURSEL, 1, 0);
  SendMessageW(top->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
               LPARAM(combo->Handle()));
  EXPECT_EQ(form->comboChanges, 1);
  EXPECT_EQ(combo->Text(), L"\u4e8c");
  // Windows with the expected classes and states.
  wchar_t cls[32];
  GetClassNameW(combo->Handle(), cls, 32);
  EXPECT_STREQ(cls, L"TComboBox");
  EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 20);
  // The scroll box lets its larger child scroll.
  EXPECT_GT(box->VertRange(), 150);
  box->SetVertPosition(30);
  EXPECT_EQ(inner->Top(), -30);
  form->Free();
}

TEST(StdForms, WrittenFormReadsBackTheSame) {
  TStdForm* form = ReadStdForm();
  std::string written = WriteComponentText(form);
  form->Free();
  // The radio group's buttons are its own and are not written.
  EXPECT_EQ(written.find("TGroupButton"), std::string::npos);
  EXPECT_NE(written.find("OnChange = ComboChange"), std::string::npos);
  TStdForm* again = ReadStdForm(written);
  EXPECT_EQ(WriteComponentText(again), written);
  EXPECT_EQ(Find<TRadioGroup>(again, "RadioGroup1")->ButtonCount(), 3);
  again->Free();
}

// A form of its own for each test, freed after it.
class StdFormControls : public ::testing::Test {
protected:
  void SetUp() override { form = new TForm(nullptr); }
  void TearDown() override {
    form->Free();
    Pump();
  }
  TForm* form = nullptr;
};

// --- Radio groups ---

TEST_F(StdFormControls, RadioGroupButtonsFollowItsItems) {
  form->SetBounds(0, 0, 300, 300);
  auto* group = new TRadioGroup(form);
  group->SetParent(form);
  group->SetBounds(10, 10, 200, 120);
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  for (const wchar_t* s : {L"a", L"b", L"c", L"d"}) group->Items()->Add(s);
  ASSERT_EQ(group->ControlCount(), 4);
  for (int i = 0; i < 4; ++i) {
    auto* b = dyn<TRadioButton>(group->Controls(i));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ClassName(), "TGroupButton");
    EXPECT_EQ(b->Caption(), group->Items()->Strings(i));
    EXPECT_EQ(b->Owner(), group);
  }
  // One column: the buttons stand one below the other, inside the frame.
  EXPECT_LT(group->Controls(0)->Top(), group->Controls(1)->Top());
  EXPECT_EQ(group->Controls(0)->Left(), group->Controls(3)->Left());
  group->SetColumns(2);
  EXPECT_EQ(group->Controls(0)->Top(), group->Controls(2)->Top());
  EXPECT_LT(group->Controls(0)->Left(), group->Controls(2)->Left());

  form->Show();
  Pump();
  SendMessageW(group->Buttons(1)->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  group->SetItemIndex(3);
  EXPECT_TRUE(group->Buttons(3)->Checked());
  EXPECT_FALSE(group->Buttons(1)->Checked());
  group->Items()->Delete(0);
  EXPECT_EQ(group->ControlCount(), 3);
  group->SetEnabled(false);
  EXPECT_FALSE(group->Buttons(0)->Enabled());
  group->Items()->Clear();
  EXPECT_EQ(group->ControlCount(), 0);
  EXPECT_EQ(group->ItemIndex(), -1);
}

// --- Speed buttons ---

TEST_F(StdFormControls, SpeedButtonsOfAGroupAreDownOneAtATime) {
  form->SetBounds(0, 0, 300, 100);
  TSpeedButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = new TSpeedButton(form);
    b[i]->SetParent(form);
    b[i]->SetBounds(10 + 30 * i, 10, 25, 25);
    b[i]->SetGroupIndex(1);
  }
  auto* loner = new TSpeedButton(form);
  loner->SetParent(form);
  loner->SetBounds(150, 10, 25, 25);
  int clicks = 0;
  b[2]->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  Pump();
  auto press = [&](TSpeedButton* s) {
    LPARAM at = MAKELPARAM(s->Left() + 5, s->Top() + 5);
    SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form->Handle(), WM_LBUTTONUP, 0, at);
  };
  struct {
    int Press;  // index into b, or -1 for Down set from code on b[0]
    bool AllowAllUp;
    bool Down[3];
  } const steps[] = {
      {0, false, {true, false, false}}, {2, false, {false, false, true}},
      {2, false, {false, false, true}},  // without AllowAllUp a group keeps one button down
      {1, true, {false, true, false}},  {1, true, {false, false, false}},
      {-1, true, {true, false, false}},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(testing::Message() << "press " << s.Press);
    b[0]->SetAllowAllUp(s.AllowAllUp);
    if (s.Press >= 0) press(b[s.Press]);
    else b[0]->SetDown(true);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(b[i]->Down(), s.Down[i]) << i;
      EXPECT_EQ(GetEnumProp(b[i], "Down"), s.Down[i] ? "True" : "False");
      EXPECT_EQ(b[i]->AllowAllUp(), s.AllowAllUp);
    }
  }
  EXPECT_EQ(clicks, 2);
  // A button of no group never stays down.
  press(loner);
  loner->SetDown(true);
  EXPECT_FALSE(loner->Down());
  EXPECT_EQ(loner->State(), bsUp);
}

// --- Bit buttons ---

TEST(StdForms, BitButtonKindsGiveCaptionResultAndKeys) {
  struct {
    TBitBtnKind Kind;
    const wchar_t* Caption;
    TModalResult Result;
    bool Default, Cancel;
  } const cases[] = {
      {bkOK, L"OK", mrOk, true, false},        {bkCancel, L"Cancel", mrCancel, false, true},
      {bkYes, L"&Yes", mrYes, true, false},    {bkNo, L"&No", mrNo, false, true},
      {bkAbort, L"Abort", mrAbort, false, false}, {bkRetry, L"&Retry", mrRetry, false, false},
      {bkIgnore, L"&Ignore", mrIgnore, false, false}, {bkAll, L"&All", mrAll, false, false},
      {bkClose, L"&Close", mrNone, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(GetEnumName(TEnumTraits<TBitBtnKind>::Info(), c.Kind));
    auto* form = new TForm(nullptr);
    auto* btn = new TBitBtn(form);
    btn->SetParent(form);
    btn->SetKind(c.Kind);
    EXPECT_EQ(btn->Caption(), c.Caption);
    EXPECT_EQ(btn->ModalResult(), c.Result);
    EXPECT_EQ(btn->Default(), c.Default);
    EXPECT_EQ(btn->Cancel(), c.Cancel);
    form->Show();
    Pump();
    EXPECT_EQ(GetWindowLongW(btn->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    SendMessageW(btn->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->ModalResult(), c.Result);
    // A close button closes its form.
    EXPECT_EQ(form->Visible(), c.Kind != bkClose);
    form->Free();
  }
}

// --- Geometry ---

TEST(StdForms, GlyphAndCaptionLayout) {
  struct {
    TButtonLayout Layout;
    int Margin, Spacing;
    TPoint Glyph;
    TRect Text;
  } const cases[] = {
      // 100 x 30 client, 16 x 16 glyph, 40 x 13 text.
      {blGlyphLeft, -1, 4, {20, 7}, Rect(40, 9, 80, 22)},   // centred pair: (100-60+1)/2 = 20
      {blGlyphLeft, -1, -1, {14, 7}, Rect(44, 9, 84, 22)},  // thirds: (100-56)/3 = 14
      {blGlyphLeft, 2, -1, {2, 7}, Rect(39, 9, 79, 22)},    // spacing (100-18-40)/2 = 21
      {blGlyphRight, 5, 4, {79, 7}, Rect(35, 9, 75, 22)},
      {blGlyphTop, 0, 1, {42, 0}, Rect(30, 17, 70, 30)},
      {blGlyphBottom, 0, 1, {42, 14}, Rect(30, 0, 70, 13)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Layout) << " " << c.Margin << " " << c.Spacing);
    TButtonLayoutResult r = CalcButtonLayout(Rect(0, 0, 100, 30), {16, 16}, {40, 13}, c.Layout, c.Margin, c.Spacing);
    EXPECT_EQ(r.GlyphPos, c.Glyph);
    EXPECT_EQ(r.TextBounds, c.Text);
  }
  // Without a caption the glyph is centred alone, whatever the spacing.
  TButtonLayoutResult alone = CalcButtonLayout(Rect(10, 10, 110, 40), {16, 16}, {0, 0}, blGlyphLeft, -1, 4);
  EXPECT_EQ(alone.GlyphPos, (TPoint{52, 17}));
}

TEST(StdForms, PictureRectangles) {
  struct {
    int W, H;
    bool Stretch, Center, Proportional;
    TRect Expected;
  } const cases[] = {
      {20, 10, false, false, false, Rect(0, 0, 20, 10)},   {20, 10, false, true, false, Rect(40, 45, 60, 55)},
      {20, 10, true, false, false, Rect(0, 0, 100, 100)},  {20, 10, true, false, true, Rect(0, 0, 100, 50)},
      {20, 10, true, true, true, Rect(0, 25, 100, 75)},    {400, 100, false, false, true, Rect(0, 0, 100, 25)},
      {400, 100, false, true, false, Rect(-150, 0, 250, 100)}, {0, 10, true, true, false, Rect(0, 0, 0, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " " << c.Stretch << c.Center << c.Proportional);
    EXPECT_EQ(PictureRect(Rect(0, 0, 100, 100), c.W, c.H, c.Stretch, c.Center, c.Proportional), c.Expected);
  }
}

// --- Pixels ---

TEST_F(StdFormControls, PanelsPaintTheirBevelsAndFace) {
  struct {
    TBevelCut Outer, Inner;
    int Width;
    TColor Corner, FarCorner, Inside;  // at (0,0), (w-1,h-1) and (Width, Width)
  } const cases[] = {
      {bvRaised, bvNone, 1, clBtnHighlight, clBtnShadow, clYellow},
      {bvLowered, bvNone, 1, clBtnShadow, clBtnHighlight, clYellow},
      {bvLowered, bvRaised, 2, clBtnShadow, clBtnHighlight, clBtnHighlight},
      {bvNone, bvNone, 1, clYellow, clYellow, clYellow},
  };
  form->SetBounds(0, 0, 200, 200);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 60, 40);
  panel->SetColor(clYellow);
  panel->SetCaption(L"");
  form->Show();
  Pump();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Outer) << "/" << int(c.Inner));
    panel->SetBevelOuter(c.Outer);
    panel->SetBevelInner(c.Inner);
    panel->SetBevelWidth(c.Width);
    TDib target(60, 40, 0);
    SendMessageW(panel->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(target.At(0, 0), GdiColor(c.Corner));
    EXPECT_EQ(target.At(59, 39), GdiColor(c.FarCorner));
    EXPECT_EQ(target.At(c.Width, c.Width), GdiColor(c.Inside));
    EXPECT_EQ(target.At(30, 20), GdiColor(clYellow));
  }
  // The children are aligned inside the bevels and the border.
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(1);
  panel->SetBorderWidth(2);
  auto* child = new TPanel(form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(4, 4, 56, 36));
}

TEST_F(StdFormControls, ImageDrawsItsPictureWhereItBelongs) {
  form->SetBounds(0, 0, 200, 200);
  form->SetColor(clWhite);
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetBounds(0, 0, 40, 40);
  TBitmap pic;
  pic.SetSize(10, 10);
  pic.Canvas()->Brush()->SetColor(clBlue);
  pic.Canvas()->FillRect(Rect(0, 0, 10, 10));
  pic.Canvas()->SetPixels(0, 9, clRed);  // the bottom-left colour is the transparent one
  image->Picture()->SetBitmap(&pic);
  form->Show();
  Pump();
  struct {
    bool Stretch, Center, Transparent;
    TPoint Blue, White;
  } const cases[] = {
      {false, false, false, {5, 5}, {15, 15}},
      {false, true, false, {20, 20}, {5, 5}},
      {true, false, false, {35, 35}, {-1, -1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Stretch << c.Center << c.Transparent);
    image->SetStretch(c.Stretch);
    image->SetCenter(c.Center);
    image->SetTransparent(c.Transparent);
    TDib target(100, 100, 0);
    SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(target.At(c.Blue.X, c.Blue.Y), GdiColor(clBlue));
    if (c.White.X >= 0) {
      EXPECT_EQ(target.At(c.White.X, c.White.Y), GdiColor(clWhite));
    }
  }
  // Transparent: the red corner shows the form behind it.
  image->SetStretch(false);
  image->SetCenter(false);
  image->SetTransparent(true);
  TDib target(100, 100, 0);
  SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(target.At(0, 9), GdiColor(clWhite));
  EXPECT_EQ(target.At(1, 1), GdiColor(clBlue));
}

}  // namespace

namespace {

TEST(StdForms, GlyphsAndPicturesTravelThroughFormFiles) {
  auto* form = new TStdForm(nullptr);
  form->SetName("StdForm");
  auto* speed = new TSpeedButton(form);
  speed->SetName("Speed1");
  speed->SetParent(form);
  auto* image = new TImage(form);
  image->SetName("Image1");
  image->SetParent(form);
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas()->Brush()->SetColor(clLime);
  strip.Canvas()->FillRect(Rect(0, 0, 16, 16));
  strip.Canvas()->Brush()->SetColor(clNavy);
  strip.Canvas()->FillRect(Rect(16, 0, 32, 16));
  speed->SetGlyph(&strip);
  EXPECT_EQ(speed->NumGlyphs(), 2);  // a strip of squares tells its cells
  image->Picture()->SetBitmap(&strip);
  std::string text = WriteComponentText(form);
  form->Free();
  EXPECT_NE(text.find("Glyph.Data = {"), std::string::npos);
  EXPECT_NE(text.find("Picture.Data = {"), std::string::npos);

  TStdForm* again = ReadStdForm(text);
  auto* speed2 = Find<TSpeedButton>(again, "Speed1");
  auto* image2 = Find<TImage>(again, "Image1");
  ASSERT_TRUE(speed2 && image2);
  EXPECT_EQ(speed2->Glyph()->Width(), 32);
  EXPECT_EQ(speed2->NumGlyphs(), 2);
  EXPECT_EQ(speed2->Glyph()->Canvas()->Pixels(20, 5), clNavy);
  EXPECT_EQ(image2->Picture()->Width(), 32);
  EXPECT_EQ(image2->Picture()->Bitmap()->Canvas()->Pixels(3, 3), clLime);
  again->Free();

  // Broken picture data is refused with an error, never read past its end.
  const std::string broken[] = {
      "object StdForm: TStdForm\n  object Image1: TImage\n    Picture.Data = {07544269746D6170424D}\n  end\nend\n",
      "object StdForm: TStdForm\n  object Image1: TImage\n    Picture.Data = {FF54}\n  end\nend\n",
      "object StdForm: TStdForm\n  object Image1: TImage\n    Picture.Data = {0454496E7900}\n  end\nend\n",
      "object StdForm: TStdForm\n  object S: TSpeedButton\n    Glyph.Data = {424D0100}\n  end\nend\n",
  };
  for (const std::string& b : broken) {
    SCOPED_TRACE(b);
    auto* f = new TStdForm(nullptr);
    EXPECT_THROW(ReadComponentText(b, f), Exception);
    f->Free();
  }
}

}  // namespace

namespace {

// A glyph strip of square cells, each of one colour, its bottom-left pixel magenta (transparent).
TBitmap* MakeStrip(std::initializer_list<TColor> cells) {
  auto* b = new TBitmap;
  int n = int(cells.size());
  b->SetSize(8 * n, 8);
  int i = 0;
  for (TColor c : cells) {
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(Rect(8 * i, 0, 8 * i + 8, 8));
    ++i;
  }
  b->Canvas()->SetPixels(0, 7, clFuchsia);
  return b;
}

bool Shows(const TDib& t, int w, int h, TColor color) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (t.At(x, y) == GdiColor(color)) return true;
  return false;
}

TEST_F(StdFormControls, ButtonsDrawTheGlyphCellOfTheirState) {
  form->SetBounds(0, 0, 200, 100);
  form->SetColor(clWhite);
  auto* speed = new TSpeedButton(form);
  speed->SetParent(form);
  speed->SetBounds(0, 0, 30, 30);
  speed->SetGroupIndex(1);
  speed->SetAllowAllUp(true);
  std::unique_ptr<TBitmap> strip(MakeStrip({clLime, clBlue, clRed, clYellow}));
  speed->SetGlyph(strip.get());
  ASSERT_EQ(speed->NumGlyphs(), 4);
  auto* bit = new TBitBtn(form);
  bit->SetParent(form);
  bit->SetBounds(50, 0, 75, 25);
  std::unique_ptr<TBitmap> two(MakeStrip({clLime, clBlue}));
  bit->SetGlyph(two.get());
  form->Show();
  Pump();

  struct {
    const char* Name;
    std::function<void()> Make;
    TColor Shown, NotShown;
  } const speedCases[] = {
      {"up", [&] {}, clLime, clBlue},
      {"disabled", [&] { speed->SetEnabled(false); }, clBlue, clLime},
      {"down", [&] { speed->SetEnabled(true); speed->SetDown(true); }, clYellow, clLime},
      {"down and disabled", [&] { speed->SetEnabled(false); }, clYellow, clBlue},
  };
  for (const auto& c : speedCases) {
    SCOPED_TRACE(c.Name);
    c.Make();
    TDib target(30, 30, 0);
    SendMessageW(form->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_TRUE(Shows(target, 30, 30, c.Shown));
    EXPECT_FALSE(Shows(target, 30, 30, c.NotShown));
    EXPECT_FALSE(Shows(target, 30, 30, clFuchsia));  // the transparent colour never shows
  }

  // The bit button draws itself when the system asks; its disabled cell is the second one, and a
  // single cell is drawn embossed instead.
  auto draw = [&](UINT state) {
    auto target = std::make_unique<TDib>(75, 25, 0);
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_BUTTON;
    d.CtlID = UINT(GetDlgCtrlID(bit->Handle()));
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = state;
    d.hwndItem = bit->Handle();
    d.hDC = target->DC;
    d.rcItem = {0, 0, 75, 25};
    SendMessageW(form->Handle(), WM_DRAWITEM, d.CtlID, LPARAM(&d));
    return target;
  };
  EXPECT_TRUE(Shows(*draw(0), 75, 25, clLime));
  EXPECT_TRUE(Shows(*draw(ODS_DISABLED), 75, 25, clBlue));
  bit->SetNumGlyphs(1);
  auto embossed = draw(ODS_DISABLED);
  EXPECT_FALSE(Shows(*embossed, 75, 25, clLime));
  EXPECT_TRUE(Shows(*embossed, 75, 25, clBtnShadow));
}

TEST_F(StdFormControls, PanelWithParentBackgroundShowsWhatLiesBehind) {
  form->SetBounds(0, 0, 200, 200);
  auto* outer = new TPanel(form);
  outer->SetParent(form);
  outer->SetBounds(0, 0, 150, 150);
  outer->SetColor(clYellow);
  outer->SetBevelOuter(bvNone);
  auto* inner = new TPanel(form);
  inner->SetParent(outer);
  inner->SetBounds(20, 20, 60, 60);
  inner->SetColor(clRed);
  inner->SetBevelOuter(bvNone);
  form->Show();
  Pump();
  for (bool parentBackground : {false, true}) {
    SCOPED_TRACE(parentBackground);
    inner->SetParentBackground(parentBackground);
    TDib target(60, 60, 0);
    SendMessageW(inner->Handle(), WM_PRINTCLIENT, WPARAM(target.DC), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(target.At(30, 30), GdiColor(parentBackground ? clYellow : clRed));
  }
}

}  // namespace

// The bound controls in a form file: a connection stored connected, a query, a data source, a
// grid and the editors bound together; what the grid paints and how it scrolls; editing in the
// grid and in the editors through real key and mouse messages, down to the rows of the file.
#include <gtest/gtest.h>

#include <tuple>

#include "classlib/controls/forms.h"
#include "classlib/core/form_file.h"
#include "classlib/db/dbctrls.h"
#include "classlib/db/dbgrids.h"
#include "tests/support/message_log.h"
#include "tests/support/dib.h"
#include "tests/classlib/db/db_fixture.h"

namespace {

// A string of a form file: printable ASCII in quotes, everything else as #n.
std::string FormString(const WideString& s) {
  std::string out;
  bool quoted = false;
  for (wchar_t c : s) {
    if (c >= 32 && c < 127) {
      if (!quoted) out += '\'';
      quoted = true;
      out += char(c);
      if (c == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += "#" + std::to_string(unsigned(c));
    }
  }
  if (quoted) out += '\'';
  return out.empty() ? "''" : out;
}

class TNotesForm : public TForm {
  KARO_CLASS(TNotesForm)
public:
  using TForm::TForm;
  int mouseUps = 0;
  void D_DBGrid1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    ++mouseUps;
    dyn<TADOQuery>(FindComponent("D_ADOQuery1"))->Edit();
  }
};

KARO_CLASS_PROPS(TNotesForm, TForm, Method("D_DBGrid1MouseUp", &TNotesForm::D_DBGrid1MouseUp))

std::string NotesFormText(const WideString& connection) {
  return R"(object NotesForm: TNotesForm
  Left = 0
  Top = 0
  Caption = 'Notes'
  ClientHeight = 300
  ClientWidth = 500
  object ADOConnection: TADOConnection
    Connected = True
    ConnectionString = )" +
         FormString(connection) + R"(
    LoginPrompt = False
    Mode = cmShareDenyNone
    Provider = 'Microsoft.Jet.OLEDB.4.0'
  end
  object D_ADOQuery1: TADOQuery
    Connection = ADOConnection
    CursorType = ctStatic
    Parameters = <>
    SQL.Strings = (
      'select * from  ZuoPin where '
      'LeiBie = :cat'
      ' order by BiaoTi')
  end
  object D_DataSource1: TDataSource
    DataSet = D_ADOQuery1
  end
  object D_DBGrid1: TDBGrid
    Left = 0
    Top = 0
    Width = 200
    Height = 150
    Color = clInfoBk
    DataSource = D_DataSource1
    Options = [dgEditing, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit]
    TabOrder = 0
    OnMouseUp = D_DBGrid1MouseUp
    Columns = <
      item
        Alignment = taCenter
        Expanded = False
        FieldName = 'BiaoTi'
        Title.Alignment = taCenter
        Width = 72
        Visible = True
      end
      item
        FieldName = 'ShuLiang'
        Title.Caption = #25968#37327
        Width = 60
      end>
  end
  object D_DBEdit1: TDBEdit
    Left = 210
    Top = 8
    Width = 120
    Height = 21
    DataField = 'BiaoTi'
    DataSource = D_DataSource1
    TabOrder = 1
  end
  object D_DBEdit3: TDBEdit
    Left = 210
    Top = 36
    Width = 120
    Height = 21
    DataField = 'ShuLiang'
    DataSource = D_DataSource1
    TabOrder = 2
  end
  object D_DBComboBox2: TDBComboBox
    Left = 210
    Top = 64
    Width = 120
    Height = 21
    DataField = 'BiaoJi'
    DataSource = D_DataSource1
    Items.Strings = (
      'm1'
      'm2')
    TabOrder = 3
  end
  object D_DBRichEdit1: TDBRichEdit
    Left = 210
    Top = 92
    Width = 200
    Height = 100
    DataField = 'NeiRong'
    DataSource = D_DataSource1
    ScrollBars = ssVertical
    TabOrder = 4
  end
end
)";
}

class DbControls : public DbFixture {
protected:
  void SetUp() override {
    DbFixture::SetUp();
    std::string text = NotesFormText(KaroConnectionString(folder));
    form = NewForm<TNotesForm>(nullptr, &text);
    connection = dyn<TADOConnection>(form->FindComponent("ADOConnection"));
    query = dyn<TADOQuery>(form->FindComponent("D_ADOQuery1"));
    grid = dyn<TDBGrid>(form->FindComponent("D_DBGrid1"));
    title = dyn<TDBEdit>(form->FindComponent("D_DBEdit1"));
    count = dyn<TDBEdit>(form->FindComponent("D_DBEdit3"));
    mark = dyn<TDBComboBox>(form->FindComponent("D_DBComboBox2"));
    content = dyn<TDBRichEdit>(form->FindComponent("D_DBRichEdit1"));
    ASSERT_TRUE(connection && query && grid && title && count && mark && content);
    form->Show();
    Pump();
    query->ParamByName(L"cat")->SetValue(Variant(L"poem"));
    query->Open();
    Pump();
  }
  void TearDown() override {
    form->Free();
    Pump();
    DbFixture::TearDown();
  }
  void Key(HWND wnd, WORD vk) {
    SendMessageW(wnd, WM_KEYDOWN, vk, 1);
    SendMessageW(wnd, WM_KEYUP, vk, LPARAM(0xC0000001));
  }
  void Chars(HWND wnd, const WideString& s) {
    for (wchar_t c : s) SendMessageW(wnd, WM_CHAR, c, 1);
  }
  // The keyboard state that the key messages' shift state is read from.
  void Ctrl(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void Click(HWND wnd, int x, int y, bool dbl = false) {
    SendMessageW(wnd, dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  TNotesForm* form = nullptr;
  TADOConnection* connection = nullptr;
  TADOQuery* query = nullptr;
  TDBGrid* grid = nullptr;
  TDBEdit *title = nullptr, *count = nullptr;
  TDBComboBox* mark = nullptr;
  TDBRichEdit* content = nullptr;
};

TEST_F(DbControls, FormFileBindsConnectionQuerySourceGridAndEditors) {
  EXPECT_TRUE(connection->Connected());  // stored connected: opened when loading ended
  EXPECT_EQ(connection->Mode(), cmShareDenyNone);
  EXPECT_FALSE(connection->LoginPrompt());
  EXPECT_EQ(query->CursorType(), ctStatic);
  EXPECT_EQ(query->SQL()->Count(), 3);
  EXPECT_EQ(query->RecordCount(), 4);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->Columns()->Items(0)->Title()->Alignment(), taCenter);
  EXPECT_EQ(grid->Columns()->Items(0)->Alignment(), taCenter);
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 72);
  EXPECT_EQ(grid->Columns()->Items(1)->Title()->Caption(), L"\u6570\u91cf");
  EXPECT_EQ(grid->Columns()->Items(1)->Field(), query->FieldByName(L"ShuLiang"));
  EXPECT_FALSE(grid->Options().Contains(dgTitles));
  // The editors show the current record and follow it.
  EXPECT_EQ(title->Text(), L"a");
  EXPECT_EQ(count->Text(), L"1");
  EXPECT_EQ(mark->Text(), L"m1");
  query->Next();
  EXPECT_EQ(title->Text(), L"b");
  EXPECT_EQ(count->Text(), L"");
  EXPECT_EQ(content->Text(), L"text");
  // A form written back names the same bindings.
  std::string written = WriteComponentText(form);
  EXPECT_NE(written.find("DataSource = D_DataSource1"), std::string::npos);
  EXPECT_NE(written.find("Title.Alignment = taCenter"), std::string::npos);
  EXPECT_NE(written.find("OnMouseUp = D_DBGrid1MouseUp"), std::string::npos);
}

TEST_F(DbControls, ConnectionThatCannotOpenFailsTheFormFile) {
  std::string text = NotesFormText(KaroConnectionString(folder, L"wrong"));
  EXPECT_THROW(NewForm<TNotesForm>(nullptr, &text), EOleException);
}

TEST_F(DbControls, GridPaintsOnlyVisibleRowsWithSelectionAndLines) {
  grid->SetFocus();
  Pump();
  ASSERT_TRUE(grid->Focused());
  TDib t(200, 150, 0);
  SendMessageW(grid->Handle(), WM_PRINTCLIENT, WPARAM(t.DC), PRF_CLIENT | PRF_ERASEBKGND);
  int rowH = grid->RowHeight();
  EXPECT_EQ(grid->TitleHeight(), 0);
  // Selected cell of the current record: the highlight colour; the next cell, the grid's colour.
  TRect sel = grid->CellRect(0, 0);
  EXPECT_EQ(t.At(sel.Left + 3, sel.Top + 1), COLORREF(ColorToRGB(clHighlight)));
  TRect other = grid->CellRect(0, 1);
  EXPECT_EQ(t.At(other.Right - 4, other.Top + 1), COLORREF(ColorToRGB(clInfoBk)));
  // Lines between rows and columns.
  EXPECT_EQ(t.At(other.Left + 5, sel.Bottom - 1), RGB(192, 192, 192));
  EXPECT_EQ(t.At(sel.Right - 1, sel.Top + 5), RGB(192, 192, 192));
  // The indicator: fixed colour with a dark mark on the current row only.
  auto darkIn = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += t.At(x, y) == RGB(0, 0, 0);
    return n;
  };
  EXPECT_GT(darkIn(1, 1, 10, rowH - 1), 3);
  EXPECT_EQ(darkIn(1, rowH + 2, 10, 2 * rowH - 2), 0);
  // Text was drawn in the cells that have some (row 0 "a"/"1"), none below the last record.
  EXPECT_GT(darkIn(other.Left + 1, other.Top + 1, other.Right - 2, other.Bottom - 2), 0);
  int w = grid->ClientWidth(), h = grid->ClientHeight();
  ASSERT_GT(h, 4 * rowH + 4);
  EXPECT_EQ(darkIn(12, 4 * rowH + 2, w, h), 0);
  EXPECT_EQ(t.At(w - 2, h - 2), COLORREF(ColorToRGB(clInfoBk)));
}

TEST_F(DbControls, GridScrollBarsAndKeyboardNavigation) {
  TRawDb raw(folder + L"Karo.cc");
  raw.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
           "INSERT INTO ZuoPin (BiaoTi, ShuLiang, LeiBie) SELECT 'r' || printf('%03d', i), i, 'poem' FROM n");
  query->Close();
  query->Open();
  ASSERT_EQ(query->RecordCount(), 104);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 103);
  EXPECT_EQ(int(si.nPage), grid->VisibleRowCount());
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(grid->TopRecord(), grid->VisibleRowCount());
  EXPECT_EQ(query->RecNo(), 1);  // scrolling moves the view, not the record
  grid->SetFocus();
  Key(grid->Handle(), VK_DOWN);
  EXPECT_EQ(query->RecNo(), 2);
  EXPECT_EQ(grid->TopRecord(), 1);  // the current record is brought into view
  Key(grid->Handle(), VK_NEXT);
  EXPECT_EQ(query->RecNo(), 2 + grid->VisibleRowCount());
  Ctrl(true);
  Key(grid->Handle(), VK_END);
  Ctrl(false);
  EXPECT_EQ(query->RecNo(), 104);
  EXPECT_EQ(grid->TopRecord(), 104 - grid->VisibleRowCount());
  GetScrollInfo(grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, grid->TopRecord());
  Key(grid->Handle(), VK_RIGHT);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  Key(grid->Handle(), VK_TAB);
  EXPECT_EQ(grid->SelectedIndex(), 1);  // the last column
  Key(grid->Handle(), VK_LEFT);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  // Column resize by dragging the border of a column in the first row area is for titles only:
  // this grid has none, so a drag there selects instead.
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 72);
}

TEST_F(DbControls, LongTextsStayInsideTheirCells) {
  // Row 1 ("b", no count): a title much wider than its centred 72-pixel column, next to an empty
  // cell; the first title much wider than its column too.
  TRawDb raw(folder + L"Karo.cc");
  raw.Insert2("UPDATE ZuoPin SET BiaoTi = 'b' || ?1 || ?2 WHERE BiaoTi = 'b'",
              L"\u4e00\u4e08\u9752\u5c71\u4fbf\u5316\u8eab\uff0c\u4e00\u4eba\u5f97\u9053", L"\u9e21\u72ac\u5347\u5929WWWW");
  query->Close();
  query->Open();
  // The font Karo's simplified region asks for, which the font mapper finds a Chinese face for.
  grid->Font()->SetName(L"simsun");
  grid->Font()->SetCharset(GB2312_CHARSET);
  TDBGridOptions options = grid->Options();
  options.Include(dgTitles);
  grid->SetOptions(options);
  grid->Columns()->Items(0)->Title()->SetCaption(L"\u4e00\u4eba\u5f97\u9053\uff0c\u9e21\u72ac\u5347\u5929WWWWWWWW");
  grid->Columns()->Items(1)->Title()->SetCaption(L" ");
  const int ind = 11, titleH = grid->TitleHeight();
  ASSERT_GT(titleH, 0);
  // Scrolled to the left edge, and then by a few pixels so that the first column lies partly
  // under the indicator.
  for (int scrolled : {0, 1}) {
    SCOPED_TRACE(scrolled ? "scrolled" : "not scrolled");
    if (scrolled) {
      grid->Columns()->Items(1)->SetWidth(300);
      SendMessageW(grid->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
      ASSERT_LT(grid->CellRect(1, 0).Left, ind);
    }
    TDib t(200, 150, 0);
    SendMessageW(grid->Handle(), WM_PRINTCLIENT, WPARAM(t.DC), PRF_CLIENT | PRF_ERASEBKGND);
    const TRect cell = grid->CellRect(1, 0), next = grid->CellRect(1, 1);
    auto darkIn = [&](int x0, int y0, int x1, int y1) {
      int n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const COLORREF c = t.At(x, y);
          n += GetRValue(c) < 96 && GetGValue(c) < 96 && GetBValue(c) < 96;
        }
      return n;
    };
    // Drawn inside the cell; nothing on the indicator beside it or in the empty cell after it.
    EXPECT_GT(darkIn(std::max(cell.Left, ind) + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1), 10);
    EXPECT_EQ(darkIn(1, cell.Top + 1, ind - 1, cell.Bottom - 1), 0);
    EXPECT_EQ(darkIn(next.Left, next.Top, next.Right, next.Bottom), 0);
    // The titles likewise: the caption stays in its own title cell, off the indicator's and off
    // the empty next one.
    EXPECT_GT(darkIn(std::max(cell.Left, ind) + 1, 1, cell.Right - 1, titleH - 1), 10);
    EXPECT_EQ(darkIn(1, 1, ind - 1, titleH - 1), 0);
    EXPECT_EQ(darkIn(next.Left, 1, next.Right - 1, titleH - 1), 0);
  }
}

TEST_F(DbControls, HorizontalScrollBarShowsOnlyWhileColumnsAreHidden) {
  // More rows than fit, so that the vertical bar's page is the rows that fit.
  TRawDb raw(folder + L"Karo.cc");
  raw.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
           "INSERT INTO ZuoPin (BiaoTi, ShuLiang, LeiBie) SELECT 'r' || i, i, 'poem' FROM n");
  query->Close();
  query->Open();
  auto bars = [&] {
    SCROLLINFO h{}, v{};
    h.cbSize = v.cbSize = sizeof(SCROLLINFO);
    h.fMask = v.fMask = SIF_ALL;
    GetScrollInfo(grid->Handle(), SB_HORZ, &h);
    GetScrollInfo(grid->Handle(), SB_VERT, &v);
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(grid->Handle(), OBJID_HSCROLL, &info);
    const LONG_PTR style = GetWindowLongPtrW(grid->Handle(), GWL_STYLE);
    return std::tuple{(style & WS_HSCROLL) != 0, (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) == 0, h, v,
                      (style & WS_VSCROLL) != 0};
  };
  // Indicator, 72 and 60 pixels: all in the client area.
  auto [shown, visible, h, v, vertical] = bars();
  ASSERT_LT(11 + 72 + 60, grid->ClientWidth());
  EXPECT_FALSE(shown);
  EXPECT_FALSE(visible);
  EXPECT_TRUE(vertical);  // the vertical bar stays, disabled while every row shows
  const int fullHeight = grid->ClientHeight();

  // A column wider than the rest of the grid hides some of it: the bar shows its range.
  grid->Columns()->Items(1)->SetWidth(200);
  std::tie(shown, visible, h, v, vertical) = bars();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(visible);
  EXPECT_EQ(h.nMax, 11 + 72 + 200 - 1);
  EXPECT_EQ(int(h.nPage), grid->ClientWidth());
  EXPECT_LT(grid->ClientHeight(), fullHeight);
  EXPECT_EQ(int(v.nPage), grid->VisibleRowCount());  // the rows that fit above the bar

  // Narrow again: the bar goes, and the rows fill the height again.
  grid->Columns()->Items(1)->SetWidth(60);
  std::tie(shown, visible, h, v, vertical) = bars();
  EXPECT_FALSE(shown);
  EXPECT_FALSE(visible);
  EXPECT_EQ(grid->ClientHeight(), fullHeight);
  EXPECT_EQ(int(v.nPage), grid->VisibleRowCount());
}

TEST_F(DbControls, InPlaceEditingByKeysWritesTheRow) {
  grid->SetFocus();
  Pump();
  TRawDb raw(folder + L"Karo.cc");
  // Typing starts the editor with that character; Enter posts.
  Chars(grid->Handle(), L"X");
  ASSERT_NE(grid->EditorHandle(), nullptr);
  EXPECT_EQ(query->State(), dsEdit);
  Chars(grid->EditorHandle(), L"\u6625\U0001F600");
  Key(grid->EditorHandle(), VK_RETURN);
  EXPECT_EQ(grid->EditorHandle(), nullptr);
  EXPECT_EQ(query->State(), dsBrowse);
  EXPECT_EQ(raw.Column("SELECT BiaoTi FROM ZuoPin WHERE rowid = 1"), L"X\u6625\U0001F600");
  // Escape drops what was typed.
  Key(grid->Handle(), VK_F2);
  ASSERT_NE(grid->EditorHandle(), nullptr);
  Chars(grid->EditorHandle(), L"zz");
  Key(grid->EditorHandle(), VK_ESCAPE);
  EXPECT_EQ(query->State(), dsBrowse);
  EXPECT_EQ(raw.Column("SELECT BiaoTi FROM ZuoPin WHERE rowid = 1"), L"X\u6625\U0001F600");
  // Moving down from the editor posts the change and moves; typed characters replace the cell.
  Key(grid->Handle(), VK_RIGHT);
  Chars(grid->Handle(), L"9");
  Chars(grid->EditorHandle(), L"8");
  Key(grid->EditorHandle(), VK_DOWN);
  EXPECT_EQ(query->RecNo(), 2);
  EXPECT_EQ(raw.Column("SELECT ShuLiang FROM ZuoPin WHERE rowid = 1"), L"98");
  // A number column refuses text: the error stays with the record, which stays edited.
  Chars(grid->Handle(), L"q");
  EXPECT_THROW(grid->SetEditorMode(false), EConvertError);
  EXPECT_EQ(query->State(), dsEdit);
  query->Cancel();
}

TEST_F(DbControls, MouseSelectsRecordsAndOpensTheEditor) {
  int rowH = grid->RowHeight();
  Click(grid->Handle(), 30, 2 * rowH + 3);
  EXPECT_EQ(query->RecNo(), 3);
  EXPECT_EQ(title->Text(), L"c");
  EXPECT_EQ(form->mouseUps, 1);  // the mouse-up handler of the form ran (it puts the query in edit)
  EXPECT_EQ(query->State(), dsEdit);
  query->Cancel();
  Click(grid->Handle(), 30, 2 * rowH + 3);  // the selected cell again: editor
  ASSERT_NE(grid->EditorHandle(), nullptr);
  Click(grid->Handle(), 30, rowH + 3);  // elsewhere: the editor closes, the record moves
  EXPECT_EQ(grid->EditorHandle(), nullptr);
  EXPECT_EQ(query->RecNo(), 2);
  query->Cancel();
  Click(grid->Handle(), 100, 3, true);  // double click on a cell
  EXPECT_NE(grid->EditorHandle(), nullptr);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  query->Cancel();
}

TEST_F(DbControls, TitlesShowAndColumnsResizeByDraggingTheirBorder) {
  grid->SetOptions(grid->Options() + TDBGridOptions{dgTitles});
  Pump();
  int titleH = grid->TitleHeight();
  ASSERT_GT(titleH, 0);
  TDib t(200, 150, 0);
  SendMessageW(grid->Handle(), WM_PRINTCLIENT, WPARAM(t.DC), PRF_CLIENT | PRF_ERASEBKGND);
  // The title row in the fixed colour; the first data row stands below it.
  TRect first = grid->CellRect(0, 0);
  EXPECT_EQ(t.At(first.Left + 3, titleH - 3), COLORREF(ColorToRGB(clBtnFace)));
  EXPECT_EQ(first.Top, titleH);
  int border = first.Right;  // the indicator's width plus the first column's
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border - 1, titleH / 2));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(border + 29, titleH / 2));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(border + 29, titleH / 2));
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 102);
  EXPECT_EQ(query->RecNo(), 1);  // a drag on a title moves no record
  // Without the option the border is only a border.
  grid->SetOptions(grid->Options() - TDBGridOptions{dgColumnResize});
  border = grid->CellRect(0, 0).Right;
  SendMessageW(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(border - 1, titleH / 2));
  SendMessageW(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(border + 29, titleH / 2));
  SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(border + 29, titleH / 2));
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 102);
}

// The title row takes the font the grid takes from its form, until the program sets one of its own.
TEST_F(DbControls, TheTitleFontFollowsTheGridsFontUntilItIsSetForItself) {
  ASSERT_TRUE(grid->ParentFont());
  grid->Parent()->Font()->SetName(L"SimSun");
  grid->Parent()->Font()->SetCharset(GB2312_CHARSET);
  EXPECT_EQ(grid->Font()->Name(), L"SimSun");
  EXPECT_EQ(grid->TitleFont()->Name(), L"SimSun");
  EXPECT_EQ(grid->TitleFont()->Charset(), GB2312_CHARSET);
  grid->TitleFont()->SetSize(14);
  grid->Parent()->Font()->SetName(L"Tahoma");
  EXPECT_EQ(grid->Font()->Name(), L"Tahoma");
  EXPECT_EQ(grid->TitleFont()->Name(), L"SimSun") << "a title font of its own stays";
  EXPECT_EQ(grid->TitleFont()->Size(), 14);
}

TEST_F(DbControls, ReadOnlyGridNeverEdits) {
  grid->SetReadOnly(true);
  grid->SetFocus();
  Chars(grid->Handle(), L"X");
  Key(grid->Handle(), VK_F2);
  EXPECT_EQ(grid->EditorHandle(), nullptr);
  EXPECT_EQ(query->State(), dsBrowse);
}

TEST_F(DbControls, GridDeleteAsksFirst) {
  bool answer = false;
  int asked = 0;
  auto saved = TDBGrid::ConfirmDelete;
  TDBGrid::ConfirmDelete = [&](TDBGrid*) {
    ++asked;
    return answer;
  };
  grid->SetFocus();
  Ctrl(true);
  Key(grid->Handle(), VK_DELETE);
  EXPECT_EQ(query->RecordCount(), 4);
  answer = true;
  Key(grid->Handle(), VK_DELETE);
  Ctrl(false);
  TDBGrid::ConfirmDelete = saved;
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(query->RecordCount(), 3);
}

TEST_F(DbControls, EditorsEditByTypingAndPostTheirText) {
  TRawDb raw(folder + L"Karo.cc");
  title->SetFocus();
  Chars(title->Handle(), L"!");  // typing puts the query into edit state
  EXPECT_EQ(query->State(), dsEdit);
  EXPECT_TRUE(title->Text().find(L"!") != WideString::npos);
  query->Post();
  EXPECT_EQ(raw.Column("SELECT BiaoTi FROM ZuoPin WHERE rowid = 1"), title->Text());
  // Karo's New: Edit, Append, texts set by the program reach the fields at Post.
  query->Edit();
  query->Append();
  EXPECT_EQ(title->Text(), L"");
  count->SetText(L"0");
  query->FieldByName(L"BiaoTi")->SetValue(Variant(title->Text()));
  query->FieldByName(L"LeiBie")->SetValue(Variant(L"poem"));
  query->FieldByName(L"BiaoJi")->SetValue(Variant(mark->Items()->Strings(0)));
  EXPECT_EQ(mark->Text(), L"m1");
  query->Post();
  EXPECT_EQ(raw.Column("SELECT quote(BiaoTi) || '/' || ShuLiang || '/' || BiaoJi FROM ZuoPin WHERE rowid = 6"),
            L"''/0/m1");
  // A bad number in the editor fails Post and leaves the record edited, nothing written.
  query->Edit();
  count->SetText(L"abc");
  EXPECT_THROW(query->Post(), EConvertError);
  EXPECT_EQ(query->State(), dsEdit);
  query->Cancel();
  EXPECT_EQ(count->Text(), L"0");
  // Choosing another item of the combo's list by key edits the record and reaches the field.
  mark->SetFocus();
  HWND keys = mark->EditHandle() ? mark->EditHandle() : mark->Handle();
  Key(keys, VK_DOWN);
  EXPECT_EQ(query->State(), dsEdit);
  Key(keys, VK_DOWN);  // the first press may only find the shown text's own item
  EXPECT_EQ(mark->Text(), L"m2");
  query->Post();
  EXPECT_EQ(raw.Column("SELECT BiaoJi FROM ZuoPin WHERE rowid = 6"), L"m2");
  // The rich editor's text goes to its field as well.
  content->SetFocus();
  Chars(content->Handle(), L"n");
  EXPECT_EQ(query->State(), dsEdit);
  query->Post();
  EXPECT_EQ(raw.Column("SELECT NeiRong FROM ZuoPin WHERE rowid = 6"), L"n");
}

TEST_F(DbControls, EditorsOfAClosedQueryRefuseTyping) {
  query->Close();
  EXPECT_EQ(title->Text(), L"");
  title->SetFocus();
  Chars(title->Handle(), L"x");
  EXPECT_EQ(title->Text(), L"");
}

}  // namespace

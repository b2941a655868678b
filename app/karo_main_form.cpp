// Karo's main form: start-up, the rhyme look-up pages, the word and idiom search, the notes, the
// skin and region lists, the scratch pads.
#include "app/karo_main_form.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>

#include "app/karo_data_module.h"
#include "app/karo_language.h"
#include "app/scratch_pads.h"
#include "classlib/controls/dialogs.h"

TK* K = nullptr;
TKaroUnitValues KaroValues;
HANDLE KaroMutex = nullptr;
const wchar_t* const kKaroWebPage = L"https://karo.example.org/";
std::function<void(const std::string& step)> KaroStartupProbe;
std::function<void(HWND window, const WideString& target, int show)> KaroShellOpen = [](HWND window,
                                                                                      const WideString& target,
                                                                                      int show) {
  ShellExecuteW(window, L"open", target.c_str(), nullptr, nullptr, show);
};

const char* const kKaroStatusLabelKeys[kKaroStatusLabelCount] = {
    "StatusBar_KaroMu", "StatusBar_ShengDiao", "StatusBar_TiaoJian",   "StatusBar_CiYu",
    "StatusBar_ChengYu", "StatusBar_PingSheYin", "StatusBar_JuanSheYin", "StatusBar_LeiBie",
    "StatusBar_ZongHe", "StatusBar_XiLie",      "StatusBar_ShuMu",      "StatusBar_WuJieGuo"};

namespace {

void Probe(const char* step) {
  if (KaroStartupProbe) KaroStartupProbe(step);
}

WideString W(const std::string& ascii) { return WideString(ascii.begin(), ascii.end()); }

TKaro_DataModule* DataModule() {
  if (!Karo_DataModule) throw Exception("Karo's data module has not been made");
  return Karo_DataModule;
}

// Close, the statement's lines, the values of its parameters, Open: every value the user typed or
// chose reaches the statement as a bound parameter, never as part of its text.
void Rebuild(TADOQuery* q, std::initializer_list<const wchar_t*> lines,
             std::initializer_list<std::pair<const wchar_t*, WideString>> values) {
  q->Close();
  q->SQL()->Clear();
  for (const wchar_t* line : lines) q->SQL()->Add(line);
  for (const auto& [name, value] : values) q->ParamByName(name)->SetValue(Variant(value));
  q->Open();
}

// While a page's queries are rebuilt, its grids neither redraw nor reset their scroll bars for the
// closed query in between, and the status bar does not repaint for each of its panels; each is
// painted once, with the new rows and texts, afterwards.
class TRedrawLock {
public:
  explicit TRedrawLock(std::initializer_list<TWinControl*> controls) {
    for (TWinControl* c : controls)
      if (c->HandleAllocated() && IsWindowVisible(c->Handle())) {
        SendMessageW(c->Handle(), WM_SETREDRAW, FALSE, 0);
        locked_.push_back(c->Handle());
      }
  }
  ~TRedrawLock() {
    for (HWND h : locked_) {
      SendMessageW(h, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    }
  }
  TRedrawLock(const TRedrawLock&) = delete;
  TRedrawLock& operator=(const TRedrawLock&) = delete;

private:
  std::vector<HWND> locked_;
};

}  // namespace

// The controls and queries of one rhyme look-up page: A's, or B's twins of the same names.
struct TK::TRhymePage {
  TComboBox* Group;
  TComboBox* Final;
  TComboBox* Tone;
  TADOQuery* Top;
  TADOQuery* Ping;
  TADOQuery* Juan;
  TDBGrid* PingGrid;
  TDBGrid* JuanGrid;
};

void TKaroNotesLink::ActiveChanged() { form_->UpdateNavigation(); }
void TKaroNotesLink::DataSetChanged() { form_->UpdateNavigation(); }
void TKaroNotesLink::EditingChanged() { form_->UpdateNavigation(); }

TK::~TK() = default;

TK::TRhymePage TK::Page(char letter) const {
  const std::string p(1, letter);
  TKaro_DataModule* dm = DataModule();
  return {C<TComboBox>(p + "_ComboBox1"),
          C<TComboBox>(p + "_ComboBox2"),
          C<TComboBox>(p + "_ComboBox3"),
          letter == 'A' ? dm->A_ADOQuery_Top() : dm->B_ADOQuery_Top(),
          letter == 'A' ? dm->A_ADOQuery1() : dm->B_ADOQuery1(),
          letter == 'A' ? dm->A_ADOQuery2() : dm->B_ADOQuery2(),
          C<TDBGrid>(p + "_DBGrid1"),
          C<TDBGrid>(p + "_DBGrid2")};
}

void TK::Loaded() {
  TForm::Loaded();
  Probe(SkinData()->NoSkinLoaded ? "form read without a skin" : "form read");
}

// ---- Start-up

void TK::FormCreate(TObject*) {
  Probe("FormCreate");
  KaroMutex = CreateMutexA(nullptr, FALSE, "Karo");
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    Application->MessageBox(L"You Are Already Run The Karo !", L"Oh!", 0);
    Halt(0);
  }
  C<TPageControl>("PageControl")->SetActivePageIndex(0);
  ReadLanguage();
}

void TK::ReadLanguage() {
  KaroValues.LanguagePath = KaroLanguageFilePath();
  const TKaroLanguageFile ini(KaroValues.LanguagePath);

  KaroValues.SkinName = ini.ReadString(L"Language", L"Skin", L"Yellow");
  ApplySkin(KaroValues.SkinName);

  KaroValues.Region = ini.ReadString(L"Language", L"Region", L"CN");
  if (KaroValues.Region == L"CN") {
    Font()->SetName(L"simsun");
    Font()->SetSize(9);
    // The character set lets the font mapper find a Chinese face where the named one is missing.
    Font()->SetCharset(GB2312_CHARSET);
  } else if (KaroValues.Region == L"TW") {
    Font()->SetName(L"mingliu");
    Font()->SetSize(9);
    Font()->SetCharset(CHINESEBIG5_CHARSET);
  }
  const WideString& section = KaroValues.Region;
  auto text = [&](const std::string& key) { return ini.ReadString(section, W(key), W(key)); };
  auto caption = [&](const std::string& name, const std::string& key) { C<TControl>(name)->SetText(text(key)); };
  auto items = [&](TCustomComboBox* combo, const std::string& key, int count, bool clear) {
    if (clear) combo->Items()->Clear();
    for (int i = 1; i <= count; i++) combo->Items()->Add(text(key + "_Items" + std::to_string(i)));
  };
  auto titles = [&](const std::string& grid, int count) {
    TDBGridColumns* columns = C<TDBGrid>(grid)->Columns();
    for (int i = 0; i < count; i++)
      columns->Items(i)->Title()->SetCaption(text(grid + ".Columns[" + std::to_string(i) + "]"));
  };

  SetCaption(text("Tile"));
  for (int i = 1; i <= 4; i++) caption("TabSheet" + std::to_string(i), "TabSheet" + std::to_string(i));
  for (char p : {'A', 'B'}) {
    const std::string s(1, p);
    caption(s + "_Label1", "A_Label1");
    caption(s + "_Label2", "A_Label2");
    for (int i = 1; i <= 3; i++) caption(s + "_ComboBox" + std::to_string(i), "A_ComboBox");
  }
  KaroValues.Prompt = text("A_ComboBox");
  for (char p : {'A', 'B'}) {
    const std::string s(1, p);
    items(C<TComboBox>(s + "_ComboBox1"), "A_ComboBox1", 6, true);
    items(C<TComboBox>(s + "_ComboBox3"), "A_ComboBox3", 4, true);
  }
  caption("B_ComboBox4", "B_ComboBox4");
  caption("B_ComboBox5", "B_ComboBox5");
  titles("A_DBGrid1", 2);
  titles("A_DBGrid2", 2);
  titles("B_DBGrid1", 5);
  titles("B_DBGrid2", 5);
  titles("C_DBGrid1", 2);
  titles("C_DBGrid2", 2);
  for (int i = 1; i <= 3; i++) caption("A_SpeedButton" + std::to_string(i), "A_SpeedButton" + std::to_string(i));
  caption("B_SpeedButton1", "A_SpeedButton1");
  caption("C_Label1", "C_Label1");
  caption("C_ComboBox1", "C_ComboBox1");
  items(C<TComboBox>("C_ComboBox1"), "C_ComboBox1", 3, false);
  caption("C_Edit1", "C_Edit1");
  caption("C_SpeedButton1", "C_SpeedButton1");
  caption("D_ComboBox1", "D_ComboBox1");
  C<TComboBox>("D_ComboBox1")->SetDropDownCount(9);
  items(C<TComboBox>("D_ComboBox1"), "D_ComboBox1", 9, false);
  for (int i = 1; i <= 10; i++) caption("D_SpeedButton" + std::to_string(i), "D_SpeedButton" + std::to_string(i));
  KaroValues.ShellTarget = text("Up");
  for (int i = 1; i <= 8; i++) caption("D_Label" + std::to_string(i), "D_Label" + std::to_string(i));
  C<TDBComboBox>("D_DBComboBox1")->SetDropDownCount(9);
  items(C<TDBComboBox>("D_DBComboBox1"), "D_DBComboBox1", 9, false);
  items(C<TDBComboBox>("D_DBComboBox2"), "D_DBComboBox2", 5, false);
  for (int i = 0; i < kKaroStatusLabelCount; i++) KaroValues.StatusLabels[size_t(i)] = text(kKaroStatusLabelKeys[i]);
}

void TK::FormShow(TObject*) {
  Probe("FormShow");
  TKaro_DataModule* dm = DataModule();
  dm->ADOConnection()->SetConnected(true);
  for (TADOQuery* q : {dm->A_ADOQuery1(), dm->A_ADOQuery2(), dm->B_ADOQuery1(), dm->B_ADOQuery2(), dm->C_ADOQuery1(),
                       dm->C_ADOQuery2()})
    q->SetActive(true);

  OpenCategory();
  LoadScratchPads();
  SetActiveControl(Memo(1));
  SumNotes();
  DataModule()->D_ADOQuery1()->First();
}

void TK::FormClose(TObject*, TCloseAction& Action) {
  if (!SavePadsBeforeEnding(L"Close Karo anyway and lose what they hold?")) Action = caNone;
}

// ---- Skins and regions

bool TK::ApplySkin(const WideString& name) {
  TSkinCollection* items = SkinStore()->Store();
  for (int i = 0; i < items->Count(); i++) {
    if (W(items->Items(i)->Name()) != name) continue;
    SkinData()->LoadFromCollection(SkinStore(), i);
    const TColor colour = name == L"Yellow" ? clInfoBk : clWindow;
    C<TComboBox>("D_ComboBox1")->SetColor(colour);
    C<TDBGrid>("D_DBGrid1")->SetColor(colour);
    return true;
  }
  return false;
}

// Only a choice from the list reaches here (the list's selection event): a text typed into the
// list changes nothing.
void TK::B_ComboBox4Change(TObject*) {
  TComboBox* list = C<TComboBox>("B_ComboBox4");
  const int index = list->ItemIndex();
  if (index < 0) return;
  const WideString name = list->Items()->Strings(index);
  if (!ApplySkin(name)) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  KaroValues.LanguagePath = KaroLanguageFilePath();
  TKaroLanguageFile(KaroValues.LanguagePath).WriteString(L"Language", L"Skin", name);
  KaroValues.SkinName = name;
}

void TK::B_ComboBox5Change(TObject*) {
  TComboBox* list = C<TComboBox>("B_ComboBox5");
  const int index = list->ItemIndex();
  if (index < 0) return;
  KaroValues.LanguagePath = KaroLanguageFilePath();
  TKaroLanguageFile(KaroValues.LanguagePath).WriteString(L"Language", L"Region", list->Items()->Strings(index));
  // The program ends here without closing its form: the pads are saved first, as a close would,
  // and it does not end over a pad that could not be saved unless the user says so.
  if (!SavePadsBeforeEnding(L"Karo must end for the new region to take effect. End it anyway and lose what they "
                            L"hold? (If Karo stays open, the new region takes effect at its next start.)"))
    return;
  Application->MessageBox(L"Please Once Again Run The Karo !", L"Oh!", 0);
  Halt(0);
}

// ---- Rhyme look-up

void TK::SetStatus(int panel, const WideString& text) { StatusBar()->Panels()->Items(panel)->SetText(text); }

void TK::RhymeStatus(const TRhymePage& p) {
  const auto& l = KaroValues.StatusLabels;
  SetStatus(0, l[slKaroMu] + p.Final->Text() + L"  " + l[slShengDiao] + p.Tone->Text());
  SetStatus(1, l[slPingSheYin] + std::to_wstring(p.Ping->RecordCount()) + L"  " + l[slJuanSheYin] +
                   std::to_wstring(p.Juan->RecordCount()));
}

void TK::NoMatchStatus(const WideString& typed) {
  SetStatus(0, KaroValues.StatusLabels[slWuJieGuo] + typed);
  SetStatus(1, L"");
}

// Only the status that NoMatchStatus wrote: a look-up's status stays until the next one.
void TK::ClearNoMatchStatus() {
  const WideString& label = KaroValues.StatusLabels[slWuJieGuo];
  if (label.empty() || StatusBar()->Panels()->Items(0)->Text().rfind(label, 0) != 0) return;
  SetStatus(0, L"");
  SetStatus(1, L"");
}

void TK::RhymeSearch(const TRhymePage& p) {
  const WideString final = p.Final->Text(), tone = p.Tone->Text();
  TRedrawLock lock{p.PingGrid, p.JuanGrid, StatusBar()};
  for (auto [q, table] : {std::pair{p.Ping, L"select * from PingSheYin where "},
                          std::pair{p.Juan, L"select * from JuanSheYin where "}})
    Rebuild(q, {table, L"KaroMu=:KaroMu", L" and ", L"ShengDiao=:ShengDiao", L" and ", L"JianYi<>''", L" order by YinJie"},
            {{L"KaroMu", final}, {L"ShengDiao", tone}});
  RhymeStatus(p);
}

void TK::GroupChange(const TRhymePage& p) {
  p.Final->SetEnabled(true);
  p.Tone->SetEnabled(true);
  Rebuild(p.Top, {L"select * from KaroMu where ", L"KaroShou=:KaroShou", L" order by PaiXu"},
          {{L"KaroShou", p.Group->Text()}});
  const int n = p.Top->RecordCount();
  p.Final->Items()->Clear();
  // A group text that names no group (typed, or half typed) has no finals: the list stays empty,
  // nothing is searched, and the status bar says so (a box would stop every half-typed group).
  if (n == 0) {
    NoMatchStatus(p.Group->Text());
    return;
  }
  p.Top->First();
  p.Final->SetText(p.Top->FieldByName(L"KaroMu")->AsString());
  for (int i = 0; i < n; i++) {
    p.Final->Items()->Add(p.Top->FieldByName(L"KaroMu")->AsString());
    p.Top->Next();
  }
  if (p.Final->Text() != KaroValues.Prompt && p.Tone->Text() != KaroValues.Prompt)
    RhymeSearch(p);
  else
    ClearNoMatchStatus();
}

void TK::FinalChange(const TRhymePage& p) {
  if (p.Tone->Text() != KaroValues.Prompt) {
    RhymeSearch(p);
    return;
  }
  // No search yet: a typed final that is none of the group's is told at once rather than only
  // when a tone is chosen.
  const WideString final = p.Final->Text();
  bool listed = false;
  for (int i = 0; i < p.Final->Items()->Count() && !listed; i++) listed = p.Final->Items()->Strings(i) == final;
  if (listed || final == KaroValues.Prompt)
    ClearNoMatchStatus();
  else
    NoMatchStatus(final);
}

void TK::SearchClick(const TRhymePage& p) {
  if (p.Final->Text() != KaroValues.Prompt && p.Tone->Text() != KaroValues.Prompt)
    RhymeSearch(p);
  else
    ShowMessage(L"Are You Sure?");
}

void TK::PageShow(const TRhymePage& p) {
  if (p.Tone->Text() != KaroValues.Prompt) {
    RhymeStatus(p);
  } else {
    SetStatus(0, L"");
    SetStatus(1, L"");
  }
}

void TK::A_ComboBox1Change(TObject*) { GroupChange(Page('A')); }
void TK::A_ComboBox2Change(TObject*) { FinalChange(Page('A')); }
void TK::A_SpeedButton1Click(TObject*) { SearchClick(Page('A')); }
void TK::TabSheet1Show(TObject*) { PageShow(Page('A')); }
void TK::B_ComboBox1Change(TObject*) { GroupChange(Page('B')); }
void TK::B_ComboBox2Change(TObject*) { FinalChange(Page('B')); }
void TK::B_SpeedButton1Click(TObject*) { SearchClick(Page('B')); }
void TK::TabSheet2Show(TObject*) { PageShow(Page('B')); }

void TK::A_SpeedButton3Click(TObject*) {
  if (KaroShellOpen) KaroShellOpen(Handle(), kKaroWebPage, SW_SHOWMAXIMIZED);
}

// ---- Scratch pads

namespace {

constexpr const wchar_t* kPadBoxCaption = L"Karo";

WideString PadFailureLines(const std::vector<TK::TPadFailure>& failures, bool losingOnly) {
  WideString lines;
  for (const auto& f : failures)
    if (f.Loses || !losingOnly) lines += L"\nScratch pad " + ScratchPadName(f.Pad) + L": " + f.Reason + L".";
  return lines;
}

}  // namespace

void TK::A_SpeedButton2Click(TObject*) {
  const std::vector<TPadFailure> failures = SaveScratchPads();
  if (failures.empty()) return;
  Application->MessageBox(L"These scratch pads could not be saved:\n" + PadFailureLines(failures, false) +
                              L"\n\nTheir text is still in Karo.",
                          kPadBoxCaption, MB_OK | MB_ICONSTOP);
}

bool TK::SavePadsBeforeEnding(const WideString& ending) {
  const std::vector<TPadFailure> failures = SaveScratchPads();
  const WideString lines = PadFailureLines(failures, true);
  if (lines.empty()) return true;
  return Application->MessageBox(L"These scratch pads could not be saved:\n" + lines + L"\n\n" + ending +
                                     L"\n\nChoose No to keep Karo open with every pad as it is.",
                                 kPadBoxCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void TK::LoadScratchPads() {
  WideString notes;
  for (int pad = 1; pad <= kScratchPadCount; pad++) {
    const WideString path = ScratchPadPath(pad);
    RecoverScratchPad(path);
    const TScratchPadFile file = ReadScratchPad(path);
    TMemo* memo = Memo(pad);
    memo->SetText(file.Text);
    TPadFile& state = pads_[size_t(pad - 1)];
    // What the memo took is what a save would write: that is the text the file says.
    state.Read = true;
    state.Saved = memo->Text();
    state.Exists = file.Exists;
    state.Exact = file.Exact && state.Saved == file.Text;
    state.KeptBecause = file.KeptBecause;
    memo->SetReadOnly(!state.KeptBecause.empty());
    const WideString name = L"\n\nScratch pad " + ScratchPadName(pad) + L": ";
    if (!state.KeptBecause.empty())
      notes += name + state.KeptBecause + L". The file is left as it is, and Karo does not show or save this pad.";
    else if (!state.Exact)
      notes += name + L"its file holds bytes that Karo cannot show exactly. The file is left as it is; when the pad "
                      L"is first saved, the original is kept as " +
               ExtractFileName(ScratchPadOriginalPath(path)) + L".";
  }
  if (!notes.empty())
    Application->MessageBox(L"Some scratch pads are not shown as their files hold them:" + notes, kPadBoxCaption,
                            MB_OK | MB_ICONINFORMATION);
}

std::vector<TK::TPadFailure> TK::SaveScratchPads() {
  std::vector<TPadFailure> failures;
  for (int pad = 1; pad <= kScratchPadCount; pad++) {
    try {
      TPadFile& state = pads_[size_t(pad - 1)];
      const WideString text = Memo(pad)->Text();
      const bool changed = text != state.Saved;
      if (!changed && state.Exists) continue;
      if (!state.KeptBecause.empty()) {
        failures.push_back({pad, state.KeptBecause + L", and Karo leaves it as it is", changed});
        continue;
      }
      const WideString path = ScratchPadPath(pad);
      if (!state.Read && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        failures.push_back({pad, L"its file was not read when Karo started, and Karo leaves it as it is", changed});
        continue;
      }
      WideString error;
      if (!state.Exact && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) error = KeepScratchPadOriginal(path);
      if (error.empty()) error = WriteScratchPad(path, text);
      if (!error.empty()) {
        failures.push_back({pad, error, changed});
        continue;
      }
      state.Saved = text;
      state.Exists = true;
      state.Exact = true;
    } catch (const Exception& e) {
      failures.push_back({pad, AnsiToWide(e.Message()), true});
    }
  }
  return failures;
}

// ---- Word and idiom search

WideString KaroLikePattern(const WideString& text, int mode) {
  WideString out = mode >= 1 ? L"%" : L"";
  out += text;
  if (mode <= 1) out += L'%';
  return out;
}

void TK::SearchStatus() {
  TKaro_DataModule* dm = DataModule();
  const auto& l = KaroValues.StatusLabels;
  SetStatus(0, l[slTiaoJian] + C<TComboBox>("C_ComboBox1")->Text() + L"=" + C<TEdit>("C_Edit1")->Text());
  SetStatus(1, l[slCiYu] + std::to_wstring(dm->C_ADOQuery1()->RecordCount()) + L"  " + l[slChengYu] +
                   std::to_wstring(dm->C_ADOQuery2()->RecordCount()));
}

void TK::C_SpeedButton1Click(TObject*) {
  const WideString x = C<TEdit>("C_Edit1")->Text();
  if (x.empty()) {
    SetStatus(0, L"");
    SetStatus(1, L"");
    return;
  }
  TComboBox* modes = C<TComboBox>("C_ComboBox1");
  TWideStrings* items = modes->Items();
  // Of two items with the same text the later one wins; a text that is no item searches as the
  // third item and shows it.
  int mode = -1;
  for (int i = 0; i < 3 && i < items->Count(); i++)
    if (modes->Text() == items->Strings(i)) mode = i;
  if (mode < 0) {
    mode = 2;
    if (items->Count() > 2) modes->SetText(items->Strings(2));
  }
  const WideString pattern = KaroLikePattern(x, mode);
  TKaro_DataModule* dm = DataModule();
  TRedrawLock lock{C<TDBGrid>("C_DBGrid1"), C<TDBGrid>("C_DBGrid2"), StatusBar()};
  Rebuild(dm->C_ADOQuery1(), {L"select * from  CiYu where CiYu Like :X"}, {{L"X", pattern}});
  Rebuild(dm->C_ADOQuery2(), {L"select * from  ChengYu where ChengYu Like :X"}, {{L"X", pattern}});
  SearchStatus();
}

void TK::TabSheet3Show(TObject*) {
  if (!C<TEdit>("C_Edit1")->Text().empty()) {
    SearchStatus();
  } else {
    SetStatus(0, L"");
    SetStatus(1, L"");
  }
}

// ---- Notes

int32_t KaroNoteCount(const Variant& value) {
  double d = 0;
  switch (value.VarType()) {
    case varInteger: d = double(value.AsInt64()); break;
    case varDouble: d = value.AsDouble(); break;
    case varOleStr: {
      const WideString s = Trim(value.AsWideString());
      if (s.empty()) return 0;
      wchar_t* end = nullptr;
      d = std::wcstod(s.c_str(), &end);
      if (!end || *end != 0) return 0;
      break;
    }
    default: return 0;
  }
  if (!std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<int32_t>::max())) return 0;
  return int32_t(std::lround(d));
}

void TK::SumNotes() {
  TADOQuery* notes = DataModule()->D_ADOQuery1();
  const int field = notes->FieldByName(L"ShuLiang")->Index();
  int64_t total = 0;
  for (int i = 0; i < notes->RecordCount(); i++) {
    const std::vector<Variant> row = notes->RecordValues(i);
    if (size_t(field) < row.size()) total += KaroNoteCount(row[size_t(field)]);
  }
  KaroValues.NotesTotal = int32_t(std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

void TK::NotesStatus() {
  const auto& l = KaroValues.StatusLabels;
  SetStatus(0, l[slLeiBie] + C<TComboBox>("D_ComboBox1")->Text());
  SetStatus(1, l[slZongHe] + std::to_wstring(DataModule()->D_ADOQuery1()->RecordCount()) + l[slXiLie] + L"  " +
                   std::to_wstring(KaroValues.NotesTotal) + l[slShuMu]);
}

void TK::OpenCategory() {
  TADOQuery* notes = DataModule()->D_ADOQuery1();
  if (!notesLink_) {
    notesLink_ = std::make_unique<TKaroNotesLink>(this);
    notesLink_->SetDataSource(DataModule()->D_DataSource1());
  }
  Rebuild(notes, {L"select * from  ZuoPin where ", L"LeiBie=:LeiBie", L" order by RiQi desc"},
          {{L"LeiBie", C<TComboBox>("D_ComboBox1")->Text()}});
  UpdateNavigation();
}

void TK::UpdateNavigation() {
  // Through the link, which the data module's source lets go of when it is freed first.
  TDataSet* notes = notesLink_ ? notesLink_->DataSet() : nullptr;
  if (!notes) return;
  const int n = notes->Active() ? notes->RecordCount() : 0;
  const int at = notes->ActiveIndex();
  const bool back = n > 0 && at > 0, forward = n > 0 && at < n - 1;
  C<TSpeedButton>("D_SpeedButton1")->SetEnabled(back);
  C<TSpeedButton>("D_SpeedButton2")->SetEnabled(back);
  C<TSpeedButton>("D_SpeedButton3")->SetEnabled(forward);
  C<TSpeedButton>("D_SpeedButton4")->SetEnabled(forward);
}

void TK::D_ComboBox1Change(TObject*) {
  OpenCategory();
  SumNotes();
  DataModule()->D_ADOQuery1()->First();
  NotesStatus();
}

void TK::TabSheet4Show(TObject*) { NotesStatus(); }

void TK::D_SpeedButton1Click(TObject*) { DataModule()->D_ADOQuery1()->First(); }
void TK::D_SpeedButton2Click(TObject*) { DataModule()->D_ADOQuery1()->Prior(); }
void TK::D_SpeedButton3Click(TObject*) { DataModule()->D_ADOQuery1()->Next(); }
void TK::D_SpeedButton4Click(TObject*) { DataModule()->D_ADOQuery1()->Last(); }

void TK::D_SpeedButton5Click(TObject*) {
  TADOQuery* notes = DataModule()->D_ADOQuery1();
  TDBEdit* title = C<TDBEdit>("D_DBEdit1");
  if (title->CanFocus()) title->SetFocus();
  notes->Edit();
  notes->Append();
  C<TDBEdit>("D_DBEdit3")->SetText(L"0");
  C<TDBEdit>("D_DBEdit7")->SetText(DateToStr(Date()));
  notes->FieldByName(L"BiaoTi")->SetValue(Variant(title->Text()));
  notes->FieldByName(L"LeiBie")->SetValue(Variant(C<TComboBox>("D_ComboBox1")->Text()));
  TDBComboBox* marks = C<TDBComboBox>("D_DBComboBox2");
  if (marks->Items()->Count() > 0) notes->FieldByName(L"BiaoJi")->SetValue(Variant(marks->Items()->Strings(0)));
}

void TK::D_SpeedButton6Click(TObject*) {
  if (MessageDlg(L"Are You Sure\uFF1F", mtConfirmation, mbYesNo, 0) != mrYes) return;
  TADOQuery* notes = DataModule()->D_ADOQuery1();
  notes->Edit();
  notes->Delete();
  SumNotes();
  NotesStatus();
}

void TK::D_SpeedButton7Click(TObject*) {
  TADOQuery* notes = DataModule()->D_ADOQuery1();
  notes->Edit();
  // A note begun on an empty category (where Edit starts it) belongs to the category shown unless
  // the user chose another one.
  TField* category = notes->FieldByName(L"LeiBie");
  if (notes->State() == dsInsert && category->AsString().empty() && C<TDBComboBox>("D_DBComboBox1")->Text().empty())
    category->SetValue(Variant(C<TComboBox>("D_ComboBox1")->Text()));
  notes->Post();
  SumNotes();
  NotesStatus();
}

void TK::D_SpeedButton8Click(TObject*) { DataModule()->D_ADOQuery1()->Cancel(); }

WideString KaroShellTarget(const WideString& target) {
  // "x:..." is a drive or an address ("https:"), "\\..." or "\..." a place of its own; a bare name
  // such as "Data" lies in the program's folder, not wherever the program was started from.
  const size_t colon = target.find(L':');
  const bool own = colon != WideString::npos && colon > 0 && target.find_first_of(L"\\/") > colon;
  if (target.empty() || own || target[0] == L'\\' || target[0] == L'/') return target;
  return KaroProgramFolder() + target;
}

void TK::D_SpeedButton9Click(TObject*) {
  if (KaroShellOpen) KaroShellOpen(Handle(), KaroShellTarget(KaroValues.ShellTarget), SW_SHOWMAXIMIZED);
}

void TK::D_DBGrid1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  DataModule()->D_ADOQuery1()->Edit();
  TDBRichEdit* content = C<TDBRichEdit>("D_DBRichEdit1");
  content->SetScrollBars(ssNone);
  content->SetScrollBars(ssVertical);
}

KARO_CLASS_PROPS(TK, TForm, Method("FormCreate", &TK::FormCreate), Method("FormShow", &TK::FormShow),
                 Method("FormClose", &TK::FormClose), Method("A_ComboBox1Change", &TK::A_ComboBox1Change),
                 Method("A_ComboBox2Change", &TK::A_ComboBox2Change),
                 Method("A_SpeedButton1Click", &TK::A_SpeedButton1Click),
                 Method("A_SpeedButton2Click", &TK::A_SpeedButton2Click),
                 Method("A_SpeedButton3Click", &TK::A_SpeedButton3Click), Method("TabSheet1Show", &TK::TabSheet1Show),
                 Method("B_ComboBox1Change", &TK::B_ComboBox1Change),
                 Method("B_ComboBox2Change", &TK::B_ComboBox2Change),
                 Method("B_SpeedButton1Click", &TK::B_SpeedButton1Click), Method("TabSheet2Show", &TK::TabSheet2Show),
                 Method("B_ComboBox4Change", &TK::B_ComboBox4Change),
                 Method("B_ComboBox5Change", &TK::B_ComboBox5Change),
                 Method("C_SpeedButton1Click", &TK::C_SpeedButton1Click), Method("TabSheet3Show", &TK::TabSheet3Show),
                 Method("D_ComboBox1Change", &TK::D_ComboBox1Change),
                 Method("D_DBGrid1MouseUp", &TK::D_DBGrid1MouseUp),
                 Method("D_SpeedButton1Click", &TK::D_SpeedButton1Click),
                 Method("D_SpeedButton2Click", &TK::D_SpeedButton2Click),
                 Method("D_SpeedButton3Click", &TK::D_SpeedButton3Click),
                 Method("D_SpeedButton4Click", &TK::D_SpeedButton4Click),
                 Method("D_SpeedButton5Click", &TK::D_SpeedButton5Click),
                 Method("D_SpeedButton6Click", &TK::D_SpeedButton6Click),
                 Method("D_SpeedButton7Click", &TK::D_SpeedButton7Click),
                 Method("D_SpeedButton8Click", &TK::D_SpeedButton8Click),
                 Method("D_SpeedButton9Click", &TK::D_SpeedButton9Click), Method("TabSheet4Show", &TK::TabSheet4Show))

// Karo's main form TK, read from its form resource with its skin components, and its handlers:
// start-up (the single-instance guard, the language file, the remembered skin and the region's
// font), the rhyme look-up pages A and B, the word and idiom search (page C), the notes (page D),
// the skin and region lists and the six scratch pads. Windows only.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/buttons.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/db/adodb.h"
#include "classlib/db/dbctrls.h"
#include "classlib/db/dbgrids.h"
#include "skin/data/velt_data.h"
#include "skin/data/velt_store.h"

class TKaro_DataModule;

// The status-bar labels of the language file, in the order they are read; the last one leads the
// text that says a typed group or final names nothing.
enum TKaroStatusLabel {
  slKaroMu, slShengDiao, slTiaoJian, slCiYu, slChengYu, slPingSheYin, slJuanSheYin, slLeiBie, slZongHe, slXiLie,
  slShuMu, slWuJieGuo
};
constexpr int kKaroStatusLabelCount = slWuJieGuo + 1;
extern const char* const kKaroStatusLabelKeys[kKaroStatusLabelCount];

// The values the form keeps from its creation to the end of the program.
struct TKaroUnitValues {
  WideString Region;
  WideString LanguagePath;
  WideString Prompt;       // key "A_ComboBox": what the look-up lists show before a choice
  WideString ShellTarget;  // key "Up"
  WideString SkinName;
  std::array<WideString, kKaroStatusLabelCount> StatusLabels;
  int32_t NotesTotal = 0;
};
extern TKaroUnitValues KaroValues;

// The single-instance mutex "Karo": made by the first form and never closed by the program (a
// test that makes several forms closes it between them).
extern HANDLE KaroMutex;

// The program's web page, opened by page A's third button.
extern const wchar_t* const kKaroWebPage;

// Called at each step of start-up ("form read", "FormCreate", "data module", "FormShow") when set;
// tests follow the order with it.
extern std::function<void(const std::string& step)> KaroStartupProbe;

// Opens a file, folder or address in the shell ("open", no parameters, the show command given);
// the two page buttons go through it, and tests record it instead.
extern std::function<void(HWND window, const WideString& target, int show)> KaroShellOpen;

// The shell target of the notes page as it is opened: an address, a drive path or a network path
// as it stands, anything else (a name such as "Data") inside the program's folder.
WideString KaroShellTarget(const WideString& target);

// The pattern of a LIKE that finds the text at the start (mode 0), anywhere (1) or at the end (2).
// The user's own "%" and "_" stay the statement's wildcards ("\u6625%\u5929" at the start finds the
// words that begin with one and hold the other later); the pattern is bound as a value, so a
// quote in it is only text.
WideString KaroLikePattern(const WideString& text, int mode);

// A note's "ShuLiang" as it counts in the total: a number, or numeric text, rounded to an
// integer; anything else (Null, empty or other text) counts 0.
int32_t KaroNoteCount(const Variant& value);

class TK;

// Tells the form of every move and change of the notes list, whoever made it (a button, the title
// list, the keyboard), so the navigation buttons always match the position.
class TKaroNotesLink : public TDataLink {
public:
  explicit TKaroNotesLink(TK* form) : form_(form) {}

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void EditingChanged() override;

private:
  TK* form_;
};

class TK : public TForm {
  KARO_CLASS(TK)
public:
  using TForm::TForm;
  ~TK() override;

  void Loaded() override;

  // Published handlers.
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void A_ComboBox1Change(TObject* Sender);
  void A_ComboBox2Change(TObject* Sender);
  void A_SpeedButton1Click(TObject* Sender);
  void A_SpeedButton2Click(TObject* Sender);
  void A_SpeedButton3Click(TObject* Sender);
  void TabSheet1Show(TObject* Sender);
  void B_ComboBox1Change(TObject* Sender);
  void B_ComboBox2Change(TObject* Sender);
  void B_SpeedButton1Click(TObject* Sender);
  void TabSheet2Show(TObject* Sender);
  void B_ComboBox4Change(TObject* Sender);
  void B_ComboBox5Change(TObject* Sender);
  void C_SpeedButton1Click(TObject* Sender);
  void TabSheet3Show(TObject* Sender);
  void D_ComboBox1Change(TObject* Sender);
  void D_DBGrid1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void D_SpeedButton1Click(TObject* Sender);
  void D_SpeedButton2Click(TObject* Sender);
  void D_SpeedButton3Click(TObject* Sender);
  void D_SpeedButton4Click(TObject* Sender);
  void D_SpeedButton5Click(TObject* Sender);
  void D_SpeedButton6Click(TObject* Sender);
  void D_SpeedButton7Click(TObject* Sender);
  void D_SpeedButton8Click(TObject* Sender);
  void D_SpeedButton9Click(TObject* Sender);
  void TabSheet4Show(TObject* Sender);

  // The component of that name and class; raises when the form lacks it.
  template <class T> T* C(const std::string& name) const {
    T* c = dyn<T>(FindComponent(name));
    if (!c) throw Exception("The form lacks " + name);
    return c;
  }
  TSkinData* SkinData() const { return C<TSkinData>("SkinData"); }
  TSkinStore* SkinStore() const { return C<TSkinStore>("SkinStore"); }
  TStatusBar* StatusBar() const { return C<TStatusBar>("StatusBar"); }
  TMemo* Memo(int pad) const { return C<TMemo>("Memo" + std::to_string(pad)); }

  // Applies the store's skin of that name with its two colours (the yellow skin goes with the
  // info-tip background, every other with the window colour); False, changing nothing, for a
  // name that no item has.
  bool ApplySkin(const WideString& name);
  // Loads the six pads; a missing file is an empty pad. A pad kept as it is (too large, unreadable)
  // stays empty and read-only; one box tells of those and of files whose bytes a memo cannot say
  // exactly.
  void LoadScratchPads();
  // A pad that could not be saved, and why; Loses tells that its memo holds text the file lacks.
  struct TPadFailure {
    int Pad;
    WideString Reason;
    bool Loses;
  };
  // Writes every pad whose text differs from its file (and creates a missing one); a pad the user
  // has not changed is never written back. Before a file whose bytes were not read exactly is
  // first replaced, its original is kept beside it. The pads that could not be saved.
  std::vector<TPadFailure> SaveScratchPads();
  // Saves the pads; when one that holds text of the user's could not be saved, asks whether to
  // go on (ending the program: Ending says what for) and answers False to stay.
  bool SavePadsBeforeEnding(const WideString& ending);

private:
  friend class TKaroNotesLink;
  struct TRhymePage;
  TRhymePage Page(char letter) const;
  void GroupChange(const TRhymePage& p);
  void FinalChange(const TRhymePage& p);
  void SearchClick(const TRhymePage& p);
  void PageShow(const TRhymePage& p);
  void RhymeSearch(const TRhymePage& p);
  void RhymeStatus(const TRhymePage& p);
  void NoMatchStatus(const WideString& typed);
  void ClearNoMatchStatus();
  void ReadLanguage();
  void SetStatus(int panel, const WideString& text);
  void SearchStatus();
  // The notes of the chosen category, newest first, with their total.
  void OpenCategory();
  void SumNotes();
  void NotesStatus();
  // First and prior are enabled away from the first note, next and last away from the last one.
  void UpdateNavigation();

  std::unique_ptr<TKaroNotesLink> notesLink_;
  // What each pad's file holds, as far as the program knows.
  struct TPadFile {
    bool Read = false;       // False: start-up stopped before the file was read
    WideString Saved;        // the memo text that the file says
    bool Exists = false;
    bool Exact = true;       // False until the original of a file not read exactly is kept
    WideString KeptBecause;  // not empty: the file is left as it is, never written
  };
  std::array<TPadFile, 6> pads_;
};

extern TK* K;

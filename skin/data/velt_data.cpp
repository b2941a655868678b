#include "skin/data/velt_data.h"

// ---- The default control-class list (every build)

const char* const kDefaultSkin3rd[kDefaultSkin3rdCount] = {
    "TCategoryButtons=scrollbar", "TPngBitBtn=pngbitbtn", "TVirtualStringTree=scrollbar",
    "TVirtualDrawTree=scrollbar", "TTBXDockablePanel=Panel", "TAdvPanelGroup=scrollbar",
    "TComboboxex=combobox", "TRxSpeedButton=speedbutton", "THTMLViewer=scrollbar", "TDBCtrlGrid=scrollbar",
    "TfrSpeedButton=speedbutton", "TfrTBButton=speedbutton", "TControlBar=Panel", "TTBDock=Panel",
    "TTBToolbar=Panel", "TImageEnMView=scrollbar", "TImageEnView=scrollbar", "TAdvMemo=scrollbar",
    "TDBAdvMemo=scrollbar", "TcxDBLookupComboBox=combobox", "TcxDBComboBox=combobox",
    "TcxDBDateEdit=combobox", "TcxDBImageComboBox=combobox", "TcxDBCalcEdit=combobox",
    "TcxDBBlobEdit=combobox", "TcxDBPopupEdit=combobox", "TcxDBFontNameComboBox=combobox",
    "TcxDBShellComboBox=combobox", "TRxLookupEdit=combobox", "TRxDBLookupCombo=combobox", "TRzGroup=panel",
    "TRzButton=button", "TRzBitbtn=bitbtn", "TRzMenuButton=menubtn", "TRzCheckGroup=CheckGroup",
    "TRzRadioGroup=Radiogroup", "TRzButtonEdit=Edit", "TRzDBRadioGroup=Radiogroup",
    "TRzDBRadioButton=Radiobutton", "TRzDateTimeEdit=combobox", "TRzColorEdit=combobox",
    "TRzDateTimePicker=combobox", "TRzDBDateTimeEdit=combobox", "TRzDbColorEdit=combobox",
    "TRzDBDateTimePicker=combobox", "TLMDButton=bitbtn", "TLMDGroupBox=Groupbox", "TDBCheckboxEh=Checkbox",
    "TDBCheckboxEh=Checkbox", "TLMDCHECKBOX=Checkbox", "TLMDDBCHECKBOX=Checkbox", "TLMDRadiobutton=Radiobutton",
    "TLMDCalculator=panel", "TLMDGROUPBOX=Panel", "TLMDSIMPLEPANEL=Panel", "TLMDDBCalendar=Panel",
    "TLMDButtonPanel=Panel", "TLMDLMDCalculator=Panel", "TLMDHeaderPanel=Panel", "TLMDTechnicalLine=Panel",
    "TLMDLMDClock=Panel", "TLMDTrackbar=panel", "TLMDListCombobox=combobox", "TLMDCheckListCombobox=combobox",
    "TLMDHeaderListCombobox=combobox", "TLMDImageCombobox=combobox", "TLMDColorCombobox=combobox",
    "TLMDFontCombobox=combobox", "TLMDFontSizeCombobox=combobox", "TLMDFontSizeCombobox=combobox",
    "TLMDPrinterCombobox=combobox", "TLMDDriveCombobox=combobox", "TLMDCalculatorComboBox=combobox",
    "TLMDTrackBarComboBox=combobox", "TLMDCalendarComboBox=combobox", "TLMDTreeComboBox=combobox",
    "TLMDRADIOGROUP=radiogroup", "TLMDCheckGroup=CheckGroup", "TLMDDBRADIOGROUP=radiogroup",
    "TLMDDBCheckGroup=CheckGroup", "TLMDCalculatorEdit=edit", "TLMDEDIT=Edit", "TLMDMASKEDIT=Edit",
    "TLMDBROWSEEDIT=Edit", "TLMDEXTSPINEDIT=Edit", "TLMDCALENDAREDIT=Edit", "TLMDFILEOPENEDIT=Edit",
    "TLMDFILESAVEEDIT=Edit", "TLMDCOLOREDIT=Edit", "TLMDDBEDIT=Edit", "TLMDDBMASKEDIT=Edit",
    "TLMDDBEXTSPINEDIT=Edit", "TLMDDBSPINEDIT=Edit", "TLMDDBEDITDBLookup=Edit", "TLMDEDITDBLookup=Edit",
    "TDBLookupCombobox=Combobox", "TWWDBCombobox=Combobox", "TWWDBLookupCombo=Combobox",
    "TWWDBCombobox=Combobox", "TWWKeyCombo=Combobox", "TWWTempKeyCombo=combobox",
    "TWWDBDateTimePicker=Combobox", "TWWRADIOGROUP=radiogroup", "TWWDBEDIT=Edit", "TcxButton=bitbtn",
    "TcxDBRadioGroup=radiogroup", "TcxRadioGroup=radiogroup", "TcxGroupbox=groupbox", "TOVCPICTUREFIELD=Edit",
    "TOVCDBPICTUREFIELD=Edit", "TOVCSLIDEREDIT=Edit", "TOVCDBSLIDEREDIT=Edit", "TOVCSIMPLEFIELD=Edit",
    "TOVCDBSIMPLEFIELD=Edit", "TO32DBFLEXEDIT=Edit", "TOVCNUMERICFIELD=Edit", "TOVCDBNUMERICFIELD=Edit",
    "trmtoolbarsize=Panel", "trmtoolbar=panel", "trmtoolbaredit=panel", "trmtoolbarborder=panel",
    "trmtoolbaralign=panel", "trmtoolbarstandard=panel", "trmtoolbaraddintools=panel",
};

// ---- TSkinControlList

KARO_CLASS_PROPS(TSkinControlList, TPersistent,
    Prop("Edit", &TSkinControlList::Edit, &TSkinControlList::SetEdit),
    Prop("Checkbox", &TSkinControlList::Checkbox, &TSkinControlList::SetCheckbox),
    Prop("Combobox", &TSkinControlList::Combobox, &TSkinControlList::Setcombobox),
    Prop("Radiobutton", &TSkinControlList::Radiobutton, &TSkinControlList::SetRadiobutton))

TSkinControlList::TSkinControlList()
    : edit_(std::make_unique<TStringList>()),
      checkbox_(std::make_unique<TStringList>()),
      radiobutton_(std::make_unique<TStringList>()),
      combobox_(std::make_unique<TStringList>()) {}

TSkinControlList::~TSkinControlList() = default;

void TSkinControlList::SetEdit(TStrings* Value) { edit_->Assign(Value); }
void TSkinControlList::SetCheckbox(TStrings* Value) { checkbox_->Assign(Value); }
void TSkinControlList::SetRadiobutton(TStrings* Value) { radiobutton_->Assign(Value); }
void TSkinControlList::Setcombobox(TStrings* Value) { combobox_->Assign(Value); }

#ifdef _WIN32

#include <algorithm>
#include <mutex>

#include "classlib/controls/forms.h"
#include "classlib/core/filer.h"
#include "skin/data/skin_reader.h"
#include "skin/data/skin_resources.h"
#include "skin/data/velt_store.h"

// ---- Optional user32 functions

TGetScrollBarInfoProc pGetScrollBarInfo = nullptr;
TTrackMouseEventProc pTrackMouseEvent = nullptr;
TGetComboBoxInfoProc pGetComboBoxInfo = nullptr;

namespace {

template <class Proc> Proc Bind(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void BindUser32Functions() {
  // Bound on first use, never from a static initialiser: in a library module those run under
  // the loader lock. The program links user32, so it is loaded already and stays loaded.
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = GetModuleHandleA("user32.dll");
    if (!module) return;
    pGetScrollBarInfo = Bind<TGetScrollBarInfoProc>(module, "GetScrollBarInfo");
    pTrackMouseEvent = Bind<TTrackMouseEventProc>(module, "TrackMouseEvent");
    pGetComboBoxInfo = Bind<TGetComboBoxInfoProc>(module, "GetComboBoxInfo");
  });
}

// ---- The skin manager

TSkinManagerLink* SkinManager = nullptr;
// Made before every unit's start-up, so that the manager's unit can install itself from its own.
__attribute__((init_priority(101))) TSkinManagerFactory SkinManagerFactory;

// ---- The controls layer, in one place (tests put their own answers in).

TSkinDataControls SkinDataControls = {
    [](TComponent* owner) -> HWND {
      auto* form = dyn<TCustomForm>(owner);
      return form ? form->Handle() : nullptr;
    },
    [](TCustomForm* form) -> HWND { return form ? form->Handle() : nullptr; },
    [](TWinControl* control) -> HWND { return control ? control->Handle() : nullptr; },
    []() -> HWND { return Application ? Application->Handle() : nullptr; },
};

namespace {

HWND OwnerFormHandle(TComponent* Owner) {
  return Owner && SkinDataControls.OwnerFormHandle ? SkinDataControls.OwnerFormHandle(Owner) : nullptr;
}
HWND FormHandle(TCustomForm* Form) {
  return Form && SkinDataControls.FormHandle ? SkinDataControls.FormHandle(Form) : nullptr;
}
HWND ControlHandle(TWinControl* Control) {
  return Control && SkinDataControls.ControlHandle ? SkinDataControls.ControlHandle(Control) : nullptr;
}
HWND ApplicationHandle() { return SkinDataControls.ApplicationHandle ? SkinDataControls.ApplicationHandle() : nullptr; }

// The first skinned window of Wnd (none for handle 0).
TSkinFormLink* FormOf(HWND Wnd) { return Wnd && SkinManager ? SkinManager->FindSkinForm(Wnd) : nullptr; }

void PutInt32(TStream& s, int32_t v) {
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  s.WriteBuffer(b, 4);
}

}  // namespace

// ---- TSkinData

KARO_CLASS_PROPS(TSkinData, TComponent,
    Prop("Active", &TSkinData::Active, &TSkinData::SetActive),
    Prop("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag),
    Prop("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls),
    Prop("Options", &TSkinData::Options, &TSkinData::SetOptions),
    Prop("Skin3rd", &TSkinData::Skin3rd, &TSkinData::SetControlList),
    Prop("SkinFile", &TSkinData::SkinFile, &TSkinData::LoadFromFile),
    Prop("SkinStore", &TSkinData::GetSkinStore, &TSkinData::SetSkinStore),
    Prop("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype),
    Prop("Version", &TSkinData::Version, &TSkinData::SetVersion),
    Prop("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate),
    Prop("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge),
    Prop("OnFormSkin", &TSkinData::OnFormSkin, &TSkinData::OnFormSkin),
    Prop("OnSkinChanged", &TSkinData::OnSkinChanged, &TSkinData::OnSkinChanged),
    Prop("OnSkinControl", &TSkinData::OnSkinControl, &TSkinData::OnSkinControl),
    Prop("OnBeforeSkinForm", &TSkinData::OnBeforeSkinForm, &TSkinData::OnBeforeSkinForm),
    Prop("OnAfterSkinForm", &TSkinData::OnAfterSkinForm, &TSkinData::OnAfterSkinForm))

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner),
      AppIcon(std::make_unique<TBitmap>()),
      MenuImages(std::make_unique<TImageList>(nullptr, 16, 16)),
      skin3rd_(std::make_unique<TStringList>()) {
  BindUser32Functions();
  AppIcon->SetPixelFormat(pf24bit);
  skin3rd_->OnChange = [this](TObject*) { skin3rdParsed_ = false; };
  InitControlList();
  TBitmap glyphs;
  glyphs.AssignPixels(SkinResourceImage("CORVANEMENU"), pf1bit);
  // The image list takes colour pictures; white is the mask either way.
  glyphs.SetPixelFormat(pf24bit);
  MenuImages->AddMasked(&glyphs, clWhite);
}

TSkinData::~TSkinData() {
  if (SkinManager) {
    // A queued action must not reach a component that is gone.
    if (SkinManager->Pending == this) SkinManager->Pending = nullptr;
    SkinManager->RemoveSkinData(this);
  }
}

void TSkinData::InitControlList() {
  for (const char* line : kDefaultSkin3rd) skin3rd_->Add(line);
}

void TSkinData::SetControlList(TStrings* Value) { skin3rd_->Assign(Value); }

const TSkin3rdTable& TSkinData::Skin3rdKinds() const {
  if (!skin3rdParsed_) {
    std::vector<std::string> lines;
    for (int i = 0; i < skin3rd_->Count(); ++i) lines.push_back(skin3rd_->Strings(i));
    skin3rdKinds_.Parse(lines);
    skin3rdParsed_ = true;
  }
  return skin3rdKinds_;
}

std::string TSkinData::GetSkinStore() const {
  return HasState(csDesigning) && SkinStream.Size() > 0 ? "(Good)" : "(none)";
}

void TSkinData::RegisterWithManager() {
  if (!SkinManager || registeredWith_ == SkinManager) return;
  SkinManager->AddSkinData(this);
  registeredWith_ = SkinManager;
}

// ---- Loading

void TSkinData::LoadFromFile(const std::string& FileName) {
  NoSkinLoaded = true;
  skinFile_ = FileName;
  if (HasState(csDesigning)) {
    if (!FileName.empty() && SkinStream.Size() > 0) SkinStream.Clear();
    return;
  }
  if (FileName.empty() || !FileExists(FileName)) return;
  SkinStream.LoadFromFile(FileName);
  LoadSkin();
  UpdateSkin();
}

void TSkinData::LoadFromStream(TStream& Stream) {
  NoSkinLoaded = true;
  if (&Stream != &SkinStream) SkinStream.LoadFromStream(Stream);
  LoadSkin();
  if (skinFormtype_ == sfMainform) UpdateSkin();
}

void TSkinData::LoadFromCollection(TSkinStore* Store, int Index) {
  if (!Store || !Store->Store() || Index >= Store->Store()->Count()) return;
  // The item is looked up first: a bad index raises while the current skin is still whole.
  TSkinCollectionItem* item = Store->Store()->Items(Index);
  NoSkinLoaded = true;
  SkinStream.Clear();
  item->CopyData(SkinStream);
  LoadSkin();
  UpdateSkin();
}

bool TSkinData::LoadSkin() {
  if (HasState(csDesigning)) return false;
  TSkinReader reader;
  if (!reader.Loadfromstream(SkinStream)) return false;
  TMemoryStream entry;
  std::string name;
  reader.readIni(".ini", entry, name);
  // An archive without an INI text holds no skin; an empty INI text is a skin of defaults.
  if (name.empty()) return false;
  TQuickIni ini;
  entry.SetPosition(0);
  ini.LoadFromStream(&entry);
  struct TDuringLoad {
    TSkinData* self;
    ~TDuringLoad() {
      self->ini_ = nullptr;
      self->reader_ = nullptr;
    }
  } during{this};
  ini_ = &ini;
  reader_ = &reader;
  LoadFromIni();
  return true;
}

void TSkinData::DefineProperties(TFiler& Filer) {
  TComponent::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "SkinStream",
      [this](TStream& s) {
        uint8_t b[4] = {};
        if (s.Read(b, 4) != 4) return;
        const int32_t n = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
        if (n <= 0) return;
        const int64_t count = std::min<int64_t>(n, s.Size() - s.Position());
        SkinStream.Clear();
        if (count > 0) SkinStream.CopyFrom(s, count);
        SkinStream.SetPosition(0);
        if (!HasState(csDesigning)) LoadSkin();
      },
      [this](TStream& s) {
        PutInt32(s, int32_t(SkinStream.Size()));
        if (SkinStream.Size() > 0) s.WriteBuffer(SkinStream.Memory(), int32_t(SkinStream.Size()));
      },
      true);
}

// ---- Activation

void TSkinData::Loaded() {
  TComponent::Loaded();
  if (HasState(csDesigning)) return;
  if (!pGetScrollBarInfo) skinControls_.Exclude(xcScrollbar);
  if (!SkinManager && SkinManagerFactory) SkinManager = SkinManagerFactory(false);
  if (!SkinManager) return;
  RegisterWithManager();
  if (skinFormtype_ == sfMainform) {
    SkinManager->InstallHook();
    if (active_) {
      if (NoSkinLoaded) {
        active_ = false;
      } else {
        SkinManager->Pending = this;
        SkinManager->SetAction(saSkinAll, kSkinActionDelay);
      }
    }
    if (skinControls_.Contains(xcMainMenu))
      skinControls_.Exclude(xcMenuItem);
    else
      skinControls_.Exclude(xcSystemMenu);
    GetAppIcon();
  } else {
    SkinManager->Enabled = true;
    SkinManager->State += 1;
    if (active_)
      if (HWND form = OwnerFormHandle(Owner())) SkinManager->AddForm(form);
  }
}

void TSkinData::SetActive(bool Value) {
  if (Value == active_) return;
  active_ = Value;
  if (HasState(csDesigning) || HasState(csLoading) || HasState(csReading) || !SkinManager) return;
  switch (skinFormtype_) {
    case sfMainform:
      if (Value && NoSkinLoaded) return;
      SkinManager->Pending = this;
      SkinManager->SetAction(Value ? saSkinAll : saUnskinAll, kSkinActionDelay);
      if (Value && !SkinManager->Running()) SkinManager->State = 1;
      break;
    case sfOnlyThisForm:
      SkinManager->Pending = this;
      if (Value && NoSkinLoaded) return;
      SkinManager->SetAction(Value ? saSkinAll : saUnskinAll, kSkinActionDelay);
      break;
    default:
      break;
  }
}

void TSkinData::UpdateSkin() {
  if (HasState(csDesigning) || HasState(csLoading) || HasState(csReading)) return;
  if (!SkinManager) Loaded();
  if (!SkinManager) return;
  SkinManager->Pending = this;
  SkinManager->DeleteSysbtn();
  // Any running manager takes the change, however many components have counted its state up.
  if (SkinManager->Running()) SkinManager->SetAction(saSkinChanged, kSkinActionDelay);
}

// ---- Forwarders

void TSkinData::Install() {
  if (!SkinManager) return;
  SkinManager->Pending = this;
  SkinManager->SetAction(saSkinAll, kSkinActionDelay);
}

void TSkinData::Uninstall() {
  if (!SkinManager) return;
  SkinManager->Pending = this;
  SkinManager->SetAction(saUnskinAll, kSkinActionDelay);
}

void TSkinData::ChangeForm(TCustomForm* Form) {
  if (!SkinManager) return;
  SkinManager->ReskinWindow = FormHandle(Form);
  SkinManager->Pending = this;
  SkinManager->SetAction(saReskinWindow, kSkinActionDelay);
}

void TSkinData::SkinForm(HWND Wnd) {
  if (!SkinManager) return;
  struct TForce {
    TSkinManagerLink* m;
    bool saved;
    ~TForce() { m->Walking = saved; }
  } force{SkinManager, SkinManager->Walking};
  SkinManager->Walking = true;
  SkinManager->AddForm(Wnd);
}

void TSkinData::EnableSkin(bool Value) {
  if (SkinManager) SkinManager->Enabled = Value;
}

void TSkinData::AddNestForm(TWinControl* Outer, TWinControl* Nested) {
  if (!Nested) return;
  if (TSkinFormLink* form = FormOf(ControlHandle(Outer))) {
    form->AddSpy(Nested);
    form->InitNestform(Nested);
  }
}

void TSkinData::UpdateSkinControl(TWinControl* Form, TWinControl* Control) {
  if (TSkinFormLink* form = FormOf(ControlHandle(Form))) form->InitControls(Control ? Control : Form);
}

void TSkinData::UpdateMenu(TWinControl* Form) {
  if (TSkinFormLink* form = FormOf(ControlHandle(Form))) form->InitPopMenu(Form, true, true);
}

void TSkinData::UpdateMainMenu(bool Value) {
  MainMenuUpdate = Value;
  if (!Value || !SkinManager) return;
  for (int i = 0; i < SkinManager->FormCount(); ++i)
    if (TSkinFormLink* form = SkinManager->Forms(i))
      if (TSkinMenuBarLink* bar = form->MenuBar()) bar->UpdataBtn();
}

void TSkinData::InstallThread(DWORD ThreadId) {
  if (SkinManager) SkinManager->InstallThread(ThreadId);
}

void TSkinData::UnInstallThread(DWORD ThreadId) {
  if (SkinManager) SkinManager->UnInstallThread(ThreadId);
}

void TSkinData::DeleteGraphicControl(TWinControl* Form, TControl* Control) {
  HWND wnd = ControlHandle(Form);
  if (!wnd || !SkinManager) return;
  for (int i = 0; i < SkinManager->FormCount(); ++i) {
    TSkinFormLink* form = SkinManager->Forms(i);
    if (!form || form->Window() != wnd) continue;
    for (int j = 0; j < form->ControlSkinCount(); ++j)
      if (form->ControlSkinControl(j) == Control) {
        form->FreeControlSkin(j);
        break;
      }
  }
}

// ---- Services

void TSkinData::DoFormSkin(HWND Wnd, const std::string& ClassName, bool& DoSkin) {
  (void)Wnd;
  if (OnFormSkin) {
    OnFormSkin(this, ClassName, DoSkin);
    return;
  }
  if (ClassName == "SysMonthCal32" || (skinControls_.Contains(xcFastReport) && ClassName.rfind("Tfr", 0) == 0))
    DoSkin = false;
}

void TSkinData::DoSkinChanged() {
  if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::DoDebug(const std::string& Text) {
  if (DebugLog) DebugLog->Add(Text);
}

bool TSkinData::GetScrollBarInfo(HWND Wnd, LONG ObjectId, SCROLLBARINFO& Info) {
  if (!pGetScrollBarInfo) return false;
  Info.cbSize = sizeof(SCROLLBARINFO);
  return pGetScrollBarInfo(Wnd, ObjectId, &Info) != FALSE;
}

void IconOnMagenta(HICON Icon, TBitmap& Into) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  TPixelImage magenta(cx, cy, 24);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) magenta.SetPixelRGB(x, y, 0xFF00FF);
  Into.AssignPixels(magenta, pf24bit);
  TIconHandle scaled(static_cast<HICON>(CopyImage(Icon, IMAGE_ICON, cx, cy, 0)));
  DrawIconEx(Into.Canvas()->Handle(), 0, 0, scaled ? scaled.get() : Icon, cx, cy, 0, nullptr, DI_NORMAL);
  Into.SetTransparentColor(0xFF00FF);
  Into.SetTransparent(true);
}

void TSkinData::GetAppIcon() {
  HWND app = ApplicationHandle();
  if (!app) return;
  HICON icon = reinterpret_cast<HICON>(SendMessageW(app, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(app, WM_GETICON, ICON_BIG, 0));
  if (!icon) return;
  TBitmap bmp;
  IconOnMagenta(icon, bmp);
  AppIcon->Assign(&bmp);
}

void TSkinData::ChangeProperty(TObject* Obj, const std::string& PropName, const std::string& Value) {
  if (Obj && PropKind(Obj, PropName) == tkEnumeration) SetEnumProp(Obj, PropName, Value);
}

bool TSkinData::GetPrecolor(TColor& Color, int Index) const {
  if (Index < 0 || size_t(Index) >= PreColors.size()) return false;
  Color = PreColors[size_t(Index)];
  return true;
}

int TSkinData::GetSectionNum(const std::string& Prefix, const std::string& Key) const {
  if (!ini_) return 0;
  int n = 0;
  while (!ini_->ReadString(Format("%s%1d", Prefix.c_str(), n), Key, "").empty()) ++n;
  return n;
}

std::string TSkinData::GetFileName(const std::string& Text) {
  size_t dot = Text.find('.');
  return dot == std::string::npos ? std::string() : Text.substr(0, dot);
}

// ---- Exported routines

void SkinDll(void* HostManager) {
  if (!HostManager) return;
  if (!SkinManager && SkinManagerFactory) SkinManager = SkinManagerFactory(true);
  if (!SkinManager) return;
  SkinManager->AssignData(static_cast<TSkinManagerLink*>(HostManager));
  SkinManager->InstallHook();
  SkinManager->State += 1;
}

void DoTrackMouse(HWND Wnd) {
  BindUser32Functions();
  if (!pTrackMouseEvent) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Wnd;
  pTrackMouseEvent(&track);
}

#endif

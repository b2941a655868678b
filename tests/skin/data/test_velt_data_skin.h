// Test skins for the skin data component, built from INI text and generated pictures (each frame
// of a strip one solid colour, so a pixel names its frame) and packed by the skin tool's own
// archive writer; and a recording stand-in for the skin manager and its skinned windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics/bmp_codec.h"
#include "skin/data/skin_reader.h"
#include "skin/data/velt_data.h"
#include "tools/skntool/skin_archive.h"

// ---- Pictures

constexpr uint32_t kKey = 0xFF00FF;

// A 24-bit BMP file whose pixel (x, y) is f(x, y) (an RGB value, red in the low byte).
inline std::string Bmp(int w, int h, const std::function<uint32_t(int, int)>& f) {
  TPixelImage img(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.SetPixelRGB(x, y, f(x, y));
  std::vector<uint8_t> bytes = EncodeBmpFile(img.View());
  return std::string(bytes.begin(), bytes.end());
}

// The colour of frame k (from 1) of the picture numbered r; never magenta.
constexpr uint32_t FrameColor(int r, int k) {
  return uint32_t((10 + 6 * r) & 0xFF) | uint32_t((11 * k) & 0xFF) << 8 | uint32_t((100 + r) & 0xFF) << 16;
}

// A strip of `frames` frames of fw x fh, side by side or stacked, frame k in FrameColor(r, k).
inline std::string Strip(int r, int frames, int fw, int fh, bool stacked = false) {
  return Bmp(stacked ? fw : fw * frames, stacked ? fh * frames : fh,
             [=](int x, int y) { return FrameColor(r, 1 + (stacked ? y / fh : x / fw)); });
}

// ---- Skins

struct TTestSkin {
  std::string Ini;
  std::vector<TSkinArchiveEntry> Pictures;

  TTestSkin& Add(const std::string& name, const std::string& bytes) {
    Pictures.push_back({name, bytes});
    return *this;
  }
  std::string Archive(int32_t version = 20000) const {
    std::vector<TSkinArchiveEntry> entries{{"skin.ini", Ini}};
    entries.insert(entries.end(), Pictures.begin(), Pictures.end());
    return BuildSkinArchive(entries, version);
  }
  // The skin file image.
  std::string File(int32_t version = 20000) const { return CompressImage(Archive(version)); }
};

inline std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
  auto s = std::make_unique<TMemoryStream>();
  s->Assign(bytes);
  return s;
}

// One picture of the complete test skin: the section and key that name it, its file, and how
// its frames lie.
struct TTestPicture {
  const char* Section;
  const char* Key;
  const char* File;
  int Frames, FrameWidth, FrameHeight;
  bool Stacked;
};

// Every picture the vocabulary reads, numbered by their place here (the r of FrameColor).
inline const std::vector<TTestPicture>& CompletePictures() {
  static const std::vector<TTestPicture> pictures = {
      {"Personality", "Left", "left.bmp", 2, 4, 30, false},
      {"Personality", "Right", "right.bmp", 2, 5, 30, false},
      {"Personality", "Top", "top.bmp", 2, 60, 24, true},
      {"Personality", "Bottom", "bottom.bmp", 2, 60, 6, true},
      {"Personality", "TextBack", "textback.bmp", 2, 40, 20, true},
      {"Personality", "menuBar", "menubar.bmp", 2, 20, 19, true},
      {"Buttons", "Bitmap", "buttons.bmp", 5, 20, 22, false},
      {"Buttons", "CheckButton", "check.bmp", 4, 13, 13, false},
      {"Buttons", "RadioButton", "radio.bmp", 10, 16, 16, false},
      {"ButtonClose", "ButtonImage", "close.bmp", 4, 18, 18, false},
      {"MDICONTROLS", "Image", "mdi.bmp", 12, 16, 14, false},
      {"Progress", "Bitmap", "progress.bmp", 2, 30, 12, false},
      {"Progress.Chunk", "Image", "chunk.bmp", 1, 8, 10, false},
      {"GroupBoxEdge", "Image", "groupedge.bmp", 2, 12, 12, false},
      {"GroupBox", "Image", "grouplabel.bmp", 1, 30, 16, false},
      {"Tabs", "Image", "tabs.bmp", 5, 24, 20, false},
      {"Tabs", "Border", "tabborder.bmp", 1, 12, 12, false},
      {"StatusBarEdges", "Image", "status.bmp", 3, 10, 10, false},
      {"Tab.Pane", "Image", "pane.bmp", 1, 12, 12, false},
      {"ToolBars", "Image", "toolbars.bmp", 5, 16, 16, false},
      {"ComboButton", "Image", "combobutton.bmp", 4, 17, 21, false},
      {"SunkEdge", "Image", "sunk.bmp", 4, 20, 21, false},
      {"ExtraImages", "Image", "extra.bmp", 5, 9, 9, false},
      {"Headerbar", "Image", "header.bmp", 5, 30, 18, false},
      {"MenuItem", "Image", "menuitem.bmp", 5, 30, 18, false},
      {"MenuBackground", "Image", "menubg.bmp", 1, 30, 30, false},
      {"Scrollbar", "Image", "scrollbar.bmp", 23, 17, 17, false},
      {"HorzScroll", "Image", "hscroll.bmp", 4, 17, 17, false},
      {"VertScroll", "Image", "vscroll.bmp", 4, 17, 17, false},
      {"HorzScrollThumb", "Image", "hthumb.bmp", 3, 20, 17, false},
      {"VertScrollThumb", "Image", "vthumb.bmp", 3, 17, 20, false},
      {"Trackbar.ThumbHorz", "Image", "thumbh.bmp", 5, 11, 20, false},
      {"Trackbar.ThumbVert", "Image", "thumbv.bmp", 5, 20, 11, false},
      {"Trackbar.ThumbLeft", "Image", "thumbl.bmp", 5, 11, 20, false},
      {"Trackbar.ThumbRight", "Image", "thumbr.bmp", 5, 11, 20, false},
      {"Trackbar.ThumbUp", "Image", "thumbu.bmp", 5, 20, 11, false},
      {"Trackbar.ThumbDown", "Image", "thumbd.bmp", 5, 20, 11, false},
      {"UpDown.Horz", "Image", "updownh.bmp", 8, 16, 16, false},
      {"UpDown.Horz", "GlyphImage", "glyphh.bmp", 2, 8, 8, false},
      {"UpDown.Vert", "Image", "updownv.bmp", 8, 16, 16, false},
      {"UpDown.Vert", "GlyphImage", "glyphv.bmp", 2, 8, 8, false},
      {"Track", "Image", "track.bmp", 1, 40, 6, false},
      {"TRACKVERT", "Image", "trackvert.bmp", 1, 6, 40, false},
  };
  return pictures;
}

// Every section of the vocabulary with its picture keys and a few values of its own.
inline TTestSkin CompleteSkin() {
  TTestSkin skin;
  std::map<std::string, std::string> body;
  std::vector<std::string> order;
  auto put = [&](const std::string& section, const std::string& line) {
    if (!body.count(section)) order.push_back(section);
    body[section] += line + "\r\n";
  };
  put("TitlebarSkin", "SkinName=Complete");
  const auto& pictures = CompletePictures();
  for (size_t r = 0; r < pictures.size(); ++r) {
    const TTestPicture& p = pictures[r];
    put(p.Section, std::string(p.Key) + "=" + p.File);
    skin.Add(p.File, Strip(int(r), p.Frames, p.FrameWidth, p.FrameHeight, p.Stacked));
  }
  for (const char* line : {"LeftFrame=2", "RightFrame=2", "TopFrame=2", "BottomFrame=2", "LeftTopHeight=20",
                           "LeftBotHeight=4", "TopTopHeight=10", "TopBotHeight=11", "TopTrans=0",
                           "TextShift=21", "ActiveTextR=1", "ActiveTextG=2", "ActiveTextB=3"})
    put("Personality", line);
  put("Fonts", "FontHeight=12");
  put("Colours", "ButtonFace=250 243 223");
  put("Colours", "ButtonText=46 36 16");
  put("Colour1", "color=1 2 3");
  put("Customcolors", "Color3=9 8 7");
  for (const char* line : {"Action=0", "Align=1", "Xcoord=30", "Ycoord=4", "frame=4"}) put("ButtonClose", line);
  put("ButtonIcon", "Action=3");
  put("Headerbar", "Frame=5");
  put("HorzScrollThumb", "FrameCount=3");
  put("VertScrollThumb", "FrameCount=3");
  put("Tabs", "LeftWidth=3");
  put("SunkEdge", "LeftWidth=3");
  put("SunkEdge", "RightWidth=3");
  put("SunkEdge", "TopHeight=3");
  put("SunkEdge", "BottomHeight=3");
  put("SunkEdge", "Trans=1");
  put("ExtraImages", "Trans=1");
  for (const std::string& s : order) skin.Ini += "[" + s + "]\r\n" + body[s];
  return skin;
}

// ---- The skin manager and its windows, recorded

class TFakeMenuBar : public TSkinMenuBarLink {
public:
  explicit TFakeMenuBar(std::vector<std::string>& log) : log_(log) {}
  void UpdataBtn() override { log_.push_back("UpdataBtn"); }

private:
  std::vector<std::string>& log_;
};

// Control pointers in these tests are tokens: the controls layer does not exist here.
template <class T> T* Token(int n) { return reinterpret_cast<T*>(uintptr_t(0x1000 + 16 * n)); }
inline int TokenNumber(const void* p) { return p ? int((reinterpret_cast<uintptr_t>(p) - 0x1000) / 16) : -1; }
inline HWND FakeWindow(int n) { return reinterpret_cast<HWND>(uintptr_t(0x5000 + 16 * n)); }
inline int WindowNumber(HWND w) { return int((intptr_t(w) - 0x5000) / 16); }

class TFakeSkinForm : public TSkinFormLink {
public:
  TFakeSkinForm(std::vector<std::string>& log, HWND wnd, bool menuBar = false)
      : log_(log), wnd_(wnd), bar_(menuBar ? std::make_unique<TFakeMenuBar>(log) : nullptr) {}

  HWND Window() const override { return wnd_; }
  void InitControls(TWinControl* c) override { Log("InitControls", c); }
  void InitNestform(TWinControl* c) override { Log("InitNestform", c); }
  void InitPopMenu(TWinControl* c, bool ownerDraw, bool flag2) override {
    Log("InitPopMenu", c, ownerDraw && flag2 ? " true" : " false");
  }
  void AddSpy(TWinControl* nested) override { Log("AddSpy", nested); }
  TSkinMenuBarLink* MenuBar() override { return bar_.get(); }
  int ControlSkinCount() override { return int(controls.size()); }
  TControl* ControlSkinControl(int i) override { return controls.at(size_t(i)); }
  void FreeControlSkin(int i) override {
    Log("FreeControlSkin", controls.at(size_t(i)));
    controls.erase(controls.begin() + i);
  }

  std::vector<TControl*> controls;

private:
  void Log(const char* what, const void* token, const char* tail = "") {
    log_.push_back(std::string(what) + " " + std::to_string(TokenNumber(token)) + " of " +
                   std::to_string(WindowNumber(wnd_)) + tail);
  }
  std::vector<std::string>& log_;
  HWND wnd_;
  std::unique_ptr<TFakeMenuBar> bar_;
};

class TFakeSkinManager : public TSkinManagerLink {
public:
  explicit TFakeSkinManager(bool isDll) : IsDll(isDll) {}

  void AddSkinData(TSkinData* d) override {
    Registered.push_back(d);
    Log.push_back("AddSkinData " + d->Name());
  }
  void RemoveSkinData(TSkinData* d) override {
    for (auto it = Registered.begin(); it != Registered.end(); ++it)
      if (*it == d) {
        Registered.erase(it);
        break;
      }
    Log.push_back("RemoveSkinData " + d->Name());
  }
  void InstallHook() override { Log.push_back("InstallHook"); }
  void InstallThread(DWORD id) override { Log.push_back("InstallThread " + std::to_string(id)); }
  void UnInstallThread(DWORD id) override { Log.push_back("UnInstallThread " + std::to_string(id)); }
  void AssignData(TSkinManagerLink* host) override {
    Host = host;
    Log.push_back("AssignData");
  }
  void SetAction(int action, int delay) override {
    Log.push_back("SetAction " + std::to_string(action) + " " + std::to_string(delay) + " for " +
                  (Pending ? Pending->Name() : std::string("nil")));
  }
  bool AddForm(HWND wnd) override {
    Log.push_back("AddForm " + std::to_string(WindowNumber(wnd)) + (Walking ? " forced" : ""));
    return true;
  }
  void DeleteSysbtn() override { Log.push_back("DeleteSysbtn for " + (Pending ? Pending->Name() : std::string("nil"))); }
  int FormCount() override { return int(FormList.size()); }
  TSkinFormLink* Forms(int i) override { return FormList.at(size_t(i)).get(); }
  TSkinFormLink* FindSkinForm(HWND wnd) override {
    for (auto& f : FormList)
      if (f->Window() == wnd) return f.get();
    return nullptr;
  }

  TFakeSkinForm& AddFakeForm(int n, bool menuBar = false) {
    FormList.push_back(std::make_unique<TFakeSkinForm>(Log, FakeWindow(n), menuBar));
    return *FormList.back();
  }

  bool IsDll;
  TSkinManagerLink* Host = nullptr;
  std::vector<TSkinData*> Registered;
  std::vector<std::unique_ptr<TFakeSkinForm>> FormList;
  std::vector<std::string> Log;
};

// Installs the recording manager as the factory's product and the controls' answers: token form
// n (a TWinControl or TCustomForm) has window FakeWindow(n); Owners maps owners to forms.
class SkinDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    savedFactory_ = SkinManagerFactory;
    savedControls_ = SkinDataControls;
    savedMessage_ = SkinReadShowMessage;
    SkinManager = nullptr;
    SkinManagerFactory = [this](bool isDll) -> TSkinManagerLink* {
      Made.push_back(std::make_unique<TFakeSkinManager>(isDll));
      return Made.back().get();
    };
    SkinDataControls.OwnerFormHandle = [this](TComponent* owner) -> HWND {
      auto it = Owners.find(owner);
      return it == Owners.end() ? nullptr : FakeWindow(it->second);
    };
    SkinDataControls.FormHandle = [](TCustomForm* f) { return FakeWindow(TokenNumber(f)); };
    SkinDataControls.ControlHandle = [](TWinControl* c) { return FakeWindow(TokenNumber(c)); };
    SkinDataControls.ApplicationHandle = [this] { return AppWindow; };
    SkinReadShowMessage = [this](const std::wstring& text) { Messages.push_back(text); };
  }
  void TearDown() override {
    SkinManager = nullptr;
    SkinManagerFactory = savedFactory_;
    SkinDataControls = savedControls_;
    SkinReadShowMessage = savedMessage_;
  }

  // The manager a component made (the first one made).
  TFakeSkinManager& Manager() {
    if (Made.empty()) {
      ADD_FAILURE() << "no manager was made";
      static TFakeSkinManager none(false);
      return none;
    }
    return *Made.front();
  }
  // A manager that exists before any component loads, in the given state.
  TFakeSkinManager& Running(int state = 1) {
    SkinManager = SkinManagerFactory(false);
    SkinManager->State = state;
    return Manager();
  }
  std::vector<std::string> TakeLog() { return std::exchange(Manager().Log, {}); }

  std::vector<std::unique_ptr<TFakeSkinManager>> Made;
  std::map<TComponent*, int> Owners;
  HWND AppWindow = nullptr;
  std::vector<std::wstring> Messages;

private:
  TSkinManagerFactory savedFactory_;
  TSkinDataControls savedControls_;
  TSkinMessageProc savedMessage_;
};

// The gallery: one of every control of the class library on one form, as a user sees them
// without a skin (and, once skins take over, with one). "--screenshot <base>" shows each page,
// saves it as <base>-<page>.bmp, checks that it shows something, and ends.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

#include "classlib/controls/buttons.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/dialogs.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/forms.h"
#include "classlib/controls/mplayer.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/core/streams.h"
#include "classlib/graphics/bitmap.h"

class TGalleryForm : public TForm {
  KARO_CLASS(TGalleryForm)
public:
  using TForm::TForm;

  template <class T> T* Find(const char* name) {
    T* c = dyn<T>(FindComponent(name));
    if (!c) throw Exception(std::string("The gallery form lacks ") + name);
    return c;
  }

  void FormCreate(TObject*) {
    TListItems* items = Find<TListView>("ListView1")->Items();
    const wchar_t* words[][2] = {{L"\u6625\u98ce", L"eng"}, {L"\u660e\u6708", L"ue"}, {L"\u6c5f\u5c71", L"an"}};
    for (auto& w : words) {
      TListItem* item = items->Add();
      item->SetCaption(w[0]);
      item->SubItems()->Add(w[1]);
    }
    TTreeNodes* nodes = Find<TTreeView>("TreeView1")->Items();
    TTreeNode* level = nodes->Add(nullptr, L"Level tone");
    nodes->AddChild(level, L"a");
    nodes->AddChild(level, L"o");
    TTreeNode* oblique = nodes->Add(nullptr, L"Oblique tone");
    nodes->AddChild(oblique, L"e");
    level->Expand(false);

    // A small picture drawn here, so that the image control has something to show.
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(64, 64);
    for (int y = 0; y < 64; y++) {
      uint8_t* row = picture.ScanLine(y);
      for (int x = 0; x < 64; x++) {
        const int dx = x - 32, dy = y - 32;
        const bool inside = dx * dx + dy * dy < 28 * 28;
        row[3 * x + 0] = uint8_t(inside ? 40 + 3 * y : 230);
        row[3 * x + 1] = uint8_t(inside ? 120 + x : 230);
        row[3 * x + 2] = uint8_t(inside ? 220 : 230);
      }
    }
    Find<TImage>("Image1")->Picture()->SetBitmap(&picture);
    Find<TMediaPlayer>("MediaPlayer1");
    Find<TBitBtn>("BitBtn1");
    Find<TSpeedButton>("SpeedButton1");
  }
  void Exit1Click(TObject*) { Close(); }
  void About1Click(TObject*) { ShowMessage(L"One of every control of the class library."); }
};

KARO_CLASS_PROPS(TGalleryForm, TForm, Method("FormCreate", &TGalleryForm::FormCreate),
                 Method("Exit1Click", &TGalleryForm::Exit1Click), Method("About1Click", &TGalleryForm::About1Click))

namespace {

void Pump() {
  for (int i = 0; i < 10; i++) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

// Copies what the screen shows of the window (the program keeps it topmost meanwhile) to a BMP
// file. Answers whether it shows more than a few colours: a blank or black capture means the
// form did not paint.
bool Capture(HWND wnd, const std::wstring& path) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap shot;
  shot.SetPixelFormat(pf24bit);
  shot.SetSize(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Canvas()->Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  std::set<uint32_t> colours;
  for (int y = 0; y < h; y++) {
    const uint8_t* row = shot.ScanLine(y);
    for (int x = 0; x < w; x++) colours.insert(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
  }
  TFileStream out(path, fmCreate);
  shot.SaveToStream(out);
  std::fprintf(stderr, "%ls: %dx%d, %zu colours\n", path.c_str(), w, h, colours.size());
  return colours.size() > 16;
}

int Screenshots(TGalleryForm* form, const WideString& base) {
  form->Show();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
  SetForegroundWindow(form->Handle());
  Pump();
  auto* pages = form->Find<TPageControl>("PageControl1");
  bool ok = true;
  for (int page = 0; page < pages->PageCount(); page++) {
    pages->SetActivePageIndex(page);
    Pump();
    ok = Capture(form->Handle(), base + L"-" + std::to_wstring(page + 1) + L".bmp") && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace

int main() {
  const bool screenshots = ParamCount() >= 2 && WideParamStr(1) == L"--screenshot";
  try {
    Application->Initialize();
    Application->SetTitle(L"Gallery");
    TGalleryForm* form = nullptr;
    Application->CreateForm(form);
    if (screenshots) return Screenshots(form, WideParamStr(2));
    Application->Run();
  } catch (const Exception& e) {
    if (screenshots)
      std::fprintf(stderr, "%s\n", e.Message().c_str());
    else
      Application->ShowException(e);
    return 2;
  }
  return 0;
}

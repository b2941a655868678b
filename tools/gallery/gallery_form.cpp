#include "tools/gallery/gallery_form.h"

#include <cstdint>

#include "classlib/controls/buttons.h"
#include "classlib/controls/comctrls.h"
#include "classlib/controls/dialogs.h"
#include "classlib/controls/extctrls.h"
#include "classlib/controls/mplayer.h"
#include "classlib/controls/stdctrls.h"
#include "classlib/graphics/bitmap.h"

void TGalleryForm::FormCreate(TObject*) {
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

void TGalleryForm::About1Click(TObject*) { ShowMessage(L"One of every control of the class library."); }

KARO_CLASS_PROPS(TGalleryForm, TForm, Method("FormCreate", &TGalleryForm::FormCreate),
                 Method("Exit1Click", &TGalleryForm::Exit1Click), Method("About1Click", &TGalleryForm::About1Click))

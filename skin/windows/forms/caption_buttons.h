// The non-client hot objects of a skinned window: the base state machine (normal, pressed, hot)
// that caption buttons and the painted menu bar's buttons share, and the caption button made from
// one of the skin's caption-button records.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/core/sysutils.h"
#include "classlib/graphics/graphic_types.h"

class TBitmap;
class TTimer;
class TVeltForm;
class TDataSkinSysButton;

// States of a hot object.
enum TNCState : int { ncNormal = 1, ncPressed = 2, ncHot = 3 };

class TNCObject {
public:
  explicit TNCObject(TVeltForm* Owner) : Form(Owner) {}
  virtual ~TNCObject() = default;

  TVeltForm* Form;
  TRect Rect{};  // window coordinates
  bool Visible = false;
  int State = ncNormal;
  bool Enabled = true;

  // The state machine; the form's hot object is the one hot or pressed. Each redraws the object.
  virtual void MouseDown();
  virtual void MouseUp();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Draw() {}
};

class TWinSysButton : public TNCObject {
public:
  TWinSysButton(TVeltForm* Owner, TDataSkinSysButton* Record) : TNCObject(Owner), Button(Record) {}
  TDataSkinSysButton* Button;  // the skin's record; the skin data owns it
  void Draw() override;
};

// A skinned window's caption buttons and hot object, and where its caption text goes (a part of
// TVeltForm; caption_buttons.cpp and the frame's painting use it).
struct TFormCaptionButtons {
  TNCObject* HotObject = nullptr;
  TRect CaptionTextRect{};
  int SysBtnClipX = 0;
  WideString CaptionPrefix = L"  ", CaptionSuffix = L" ";

protected:
  std::vector<TWinSysButton*> sysBtns_;
  TTimer* hoverTimer_ = nullptr;
};

// Codes of the caption-button actions that the library runs itself; any other goes to the
// application as CN_SysBtnAction.
bool IsIconAction(int Action);

// Part of Strip put on Into at (X, Y) at its own size, its magenta pixels left out, clipped to both
// pictures. False when a picture's pixels are of a kind this does not read (24 and 32 bits are
// read): the caller then draws it the platform's way.
bool PutKeyed(TBitmap& Into, int X, int Y, TBitmap* Strip, const TRect& Part);

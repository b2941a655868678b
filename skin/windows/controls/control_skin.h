// Unit WinSubClass: TSkinControl, the base of every control skin (taking a control's or a plain
// child window's messages over, the paint after the control's own, switching on and off, giving
// the control back), the painting helpers its descendants share and the property routines.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "classlib/controls/controls.h"
#include "classlib/graphics/bitmap.h"
#include "skin/windows/forms/velt_form.h"
#include "skin/windows/manager/window_subclass.h"

class TSkinData;
class TDataSkinObject;

// FMouseState bits.
constexpr uint8_t scMouseIn = 1, scDown = 2;

// The Tag that asks a button, speed button, check box or radio button for its parent's picture
// behind it.
constexpr intptr_t kParentBackTag = 5555;

// Life states (FState).
constexpr int kSkinCreated = 0, kSkinAttached = 1, kSkinWindowGone = 6;

class TSkinControl : public TComponent, public TSkinControlEntry {
  KARO_CLASS(TSkinControl)
public:
  // Owner: the skinned control, or the TVeltForm for a plain child window.
  explicit TSkinControl(TComponent* AOwner);
  ~TSkinControl() override;

  // ---- Attaching and detaching
  // Attaches to the control that owns the skin; a second call changes nothing.
  virtual void Init(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas, bool SetColor);
  // Attaches to a plain window; a call while attached (or while attaching) changes nothing.
  virtual void Inithwnd(HWND Handle, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form);
  // Scroll-bar skins attach through this; the base attaches as Init without a colour.
  virtual void InitScrollbar(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form);
  // Attaches to the owning graphic control (no window of its own): its WindowProc is replaced.
  virtual void InitGraphicControl(TVeltForm* Form, TSkinData* SkinData, TCanvas* Canvas);
  void Unsubclass() override;

  // ---- The message path
  // False: the message is finished (handled, or already passed on).
  virtual bool BeforeProc(TMessage& Message);
  virtual void AfterProc(TMessage& Message);
  virtual void PaintControl(HDC DC);
  // Draws the whole control in window coordinates (non-client area included) into DC.
  virtual void DrawControl(HDC DC, const TRect& R);
  void SkinChange() override;
  virtual int GetState();

  // TSkinControlEntry
  TControl* Control() override { return FControl; }
  int State() override { return FState; }
  HWND SkinWindow() override { return FHandle; }

  // Every message of the skinned control or window enters here.
  void NewWndProc(TMessage& Message);
  // Hands the message to the saved procedure.
  void Default(TMessage& Message);
  void Invalidate();
  void MouseLeave() override;
  void WMPaint(TMessage& Message);
  void WMERASEBKGND(TMessage& Message);
  // True while this skin's procedure is the one the control or window calls.
  bool IsCurrent() const;

  // ---- Shared painting
  TColor ButtonFace() const;
  void FillBG(HDC DC, const TRect& R);
  void FillParentBG(HDC DC, const TRect& R);
  // The whole window (moved to the origin) in the face colour.
  void FillWindowBG(HDC DC);
  TColor GetParentColor(TColor Default);
  LONG_PTR GetWindowLongEx(int Index) const;
  UINT CheckBiDi(UINT Flags) const;
  // Frame FrameIndex of the record's strip at R (nothing for an inverted R).
  void DrawSkinMap(HDC DC, const TRect& R, const TDataSkinObject* Obj, int FrameIndex);
  // Unlike DrawSkinMap, a bare strip: frame FrameIndex of FrameCount stretched whole to R (no
  // margins), magenta always keyed out. Nothing for a frame count below 1, an index outside the
  // strip or an inverted R.
  static void DrawSkinMap2(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount);
  // Text in R, transparent, moved up one pixel from the middle; with Flags DT_CENTER (alone) also
  // centred across by its measured width. Disabled text is in the shadow colour.
  void DrawCaption(HDC DC, const TRect& R, const WideString& Text, bool Enabled, UINT Flags);
  // A picture of an image list and a text beside it in R (Alignment 0 left, 1 centred, 2 right);
  // the text in the shadow colour while FEnabled is 0, else in the DC's colour.
  void DrawImgCaption(HDC DC, const TRect& R, HIMAGELIST Images, int ImageIndex, const WideString& Text,
                      int Alignment);
  // The focus rectangle around Text as DrawText puts it in R with Flags, kept inside Clip.
  void DrawFocus(HDC DC, const WideString& Text, const TRect& R, UINT Flags, const TRect& Clip);
  // The answer of a skin that paints its whole window: WM_PAINT and WM_PRINTCLIENT are painted
  // through WMPaint, WM_ERASEBKGND is answered 1 (the paint covers everything). False for any other
  // message, which is left as it came.
  bool PaintWholeWindow(TMessage& Message);

  // ---- State (the platform's field names)
  uint8_t FMouseState = 0;
  TCanvas* FCanvas = nullptr;
  uint8_t FMsgMark = 0;
  uint8_t FEnabled = 0;
  uint8_t FFocused = 0;
  WideString FCaption;
  bool FActive = true;
  bool FUnicode = false;
  TSkinData* FSkinData = nullptr;
  HWND FHandle = nullptr;
  TWndMethod FOldWindowProc;
  TControl* FControl = nullptr;
  TRect FWindowRect{};
  TControl* FPaintTarget = nullptr;
  bool FSetColor = false;
  TColor FOldColor = 0;
  bool FInitialized = false;
  int FState = kSkinCreated;
  TVeltForm* FForm = nullptr;
  int FTransparent = 0;
  // The plain window's binding (its saved procedure); nil for a class-library control.
  TWindowSubclass FHwndSub;

protected:
  // Puts this skin's procedure into the control's WindowProc, the old one saved.
  void HookControl(TControl* Control);
  // Keeps the control, its window, the skin, the canvas and the form, and joins the form's list,
  // without taking the control's procedure over: for skins that paint through other means.
  void TakeControl(TControl* Control, TSkinData* SkinData, TCanvas* Canvas, TVeltForm* Form);
  // Gives back what Hook took, each only while ours is still the current one.
  void RestoreProcedures();
  // False once the skin is freed: a message loop of its own (a drag) or a handler it called may
  // free the control and its skin, after which nothing of the skin may be touched.
  std::shared_ptr<const bool> Alive() const { return alive_; }

private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::shared_ptr<void> procLink_;
  bool attaching_ = false;
  bool passed_ = false;  // the current message reached the saved procedure
};

// ---- Unit routines

WideString GetWindowTextWide(HWND Handle);
bool IsPopupWindow(HWND Handle);
// Caption text with the first "||" turned into a line break.
WideString StringReplaceW(const WideString& S, const WideString& Old, const WideString& New);

// Property routines by name: nothing (or the value for a missing property) for a nil object or a
// missing property.
std::string GetProperty(TObject* Obj, std::string_view Name);
int GetIntProperty(TObject* Obj, std::string_view Name);
std::string GetEnumProperty(TObject* Obj, std::string_view Name);
WideString GetStringProp(TObject* Obj, std::string_view Name);
TObject* GetObjProp(TObject* Obj, std::string_view Name, TClass MinClass);
void SetProperty(TObject* Obj, std::string_view Name, std::string_view Value);
bool HasProperty(TObject* Obj, std::string_view Name);

// The window of a control: its own handle for a windowed control, else nil.
HWND ControlWindow(TControl* Control);
// A skin colour as a GDI call takes it: Fallback when the skin gave none (-1), system colours
// resolved.
COLORREF SkinColour(TColor Colour, TColor Fallback);
// R filled with a solid brush of Colour (system colours resolved).
void FillColor(HDC DC, const TRect& R, TColor Colour);
// Paints the control's children that have no window of their own into DC.
void PaintGraphicChildren(TControl* Control, HDC DC);

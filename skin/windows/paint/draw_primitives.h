// The drawing primitives of unit VeltForm (skin frames stretched, tiled or keyed; keyed bitmaps as
// regions; a parent's background under a control) and the shared work bitmap BG. Windows only.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/graphics/bitmap.h"

// Every routine takes values straight from a skin file and stays within its strip: a missing
// strip, a frame count of 0 or less, an index outside 1..count or a frame without pixels draws
// nothing (a routine that returns a picture returns it unpainted); negative margins count as 0
// and a margin pair that does not fit the frame collapses to 0 like one that does not fit the
// destination. Flags are zero for off. An empty or inverted destination draws nothing.

// The pure magenta key of every transparent skin picture.
constexpr TColor kSkinKeyColor = 0xFF00FF;

// The work bitmap (stretch mode COLORONCOLOR on its canvas): painters size it, compose in it and
// copy it out before they return. Each thread has its own, so that windows of several hooked
// threads can paint at once: the thread that starts the unit gets it then, any other thread at
// its first SizeBG, and each frees its own when it ends. Nil before InitVeltForm and after
// DoneVeltForm.
extern thread_local TBitmap* BG;
// The unit's start-up and shut-down. They run by themselves at program start and end (after the
// control atom unit); the calls nest, and only the outermost pair makes and frees the calling
// thread's BG.
void InitVeltForm();
void DoneVeltForm();
// A library module's end: every start-up undone, the pictures of all threads freed and the
// fiber-local slot given back.
void FinishVeltForm();
// Sizes the calling thread's BG for a painter (making it first on a thread that has none) and
// returns it; nil while the unit is not started. Its canvas keeps the stretch mode on the new
// device context that a resize brings.
TBitmap* SizeBG(int Width, int Height);

// How DrawTranmap keys out a colour: by default straight on the pixels when the destination is
// a device-independent picture that nothing clips, moves or mirrors, else MaskBlt on the NT
// family and three raster blits elsewhere; tests pin one of the three (kcPixels still takes
// MaskBlt where the pixels cannot be reached).
enum TKeyedCopyMethod { kcPlatform, kcMaskBlt, kcThreeBlits, kcPixels };
extern TKeyedCopyMethod KeyedCopyMethod;

// The whole frame (frames side by side) stretched into R, keyed with magenta when Trans is set.
void DrawRect1(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount, int Trans);
// The nine-slice picture of R's size (GetHMap) drawn at R, keyed with magenta when Trans is set.
void DrawRect2(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int Trans, int Tile, int Vertical);
// The frame at its own size centred in R (it overhangs a smaller R on both sides).
void DrawRect3(HDC DC, const TRect& R, TBitmap* Strip, int FrameIndex, int FrameCount, int Trans);
// Three-slice across: left and right columns stretched to R's height, the middle between them
// repeated; Top and Bottom margins are not used. A frame whose columns leave no middle paints the
// columns only.
void DrawRectTile(TCanvas* Canvas, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                  int FrameCount, int Trans, int Vertical);
// Three-slice across (DrawRectH) or down (DrawRectV) straight into DC, the middle stretched; a
// frame wider (higher) than R is stretched into R whole. Ignored stands where GetHMap takes Tile.
void DrawRectH(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int Ignored, int Vertical);
void DrawRectV(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
               int Ignored, int Vertical);
// A new picture of R's size holding the nine-slice of the frame: corners unscaled, edges scaled
// along their length, the middle stretched (Tile 0) or repeated. A margin pair wider than R
// collapses to 0.
std::unique_ptr<TBitmap> GetHMap(const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                                 int FrameCount, int Tile, int Vertical);
// A new picture of R's size: three-slice down of the frame (top rows, stretched middle, bottom
// rows, each across the full width); Left and Right margins are not used.
std::unique_ptr<TBitmap> GetThumbMap(const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex,
                                     int FrameCount, int Ignored, int Vertical);
// The eight outer pieces of the nine-slice stretched straight into DC at R; the middle is left
// alone. Sets DC's stretch mode to COLORONCOLOR and leaves it so.
void DrawBorder(HDC DC, const TRect& R, TBitmap* Strip, const TRect& Margins, int FrameIndex, int FrameCount,
                int Ignored, int Vertical);
// The Source part of Bitmap (cut to the bitmap) repeated over Dest from its top-left corner; the
// last row and column overhang Dest.
void DrawBGbmp(TCanvas* Canvas, const TRect& Dest, TBitmap* Bitmap, const TRect& Source);
// The R-sized top-left part of Bitmap copied to R, with the bitmap's palette when it has one.
void Bitmapdraw(HDC DC, const TRect& R, TBitmap* Bitmap);
// The R-sized top-left part of Bitmap copied to R except its pixels of colour Key, which leave
// the destination as it was.
void DrawTranmap(HDC DC, const TRect& R, TBitmap* Bitmap, TColor Key);
// A new region (the caller owns it) of the pixels of Bitmap that are not of the key colour within
// the tolerances (each channel from the key's value up to value + tolerance, at most 255), moved
// by the offsets. The bitmap is switched to 32 bits per pixel. An empty bitmap gives an empty
// region; 0 only when the system refuses a region.
HRGN BitmapToRegion(TBitmap* Bitmap, int XOffset, int YOffset, TColor Key, int RedTolerance, int GreenTolerance,
                    int BlueTolerance);
// Paints into DC what the parent of Control shows under it: the parent gets WM_ERASEBKGND and
// WM_PRINTCLIENT with DC, its origin moved to the control's place and its clip cut to the
// control's client area. Nothing for a window without a parent. Flag is not used.
// (The class library's TControl takes its own overload here once the controls layer exists.)
void DrawParentImage(HWND Control, HDC DC, bool Flag);

inline int Max(int A, int B) { return A > B ? A : B; }
inline int Min(int A, int B) { return A < B ? A : B; }

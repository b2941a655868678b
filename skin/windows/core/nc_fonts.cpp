#include "skin/windows/core/nc_fonts.h"

#include <cwchar>

namespace {

// Characters of Karo's captions that the caption font must have.
const wchar_t kChineseSample[] = L"\u97f5\u5b57\u5178";

bool FontHasGlyphs(HFONT font, const wchar_t* text) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  HGDIOBJ old = SelectObject(dc, font);
  WORD idx[8] = {};
  const int n = int(wcslen(text));
  bool ok = GetGlyphIndicesW(dc, text, n, idx, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
  for (int i = 0; ok && i < n; ++i) ok = idx[i] != 0xFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  return ok;
}

}  // namespace

HFONT CreateNonClientFont(LOGFONTW NONCLIENTMETRICSW::*Which) {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  LOGFONTW base{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0))
    base = m.*Which;
  else
    base.lfHeight = -12;
  return CreateFontWithChinese(base);
}

HFONT CreateFontWithChinese(const LOGFONTW& Base) {
  LOGFONTW tries[4] = {Base, Base, Base, Base};
  tries[1].lfCharSet = GB2312_CHARSET;
  tries[2].lfCharSet = GB2312_CHARSET;
  wcscpy(tries[2].lfFaceName, L"WenQuanYi Micro Hei");
  tries[3].lfCharSet = GB2312_CHARSET;
  wcscpy(tries[3].lfFaceName, L"SimSun");
  for (const LOGFONTW& lf : tries) {
    HFONT f = CreateFontIndirectW(&lf);
    if (!f) continue;
    if (FontHasGlyphs(f, kChineseSample)) return f;
    DeleteObject(f);
  }
  return CreateFontIndirectW(&Base);
}

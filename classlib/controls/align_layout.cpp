#include "classlib/controls/align_layout.h"

namespace {

// Whether a goes before b among the items of one kind.
bool GoesBefore(const TRect& a, const TRect& b, TAlign align) {
  switch (align) {
    case alTop: return a.Top < b.Top;
    case alBottom: return a.Bottom >= b.Bottom;
    case alLeft: return a.Left < b.Left;
    case alRight: return a.Right >= b.Right;
    default: return false;
  }
}

void Place(TAlignItem& item, TRect& rect) {
  TAlign align = item.Align;
  int width = rect.Right - rect.Left;
  if (width < 0 || align == alLeft || align == alRight) width = item.Bounds.Width();
  int height = rect.Bottom - rect.Top;
  if (height < 0 || align == alTop || align == alBottom) height = item.Bounds.Height();
  int left = rect.Left, top = rect.Top;
  switch (align) {
    case alTop: rect.Top += height; break;
    case alBottom:
      rect.Bottom -= height;
      top = rect.Bottom;
      break;
    case alLeft: rect.Left += width; break;
    case alRight:
      rect.Right -= width;
      left = rect.Right;
      break;
    default: break;
  }
  item.Bounds = Bounds(left, top, width, height);
}

}  // namespace

void AlignItems(std::vector<TAlignItem>& items, TRect& rect, int moved) {
  static const TAlign kOrder[] = {alTop, alBottom, alLeft, alRight, alClient};
  std::vector<size_t> list;
  for (TAlign align : kOrder) {
    list.clear();
    if (moved >= 0 && size_t(moved) < items.size() && items[size_t(moved)].Align == align && items[size_t(moved)].Visible)
      list.push_back(size_t(moved));
    for (size_t i = 0; i < items.size(); ++i) {
      if (int(i) == moved || items[i].Align != align || !items[i].Visible) continue;
      size_t j = 0;
      while (j < list.size() && !GoesBefore(items[i].Bounds, items[list[j]].Bounds, align)) ++j;
      list.insert(list.begin() + std::ptrdiff_t(j), i);
    }
    for (size_t i : list) Place(items[i], rect);
  }
}

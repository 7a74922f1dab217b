#include "caption_ink.h"

#include "wide_text.h"

namespace kiv::testing {
namespace {

constexpr int kCanvasWidth = 600;
constexpr int kCanvasHeight = 40;

}  // namespace

int captionInk(HFONT font, const std::string& caption) {
  HDC screen = GetDC(nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kCanvasWidth, kCanvasHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(canvas, bitmap);
  HGDIOBJ oldFont = SelectObject(canvas, font);
  PatBlt(canvas, 0, 0, kCanvasWidth, kCanvasHeight, WHITENESS);
  SetTextColor(canvas, RGB(0, 0, 0));
  SetBkMode(canvas, TRANSPARENT);
  RECT place{0, 0, kCanvasWidth, kCanvasHeight};
  DrawTextW(canvas, toWide(caption).c_str(), -1, &place, DT_SINGLELINE | DT_LEFT | DT_NOCLIP);
  int reach = 0;
  for (int x = 0; x < kCanvasWidth; ++x) {
    for (int y = 0; y < kCanvasHeight; ++y) {
      if (GetRValue(GetPixel(canvas, x, y)) < 128) reach = x + 1;
    }
  }
  SelectObject(canvas, oldFont);
  SelectObject(canvas, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(canvas);
  return reach;
}

}  // namespace kiv::testing

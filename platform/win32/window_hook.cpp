#include "window_hook.h"

namespace kiv {
namespace {

static_assert(sizeof(LONG) == sizeof(WNDPROC),
              "SetWindowLongW holds a window procedure only in a 32-bit program");

// Kept with the window itself, so the procedure finds them from the handle.
constexpr const wchar_t* kPreviousProcedure = L"Kiv.PrevWndProc";
constexpr const wchar_t* kCoreHook = L"Kiv.WindowHook";

WNDPROC previousProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(
      reinterpret_cast<LONG_PTR>(GetPropW(window, kPreviousProcedure)));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = previousProcedure(window);
  if (auto* hook = static_cast<WindowHook*>(GetPropW(window, kCoreHook))) {
    hook->WindowProc(message, wParam);
  }
  // A window destroyed while hooked takes its procedure back on its last message.
  if (message == WM_NCDESTROY) removeWindowHook(window);
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace

void installWindowHook(HWND window, WindowHook& hook) {
  if (GetPropW(window, kPreviousProcedure) != nullptr) return;
  SetPropW(window, kCoreHook, &hook);
  const LONG previous = SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG>(&WindowProc));
  SetPropW(window, kPreviousProcedure, reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(previous)));
}

void removeWindowHook(HWND window) {
  const WNDPROC previous = previousProcedure(window);
  if (previous == nullptr) return;
  SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
  RemovePropW(window, kPreviousProcedure);
  RemovePropW(window, kCoreHook);
}

}  // namespace kiv

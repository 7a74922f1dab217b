#include "window_hook.h"

namespace kiv {
namespace {

static_assert(sizeof(LONG) == sizeof(WNDPROC),
              "SetWindowLongA holds a window procedure only in a 32-bit program");

// Kept with the window itself, so the procedure finds them from the handle.
constexpr const char* kPreviousProcedure = "Kiv.PrevWndProc";
constexpr const char* kCoreHook = "Kiv.WindowHook";

WNDPROC previousProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(
      reinterpret_cast<LONG_PTR>(GetPropA(window, kPreviousProcedure)));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = previousProcedure(window);
  if (auto* hook = static_cast<WindowHook*>(GetPropA(window, kCoreHook))) {
    hook->WindowProc(message, wParam);
  }
  // A window destroyed while hooked takes its procedure back on its last message.
  if (message == WM_NCDESTROY) removeWindowHook(window);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace

void installWindowHook(HWND window, WindowHook& hook) {
  if (GetPropA(window, kPreviousProcedure) != nullptr) return;
  SetPropA(window, kCoreHook, &hook);
  const LONG previous = SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(&WindowProc));
  SetPropA(window, kPreviousProcedure, reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(previous)));
}

void removeWindowHook(HWND window) {
  const WNDPROC previous = previousProcedure(window);
  if (previous == nullptr) return;
  SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
  RemovePropA(window, kPreviousProcedure);
  RemovePropA(window, kCoreHook);
}

}  // namespace kiv

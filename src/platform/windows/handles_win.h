// The kinds of Win32 resource the program owns, each released by its own function through the
// one owner, UniqueResource.
#pragma once

#include "platform/unique_resource.h"
#include "platform/windows/win32.h"

namespace tk::host {

// Kernel objects (files, processes, threads). Win32 reports a failed open either as nullptr or
// as INVALID_HANDLE_VALUE depending on the function, so both count as "none".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static bool close(Handle handle) { return CloseHandle(handle) != 0; }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// FindFirstFileW's search handle, which only FindClose releases.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
  static bool close(Handle handle) { return FindClose(handle) != 0; }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

// Fonts, brushes and regions, freed once no window draws with them.
using UniqueGdiObject = UniqueResource<FreedBy<HGDIOBJ, DeleteObject>>;

// The screen's device context, for reading its properties.
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle dc) { return dc != nullptr; }
  static bool close(Handle dc) { return ReleaseDC(nullptr, dc) != 0; }
};
class ScreenDc : public UniqueResource<ScreenDcTraits> {
 public:
  ScreenDc() : UniqueResource(GetDC(nullptr)) {}
};

}  // namespace tk::host

// Owning wrappers for Win32 handles: each closes its handle exactly once, on every path out of
// the scope that holds it, so no error branch needs its own cleanup.
#pragma once

#include <utility>

#include "platform/windows/win32.h"

namespace tk::host {

// A move-only owner of one handle. `Traits` names the handle type, its invalid value(s) and the
// function that releases it.
template <typename Traits>
class BasicUniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  BasicUniqueHandle() = default;
  explicit BasicUniqueHandle(Handle handle) : handle_(handle) {}
  BasicUniqueHandle(BasicUniqueHandle&& other) noexcept : handle_(other.release()) {}
  BasicUniqueHandle& operator=(BasicUniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  BasicUniqueHandle(const BasicUniqueHandle&) = delete;
  BasicUniqueHandle& operator=(const BasicUniqueHandle&) = delete;
  ~BasicUniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::valid(handle_); }

  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    Handle old = std::exchange(handle_, handle);
    if (Traits::valid(old))
      Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

// Kernel objects (files, processes, threads, events). Win32 reports a failed open either as
// nullptr or as INVALID_HANDLE_VALUE depending on the function, so both count as "none".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { CloseHandle(handle); }
};
using UniqueHandle = BasicUniqueHandle<KernelHandleTraits>;

// FindFirstFileW's search handle, which only FindClose releases.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { FindClose(handle); }
};
using UniqueFindHandle = BasicUniqueHandle<FindHandleTraits>;

}  // namespace tk::host

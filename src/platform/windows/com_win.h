// COM for a piece of work: the owners of its resources (an interface reference, a VARIANT, the
// apartment), and a failed HRESULT as the runtime error the program reports.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/error.h"
#include "platform/unique_resource.h"
#include "platform/windows/win32.h"

#include <ole2.h>

namespace tk::host {

// A failed HRESULT as the error the caller sees: its number is the HRESULT, signed.
inline PlatformError comError(HRESULT result) {
  return makeError(static_cast<int32_t>(result));
}

inline void throwIfFailed(HRESULT result) {
  if (FAILED(result))
    throw comError(result);
}

// Owns one reference to a COM interface and releases it on every way out.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(Interface* owned) : pointer_(owned) {}  // takes over a reference
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For an out-parameter: releases what is held and gives the slot to fill.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

  void reset() {
    if (pointer_ != nullptr)
      pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

// A text that a COM call allocated for its caller (SHGetKnownFolderPath's path).
using UniqueCoTaskText = UniqueResource<FreedBy<wchar_t*, CoTaskMemFree>>;

// A VARIANT that frees what it holds (a string, an interface reference).
struct Variant {
  VARIANT value;
  Variant() { VariantInit(&value); }
  ~Variant() { VariantClear(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// A single-threaded apartment on this thread for the life of the object: COM alone, or OLE (COM
// with the clipboard and drag and drop that the shell's folder objects may use). A thread already
// in the other apartment kind keeps it (RPC_E_CHANGED_MODE): the objects used here work in
// either. A failure leaves the thread as it was; creating an object then reports it.
class Apartment {
 public:
  enum class Kind { Com, Ole };
  explicit Apartment(Kind kind)
      : kind_(kind),
        owns_(SUCCEEDED(kind == Kind::Ole ? OleInitialize(nullptr)
                                          : CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~Apartment() {
    if (owns_ && kind_ == Kind::Ole)
      OleUninitialize();
    else if (owns_)
      CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  Kind kind_;
  bool owns_;
};

}  // namespace tk::host

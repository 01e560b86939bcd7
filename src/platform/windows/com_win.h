// COM for a piece of work: ole32, oleaut32 and shell32 loaded on first use, the owners of its
// resources (an interface reference, a VARIANT, the apartment), and a failed HRESULT as the
// runtime error the program reports.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/error.h"
#include "platform/unique_resource.h"
#include "platform/windows/win32.h"

#include <ole2.h>
#include <shlobj.h>

namespace tk::host {

// The functions of ole32, oleaut32 and shell32 that the program calls. The exe does not import
// these libraries: loading them (and rpcrt4, combase, shlwapi and shcore behind them) is left to
// the Continue action, the first thing that needs them, so the window comes up without them.
struct ComApi {
  decltype(&::OleInitialize) oleInitialize;
  decltype(&::OleUninitialize) oleUninitialize;
  decltype(&::CoCreateInstance) createInstance;
  decltype(&::CLSIDFromString) clsidFromString;
  decltype(&::CoTaskMemFree) taskMemFree;
  decltype(&::SysAllocStringLen) allocString;
  decltype(&::SysFreeString) freeString;
  decltype(&::VariantClear) variantClear;
  decltype(&::SHGetKnownFolderPath) knownFolderPath;
};

// The functions above, loaded from the system folder on the first call, which also puts the
// calling thread (the UI thread) into a single-threaded apartment until the program ends.
// Throws 429 (the component cannot be created) when a library or a function is missing.
const ComApi& comApi();

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
inline void freeTaskMemory(void* memory) {
  comApi().taskMemFree(memory);
}
using UniqueCoTaskText = UniqueResource<FreedBy<wchar_t*, freeTaskMemory>>;

// A VARIANT that frees what it holds (a string, an interface reference). Only what comApi()
// made is ever put into one, so the functions to free it are loaded by then.
struct Variant {
  VARIANT value{};  // VT_EMPTY, as VariantInit leaves it
  Variant() = default;
  ~Variant() {
    if (value.vt != VT_EMPTY)
      comApi().variantClear(&value);
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// The calling thread in a single-threaded apartment with OLE (the clipboard and drag and drop
// that the shell's folder objects may use) for the life of the object. A thread already in the
// multi-threaded apartment keeps it (RPC_E_CHANGED_MODE): the objects used here work in either.
// A failure leaves the thread as it was; creating an object then reports it.
class Apartment {
 public:
  explicit Apartment(const ComApi& api) : api_(api), owns_(SUCCEEDED(api.oleInitialize(nullptr))) {}
  ~Apartment() {
    if (owns_)
      api_.oleUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  const ComApi& api_;
  bool owns_;
};

}  // namespace tk::host

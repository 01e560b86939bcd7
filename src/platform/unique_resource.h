// The one owner of a host resource (a handle, a descriptor, a library's object): it releases
// what it holds exactly once, on every path out of the scope that holds it, so no error branch
// needs cleanup of its own. Each host names its kinds of resource as traits.
#pragma once

#include <utility>

namespace tk::host {

// `Traits` names the resource type (`Handle`), its "none" value, whether a value is valid (some
// APIs report failure with more than one value) and `close`, which releases it and says whether
// that succeeded.
template <typename Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::valid(handle_); }

  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    Handle old = std::exchange(handle_, handle);
    if (Traits::valid(old))
      Traits::close(old);
  }
  // Releases the resource now and says whether the release itself succeeded (a close that
  // reports a late write failure); true when nothing was held.
  bool close() {
    Handle old = release();
    return !Traits::valid(old) || Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

// The traits of a handle that is null when there is none and that `Release` frees (a library's
// object, memory it allocated for the caller); what `Release` answers is not checked.
template <typename HandleType, auto Release>
struct FreedBy {
  using Handle = HandleType;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle handle) { return handle != nullptr; }
  static bool close(Handle handle) {
    Release(handle);
    return true;
  }
};

}  // namespace tk::host

// The browser-automation component on Windows: created by class id for its dispatch interface, its
// members called by dispatch id through IDispatch::Invoke with text arguments.
#include <vector>

#include "platform/host_platform.h"
#include "platform/windows/com_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

// The EXCEPINFO that a failing member may fill: its strings are the caller's to free.
struct ExceptionInfo {
  EXCEPINFO value{};
  ~ExceptionInfo() {
    const ComApi& com = comApi();
    com.freeString(value.bstrSource);
    com.freeString(value.bstrDescription);
    com.freeString(value.bstrHelpFile);
  }
};

class ComDispatchObject : public DispatchObject {
 public:
  explicit ComDispatchObject(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

  void Invoke(int32_t dispatchId, const std::vector<std::string>& args) override {
    // Arguments travel in reverse order.
    std::vector<Variant> values(args.size());
    std::vector<VARIANT> raw(args.size());
    for (std::size_t k = 0; k < args.size(); ++k) {
      VARIANT& value = values[args.size() - 1 - k].value;
      std::wstring text = toWide(args[k]);
      value.bstrVal = comApi().allocString(text.data(), static_cast<UINT>(text.size()));
      if (value.bstrVal == nullptr)
        throw makeError(err::kOutOfMemory);
      value.vt = VT_BSTR;
      raw[args.size() - 1 - k] = value;  // a shallow copy: `values` still owns the strings
    }
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    Variant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    throwIfFailed(dispatch_->Invoke(dispatchId, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result.value,
                                    &exception.value, &badArgument));
  }

 private:
  ComPtr<IDispatch> dispatch_;
};

GUID parseGuid(const std::string& text) {
  GUID guid{};
  throwIfFailed(comApi().clsidFromString(toWide(text).c_str(), &guid));
  return guid;
}

}  // namespace

std::unique_ptr<DispatchObject> HostPlatform::CreateDispatchObject(const std::string& classId,
                                                                   const std::string& interfaceId) {
  GUID classGuid = parseGuid(classId);
  GUID interfaceGuid = parseGuid(interfaceId);
  // The requested interface is a dispatch interface: it begins with IDispatch's methods.
  ComPtr<IDispatch> object;
  throwIfFailed(comApi().createInstance(classGuid, nullptr,
                                        CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, interfaceGuid,
                                        object.putVoid()));
  return std::make_unique<ComDispatchObject>(std::move(object));
}

}  // namespace tk::host

// The browser-automation component on Windows: created by class id for its dispatch interface, its
// members called by dispatch id through IDispatch::Invoke with text arguments.
#include <vector>

#include "platform/host_platform.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

#include <oleauto.h>

namespace tk::host {
namespace {

PlatformError comError(HRESULT result) {
  return makeError(static_cast<int32_t>(result));
}

class ComDispatchObject : public DispatchObject {
 public:
  explicit ComDispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}
  ~ComDispatchObject() override { dispatch_->Release(); }
  ComDispatchObject(const ComDispatchObject&) = delete;
  ComDispatchObject& operator=(const ComDispatchObject&) = delete;

  void Invoke(int32_t dispatchId, const std::vector<std::string>& args) override {
    // Arguments travel in reverse order.
    std::vector<VARIANT> values(args.size());
    for (std::size_t k = 0; k < args.size(); ++k) {
      VARIANT& value = values[args.size() - 1 - k];
      VariantInit(&value);
      value.vt = VT_BSTR;
      value.bstrVal = SysAllocString(toWide(args[k]).c_str());
    }
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT badArgument = 0;
    HRESULT hr = dispatch_->Invoke(dispatchId, IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                                   &exception, &badArgument);
    VariantClear(&result);
    for (VARIANT& value : values)
      VariantClear(&value);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr))
      throw comError(hr);
  }

 private:
  IDispatch* dispatch_;
};

GUID parseGuid(const std::string& text) {
  GUID guid{};
  std::wstring wide = toWide(text);
  HRESULT hr = CLSIDFromString(wide.c_str(), &guid);
  if (FAILED(hr))
    throw comError(hr);
  return guid;
}

}  // namespace

std::unique_ptr<DispatchObject> makeDispatchObject(const std::string& classId,
                                                   const std::string& interfaceId) {
  GUID classGuid = parseGuid(classId);
  GUID interfaceGuid = parseGuid(interfaceId);
  void* object = nullptr;
  HRESULT hr = CoCreateInstance(classGuid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                interfaceGuid, &object);
  if (FAILED(hr))
    throw comError(hr);
  // The requested interface is a dispatch interface: it begins with IDispatch's methods.
  return std::make_unique<ComDispatchObject>(static_cast<IDispatch*>(object));
}

}  // namespace tk::host

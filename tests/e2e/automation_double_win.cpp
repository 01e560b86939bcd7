// A test double for the browser-automation component: an in-process COM server whose objects
// implement the component's dispatch interface and append every call (dispatch id and text
// arguments) to the file named by TK_AUTOMATION_LOG (C:\automation-calls.txt when unset). Its
// DllRegisterServer only records that it ran, so it also serves as a registrable component.
#include <string>

#include "platform/windows/win32.h"

#include <oleauto.h>
#include <unknwn.h>

namespace {

// {0277FC34-FD1B-4616-BB19-CC6284398AA5}
const GUID kInterface = {
    0x0277FC34, 0xFD1B, 0x4616, {0xBB, 0x19, 0xCC, 0x62, 0x84, 0x39, 0x8A, 0xA5}};

LONG gObjects = 0;
HMODULE gModule = nullptr;

void appendLine(const std::wstring& line) {
  wchar_t path[MAX_PATH] = L"C:\\automation-calls.txt";
  GetEnvironmentVariableW(L"TK_AUTOMATION_LOG", path, MAX_PATH);
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  std::wstring text = line + L"\r\n";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

class Driver : public IDispatch {
 public:
  Driver() { InterlockedIncrement(&gObjects); }
  virtual ~Driver() { InterlockedDecrement(&gObjects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kInterface)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      appendLine(L"release");
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    std::wstring line = std::to_wstring(id);
    for (UINT k = params->cArgs; k > 0; --k) {
      VARIANT& value = params->rgvarg[k - 1];
      line += L"|";
      if (value.vt == VT_BSTR)
        line += value.bstrVal;
    }
    appendLine(line);
    if (result != nullptr)
      VariantInit(result);
    return S_OK;
  }

 private:
  LONG references_ = 1;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer != nullptr)
      return CLASS_E_NOAGGREGATION;
    Driver* driver = new Driver();
    HRESULT hr = driver->QueryInterface(iid, out);
    driver->Release();
    if (SUCCEEDED(hr))
      appendLine(L"create");
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory gFactory;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    gModule = instance;
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID iid, void** out) {
  return gFactory.QueryInterface(iid, out);
}

HRESULT WINAPI DllCanUnloadNow() {
  return gObjects == 0 ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(gModule, self, MAX_PATH);
  appendLine(std::wstring(L"registered|") + self);
  return S_OK;
}

HRESULT WINAPI DllUnregisterServer() {
  return S_OK;
}
}

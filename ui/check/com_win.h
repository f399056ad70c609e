// Owners for COM: the apartment of a thread, interface pointers and BSTRs.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace dvx {

// COM for the life of the scope on this thread; a thread that has COM in
// another mode already keeps it (and the work still runs there).
class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For the out-parameter of a call; what was held is released first.
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return s_; }
  BSTR* put() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }
  std::wstring text() const { return s_ ? std::wstring(s_, SysStringLen(s_)) : std::wstring(); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace dvx

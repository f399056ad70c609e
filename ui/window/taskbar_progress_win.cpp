#include "ui/window/taskbar_progress_win.h"

namespace dvx {

namespace {
// MinGW's import libraries may lack these ids.
const CLSID kClsidTaskbarList = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID kIidTaskbarList3 = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};
}  // namespace

UINT TaskbarProgress::buttonCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
  return message;
}

void TaskbarProgress::attach(HWND window) {
  release();
  window_ = window;
  com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  void* object = nullptr;
  if (SUCCEEDED(CoCreateInstance(kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kIidTaskbarList3, &object)) &&
      object) {
    list_ = static_cast<ITaskbarList3*>(object);
    if (FAILED(list_->HrInit())) {
      release();
      return;
    }
  }
  apply();
}

void TaskbarProgress::show(int done, int total) {
  if (total <= 0) return clear();
  shown_ = std::make_pair(done < 0 ? 0 : done > total ? total : done, total);
  apply();
}

void TaskbarProgress::clear() {
  shown_.reset();
  apply();
}

void TaskbarProgress::apply() {
  if (!list_ || !window_) return;
  if (!shown_) {
    list_->SetProgressState(window_, TBPF_NOPROGRESS);
    return;
  }
  list_->SetProgressState(window_, TBPF_NORMAL);
  list_->SetProgressValue(window_, static_cast<ULONGLONG>(shown_->first), static_cast<ULONGLONG>(shown_->second));
}

void TaskbarProgress::release() {
  if (list_) list_->Release();
  list_ = nullptr;
  if (SUCCEEDED(com_)) CoUninitialize();
  com_ = E_FAIL;
}

}  // namespace dvx

#include "ui/check/check_task_win.h"

#define SECURITY_WIN32
#include <security.h>
#include <taskschd.h>

#include <vector>

#include "remind/check_task_xml.h"
#include "ui/check/com_win.h"

namespace dvx {

namespace {

// "DOMAIN\user" of this process, for the principal and the logon trigger.
std::wstring thisUserId() {
  std::vector<wchar_t> name(512);
  ULONG size = static_cast<ULONG>(name.size());
  if (GetUserNameExW(NameSamCompatible, name.data(), &size)) return std::wstring(name.data(), size);
  DWORD plain = static_cast<DWORD>(name.size());
  if (GetUserNameW(name.data(), &plain)) return std::wstring(name.data());
  return std::wstring();
}

VARIANT emptyVariant() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

// The scheduler's root folder, connected as this user.
HRESULT rootFolder(ComRef<ITaskFolder>& folder) {
  ComRef<ITaskService> service;
  HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                service.putVoid());
  if (FAILED(hr)) return hr;
  hr = service->Connect(emptyVariant(), emptyVariant(), emptyVariant(), emptyVariant());
  if (FAILED(hr)) return hr;
  Bstr root(L"\\");
  return service->GetFolder(root.get(), folder.put());
}

bool isMissing(HRESULT hr) {
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

std::wstring lower(std::wstring s) {
  if (!s.empty()) CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

}  // namespace

std::wstring thisProgramPath() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::wstring();
    if (n < buf.size()) return std::wstring(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::wstring taskCommandOf(const std::wstring& xml) {
  const size_t open = xml.find(L"<Command>");
  if (open == std::wstring::npos) return std::wstring();
  const size_t from = open + 9;
  const size_t close = xml.find(L"</Command>", from);
  if (close == std::wstring::npos) return std::wstring();
  const std::wstring raw = xml.substr(from, close - from);
  std::wstring out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != L'&') {
      out += raw[i];
      continue;
    }
    const size_t end = raw.find(L';', i);
    if (end == std::wstring::npos) {
      out += raw.substr(i);
      break;
    }
    const std::wstring name = raw.substr(i + 1, end - i - 1);
    if (name == L"amp") out += L'&';
    else if (name == L"lt") out += L'<';
    else if (name == L"gt") out += L'>';
    else if (name == L"quot") out += L'"';
    else if (name == L"apos") out += L'\'';
    else if (name.size() > 1 && name[0] == L'#') {
      const bool hex = name[1] == L'x' || name[1] == L'X';
      const unsigned long code = std::wcstoul(name.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
      if (code > 0 && code < 0x10000) out += static_cast<wchar_t>(code);
    } else {
      out += raw.substr(i, end - i + 1);
    }
    i = end;
  }
  if (out.size() >= 2 && out.front() == L'"' && out.back() == L'"') out = out.substr(1, out.size() - 2);
  return out;
}

CheckTaskState checkTaskState(const std::wstring& exePath) {
  ComApartment com;
  if (!com.usable()) return CheckTaskState::kUnknown;
  ComRef<ITaskFolder> folder;
  if (FAILED(rootFolder(folder))) return CheckTaskState::kUnknown;
  ComRef<IRegisteredTask> task;
  Bstr name(kCheckTaskName);
  const HRESULT hr = folder->GetTask(name.get(), task.put());
  if (isMissing(hr)) return CheckTaskState::kAbsent;
  if (FAILED(hr)) return CheckTaskState::kUnknown;
  Bstr xml;
  if (FAILED(task->get_Xml(xml.put()))) return CheckTaskState::kForThisProgram;
  const std::wstring command = taskCommandOf(xml.text());
  // A scheduler that keeps no action (Wine) cannot tell; the task is taken
  // as this program's.
  if (command.empty() || lower(command) == lower(exePath)) return CheckTaskState::kForThisProgram;
  return CheckTaskState::kForOtherPath;
}

HRESULT registerCheckTask(const std::wstring& exePath) {
  ComApartment com;
  if (!com.usable()) return E_FAIL;
  ComRef<ITaskFolder> folder;
  HRESULT hr = rootFolder(folder);
  if (FAILED(hr)) return hr;
  Bstr name(kCheckTaskName);
  Bstr xml(checkTaskXml(exePath, thisUserId()));
  ComRef<IRegisteredTask> task;
  // The interactive token of the user who is logged on: no password is
  // kept and nothing runs elevated or while nobody is logged on.
  return folder->RegisterTask(name.get(), xml.get(), TASK_CREATE_OR_UPDATE, emptyVariant(), emptyVariant(),
                              TASK_LOGON_INTERACTIVE_TOKEN, emptyVariant(), task.put());
}

HRESULT removeCheckTask() {
  ComApartment com;
  if (!com.usable()) return E_FAIL;
  ComRef<ITaskFolder> folder;
  HRESULT hr = rootFolder(folder);
  if (FAILED(hr)) return hr;
  Bstr name(kCheckTaskName);
  hr = folder->DeleteTask(name.get(), 0);
  return isMissing(hr) ? S_OK : hr;
}

}  // namespace dvx

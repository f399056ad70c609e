#include "ui/check/check_task_commands_win.h"

#include <cwchar>

#include "remind/check_task_xml.h"
#include "ui/check/check_task_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {

std::wstring quotedTaskName() { return L"\u201C" + std::wstring(kCheckTaskName) + L"\u201D"; }

std::wstring errorCode(HRESULT result) {
  wchar_t code[16] = {};
  std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
  return code;
}

void tell(const std::wstring& text, bool failed) {
  MessageBoxW(nullptr, text.c_str(), L"Domivex", MB_OK | (failed ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace

std::wstring installCheckMessage(HRESULT result, const std::wstring& exePath) {
  if (FAILED(result))
    return toWide("无法创建计划任务 ") + quotedTaskName() + toWide(" (错误 ") + errorCode(result) + L")";
  return toWide("已创建计划任务 ") + quotedTaskName() + toWide(": 每天 09:00 和登录两分钟后运行 \"") + exePath +
         L"\" --check";
}

std::wstring removeCheckMessage(HRESULT result) {
  if (FAILED(result))
    return toWide("无法删除计划任务 ") + quotedTaskName() + toWide(" (错误 ") + errorCode(result) + L")";
  return toWide("已删除计划任务 ") + quotedTaskName();
}

int runInstallCheckCommand(bool quiet) {
  const std::wstring exe = thisProgramPath();
  const HRESULT result = registerCheckTask(exe);
  if (!quiet) tell(installCheckMessage(result, exe), FAILED(result));
  return FAILED(result) ? 1 : 0;
}

int runRemoveCheckCommand(bool quiet) {
  const HRESULT result = removeCheckTask();
  if (!quiet) tell(removeCheckMessage(result), FAILED(result));
  return FAILED(result) ? 1 : 0;
}

}  // namespace dvx

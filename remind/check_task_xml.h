// The Task Scheduler definition of the daily check, as the XML text the
// scheduler's RegisterTask takes (schema 1.2).
#pragma once
#include <string>

namespace dvx {

extern const wchar_t kCheckTaskName[];  // L"Domivex 到期检查"

// Runs `exePath --check` daily at 09:00 and two minutes after `userId` logs
// on, starts when a run was missed, stops after an hour, with the user's
// interactive token and no elevation. (Natively wchar_t is 32-bit; the text
// is the same characters.)
std::wstring checkTaskXml(const std::wstring& exePath, const std::wstring& userId);

}  // namespace dvx

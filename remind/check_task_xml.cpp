#include "remind/check_task_xml.h"

namespace dvx {
namespace {

std::wstring escaped(const std::wstring& s) {
  std::wstring out;
  out.reserve(s.size());
  for (const wchar_t c : s) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

// The folder of the program, so that a relative data place resolves as it
// does when the user starts the program.
std::wstring folderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

const wchar_t kCheckTaskName[] = L"Domivex 到期检查";

std::wstring checkTaskXml(const std::wstring& exePath, const std::wstring& userId) {
  const std::wstring user = escaped(userId);
  const std::wstring folder = folderOf(exePath);
  std::wstring x;
  x += L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";
  x += L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n";
  x += L"  <RegistrationInfo>\r\n";
  x += L"    <Author>" + user + L"</Author>\r\n";
  x += L"    <Description>Domivex: 每天查询将要到期的域名并提醒</Description>\r\n";
  x += L"  </RegistrationInfo>\r\n";
  x += L"  <Triggers>\r\n";
  x += L"    <CalendarTrigger>\r\n";
  x += L"      <StartBoundary>2020-01-01T09:00:00</StartBoundary>\r\n";
  x += L"      <Enabled>true</Enabled>\r\n";
  x += L"      <ScheduleByDay>\r\n";
  x += L"        <DaysInterval>1</DaysInterval>\r\n";
  x += L"      </ScheduleByDay>\r\n";
  x += L"    </CalendarTrigger>\r\n";
  x += L"    <LogonTrigger>\r\n";
  x += L"      <Enabled>true</Enabled>\r\n";
  x += L"      <UserId>" + user + L"</UserId>\r\n";
  x += L"      <Delay>PT2M</Delay>\r\n";
  x += L"    </LogonTrigger>\r\n";
  x += L"  </Triggers>\r\n";
  x += L"  <Principals>\r\n";
  x += L"    <Principal id=\"Author\">\r\n";
  x += L"      <UserId>" + user + L"</UserId>\r\n";
  x += L"      <LogonType>InteractiveToken</LogonType>\r\n";
  x += L"      <RunLevel>LeastPrivilege</RunLevel>\r\n";
  x += L"    </Principal>\r\n";
  x += L"  </Principals>\r\n";
  x += L"  <Settings>\r\n";
  x += L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n";
  x += L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n";
  x += L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n";
  x += L"    <StartWhenAvailable>true</StartWhenAvailable>\r\n";
  x += L"    <ExecutionTimeLimit>PT1H</ExecutionTimeLimit>\r\n";
  x += L"    <Enabled>true</Enabled>\r\n";
  x += L"  </Settings>\r\n";
  x += L"  <Actions Context=\"Author\">\r\n";
  x += L"    <Exec>\r\n";
  x += L"      <Command>" + escaped(exePath) + L"</Command>\r\n";
  x += L"      <Arguments>--check</Arguments>\r\n";
  if (!folder.empty()) x += L"      <WorkingDirectory>" + escaped(folder) + L"</WorkingDirectory>\r\n";
  x += L"    </Exec>\r\n";
  x += L"  </Actions>\r\n";
  x += L"</Task>\r\n";
  return x;
}

}  // namespace dvx

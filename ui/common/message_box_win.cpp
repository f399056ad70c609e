#include "ui/common/message_box_win.h"

#include "ui/common/wide_win.h"

namespace dvx {

namespace {
UINT iconFlag(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information: return MB_ICONINFORMATION;
    case PromptIcon::Question: return MB_ICONQUESTION;
    case PromptIcon::Warning: return MB_ICONWARNING;
    case PromptIcon::None: break;
  }
  return 0;
}
}  // namespace

bool MessageBoxPrompter::askYesNo(const std::string& text, const std::string& caption,
                                  PromptIcon icon) {
  const std::wstring c = toWide(caption);
  return MessageBoxW(owner_, toWide(text).c_str(), caption.empty() ? nullptr : c.c_str(),
                     MB_YESNO | iconFlag(icon)) == IDYES;
}

void MessageBoxPrompter::notify(const std::string& text, const std::string& caption,
                                PromptIcon icon) {
  const std::wstring c = toWide(caption);
  MessageBoxW(owner_, toWide(text).c_str(), caption.empty() ? nullptr : c.c_str(),
              MB_OK | iconFlag(icon));
}

}  // namespace dvx

// Message boxes for the program's questions and notices, and for the store's
// error texts.
#pragma once
#include <windows.h>

#include "store/store_errors.h"
#include "startup/prompter.h"

namespace dvx {

class MessageBoxPrompter : public Prompter {
 public:
  explicit MessageBoxPrompter(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }
  bool askYesNo(const std::string& text, const std::string& caption, PromptIcon icon) override;
  void notify(const std::string& text, const std::string& caption, PromptIcon icon) override;

 private:
  HWND owner_;
};

// Shows the database's own error text with an OK button and the default caption.
class PromptStoreErrors : public StoreErrorSink {
 public:
  explicit PromptStoreErrors(Prompter* prompter) : prompter_(prompter) {}
  void showStoreError(const std::string& gbkText) override {
    if (prompter_) prompter_->notify(gbkText, std::string(), PromptIcon::None);
  }

 private:
  Prompter* prompter_;
};

}  // namespace dvx

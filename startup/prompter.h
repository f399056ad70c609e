// Questions and notices to the user. The program shows message boxes; tests
// answer and record them without a window.
#pragma once
#include <string>

namespace dvx {

enum class PromptIcon { None, Information, Question, Warning };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Yes/No question; true only for Yes.
  virtual bool askYesNo(const std::string& text, const std::string& caption, PromptIcon icon) = 0;
  // A notice with an OK button. An empty caption means the system's default.
  virtual void notify(const std::string& text, const std::string& caption, PromptIcon icon) = 0;
};

}  // namespace dvx

// Where the store shows the database's own error text. The program shows it in
// a message box (OK button, default caption); tests record it.
#pragma once
#include <string>

namespace dvx {

class StoreErrorSink {
 public:
  virtual ~StoreErrorSink() = default;
  virtual void showStoreError(const std::string& gbkText) = 0;
};

}  // namespace dvx

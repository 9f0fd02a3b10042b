#pragma once
// Errors the engine raises carry Oracle's number and wording, so a caller sees
// exactly what a real server would have said ("ORA-00942: table or view does not exist").
#include <stdexcept>
#include <string>

namespace korvo::engine {

class OraError : public std::runtime_error {
 public:
  OraError(int code, const std::string& text);
  // The fixed text of `code` (ora_messages.cpp).
  explicit OraError(int code);
  int code() const noexcept { return code_; }
  // The text after "ORA-nnnnn: ".
  const std::string& text() const noexcept { return text_; }

 private:
  int code_;
  std::string text_;
};

// "ORA-00942" style prefix of a code.
std::string oraCode(int code);

}  // namespace korvo::engine

// Error types shared by the whole module.
//
//   try { Vd_CdEmpresa(); } catch (const Abort&) { FocusCompany(); throw; }
#pragma once

#include <stdexcept>
#include <string>

namespace pag {

// The silent abort that ends a user action after its message was shown
// (MensErro with stop = true). Callers that tidy up catch it, tidy, rethrow.
class Abort : public std::exception {
 public:
  explicit Abort(std::string key = {}) : key_(std::move(key)) {}
  const char* what() const noexcept override { return "Abort"; }
  // The message key or text that was shown before the abort, for callers
  // (the command line, tests) that report which check refused.
  const std::string& key() const noexcept { return key_; }

 private:
  std::string key_;
};

// A value that does not fit its field, or another fault in formatting data
// for a fixed-width field. The message names the value and the width.
class FieldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A reply of the application server that carries an error. The message is
// the server's text or message key ("OPER_INV").
class ServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pag

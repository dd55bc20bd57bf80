#pragma once

#include <string>
#include <utility>
#include <variant>

/// Why an operation gave no value: a message for the user, complete in itself ("cannot read
/// "x.qif": No such file or directory"). Converts to any TResult.
struct TFailure {
  std::string message;
};

/// The outcome of an operation that reads or writes a file and can fail: either its value or
/// the message that says why there is none, never both. Checked before use; reading the value
/// of a failure, or the message of a success, is a programming error.
template <class T>
class [[nodiscard]] TResult {
 public:
  TResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  TResult(TFailure failure) : state_(std::in_place_index<1>, std::move(failure.message)) {}

  bool Ok() const { return state_.index() == 0; }
  explicit operator bool() const { return Ok(); }

  T& Value() & { return std::get<0>(state_); }
  const T& Value() const& { return std::get<0>(state_); }
  T&& Value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return Value(); }
  const T& operator*() const& { return Value(); }
  T* operator->() { return &Value(); }
  const T* operator->() const { return &Value(); }

  const std::string& Error() const { return std::get<1>(state_); }

 private:
  std::variant<T, std::string> state_;
};

/// The outcome of an operation that gives nothing but success or a message.
template <>
class [[nodiscard]] TResult<void> {
 public:
  TResult() = default;
  TResult(TFailure failure) : error_(std::move(failure.message)), ok_(false) {}

  bool Ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& Error() const { return error_; }

 private:
  std::string error_;
  bool ok_ = true;
};

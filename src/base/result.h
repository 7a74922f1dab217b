#pragma once

#include <optional>
#include <utility>
#include <variant>

namespace kiv {

// A value or the reason there is none. The schedule file's pure functions
// report failures this way so a caller cannot use a value that was never made.
template <typename T, typename E>
class Result {
 public:
  // Implicit, as std::expected's are, so a function returns either directly.
  // cppcheck-suppress noExplicitConstructor
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  // cppcheck-suppress noExplicitConstructor
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only valid when ok(); std::get throws otherwise, so misuse cannot go unseen.
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const E& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};

// Success, or the reason for a failure: `return {};` succeeds.
template <typename E>
class Result<void, E> {
 public:
  Result() = default;
  // cppcheck-suppress noExplicitConstructor
  Result(E error) : error_(std::move(error)) {}

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }

  // Only valid when !ok(); std::optional::value throws otherwise.
  const E& error() const { return error_.value(); }

 private:
  std::optional<E> error_;
};

}  // namespace kiv

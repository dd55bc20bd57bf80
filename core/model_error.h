#pragma once

#include <stdexcept>

/// The error the model raises for misuse and for refused data; its text is what the user is shown.
class TModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

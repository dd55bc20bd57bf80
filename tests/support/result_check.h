#pragma once

#include <gtest/gtest.h>

#include "core/result.h"

/// Success of a file operation as a test condition; a failure carries the operation's message.
template <class T>
::testing::AssertionResult Succeeded(const TResult<T>& result) {
  if (result)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.Error();
}

/// The message of a file operation that was expected to fail; empty when it succeeded.
template <class T>
std::string FailureOf(const TResult<T>& result) {
  return result ? std::string() : result.Error();
}

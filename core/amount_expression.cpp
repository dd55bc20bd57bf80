#include "core/amount_expression.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

// The evaluator rewrites text: each operator application replaces its operands with the result
// written out with four decimals, and each parenthesised group is replaced by its value with five.
// Users have always seen those roundings (10/3*3 gives 9.9999, so 10.00 after rounding to cents),
// so the text form is kept rather than computing in full precision. Rewriting a whole string per
// operator would take quadratic time on long input, so each precedence level is one left-to-right
// pass that keeps the finished text in a buffer and reads each result again as the next input.

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsNumberChar(char c) {
  return IsDigit(c) || c == '.';
}

bool IsAllowed(char c) {
  switch (c) {
    case ' ':
    case '.':
    case '(':
    case ')':
    case '+':
    case '-':
    case '*':
    case '/':
    case '^':
      return true;
    default:
      return IsDigit(c);
  }
}

// Only the order of "(" and ")" matters: each ")" must close an open "(" and none may stay open.
// Taking the last "(" with the first ")" after it, over and over, pairs every group exactly when
// this holds, so the check is made once, before anything is evaluated.
bool ParenthesesPair(std::string_view text) {
  size_t open = 0;
  for (char c : text) {
    if (c == '(') {
      ++open;
    } else if (c == ')') {
      if (open == 0)
        return false;
      --open;
    }
  }
  return open == 0;
}

// Reads a run of digits and "." as a decimal read does: up to a second ".", if any. A run too
// long for a floating number gives infinity (a huge number) or 0 (a tiny fraction).
double ReadRun(std::string_view run) {
  size_t firstDot = run.find('.');
  if (firstDot != std::string_view::npos)
    run = run.substr(0, run.find('.', firstDot + 1));
  if (run.empty() || run == ".")
    return 0;
  double value = 0;
  auto [end, status] =
      std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
  if (status == std::errc::result_out_of_range) {
    std::string_view integerPart = run.substr(0, run.find('.'));
    bool large = integerPart.find_first_not_of('0') != std::string_view::npos;
    return large ? HUGE_VAL : 0.0;
  }
  if (status != std::errc())
    return 0;
  return value;
}

// The decimal number a text starts with, as read at the end: spaces, signs directly before the
// digits, then digits and "."; anything after is ignored.
double ReadDecimal(std::string_view text) {
  size_t pos = text.find_first_not_of(' ');
  if (pos == std::string_view::npos)
    return 0;
  bool negative = false;
  for (; pos < text.size() && (text[pos] == '-' || text[pos] == '+'); ++pos) {
    if (text[pos] == '-')
      negative = !negative;
  }
  size_t end = pos;
  while (end < text.size() && IsNumberChar(text[end]))
    ++end;
  double magnitude = ReadRun(text.substr(pos, end - pos));
  return negative ? -magnitude : magnitude;
}

// A value in fixed notation with a number of decimals, the way it goes back into the text.
// Written without the C locale functions, whose decimal point may be "," under the user's locale.
class TFixedText {
 public:
  TFixedText(double value, int decimals) {
    auto [end, status] =
        std::to_chars(buffer_, buffer_ + sizeof buffer_, value, std::chars_format::fixed, decimals);
    size_ = status == std::errc() ? static_cast<size_t>(end - buffer_) : 0;
  }
  std::string_view View() const { return std::string_view(buffer_, size_); }

 private:
  char buffer_[400];  // the largest double has 309 integer digits
  size_t size_ = 0;
};

enum class TLevel { kPower, kProduct, kSum };

std::string_view OperatorsOf(TLevel level) {
  switch (level) {
    case TLevel::kPower:
      return "^";
    case TLevel::kProduct:
      return "*/";
    case TLevel::kSum:
      return "+-";
  }
  return {};
}

bool IsSign(char c) {
  return c == '+' || c == '-';
}

// Signs in a row (spaces between them allowed) become the one sign they amount to: "5--3" is
// 5+3 and "2*-(0-3)", once its group is replaced, 2*+3. Without this, a negative group value
// after a sign would leave two signs that no operand reads. A lone sign stays as it is.
// Spaces only ever separate, so a run of them becomes one space; that keeps every look back
// over spaces short, however many the user typed.
void MergeSignsAndSpaces(std::string_view text, std::string& merged) {
  merged.clear();
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ' && !merged.empty() && merged.back() == ' ') {
      ++i;
      continue;
    }
    if (!IsSign(text[i])) {
      merged.push_back(text[i++]);
      continue;
    }
    bool negative = false;
    size_t lastSign = i;
    for (size_t j = i; j < text.size() && (IsSign(text[j]) || text[j] == ' '); ++j) {
      if (text[j] == ' ')
        continue;
      lastSign = j;
      if (text[j] == '-')
        negative = !negative;
    }
    merged.push_back(negative ? '-' : '+');
    i = lastSign + 1;
  }
}

// Whether an operator character found after `before` acts as an operator. Nothing at the very
// start does. A "+" or "-" with no number before it (only spaces, or another operator) is the
// sign of what follows; this also keeps the sign of a negative result from being taken for a
// subtraction with nothing to subtract from.
bool ActsAsOperator(char c, std::string_view before) {
  if (before.empty())
    return false;
  if (!IsSign(c))
    return true;
  size_t last = before.find_last_not_of(' ');
  return last != std::string_view::npos && IsNumberChar(before[last]);
}

struct TOperand {
  double magnitude = 0;
  bool negative = false;
  double Signed() const { return negative ? -magnitude : magnitude; }
};

// The text still to be read by one pass: a result waiting to be read again, then the rest of
// the input.
class TPassInput {
 public:
  /// `pending` is a buffer lent for results, so that its memory serves one pass after another.
  TPassInput(std::string_view text, std::string& pending) : pending_(pending), rest_(text) {
    pending_.clear();
  }

  bool AtEnd() const { return pendingPos_ == pending_.size() && rest_.empty(); }
  char Peek() const { return pendingPos_ < pending_.size() ? pending_[pendingPos_] : rest_[0]; }
  void Advance() {
    if (pendingPos_ < pending_.size()) {
      ++pendingPos_;
    } else {
      rest_.remove_prefix(1);
    }
  }
  /// Moves everything up to the next of `stops` (or the end) onto `out`.
  void CopyUntil(std::string_view stops, std::string& out) {
    for (; pendingPos_ < pending_.size(); ++pendingPos_) {
      if (stops.find(pending_[pendingPos_]) != std::string_view::npos)
        return;
      out.push_back(pending_[pendingPos_]);
    }
    size_t stop = std::min(rest_.find_first_of(stops), rest_.size());
    out.append(rest_.substr(0, stop));
    rest_.remove_prefix(stop);
  }
  void PutBack(std::string_view text) {
    if (pendingPos_ == pending_.size()) {
      pending_.assign(text);
    } else {
      pending_.replace(0, pendingPos_, text);
    }
    pendingPos_ = 0;
  }

 private:
  std::string& pending_;
  size_t pendingPos_ = 0;
  std::string_view rest_;
};

// Whether the sign at `done[pos]` belongs to the number after it rather than being an operator
// of its own: no number stands before it (spaces skipped), which includes the start of the text.
bool IsSignOfNumber(std::string_view done, size_t pos) {
  size_t before = done.find_last_not_of(' ', pos == 0 ? std::string_view::npos : pos - 1);
  return pos == 0 || before == std::string_view::npos || !IsNumberChar(done[before]);
}

// The left operand is the run of digits and "." that ends the finished text (spaces between it
// and the operator skipped); a "-" directly before it makes it negative when it is the number's
// sign rather than a subtraction of a lower level. At the start of the text the "-" is a sign
// too, so that "-2+3" is 1 and a negative result can take part in the next operation. A "+" in
// the same place is a sign that changes nothing. The operand and its sign leave the finished
// text.
TOperand TakeLeftOperand(std::string& done) {
  size_t end = done.find_last_not_of(' ');
  end = end == std::string::npos ? 0 : end + 1;
  size_t start = end;
  while (start > 0 && IsNumberChar(done[start - 1]))
    --start;
  TOperand operand;
  operand.magnitude = ReadRun(std::string_view(done).substr(start, end - start));
  if (start > 0 && IsSign(done[start - 1]) && IsSignOfNumber(done, start - 1)) {
    operand.negative = done[start - 1] == '-';
    --start;
  }
  done.resize(start);
  return operand;
}

// The right operand is the run of digits and "." after the operator (spaces skipped), negative
// when a "-" comes first; a "+" there is an explicit positive sign.
TOperand TakeRightOperand(TPassInput& input) {
  TOperand operand;
  while (!input.AtEnd() && (input.Peek() == ' ' || IsSign(input.Peek()))) {
    if (input.Peek() == '-')
      operand.negative = !operand.negative;
    input.Advance();
  }
  std::string run;
  while (!input.AtEnd() && IsNumberChar(input.Peek())) {
    run.push_back(input.Peek());
    input.Advance();
  }
  operand.magnitude = ReadRun(run);
  return operand;
}

// One operator application; false with `error` set when it has no value.
bool Apply(char op, const TOperand& left, const TOperand& right, double& result, int& error) {
  if (!std::isfinite(left.magnitude) || !std::isfinite(right.magnitude)) {
    error = kAmountParseOutOfRange;
    return false;
  }
  switch (op) {
    case '^': {
      if (left.magnitude == 0 && right.Signed() < 0) {
        error = kAmountParseDivisionByZero;
        return false;
      }
      double power = std::pow(left.magnitude, right.Signed());
      bool negative = left.negative && std::fmod(right.Signed(), 2.0) != 0;
      result = negative ? -power : power;
      break;
    }
    case '*':
    case '/': {
      if (op == '/' && right.magnitude == 0) {
        error = kAmountParseDivisionByZero;
        return false;
      }
      double magnitude =
          op == '*' ? left.magnitude * right.magnitude : left.magnitude / right.magnitude;
      result = left.negative != right.negative ? -magnitude : magnitude;
      break;
    }
    case '+':
      result = left.Signed() + right.Signed();
      break;
    default:
      result = left.Signed() - right.Signed();
      break;
  }
  if (!std::isfinite(result)) {
    error = kAmountParseOutOfRange;
    return false;
  }
  return true;
}

// Buffers that one evaluation reuses from pass to pass and group to group.
struct TScratch {
  std::string current;
  std::string next;
  std::string pending;
};

// Applies every operator of one level, leftmost first, and gives the text that is left.
bool ApplyLevel(std::string_view text, TLevel level, std::string& done, std::string& pending,
                int& error) {
  done.clear();
  TPassInput input(text, pending);
  const std::string_view operators = OperatorsOf(level);
  while (true) {
    input.CopyUntil(operators, done);
    if (input.AtEnd())
      break;
    char c = input.Peek();
    input.Advance();
    if (!ActsAsOperator(c, done)) {
      done.push_back(c);
      continue;
    }
    TOperand left = TakeLeftOperand(done);
    TOperand right = TakeRightOperand(input);
    double result = 0;
    if (!Apply(c, left, right, result, error))
      return false;
    // A zero result is never negative, so it never brings a "-" into the text.
    input.PutBack(TFixedText(result + 0.0, 4).View());
  }
  return true;
}

// The value of a text without parentheses; false with `error` set when it has none.
bool EvaluateFlat(std::string_view text, TScratch& scratch, double& value, int& error) {
  value = 0;
  if (text.empty())
    return true;
  MergeSignsAndSpaces(text, scratch.current);
  for (TLevel level : {TLevel::kPower, TLevel::kProduct, TLevel::kSum}) {
    if (scratch.current.find_first_of(OperatorsOf(level)) == std::string::npos)
      continue;
    if (!ApplyLevel(scratch.current, level, scratch.next, scratch.pending, error))
      return false;
    scratch.current.swap(scratch.next);
  }
  value = ReadDecimal(scratch.current);
  if (!std::isfinite(value)) {
    error = kAmountParseOutOfRange;
    return false;
  }
  return true;
}

}  // namespace

TAmountParseResult EvaluateAmountExpression(std::string_view text) {
  std::string expression;
  expression.reserve(text.size());
  for (char c : text) {
    if (c != ',')
      expression.push_back(c);
  }
  if (expression.empty())
    return {};
  for (char c : expression) {
    if (!IsAllowed(c))
      return {0, kAmountParseBadCharacter};
  }
  if (!ParenthesesPair(expression))
    return {0, kAmountParseUnbalanced};

  // Innermost groups first: a group's text is complete when its ")" arrives, because every group
  // inside it has already been replaced by its value.
  // The texts of the open groups, outermost first; a closed group's text is kept for its memory.
  std::vector<std::string> groups(1);
  size_t depth = 0;
  TScratch scratch;
  int error = kAmountParseOk;
  double value = 0;
  std::string_view rest = expression;
  while (!rest.empty()) {
    size_t parenthesis = std::min(rest.find_first_of("()"), rest.size());
    groups[depth].append(rest.substr(0, parenthesis));
    rest.remove_prefix(parenthesis);
    if (rest.empty())
      break;
    if (rest[0] == '(') {
      if (++depth == groups.size())
        groups.emplace_back();
      groups[depth].clear();
    } else {
      if (!EvaluateFlat(groups[depth], scratch, value, error))
        return {0, error};
      --depth;
      // 0.0 rather than -0.0, so that a zero group brings no "-" into the text.
      groups[depth] += TFixedText(value + 0.0, 5).View();
    }
    rest.remove_prefix(1);
  }
  if (!EvaluateFlat(groups[0], scratch, value, error))
    return {0, error};
  // 0.0 rather than -0.0, so that callers never see a signed zero.
  return {value + 0.0, kAmountParseOk};
}

TAmount AmountFromText(std::string_view text) {
  return TAmount::FromUnits(EvaluateAmountExpression(text).value);
}

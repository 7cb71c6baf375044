// The calculator's rules say: split the text at the last operator of the weakest kind found
// outside parentheses, evaluate both sides the same way, combine. Done literally, that copies
// the text at every split and recurses once per operator, which is quadratic and exhausts the
// stack on long input. The same results come from one pass per parenthesised level:
// - the operators of a level, taken in order, form an ordinary left-associative precedence
//   expression, evaluated with an operator stack;
// - the operands between them are the level's sub-texts, each a fresh expression;
// - parenthesised groups are skipped in O(1) through a table of matching parentheses, so
//   every unit is walked at its own level only;
// - a level that needs a deeper one pushes a frame on a heap stack instead of recursing.
// Dropped operators always stand at the start of an operand (first, or after an operator),
// so an operand simply begins after them, and the text is never copied beyond the one
// filtered buffer and the short number texts handed to StringToNumber.
#include "vireo/utility/Calculator.h"

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "vireo/utility/Numbers.h"

namespace vireo {
namespace utility {
namespace {

typedef std::uint32_t Index;
Index const kNoMatch = 0xFFFFFFFFu;

// Weakest first; the rank decides which operator of a level splits first.
enum Rank : unsigned char { kExponent, kAdditive, kMultiply, kDivide, kPower };

struct Operator {
  Index position;
  unsigned short unit;
  Rank rank;
};

bool IsKept(unsigned short unit) {
  return (unit >= u'0' && unit <= u'9') || unit == u'(' || unit == u')' || unit == u'+' ||
         unit == u'-' || unit == u'*' || unit == u'/' || unit == u'.' || unit == u',' ||
         unit == u'^' || unit == u'e' || unit == u'E';
}

// The units that are operators only after an operand, and are dropped elsewhere.
bool IsBinaryOnly(unsigned short unit) {
  return unit == u'*' || unit == u'/' || unit == u'^' || unit == u'e' || unit == u'E';
}

double Combine(double inLeft, Operator const& inOperator, double inRight) {
  switch (inOperator.unit) {
    case u'+':
      return inLeft + inRight;
    case u'-':
      return inLeft - inRight;
    case u'*':
      return inLeft * inRight;
    case u'/':
      return inRight == 0.0 ? inLeft : inLeft / inRight;
    case u'^':
      return std::pow(inLeft, inRight);
    default:  // the exponent letter
      return inLeft * std::pow(10.0, inRight);
  }
}

// One parenthesised level being evaluated: its operators, the next operand to evaluate, and
// the operator-precedence stacks.
struct Level {
  Index begin = 0;
  Index end = 0;
  std::vector<Operator> operators;
  std::size_t nextOperand = 0;
  std::vector<double> values;
  std::vector<Operator> pending;

  // Takes the value of operand nextOperand.
  void Take(double inValue) {
    values.push_back(inValue);
    if (nextOperand < operators.size()) {
      Operator const& next = operators[nextOperand];
      while (!pending.empty() && pending.back().rank >= next.rank) Reduce();
      pending.push_back(next);
    }
    ++nextOperand;
  }

  double Finish() {
    while (!pending.empty()) Reduce();
    return values.back();
  }

  bool Done() const { return nextOperand > operators.size(); }

 private:
  void Reduce() {
    double const right = values.back();
    values.pop_back();
    values.back() = Combine(values.back(), pending.back(), right);
    pending.pop_back();
  }
};

class Evaluator {
 public:
  explicit Evaluator(UTF16String& ioText) : text_(ioText) { Prepare(); }

  double Run() {
    double value = 0.0;
    std::vector<Level> levels(1);
    if (Open(0, static_cast<Index>(text_.size()), levels.back(), value)) return value;
    for (;;) {
      Level& level = levels.back();
      if (level.Done()) {
        value = level.Finish();
        levels.pop_back();
        if (levels.empty()) return value;
        levels.back().Take(value);
        continue;
      }
      Index begin, end;
      Operand(level, begin, end);
      Level inner;
      if (Open(begin, end, inner, value))
        level.Take(value);
      else
        levels.push_back(std::move(inner));  // level is not used after this
    }
  }

 private:
  // Normalises and filters the text in place and matches its parentheses.
  void Prepare() {
    std::size_t kept = 0;
    bool parentheses = false;
    for (unsigned short unit : text_) {
      if (unit == 0x3001)
        unit = u',';
      else if (unit == 0x3002)
        unit = u'.';
      else if (unit >= 0xFF01 && unit <= 0xFF1F)
        unit = static_cast<unsigned short>(unit - 0xFEE0);
      if (!IsKept(unit)) continue;
      parentheses = parentheses || unit == u'(';
      text_[kept++] = unit;
    }
    text_.resize(kept);
    if (!parentheses) return;
    // Each ")" closes the nearest "(" still open before it.
    match_.assign(kept, kNoMatch);
    std::vector<Index> open;
    for (Index i = 0; i < kept; ++i) {
      if (text_[i] == u'(') {
        open.push_back(i);
      } else if (text_[i] == u')' && !open.empty()) {
        match_[open.back()] = i;
        open.pop_back();
      }
    }
  }

  // Where the walk of a level at depth zero goes after the "(" at i: past its ")" when that
  // lies in the level, otherwise end (nothing after it is at depth zero).
  Index SkipGroup(Index i, Index end) const {
    Index const close = match_[i];
    return close != kNoMatch && close < end ? close + 1 : end;
  }

  // True when the depth never goes below zero in [begin, end).
  bool Balanced(Index begin, Index end) const {
    for (Index i = begin; i < end;) {
      if (text_[i] == u'(')
        i = SkipGroup(i, end);
      else if (text_[i] == u')')
        return false;
      else
        ++i;
    }
    return true;
  }

  double Number(Index begin, Index end) {
    scratch_.assign(text_.data() + begin, text_.data() + end);
    return StringToNumber(scratch_, Flags<unsigned short>());  // the user's separators
  }

  // Starts the evaluation of the expression [begin, end): true with outValue when it is a
  // number, otherwise false with outLevel ready for its operands.
  bool Open(Index begin, Index end, Level& outLevel, double& outValue) {
    if (end - begin < 2) {
      outValue = Number(begin, end);
      return true;
    }
    Index b = begin, e = end;
    while (e - b > 1 && text_[b] == u'(' && text_[e - 1] == u')') {
      ++b;
      --e;
    }
    if (b != begin && !Balanced(b, e)) {
      b = begin;
      e = end;
    }
    std::vector<Operator>& operators = outLevel.operators;
    int depth = 0;  // never above zero: groups that open at zero are skipped
    for (Index i = b; i < e;) {
      unsigned short const unit = text_[i];
      if (unit == u'(') {
        if (depth == 0) {
          i = SkipGroup(i, e);
          continue;
        }
        ++depth;
      } else if (unit == u')') {
        --depth;
      } else if (depth == 0) {
        if (unit == u'+' || unit == u'-') {
          operators.push_back(Operator{i, unit, kAdditive});
        } else if (IsBinaryOnly(unit) && i > b && !IsBinaryOnly(text_[i - 1]) &&
                   text_[i - 1] != u'+' && text_[i - 1] != u'-') {
          Rank const rank = unit == u'*'   ? kMultiply
                            : unit == u'/' ? kDivide
                            : unit == u'^' ? kPower
                                           : kExponent;
          operators.push_back(Operator{i, unit, rank});
        }
      }
      ++i;
    }
    if (operators.empty()) {
      outValue = Number(SkipDropped(b, e), e);
      return true;
    }
    outLevel.begin = b;
    outLevel.end = e;
    outLevel.values.reserve(operators.size() + 1);
    return false;
  }

  // The operators a level drops stand first in its operands.
  Index SkipDropped(Index begin, Index end) const {
    while (begin < end && IsBinaryOnly(text_[begin])) ++begin;
    return begin;
  }

  void Operand(Level const& inLevel, Index& outBegin, Index& outEnd) const {
    std::size_t const k = inLevel.nextOperand;
    Index const begin = k == 0 ? inLevel.begin : inLevel.operators[k - 1].position + 1;
    outEnd = k < inLevel.operators.size() ? inLevel.operators[k].position : inLevel.end;
    outBegin = SkipDropped(begin, outEnd);
  }

  UTF16String& text_;
  std::vector<Index> match_;
  UTF16String scratch_;
};

}  // namespace

double Calculate(UTF16String inExpression) {
  // Positions are 32-bit: a text of 4 G units (8 GiB) is read up to there.
  if (inExpression.size() >= kNoMatch) inExpression.resize(kNoMatch - 1);
  return Evaluator(inExpression).Run();
}

}  // namespace utility
}  // namespace vireo

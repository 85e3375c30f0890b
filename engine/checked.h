// Arithmetic of the synthesis that stops at the first fault with its own message.
#pragma once

#include <cmath>

#include "engine/errors.h"
#include "engine/messages.h"

namespace feldan {

// A double whose every operation is checked, so a division by zero, an invalid operation or an
// overflow stops the synthesis with its own message before an infinity or a NaN is stored.
// With finite operands a NaN can only come from 0/0 or the root of a negative number, which are
// caught where they arise; anything infinite is an overflow.
class Checked {
  public:
    Checked(double value) : value_(Finite(value)) {}  // NOLINT: implicit by design
    double Value() const { return value_; }

    friend Checked operator+(Checked a, Checked b) { return a.value_ + b.value_; }
    friend Checked operator-(Checked a, Checked b) { return a.value_ - b.value_; }
    friend Checked operator*(Checked a, Checked b) { return a.value_ * b.value_; }
    friend Checked operator/(Checked a, Checked b) {
        if (b.value_ == 0)
            throw ArithmeticError(Message{
                a.value_ == 0 ? MessageId::InvalidOperation : MessageId::DivisionByZero, ""});
        return a.value_ / b.value_;
    }
    friend Checked Sqrt(Checked a) {
        if (a.value_ < 0) throw ArithmeticError(Message{MessageId::InvalidOperation, ""});
        return std::sqrt(a.value_);
    }

  private:
    static double Finite(double value) {
        if (std::isnan(value)) throw ArithmeticError(Message{MessageId::InvalidOperation, ""});
        if (std::isinf(value)) throw ArithmeticError(Message{MessageId::Overflow, ""});
        return value;
    }
    double value_;
};

}  // namespace feldan

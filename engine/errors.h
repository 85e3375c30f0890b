// Errors that abandon a command: a text that is not a number, an arithmetic fault, a file that
// cannot be read or written. Each carries the exact text the user is shown; those of the engine
// also the message that names it.
#pragma once

#include <stdexcept>
#include <string>

#include "engine/messages.h"

namespace feldan {

class CommandError : public std::runtime_error {
  public:
    explicit CommandError(const std::string& text) : std::runtime_error(text) {}
    explicit CommandError(Message message)
        : std::runtime_error(MessageText(message)), message_(std::move(message)) {}

    // The message of the error; MessageId::None for the errors that carry their text only (a
    // file that cannot be read or written).
    const Message& message() const { return message_; }

    // The text in a language: a message's words from the table, else the text as it came.
    std::string Text(Language language) const {
        return message_.id == MessageId::None ? std::string(what())
                                              : MessageText(message_, language);
    }

  private:
    Message message_;
};

// A field or file text that is not a number.
class ConversionError : public CommandError {
  public:
    using CommandError::CommandError;
};

// Division by zero, an invalid operation or an overflow in the synthesis.
class ArithmeticError : public CommandError {
  public:
    using CommandError::CommandError;
};

}  // namespace feldan

// The platform's error class. Errors of this class that escape an event
// handler or the entry are shown in the error box and the program goes on.
#pragma once

#include <exception>

#include "platform/text/Text.h"

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  const AnsiString& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

// A picture file that is missing or of the wrong kind.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// The silent error: it ends a handler without any box.
class EAbort : public Exception {
 public:
  using Exception::Exception;
};

// A bitmap that cannot be made (out of memory, size too large).
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// The system's failures: exceptions that carry the text the error box shows.
#pragma once

#include <QString>

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toStdString()) {}
  const QString& Message() const { return FMessage; }
  const char* what() const noexcept override { return FUtf8.c_str(); }

private:
  QString FMessage;
  std::string FUtf8;
};

// A text that does not convert to the number, date or member asked for.
class EConvertError : public Exception {
  using Exception::Exception;
};
// An index outside a list or collection.
class EListError : public Exception {
  using Exception::Exception;
};
// A component name clash or a component placed where it cannot stand.
class EComponentError : public Exception {
  using Exception::Exception;
};
// A window definition that cannot be built.
class EDefinitionError : public Exception {
  using Exception::Exception;
};
// An operation that the object's state does not allow.
class EInvalidOperation : public Exception {
  using Exception::Exception;
};

// Raises the EListError of an index outside a list, collection or tree.
[[noreturn]] void RaiseListIndexError(qsizetype index);

// The message of any exception, for the error display; an exception that
// carries no text gives the empty text.
QString ExceptionMessage(std::exception_ptr error);

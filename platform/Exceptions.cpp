#include "Exceptions.h"

QString ExceptionMessage(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
  }
  return QString();
}

void RaiseListIndexError(qsizetype index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

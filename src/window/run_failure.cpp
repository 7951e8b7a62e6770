#include "run_failure.h"

#include <QCoreApplication>
#include <new>
#include <stdexcept>

#include "font_face.h"

namespace marquee8 {

QString describe_failure(std::exception_ptr failure) {
  const auto tr = [](const char* text) { return QCoreApplication::translate("marquee8", text); };
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return tr("Out of memory: the text is too long to convert.");
  } catch (const FontError& error) {
    return tr("Font error: %1").arg(QString::fromUtf8(error.what()));
  } catch (const std::length_error& error) {
    return tr("The text is too long: %1").arg(QString::fromUtf8(error.what()));
  } catch (const std::exception& error) {
    return tr("The conversion failed: %1").arg(QString::fromUtf8(error.what()));
  }
}

}  // namespace marquee8

#include "core_adapter.h"

#include <QCoreApplication>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "canvas_view.h"
#include "conversion.h"
#include "conversion_error.h"
#include "decode.h"
#include "fonts.h"
#include "output_file_sink.h"
#include "output_formats.h"
#include "settings_problem.h"
#include "status.h"
#include "text_constants.h"

namespace marquee8 {

namespace {

// Ink is black on the light grey a desktop form has.
constexpr QRgb kInk = 0xFF000000;
constexpr QRgb kBackground = 0xFFF0F0F0;

QImage canvas_image(const GlyphCanvas& canvas) {
  QImage image(canvas.width(), canvas.height(), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = canvas.inked(x, y) ? kInk : kBackground;
  }
  return image;
}

// QString holds UTF-16 code units, exactly what the core counts and draws.
std::u16string_view units(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QStringList to_qt(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << QString::fromStdString(line);
  return list;
}

StartResult to_qt(Shown shown) {
  return {QString::fromStdString(shown.output),
          canvas_image(shown.canvas),
          std::move(shown.array),
          static_cast<qsizetype>(shown.figures.columns),
          static_cast<qsizetype>(shown.figures.array_bytes),
          to_qt(status_warnings(shown.figures)),
          to_qt(shown.font_warnings)};
}

// The command line's -o rule: a regular file is replaced once complete, a device or FIFO is
// written where it is.
void save(const QString& path, const std::function<void(ByteSink&)>& write) {
  try {
    OutputFile file(path.toStdString());
    OutputFileSink sink(file);
    write(sink);
    file.commit();
  } catch (const std::system_error& error) {
    throw SaveFailed(error.what());
  }
}

QString tr(const char* text) { return QCoreApplication::translate("marquee8", text); }

}  // namespace

QString default_text() {
  return QString::fromLatin1(kDefaultText.data(), static_cast<qsizetype>(kDefaultText.size()));
}

WindowConversion::WindowConversion(const OutputSettings& settings)
    : conversion_(std::make_unique<Conversion>(settings)) {
  conversion_->set_front_end(FrontEnd::kWindow);
}
WindowConversion::~WindowConversion() = default;

const OutputSettings& WindowConversion::output_settings() const {
  return conversion_->settings().output;
}

void WindowConversion::set_output_settings(const OutputSettings& settings) {
  ConversionSettings all = conversion_->settings();
  all.output = settings;
  conversion_->set_settings(all);
}

const FontSettings& WindowConversion::font_settings() const { return conversion_->settings().font; }

void WindowConversion::set_font_settings(const FontSettings& settings) {
  ConversionSettings all = conversion_->settings();
  all.font = settings;
  conversion_->set_settings(all);
}

void WindowConversion::set_progress(Progress progress) {
  RunControl control;
  if (progress) {
    control = [progress = std::move(progress)](std::size_t done, std::size_t in_all) {
      return progress(static_cast<qsizetype>(done), static_cast<qsizetype>(in_all));
    };
  }
  run_control_ = control;
  conversion_->set_run_control(std::move(control));
}

StartResult WindowConversion::start(const QString& text) {
  return to_qt(
      conversion_->start(units(text), CanvasView::kDrawableWidth, CanvasView::kDrawableHeight));
}

StartResult WindowConversion::show_array(const QString& array_text, bool msb_top) {
  return to_qt(marquee8::show_array(array_text.toStdString(), {std::nullopt, msb_top},
                                    output_settings(), CanvasView::kDrawableWidth,
                                    CanvasView::kDrawableHeight, run_control_));
}

void WindowConversion::save_output(const QString& text, const QString& path) {
  save(path, [&](ByteSink& out) { conversion_->write_output(units(text), out); });
}

void WindowConversion::save_array_output(const QString& array_text, bool msb_top,
                                         const QString& path) {
  const OutputSettings settings = decoded_array_settings(output_settings(), false, false);
  const std::vector<std::uint8_t> columns =
      read_columns(array_text.toStdString(), {std::nullopt, msb_top});
  save(path, [&](ByteSink& out) { write_decoded(columns, settings, out); });
}

QStringList installed_family_names() { return to_qt(installed_families()); }

FontSource font_source_of(const QString& name) { return font_source_named(name.toStdString()); }

QString name_of(const FontSource& source) {
  return QString::fromStdString(font_source_name(source));
}

std::vector<FormatChoice> format_choices() {
  std::vector<FormatChoice> choices;
  for (const FormatDescription& format : output_formats()) {
    choices.push_back({format.format, format_name_of(format.format),
                       QCoreApplication::translate("marquee8::MainWindow",
                                                   std::string(format.menu_label).c_str())});
  }
  return choices;
}

QString format_name_of(OutputFormat format) {
  const std::string_view name = format_description(format).name;
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<OutputFormat> format_called(const QString& name) {
  return output_format_named(name.toStdString());
}

SaveSuggestion save_suggestion(OutputFormat format) {
  const SuggestedFile file = suggested_file(format);
  const QString name =
      QString::fromUtf8(file.name.data(), static_cast<qsizetype>(file.name.size()));
  const QString kind =
      QString::fromUtf8(file.kind.data(), static_cast<qsizetype>(file.kind.size()));
  return {name, tr("%1 (*.%2);;All files (*)").arg(kind, name.section(u'.', -1))};
}

std::optional<QString> settings_problem_of(const OutputSettings& settings) {
  const std::optional<std::string> problem = settings_problem(settings);
  if (!problem) return std::nullopt;
  return tr("The output settings cannot be used: %1").arg(QString::fromStdString(*problem));
}

QImage blank_canvas() {
  return canvas_image(GlyphCanvas(CanvasView::kDrawableWidth, CanvasView::kDrawableHeight));
}

bool cancelled(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const RunCancelled&) {
    return true;
  } catch (...) {
    return false;
  }
}

QString describe_failure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return tr("Out of memory: the text is too long to convert.");
  } catch (const ConversionError& error) {
    const QString detail = QString::fromUtf8(error.what());
    switch (error.kind()) {
      case ConversionError::Kind::kTextTooLong:
        return tr("The text is too long: %1").arg(detail);
      case ConversionError::Kind::kFontUnusable:
        return tr("The font cannot be used: %1").arg(detail);
      case ConversionError::Kind::kInvalidText:
        return tr("The text cannot be converted: %1").arg(detail);
      case ConversionError::Kind::kInvalidSettings:
        return tr("The output settings cannot be used: %1").arg(detail);
      case ConversionError::Kind::kUnreadableArray:
        return tr("The array cannot be read: %1").arg(detail);
    }
    return detail;
  } catch (const SaveFailed& error) {
    return tr("The conversion worked, but the output was not saved: %1")
        .arg(QString::fromUtf8(error.what()));
  } catch (const std::exception& error) {
    return tr("The conversion failed: %1").arg(QString::fromUtf8(error.what()));
  }
}

}  // namespace marquee8

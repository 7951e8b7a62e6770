#include "core_adapter.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>
#include <new>
#include <stdexcept>
#include <string_view>

#include "array_reader.h"
#include "array_text.h"
#include "conversion.h"
#include "conversion_error.h"
#include "font_catalog.h"
#include "font_warnings.h"
#include "glyph_canvas.h"
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

// Raw bytes cannot be shown as they are: the box lists them in hex.
QString shown(const std::string& output, OutputFormat format) {
  if (is_text(format)) {
    return QString::fromLatin1(output.data(), static_cast<qsizetype>(output.size()));
  }
  QStringList bytes;
  bytes.reserve(static_cast<qsizetype>(output.size()));
  for (const char byte : output) {
    bytes << QStringLiteral("%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'));
  }
  return bytes.join(QLatin1Char(' '));
}

class SaveFileSink final : public ByteSink {
 public:
  SaveFileSink(QSaveFile& file, const QString& path) : file_(file), path_(path) {}
  void write(std::string_view bytes) override {
    if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
      throw SaveFailed(failure(path_, file_.errorString()));
    }
  }
  static std::string failure(const QString& path, const QString& reason) {
    return QStringLiteral("cannot write '%1': %2").arg(path, reason).toStdString();
  }

 private:
  QSaveFile& file_;
  const QString& path_;
};

QString tr(const char* text) { return QCoreApplication::translate("marquee8", text); }

}  // namespace

QString default_text() {
  return QString::fromLatin1(kDefaultText.data(), static_cast<qsizetype>(kDefaultText.size()));
}

WindowConversion::WindowConversion(const OutputSettings& settings)
    : conversion_(std::make_unique<Conversion>(settings)) {}
WindowConversion::~WindowConversion() = default;
WindowConversion::WindowConversion(WindowConversion&&) noexcept = default;
WindowConversion& WindowConversion::operator=(WindowConversion&&) noexcept = default;

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
  conversion_->set_run_control(std::move(control));
}

StartResult WindowConversion::start(const QString& text) {
  GlyphCanvas canvas;
  std::vector<std::uint8_t> sampled;
  const std::string output = conversion_->start(units(text), canvas, &sampled);
  const OutputSettings& settings = output_settings();
  std::vector<std::uint8_t> columns(static_cast<std::size_t>(settings.lead_in), 0);
  columns.insert(columns.end(), sampled.begin(), sampled.end());
  columns.insert(columns.end(), static_cast<std::size_t>(settings.lead_out), 0);
  const auto bytes = static_cast<qsizetype>(columns.size());
  QStringList warnings;
  for (const std::string& warning : describe(conversion_->warnings())) {
    warnings << QString::fromStdString(warning);
  }
  return {shown(output, settings.format),
          canvas_image(canvas),
          std::move(columns),
          static_cast<qsizetype>(sampled.size()),
          bytes,
          lives_in_ram(settings.format) && bytes > kUnoRamBudget,
          warnings};
}

// A pasted array already holds its lead-in and lead-out: the output adds none.
OutputSettings WindowConversion::array_settings() const {
  OutputSettings settings = output_settings();
  settings.lead_in = settings.lead_out = 0;
  return settings;
}

std::vector<std::uint8_t> WindowConversion::pasted_columns(const QString& array_text) const {
  std::vector<std::uint8_t> columns = read_array(array_text.toStdString());
  // Read in the bit order the output uses, so that the picture stands upright.
  if (output_settings().msb_top) {
    for (std::uint8_t& value : columns) value = reversed_bits(value);
  }
  return columns;
}

StartResult WindowConversion::show_array(const QString& array_text) {
  std::vector<std::uint8_t> columns = pasted_columns(array_text);
  GlyphCanvas canvas;
  std::vector<std::uint32_t> rows(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) rows[i] = std::uint32_t{columns[i]} << kFirstRow;
  canvas.paint_columns(0, rows);
  StringSink output;
  write_array(array_settings(), columns, output);
  std::string text = output.take();
  const OutputFormat format = output_settings().format;
  if (is_text(format)) text.resize(text.size() - (text.ends_with("\r\n") ? 2 : 1));
  const auto bytes = static_cast<qsizetype>(columns.size());
  return {shown(text, format),
          canvas_image(canvas),
          std::move(columns),
          bytes,
          bytes,
          lives_in_ram(format) && bytes > kUnoRamBudget,
          {}};
}

void WindowConversion::save_output(const QString& text, const QString& path) {
  save(path, [&](ByteSink& out) { conversion_->write_output(units(text), out); });
}

void WindowConversion::save_array_output(const QString& array_text, const QString& path) {
  const std::vector<std::uint8_t> columns = pasted_columns(array_text);
  save(path, [&](ByteSink& out) { write_array(array_settings(), columns, out); });
}

void WindowConversion::save(const QString& path, const std::function<void(ByteSink&)>& write) {
  QSaveFile file(path);
  // Unbuffered: a write that fails says why (a full disk) at once, where a failed flush of
  // QSaveFile's buffer at commit goes unnoticed and an empty file replaces the old one.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    throw SaveFailed(SaveFileSink::failure(path, file.errorString()));
  }
  SaveFileSink sink(file, path);
  write(sink);
  if (!file.commit()) throw SaveFailed(SaveFileSink::failure(path, file.errorString()));
}

std::vector<FontPick> small_bitmap_fonts() {
  std::vector<FontPick> picks;
  for (const InstalledFont& font : installed_fonts()) {
    if (!font.pixel_size || *font.pixel_size > kLastRow) continue;
    const QString label =
        QStringLiteral("%1 %2 px").arg(QString::fromStdString(font.family)).arg(*font.pixel_size);
    if (!font.style.empty() && font.style != "Regular" && font.style != "Medium") continue;
    if (!picks.empty() && picks.back().label == label) continue;
    FontSettings settings;
    settings.font = font.family;
    settings.size = *font.pixel_size;
    picks.push_back({label, settings});
  }
  return picks;
}

QStringList installed_families() {
  QStringList families;
  for (const InstalledFont& font : installed_fonts())
    families << QString::fromStdString(font.family);
  families.removeDuplicates();
  return families;
}

std::optional<QString> settings_problem(const OutputSettings& settings) {
  try {
    check(settings);
  } catch (const ConversionError&) {
    return describe_failure(std::current_exception());
  }
  return std::nullopt;
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

QImage blank_canvas() { return canvas_image(GlyphCanvas()); }

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

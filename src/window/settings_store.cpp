#include "settings_store.h"

#include <QSettings>
#include <optional>
#include <string>

#include "setting_ranges.h"

namespace marquee8 {

namespace {

const QString kFormat = QStringLiteral("output/format");
const QString kHex = QStringLiteral("output/hex");
const QString kMsbTop = QStringLiteral("output/msbTop");
const QString kLeadIn = QStringLiteral("output/leadIn");
const QString kLeadOut = QStringLiteral("output/leadOut");
const QString kArrayName = QStringLiteral("output/arrayName");
const QString kLengthName = QStringLiteral("output/lengthName");
const QString kArt = QStringLiteral("output/art");
const QString kFont = QStringLiteral("font/name");
const QString kSize = QStringLiteral("font/size");  // 0: the size that fits 8 rows
const QString kCellSpacing = QStringLiteral("font/cellSpacing");
const QString kOffset = QStringLiteral("font/offset");

// A whole number from `lowest` to `highest` as the dialogs take it; nothing for anything else.
std::optional<int> whole_number(const QVariant& value, const SettingRange& range) {
  bool read = false;
  const int number = value.toString().toInt(&read);
  if (!read || !range.contains(number)) return std::nullopt;
  return number;
}

// QSettings writes true and false; a hand-edited file may say anything else.
std::optional<bool> truth(const QVariant& value) {
  const QString text = value.toString();
  if (text == QLatin1String("true")) return true;
  if (text == QLatin1String("false")) return false;
  return std::nullopt;
}

}  // namespace

OutputSettings load_output_settings(QSettings& store) {
  OutputSettings settings;
  // Each stored value is taken only if the settings stay writable with it, so one bad value
  // keeps the classic value for itself alone.
  const auto take = [&](const QString& key, auto read, auto OutputSettings::*field) {
    if (const auto value = read(store.value(key))) {
      OutputSettings changed = settings;
      changed.*field = *value;
      if (!settings_problem_of(changed)) settings = changed;
    }
  };
  const auto format = [](const QVariant& value) { return format_called(value.toString()); };
  const auto lead = [](const QVariant& value) { return whole_number(value, kLeadInRange); };
  const auto name = [](const QVariant& value) -> std::optional<std::string> {
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
  };
  take(kFormat, format, &OutputSettings::format);
  take(kHex, truth, &OutputSettings::hex);
  take(kMsbTop, truth, &OutputSettings::msb_top);
  take(kLeadIn, lead, &OutputSettings::lead_in);
  take(kLeadOut, lead, &OutputSettings::lead_out);
  take(kArrayName, name, &OutputSettings::array_name);
  take(kLengthName, name, &OutputSettings::length_name);
  take(kArt, truth, &OutputSettings::art);
  return settings;
}

void save_output_settings(QSettings& store, const OutputSettings& settings) {
  store.setValue(kFormat, format_name_of(settings.format));
  store.setValue(kHex, settings.hex);
  store.setValue(kMsbTop, settings.msb_top);
  store.setValue(kLeadIn, settings.lead_in);
  store.setValue(kLeadOut, settings.lead_out);
  store.setValue(kArrayName, QString::fromStdString(settings.array_name));
  store.setValue(kLengthName, QString::fromStdString(settings.length_name));
  store.setValue(kArt, settings.art);
}

FontSettings load_font_settings(QSettings& store) {
  FontSettings settings;
  if (const QVariant font = store.value(kFont); font.isValid()) {
    settings.font = font_source_of(font.toString());
  }
  // 0, or nothing, is the size that fits 8 rows.
  if (const auto size = whole_number(store.value(kSize), kFontSizeRange)) settings.size = *size;
  if (const auto cell = truth(store.value(kCellSpacing))) settings.cell_spacing = *cell;
  if (const auto offset = whole_number(store.value(kOffset), kOffsetRange))
    settings.offset = *offset;
  return settings;
}

void save_font_settings(QSettings& store, const FontSettings& settings) {
  store.setValue(kFont, name_of(settings.font));
  store.setValue(kSize, settings.size.value_or(0));
  store.setValue(kCellSpacing, settings.cell_spacing);
  store.setValue(kOffset, settings.offset);
}

}  // namespace marquee8

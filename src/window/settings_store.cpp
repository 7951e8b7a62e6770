#include "settings_store.h"

#include <QSettings>

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

}  // namespace

OutputSettings load_output_settings(QSettings& store) {
  const OutputSettings classic;
  OutputSettings settings;
  settings.format = format_called(store.value(kFormat).toString()).value_or(classic.format);
  settings.hex = store.value(kHex, classic.hex).toBool();
  settings.msb_top = store.value(kMsbTop, classic.msb_top).toBool();
  settings.lead_in = store.value(kLeadIn, classic.lead_in).toInt();
  settings.lead_out = store.value(kLeadOut, classic.lead_out).toInt();
  settings.array_name =
      store.value(kArrayName, QString::fromStdString(classic.array_name)).toString().toStdString();
  settings.length_name = store.value(kLengthName, QString::fromStdString(classic.length_name))
                             .toString()
                             .toStdString();
  settings.art = store.value(kArt, classic.art).toBool();
  return settings_problem_of(settings) ? classic : settings;
}

void save_output_settings(QSettings& store, const OutputSettings& settings) {
  for (const FormatChoice& choice : format_choices()) {
    if (choice.format == settings.format) store.setValue(kFormat, choice.name);
  }
  store.setValue(kHex, settings.hex);
  store.setValue(kMsbTop, settings.msb_top);
  store.setValue(kLeadIn, settings.lead_in);
  store.setValue(kLeadOut, settings.lead_out);
  store.setValue(kArrayName, QString::fromStdString(settings.array_name));
  store.setValue(kLengthName, QString::fromStdString(settings.length_name));
  store.setValue(kArt, settings.art);
}

FontSettings load_font_settings(QSettings& store) {
  const FontSettings builtin;
  FontSettings settings;
  settings.font = font_source_of(store.value(kFont, name_of(builtin.font)).toString());
  if (const int size = store.value(kSize, 0).toInt(); size > 0) settings.size = size;
  settings.cell_spacing = store.value(kCellSpacing, builtin.cell_spacing).toBool();
  settings.offset = store.value(kOffset, builtin.offset).toInt();
  return settings;
}

void save_font_settings(QSettings& store, const FontSettings& settings) {
  store.setValue(kFont, name_of(settings.font));
  store.setValue(kSize, settings.size.value_or(0));
  store.setValue(kCellSpacing, settings.cell_spacing);
  store.setValue(kOffset, settings.offset);
}

}  // namespace marquee8

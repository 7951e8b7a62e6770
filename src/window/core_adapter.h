#pragma once

// The one place the window meets the core's use cases: Qt's types in, Qt's types out. The
// settings are the core's plain data, which the window edits and stores.

#include <QImage>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "font_settings.h"
#include "output_settings.h"
#include "run_control.h"

namespace marquee8 {

class Conversion;

// A save that failed although the conversion worked; the message names the file and why.
class SaveFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the input box holds when the window opens.
QString default_text();

// What a Start puts on screen: the output box's text, the canvas's drawable area, and the
// figures the status bar reports.
struct StartResult {
  QString output;
  QImage canvas;
  std::vector<std::uint8_t> array;  // every column, leads included, bit 0 the top row
  qsizetype columns = 0;            // sampled from the text
  qsizetype array_bytes = 0;        // the array in all, leads included
  QStringList status_warnings;      // the core's advice on the array's size, one line each
  QStringList font_warnings;        // what the font did not draw as it should, one line each
};

// The Start command as the window runs it, with the glyphs kept from click to click.
class WindowConversion {
 public:
  explicit WindowConversion(const OutputSettings& settings = {});
  ~WindowConversion();
  WindowConversion(const WindowConversion&) = delete;
  WindowConversion& operator=(const WindowConversion&) = delete;

  const OutputSettings& output_settings() const;
  // Throws ConversionError for settings that cannot be written.
  void set_output_settings(const OutputSettings& settings);
  const FontSettings& font_settings() const;
  // Throws ConversionError for a font that cannot be opened or sized, keeping the one it had.
  void set_font_settings(const FontSettings& settings);

  // Told the columns done and in all once per block of each later start() or save_output(),
  // and the bytes read of a show_array(), on the thread that runs it; returning false stops the
  // run, which then throws what cancelled() recognises, and changes nothing.
  using Progress = std::function<bool(qsizetype done, qsizetype in_all)>;
  void set_progress(Progress progress);

  // Throws what the core throws (ConversionError, std::bad_alloc).
  StartResult start(const QString& text);

  // Writes to `path`, replacing it only once complete, exactly the bytes the command line
  // writes for the same text and settings. Throws SaveFailed naming the file and the cause.
  void save_output(const QString& text, const QString& path);

  // An array pasted in (any array marquee8 writes, a hand-written one, or a whole sketch or
  // module holding one), its bit 7 the top row when `msb_top`, shown as a Start shows a text:
  // its columns on the canvas and preview, its values in the current format and bit order.
  // Throws ConversionError (kUnreadableArray) naming the line and column it cannot read.
  StartResult show_array(const QString& array_text, bool msb_top);
  // What `marquee8 --decode` writes for it with the same settings.
  void save_array_output(const QString& array_text, bool msb_top, const QString& path);

 private:
  std::unique_ptr<Conversion> conversion_;
  RunControl run_control_;  // the conversion's, for the arrays read beside it
};

// Every installed family's name, for Font → Installed Font….
QStringList installed_family_names();
// The font a stored or chosen name means: "builtin", a file, or an installed family.
FontSource font_source_of(const QString& name);
QString name_of(const FontSource& source);

// The output format descriptions in menu order.
struct FormatChoice {
  OutputFormat format;
  QString name;   // as the settings file spells it
  QString label;  // as the Output menu shows it
};
std::vector<FormatChoice> format_choices();
std::optional<OutputFormat> format_called(const QString& name);
QString format_name_of(OutputFormat format);

// What Save Output As offers for `format`: a file name and a file dialog's filter.
struct SaveSuggestion {
  QString name;
  QString filter;
};
SaveSuggestion save_suggestion(OutputFormat format);

// Why `settings` cannot be written, as the user is told; nothing when they can.
std::optional<QString> settings_problem_of(const OutputSettings& settings);

// The canvas before any Start: background only.
QImage blank_canvas();

// What the user is told when a Start fails, naming the real cause.
QString describe_failure(std::exception_ptr failure);
// Whether `failure` is a run its Progress stopped.
bool cancelled(std::exception_ptr failure);

}  // namespace marquee8

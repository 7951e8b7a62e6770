// The page's binding to the conversion core: settings and text in as JavaScript values, what
// the page shows and downloads out. Each call returns { error, kind } instead of throwing, so
// that the page can tell the user and keep what it showed.
#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <utf8.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "board_task.h"
#include "bootloader_boards.h"
#include "bootloader_client.h"
#include "byte_sink.h"
#include "conversion.h"
#include "conversion_error.h"
#include "decode.h"
#include "font_settings.h"
#include "install_receiver.h"
#include "intel_hex.h"
#include "marquee8_protocol.h"
#include "output_formats.h"
#include "setting_ranges.h"
#include "settings_problem.h"
#include "shown.h"
#include "status.h"
#include "stopped_board_task.h"
#include "utf8_line.h"
#include "wiring_task.h"

namespace marquee8 {

namespace {

using emscripten::val;

// The page's canvas, as the window's: 669 x 29 drawable pixels.
constexpr int kCanvasWidth = 669;
constexpr int kCanvasHeight = 29;

val bytes(std::string_view data) {
  val array = val::global("Uint8Array").new_(data.size());
  array.call<void>("set", val(emscripten::typed_memory_view(
                              data.size(), reinterpret_cast<const unsigned char*>(data.data()))));
  return array;
}

std::string kind_name(ConversionError::Kind kind) {
  switch (kind) {
    case ConversionError::Kind::kInvalidText:
      return "invalid-text";
    case ConversionError::Kind::kTextTooLong:
      return "too-long";
    case ConversionError::Kind::kFontUnusable:
      return "font";
    case ConversionError::Kind::kInvalidSettings:
      return "settings";
    case ConversionError::Kind::kUnreadableArray:
      return "array";
  }
  return "other";
}

val failure(const std::string& kind, const std::string& message, const std::string& field = {}) {
  val result = val::object();
  result.set("error", message);
  result.set("kind", kind);
  if (!field.empty()) result.set("field", field);
  return result;
}

// A number field of the page's, read and refused in the words every front end uses.
struct NumberField {
  const char* key;      // the control's id, the settings object's name
  const char* setting;  // as a message names it
  const SettingRange* range;
  ConversionError::Kind kind;  // what a bad value makes unusable
};
constexpr NumberField kLeadIn{"leadIn", "the lead-in", &kLeadInRange,
                              ConversionError::Kind::kInvalidSettings};
constexpr NumberField kLeadOut{"leadOut", "the lead-out", &kLeadOutRange,
                               ConversionError::Kind::kInvalidSettings};
constexpr NumberField kSize{"size", "the size", &kFontSizeRange,
                            ConversionError::Kind::kFontUnusable};
constexpr NumberField kOffset{"offset", "the offset", &kOffsetRange,
                              ConversionError::Kind::kFontUnusable};
constexpr const NumberField* kNumberFields[] = {&kLeadIn, &kLeadOut, &kSize, &kOffset};

// A field's value the core cannot take, with the field to mark.
class FieldProblem : public ConversionError {
 public:
  FieldProblem(const NumberField& field, const std::string& message)
      : ConversionError(field.kind, message), field_(field.key) {}
  const char* field() const { return field_; }

 private:
  const char* field_;
};

// The field's text as the user typed it; null for none, which only the size may be (the
// font's own).
std::optional<int> number_of(const val& js, const NumberField& field) {
  const val text = js[field.key];
  if (text.isNull() && &field == &kSize) return std::nullopt;
  const SettingReading reading =
      read_named_setting(field.setting, *field.range, text.as<std::string>());
  if (reading.problem) throw FieldProblem(field, *reading.problem);
  return reading.value;
}

// Runs `produce`, turning whatever it throws into the page's failure object.
val guarded(const std::function<val()>& produce) {
  try {
    return produce();
  } catch (const FieldProblem& error) {
    return failure(kind_name(error.kind()), error.what(), error.field());
  } catch (const ConversionError& error) {
    return failure(kind_name(error.kind()), error.what());
  } catch (const std::bad_alloc&) {
    return failure("memory", "not enough memory for this text");
  } catch (const std::exception& error) {
    return failure("other", error.what());
  }
}

// The page's settings object, with the names its controls have. The font is "builtin" or the
// path of a file the page wrote to the module's file system.
ConversionSettings settings_of(const val& js) {
  ConversionSettings settings;
  const std::string font = js["font"].as<std::string>();
  settings.font.font = font == "builtin" ? FontSource::builtin() : FontSource::file(font);
  settings.font.size = number_of(js, kSize);
  settings.font.cell_spacing = js["cellSpacing"].as<bool>();
  settings.font.offset = *number_of(js, kOffset);
  const std::string format = js["format"].as<std::string>();
  const std::optional<OutputFormat> named = output_format_named(format);
  if (!named) {
    throw ConversionError(ConversionError::Kind::kInvalidSettings,
                          "there is no output format named '" + format + "'");
  }
  OutputSettings& output = settings.output;
  output.format = *named;
  output.hex = js["hex"].as<bool>();
  output.msb_top = js["msbTop"].as<bool>();
  output.lead_in = *number_of(js, kLeadIn);
  output.lead_out = *number_of(js, kLeadOut);
  output.array_name = js["arrayName"].as<std::string>();
  output.length_name = js["lengthName"].as<std::string>();
  output.art = js["art"].as<bool>();
  return settings;
}

// The output settings to write an array read back with; throws for ones that cannot be.
OutputSettings array_settings(const val& js) {
  OutputSettings settings = decoded_array_settings(settings_of(js).output, false, false);
  if (const std::optional<std::string> problem = settings_problem(settings)) {
    throw ConversionError(ConversionError::Kind::kInvalidSettings, *problem);
  }
  return settings;
}

// How a pasted array is ordered: its own bit order, not the one it is written with.
ArraySource array_source(const val& js) { return {std::nullopt, js["inputMsbTop"].as<bool>()}; }

// The boards a receiver can be set up on, as the core lists and names them: { option, name,
// baudRate (its bootloader's), receiver (the HEX file the page ships for its chip) }.
val boards() {
  val list = val::array();
  for (const BoardModel model : kBoardModels) {
    const BootloaderBoard& board = bootloader_board(model);
    val each = val::object();
    each.set("option", std::string(board.option));
    each.set("name", std::string(board.name));
    each.set("baudRate", board.baud);
    each.set("receiver", std::string(board.receiver));
    list.call<void>("push", each);
  }
  return list;
}

// { lowest, highest, fallback, unit, text }
val range_object(const SettingRange& range) {
  val result = val::object();
  result.set("lowest", range.lowest);
  result.set("highest", range.highest);
  result.set("fallback", range.fallback);
  result.set("unit", std::string(range.unit));
  result.set("text", range.text());
  return result;
}

// What the page's controls start at and take, from the core: the number fields' ranges, their
// units and their wording ("0 to 65535 columns"), and every setting's default, under the
// controls' ids.
val page_settings() {
  val numbers = val::object();
  for (const NumberField* field : kNumberFields)
    numbers.set(field->key, range_object(*field->range));
  const OutputSettings output;
  const FontSettings font;
  val defaults = val::object();
  defaults.set("format", std::string(format_description(output.format).name));
  defaults.set("hex", output.hex);
  defaults.set("msbTop", output.msb_top);
  defaults.set("art", output.art);
  defaults.set("leadIn", std::to_string(output.lead_in));
  defaults.set("leadOut", std::to_string(output.lead_out));
  defaults.set("arrayName", output.array_name);
  defaults.set("lengthName", output.length_name);
  defaults.set("size", font.size ? val(std::to_string(*font.size)) : val::null());
  defaults.set("spacing", font.cell_spacing ? "cell" : "font");
  defaults.set("offset", std::to_string(font.offset));
  defaults.set("inputMsbTop", ArraySource{}.msb_top);
  val result = val::object();
  result.set("numbers", numbers);
  result.set("defaults", defaults);
  result.set("boards", boards());
  result.set("modules", range_object(kModulesRange));
  val stopped = val::object();
  stopped.set("send", std::string(kStoppedSendLeaves));
  stopped.set("wiring", std::string(kStoppedWiringLeaves));
  stopped.set("install", std::string(kStoppedInstallLeaves));
  result.set("stopped", stopped);
  return result;
}

val shown_object(const Shown& shown) {
  val result = val::object();
  result.set("output", shown.output);
  std::vector<std::uint32_t> columns(static_cast<std::size_t>(shown.canvas.width()));
  for (int x = 0; x < shown.canvas.width(); ++x) {
    columns[static_cast<std::size_t>(x)] = shown.canvas.ink_rows(x);
  }
  val canvas = val::global("Uint32Array").new_(columns.size());
  canvas.call<void>("set", val(emscripten::typed_memory_view(columns.size(), columns.data())));
  result.set("canvas", canvas);
  result.set("canvasHeight", shown.canvas.height());
  const auto& array = shown.array;
  result.set("array", bytes({reinterpret_cast<const char*>(array.data()), array.size()}));
  result.set("columns", static_cast<double>(shown.figures.columns));
  result.set("arrayBytes", static_cast<double>(shown.figures.array_bytes));
  // The font's warnings, then the advice on where the array fits, as the window gives them.
  val warnings = val::array();
  for (const std::string& line : shown.font_warnings) warnings.call<void>("push", line);
  for (const std::string& line : status_warnings(shown.figures)) {
    warnings.call<void>("push", line);
  }
  result.set("warnings", warnings);
  return result;
}

// One conversion kept between calls, so that the font and its glyphs are loaded once.
class PageConversion {
 public:
  // The text comes as UTF-8 bytes, checked as the command line checks them, then drawn from
  // its UTF-16 code units as the window draws them.
  val start(const val& settings, const std::string& text) {
    return guarded([&] {
      const Utf8Line line = Utf8Line::check(text);
      std::u16string units;
      units.reserve(line.code_units());
      utf8::unchecked::utf8to16(line.bytes().begin(), line.bytes().end(),
                                std::back_inserter(units));
      return shown_object(conversion(settings).start(units, kCanvasWidth, kCanvasHeight));
    });
  }

  val download(const val& settings, const std::string& text) {
    return guarded([&] {
      const Utf8Line line = Utf8Line::check(text);
      StringSink out;
      conversion(settings).write_output(line, out);
      return bytes(out.text());
    });
  }

  val show_array(const val& settings, const std::string& array_text) {
    return guarded([&] {
      return shown_object(marquee8::show_array(array_text, array_source(settings),
                                               array_settings(settings), kCanvasWidth,
                                               kCanvasHeight));
    });
  }

  val download_array(const val& settings, const std::string& array_text) {
    return guarded([&] {
      const OutputSettings output = array_settings(settings);
      StringSink out;
      write_decoded(read_columns(array_text, array_source(settings)), output, out);
      return bytes(out.text());
    });
  }

 private:
  Conversion& conversion(const val& js) {
    const ConversionSettings settings = settings_of(js);
    if (!conversion_) {
      conversion_ = std::make_unique<Conversion>(settings);
      conversion_->set_front_end(FrontEnd::kPage);
    } else {
      conversion_->set_settings(settings);
    }
    return *conversion_;
  }

  std::unique_ptr<Conversion> conversion_;
};

// ---- The board: a send or a read-back driven by the page's Web Serial port (web/board_link.js) --

// The page's clock, performance.now() in milliseconds, as the session's.
LinkSession::Clock::time_point page_time(double ms) {
  return LinkSession::Clock::time_point(std::chrono::duration_cast<LinkSession::Clock::duration>(
      std::chrono::duration<double, std::milli>(ms)));
}

double page_ms(LinkSession::Clock::time_point time) {
  return std::chrono::duration<double, std::milli>(time.time_since_epoch()).count();
}

std::vector<std::uint8_t> byte_vector(const val& array) {
  return emscripten::convertJSArrayToNumberVector<std::uint8_t>(array);
}

// The name messages give the page's port: the browser does not tell a page the port's own.
constexpr const char* kPagePort = "the serial port";

// One task at a time, a send, a read-back, an install of the receiver or the wiring wizard;
// each step answers { send, wake, done, total, cancellable, finished } and, once finished, the
// send's, the install's or the wizard's report, or the array the board stores as array text the
// page reads back in the bit order its checkbox says, and the board's module count. While the
// wizard awaits an answer, its step has the question { number, text, pictures (each its rows of
// '#' and '.') }. A task stopped by a cancel answers { cancelled: true }; a failure is
// { error, kind: "board" }.
class PageBoard {
 public:
  // `request`: { task: "send" | "receive" | "install" | "wiring", now, and columns (send),
  // inputMsbTop (receive), board (the option of one of boards()) and hex (its receiver's text)
  // (install), modules (wiring, the count as typed) }.
  val begin(const val& request) {
    task_.reset();
    install_.reset();
    wiring_.reset();
    const double now = request["now"].as<double>();
    const std::string kind = request["task"].as<std::string>();
    try {
      if (kind == "install") {
        begin_install(request["board"].as<std::string>(), request["hex"].as<std::string>());
      } else if (kind == "wiring") {
        const SettingReading modules = read_named_setting("the module count", kModulesRange,
                                                          request["modules"].as<std::string>());
        if (modules.problem) throw LinkError(*modules.problem);
        wiring_ = std::make_unique<WiringTask>(kPagePort, modules.value, page_time(now));
      } else {
        begin_task(kind == "send", request);
      }
    } catch (const LinkError& error) {
      return failure("board", error.what());
    }
    return advance(val::global("Uint8Array").new_(0), now, val::object());
  }

  // `control`: { cancel (the user asked to stop), answer (the index of the picture picked) }.
  // A task stops where the core says a stop is safe; the wizard first puts the layout back.
  val advance(const val& arrived, double now, const val& control) {
    try {
      const bool cancel = control["cancel"].isTrue();
      if (wiring_) {
        if (cancel) wiring_->cancel();
        if (control["answer"].isNumber()) wiring_->answer(control["answer"].as<int>());
        return advance_wiring(byte_vector(arrived), now);
      }
      if (cancel && ((install_ != nullptr) || (task_ && task_->cancellable()))) {
        task_.reset();
        install_.reset();
        return stopped();
      }
      if (install_) return advance_install(byte_vector(arrived), now);
      if (task_) return advance_task(byte_vector(arrived), now);
      return failure("board", "no board task is under way");
    } catch (const LinkError& error) {
      task_.reset();
      install_.reset();
      wiring_.reset();
      return failure("board", error.what());
    }
  }

 private:
  void begin_task(bool send, const val& request) {
    BoardMessage message;
    if (send) message.columns = byte_vector(request["columns"]);
    input_msb_top_ = request["inputMsbTop"].as<bool>();
    task_ = std::make_unique<BoardTask>(send ? BoardTask::Kind::kSend : BoardTask::Kind::kReceive,
                                        kPagePort, std::move(message),
                                        page_time(request["now"].as<double>()), "Read back");
  }

  void begin_install(const std::string& option, const std::string& hex) {
    const std::optional<BoardModel> model = board_model_named(option);
    if (!model) throw LinkError("there is no board named '" + option + "'");
    model_ = *model;
    install_ = std::make_unique<BootloaderClient>(bootloader_board(*model), kPagePort,
                                                  read_intel_hex(hex));
  }

  val advance_task(const std::vector<std::uint8_t>& arrived, double now) {
    const LinkStep step = task_->advance(arrived, page_time(now));
    val result = step_object(step.send, step.wake, task_->done(), task_->total(),
                             task_->cancellable(), step.finished);
    if (step.finished) finish(result);
    return result;
  }

  // An install can always be stopped: another install mends whatever it left.
  val advance_install(const std::vector<std::uint8_t>& arrived, double now) {
    const LinkStep step = install_->advance(arrived, page_time(now));
    val result = step_object(step.send, step.wake, install_->pages_done(), install_->pages_in_all(),
                             true, step.finished);
    if (step.finished) {
      result.set("summary", InstallReport{kPagePort, model_}.summary());
      install_.reset();
    }
    return result;
  }

  val advance_wiring(const std::vector<std::uint8_t>& arrived, double now) {
    const LinkStep step = wiring_->advance(arrived, page_time(now));
    if (step.finished && wiring_->cancelled()) {
      wiring_.reset();
      return stopped();
    }
    val result = step_object(step.send, step.wake, wiring_->done(), wiring_->total(),
                             wiring_->cancellable(), step.finished);
    if (const std::optional<WiringQuestion>& question = wiring_->question()) {
      val asked = val::object();
      asked.set("number", question->number);
      asked.set("text", std::string(question->text));
      val pictures = val::array();
      for (const LedPicture& picture : question->pictures) {
        val rows = val::array();
        for (const std::string& row : picture) rows.call<void>("push", row);
        pictures.call<void>("push", rows);
      }
      asked.set("pictures", pictures);
      result.set("question", asked);
    }
    if (step.finished) {
      result.set("summary", wiring_->summary());
      result.set("modules", wiring_->info().layout.modules);
      wiring_.reset();
    }
    return result;
  }

  static val stopped() {
    val result = val::object();
    result.set("cancelled", true);
    return result;
  }

  static val step_object(const std::vector<std::uint8_t>& send, LinkSession::Clock::time_point wake,
                         std::size_t done, std::size_t total, bool cancellable, bool finished) {
    val result = val::object();
    result.set("send", bytes({reinterpret_cast<const char*>(send.data()), send.size()}));
    result.set("wake", page_ms(wake));
    result.set("done", static_cast<double>(done));
    result.set("total", static_cast<double>(total));
    result.set("cancellable", cancellable);
    result.set("finished", finished);
    return result;
  }

  void finish(val& result) {
    result.set("modules", task_->info().layout.modules);
    if (task_->kind() == BoardTask::Kind::kSend) {
      result.set("summary", task_->summary());
    } else {
      OutputSettings settings = decoded_array_settings({}, false, false);
      settings.format = OutputFormat::kClassic;
      settings.msb_top = input_msb_top_;
      StringSink out;
      write_decoded(task_->received(), settings, out);
      result.set("arrayText", out.text());
    }
    task_.reset();
  }

  std::unique_ptr<BoardTask> task_;
  bool input_msb_top_ = false;
  std::unique_ptr<BootloaderClient> install_;
  BoardModel model_ = BoardModel::kUno;
  std::unique_ptr<WiringTask> wiring_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(marquee8) {
  emscripten::function("pageSettings", &page_settings);
  emscripten::class_<PageConversion>("Conversion")
      .constructor<>()
      .function("start", &PageConversion::start)
      .function("download", &PageConversion::download)
      .function("showArray", &PageConversion::show_array)
      .function("downloadArray", &PageConversion::download_array);
  emscripten::constant("boardBaudRate", MARQUEE8_BAUD);
  emscripten::class_<PageBoard>("Board")
      .constructor<>()
      .function("begin", &PageBoard::begin)
      .function("advance", &PageBoard::advance);
}

}  // namespace marquee8

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace marquee8 {

// One glyph rendered in monochrome, positioned relative to the pen on the baseline.
struct Glyph {
  int left = 0;     // columns from the pen to the bitmap's first column
  int top = 0;      // rows from the baseline up to the bitmap's first row
  int advance = 0;  // pixels the pen moves after this glyph
  int width = 0;
  int rows = 0;
  std::vector<bool> ink;  // rows * width, row-major, top row first

  bool inked(int column, int row) const {
    return ink[static_cast<std::size_t>(row) * width + column];
  }
};

// A FreeType face: the built-in font from memory, or any font file FreeType reads (BDF, PCF,
// PCF.gz, OTB, TTF, OTF), always rendered in monochrome. Sizes are in points at 96 dots per
// inch, the resolution the marquee layout is drawn for, or in pixels. Every FreeType failure
// is a ConversionError of kind kFontUnusable naming the font.
class FontFace {
 public:
  static constexpr int kDotsPerInch = 96;

  // The LED font compiled into the program.
  static FontFace builtin();
  // The font in the file at `path`, named in errors as given. The file is read whole (and
  // inflated when compressed) here: what later happens to it cannot change or break the face.
  static FontFace from_file(const std::string& path);

  // `bytes` must outlive the face: FreeType reads the glyphs from them lazily.
  explicit FontFace(std::span<const unsigned char> bytes);

  FontFace(FontFace&&) noexcept;
  FontFace& operator=(FontFace&&) noexcept;
  ~FontFace();

  // A bitmap font only offers its own strikes: asking for another size fails.
  void set_size(double points);
  // Fails for a size a bitmap font has no strike of, naming the sizes it has.
  void set_pixel_size(int pixels);
  int ascent() const;  // pixels from the top of the line's character cell to the baseline

  bool scalable() const;
  std::vector<int> strike_sizes() const;  // pixel heights of a bitmap font's strikes
  // A pixel font shipped as outlines (straight lines whose points all lie on a grid of 1/N em)
  // has N: the pixel size it was drawn for, at which each of its pixels is one LED. Nothing for
  // a bitmap font, an ordinary outline font, or a grid finer than kMaxPixelGrid.
  static constexpr int kMaxPixelGrid = 24;
  std::optional<int> pixel_grid() const;

  bool has_glyph(char32_t code_point) const;
  // The glyph that draws `code_point`: the replacement glyph (U+FFFD, or the font's own
  // missing-glyph shape) for one the font lacks.
  unsigned glyph_index(char32_t code_point) const;
  Glyph render(unsigned glyph_index) const;

 private:
  FontFace() = default;
  [[noreturn]] void fail(const std::string& what, int error) const;

  std::string name_ = "the built-in font";
  std::vector<unsigned char> file_bytes_;  // a file's font, read lazily by the face below
  struct LibraryDeleter {
    void operator()(FT_LibraryRec_* library) const;
  };
  struct FaceDeleter {
    void operator()(FT_FaceRec_* face) const;
  };
  // Declared library first so the face is released before the library that owns it.
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library_;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;
};

}  // namespace marquee8

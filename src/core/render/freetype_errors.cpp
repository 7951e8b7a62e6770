#include "freetype_errors.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

namespace marquee8 {

std::string freetype_reason(int error) {
  switch (error) {
    case FT_Err_Unknown_File_Format:
      return "not a font FreeType reads";
    case FT_Err_Invalid_Stream_Operation:
    case FT_Err_Invalid_Frame_Operation:
      return "not a font FreeType reads: it ends where a font's header would go on";
    case FT_Err_Invalid_File_Format:
    case FT_Err_Invalid_Table:
    case FT_Err_Invalid_Offset:
    case FT_Err_Table_Missing:
    case FT_Err_Horiz_Header_Missing:
    case FT_Err_Locations_Missing:
    case FT_Err_Hmtx_Table_Missing:
      return "a damaged font: a table is missing or points outside the file";
    case FT_Err_Out_Of_Memory:
    case FT_Err_Array_Too_Large:
      return "too large for the memory";
    case FT_Err_Missing_Startfont_Field:
      return "a broken BDF: it has no STARTFONT line";
    case FT_Err_Missing_Font_Field:
      return "a broken BDF: it has no FONT line";
    case FT_Err_Missing_Size_Field:
      return "a broken BDF: it has no SIZE line";
    case FT_Err_Missing_Fontboundingbox_Field:
      return "a broken BDF: it has no FONTBOUNDINGBOX line";
    case FT_Err_Missing_Chars_Field:
      return "a broken BDF: it has no CHARS line";
    case FT_Err_Missing_Startchar_Field:
      return "a broken BDF: a glyph does not start with STARTCHAR";
    case FT_Err_Missing_Encoding_Field:
      return "a broken BDF: a glyph has no ENCODING line";
    case FT_Err_Missing_Bbx_Field:
      return "a broken BDF: a glyph has no BBX line";
    case FT_Err_Bbx_Too_Big:
      return "a broken BDF: a glyph's BBX is larger than the FONTBOUNDINGBOX";
    case FT_Err_Corrupted_Font_Header:
      return "a broken BDF: its header lines are damaged";
    case FT_Err_Corrupted_Font_Glyphs:
      return "a broken BDF: its glyphs are damaged or fewer than CHARS says";
    default:
      break;
  }
  char code[48];
  std::snprintf(code, sizeof code, "unreadable to FreeType (error 0x%02X)",
                static_cast<unsigned>(error));
  return code;
}

}  // namespace marquee8

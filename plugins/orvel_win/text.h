// Text for the canvas: the CP437 character set (bytes of script text are
// CP437 characters), a cell font for console-like text cells, and sized,
// rotated text from the embedded TrueType font.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "canvas.h"

namespace owin {

// The Unicode character of a CP437 byte.
char32_t cp437ToUnicode(unsigned char c);

// An 8-bit coverage mask.
struct Mask {
  int width = 0, height = 0;
  std::vector<uint8_t> alpha;
};

// The embedded font, rasterised with stb_truetype. Glyphs are cached by
// pixel size and character.
class TrueType {
 public:
  TrueType();
  ~TrueType();
  TrueType(const TrueType&) = delete;
  TrueType& operator=(const TrueType&) = delete;
  bool ok() const { return ok_; }

  struct Glyph {
    int x0 = 0, y0 = 0;  // offset of the bitmap from the pen on the baseline
    Mask mask;
    float advance = 0;
  };
  const Glyph& glyph(char32_t ch, float pixelHeight);
  bool hasGlyph(char32_t ch) const;
  // Ascent and descent (positive below) for a pixel height.
  float ascent(float pixelHeight) const;
  float descent(float pixelHeight) const;
  float advanceOf(char32_t ch, float pixelHeight) const;

  // One line of CP437 text: its coverage mask and where the baseline lies.
  Mask renderLine(std::string_view text, float pixelHeight, int& baseline);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool ok_ = false;
  std::map<uint64_t, Glyph> cache_;
};

// Glyphs of all 256 CP437 characters for a text cell of w x h pixels: the
// box-drawing, block and shade characters are drawn to join neatly across
// cells; the rest come from the TrueType font.
class CellFont {
 public:
  CellFont(TrueType& font, int cellWidth, int cellHeight);
  int cellWidth() const { return w_; }
  int cellHeight() const { return h_; }
  const uint8_t* glyph(unsigned char c) const { return &masks_[static_cast<size_t>(c) * w_ * h_]; }
  // Draws text cells at pixel x, y: each cell's background (unless
  // transparent) and then its ink.
  void draw(Canvas& canvas, int x, int y, std::string_view text, Rgb fg, Rgb bg, bool transparent) const;

 private:
  int w_, h_;
  std::vector<uint8_t> masks_;
};

// Draws a line of sized text with its top-left corner at x, y, rotated
// counter-clockwise by the angle (degrees) about that corner. The text's
// box is filled with bg first unless transparent. Returns the unrotated
// width and height of the box.
void drawSizedText(Canvas& canvas, TrueType& font, double x, double y, std::string_view text, float pixelHeight,
                   double degrees, Rgb fg, Rgb bg, bool transparent, int& boxWidth, int& boxHeight);

}  // namespace owin

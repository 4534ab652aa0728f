// The drawing surface of the plug-in: a 32-bit pixel buffer (0x00RRGGBB)
// and the primitives every command draws with. Nothing here knows about
// windows; presenters only show the pixels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace owin {

using Rgb = uint32_t;  // 0x00RRGGBB

// A rectangle of pixels, x0/y0 inclusive, x1/y1 exclusive.
struct Rect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
  void add(const Rect& r);
};

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Rgb fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  const uint32_t* pixels() const { return pixels_.data(); }
  uint32_t* pixels() { return pixels_.data(); }
  Rgb at(int x, int y) const { return inside(x, y) ? pixels_[static_cast<size_t>(y) * width_ + x] : 0; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // The part changed since takeDirty was last called.
  Rect takeDirty();
  void markAll();
  // Adds a rectangle (x1, y1 exclusive) to the changed part.
  void markDirty(int x0, int y0, int x1, int y1);

  void clear(Rgb colour);
  void fillRect(int x, int y, int w, int h, Rgb colour);
  // Blends colour over one pixel with coverage 0..255.
  void blend(int x, int y, Rgb colour, int coverage);
  // Blends an 8-bit coverage mask (w x h, row stride w) at x, y.
  void blendMask(int x, int y, const uint8_t* mask, int w, int h, int stride, Rgb colour);

  // Antialiased line between pixel centres, of the given width, round ends;
  // axis-parallel lines are drawn crisp with square ends.
  void line(double x1, double y1, double x2, double y2, Rgb colour, double width);
  // Dotted: dashes and gaps of 2 x width along the line.
  void dottedLine(double x1, double y1, double x2, double y2, Rgb colour, double width);
  // Circle of the given diameter centred on pixel (x, y): filled, or an
  // outline of the given pen width.
  void circle(int x, int y, double diameter, Rgb colour, bool fill, double pen = 1.0);
  // Outline of a w x h rectangle at x, y, the pen drawn inside it.
  void rectOutline(int x, int y, int w, int h, Rgb colour, int pen);
  // Closed outline through the points (pixel centres).
  void polygon(const double* xs, const double* ys, int count, Rgb colour, double width);

 private:
  void touch(int x0, int y0, int x1, int y1) { markDirty(x0, y0, x1, y1); }
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
  Rect dirty_;
};

inline Rgb rgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 255) << 16) | (static_cast<Rgb>(g & 255) << 8) | static_cast<Rgb>(b & 255);
}

}  // namespace owin

#include "text.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>

#include "font_data.h"

namespace owin {

namespace {

// CP437 bytes 0..31 and 127..255 as Unicode characters.
constexpr char32_t kLow[32] = {0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
                               0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
                               0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
constexpr char32_t kHigh[129] = {
    0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC,
    0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF,
    0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500,
    0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565,
    0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1,
    0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5,
    0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F,
    0x00B2, 0x25A0, 0x00A0};

// Arms of the box-drawing characters 0xB3..0xDA: up, down, left, right;
// 0 none, 1 single, 2 double.
struct Arms {
  uint8_t u, d, l, r;
};
constexpr Arms kBox[0xDA - 0xB3 + 1] = {
    {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 2, 0}, {2, 2, 1, 0}, {0, 2, 1, 0}, {0, 1, 2, 0}, {2, 2, 2, 0}, {2, 2, 0, 0},
    {0, 2, 2, 0}, {2, 0, 2, 0}, {2, 0, 1, 0}, {1, 0, 2, 0}, {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 1},
    {1, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}, {1, 1, 0, 2}, {2, 2, 0, 1}, {2, 0, 0, 2}, {0, 2, 0, 2}, {2, 0, 2, 2},
    {0, 2, 2, 2}, {2, 2, 0, 2}, {0, 0, 2, 2}, {2, 2, 2, 2}, {1, 0, 2, 2}, {2, 0, 1, 1}, {0, 1, 2, 2}, {0, 2, 1, 1},
    {2, 0, 0, 1}, {1, 0, 0, 2}, {0, 1, 0, 2}, {0, 2, 0, 1}, {2, 2, 1, 1}, {1, 1, 2, 2}, {1, 0, 1, 0}, {0, 1, 0, 1}};

uint64_t glyphKey(char32_t ch, float size) {
  return (static_cast<uint64_t>(std::lround(size * 64.0f)) << 32) | static_cast<uint64_t>(ch);
}

}  // namespace

char32_t cp437ToUnicode(unsigned char c) {
  if (c < 32) return kLow[c];
  if (c < 127) return c;
  return kHigh[c - 127];
}

struct TrueType::Impl {
  stbtt_fontinfo info{};
  int ascent = 0, descent = 0, lineGap = 0;
};

TrueType::TrueType() : impl_(std::make_unique<Impl>()) {
  if (orvel_win_font_size == 0) return;
  int offset = stbtt_GetFontOffsetForIndex(orvel_win_font, 0);
  if (offset < 0 || !stbtt_InitFont(&impl_->info, orvel_win_font, offset)) return;
  stbtt_GetFontVMetrics(&impl_->info, &impl_->ascent, &impl_->descent, &impl_->lineGap);
  ok_ = true;
}

TrueType::~TrueType() = default;

bool TrueType::hasGlyph(char32_t ch) const { return ok_ && stbtt_FindGlyphIndex(&impl_->info, static_cast<int>(ch)) != 0; }

float TrueType::ascent(float px) const {
  return ok_ ? impl_->ascent * stbtt_ScaleForMappingEmToPixels(&impl_->info, px) : px;
}

float TrueType::descent(float px) const {
  return ok_ ? -impl_->descent * stbtt_ScaleForMappingEmToPixels(&impl_->info, px) : 0;
}

float TrueType::advanceOf(char32_t ch, float px) const {
  if (!ok_) return px / 2;
  int adv = 0, lsb = 0;
  stbtt_GetCodepointHMetrics(&impl_->info, static_cast<int>(ch), &adv, &lsb);
  return adv * stbtt_ScaleForMappingEmToPixels(&impl_->info, px);
}

const TrueType::Glyph& TrueType::glyph(char32_t ch, float px) {
  uint64_t key = glyphKey(ch, px);
  auto it = cache_.find(key);
  if (it != cache_.end()) return it->second;
  Glyph g;
  if (ok_) {
    float scale = stbtt_ScaleForMappingEmToPixels(&impl_->info, px);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBox(&impl_->info, static_cast<int>(ch), scale, scale, &x0, &y0, &x1, &y1);
    g.x0 = x0, g.y0 = y0;
    g.mask.width = std::max(0, x1 - x0), g.mask.height = std::max(0, y1 - y0);
    g.mask.alpha.assign(static_cast<size_t>(g.mask.width) * g.mask.height, 0);
    if (g.mask.width > 0 && g.mask.height > 0)
      stbtt_MakeCodepointBitmap(&impl_->info, g.mask.alpha.data(), g.mask.width, g.mask.height, g.mask.width, scale,
                                scale, static_cast<int>(ch));
    g.advance = advanceOf(ch, px);
  }
  return cache_.emplace(key, std::move(g)).first->second;
}

Mask TrueType::renderLine(std::string_view text, float px, int& baseline) {
  Mask m;
  float asc = ascent(px), desc = descent(px);
  baseline = static_cast<int>(std::lround(asc));
  m.height = std::max(1, static_cast<int>(std::ceil(asc + desc)));
  float pen = 0;
  for (char c : text) pen += advanceOf(cp437ToUnicode(static_cast<unsigned char>(c)), px);
  m.width = std::max(0, static_cast<int>(std::ceil(pen)));
  m.alpha.assign(static_cast<size_t>(m.width) * m.height, 0);
  pen = 0;
  for (char c : text) {
    const Glyph& g = glyph(cp437ToUnicode(static_cast<unsigned char>(c)), px);
    int gx = static_cast<int>(std::lround(pen)) + g.x0, gy = baseline + g.y0;
    for (int y = 0; y < g.mask.height; ++y) {
      int ty = gy + y;
      if (ty < 0 || ty >= m.height) continue;
      for (int x = 0; x < g.mask.width; ++x) {
        int tx = gx + x;
        if (tx < 0 || tx >= m.width) continue;
        uint8_t& a = m.alpha[static_cast<size_t>(ty) * m.width + tx];
        a = static_cast<uint8_t>(std::min(255, a + g.mask.alpha[static_cast<size_t>(y) * g.mask.width + x]));
      }
    }
    pen += g.advance;
  }
  return m;
}

CellFont::CellFont(TrueType& font, int cw, int ch) : w_(std::max(1, cw)), h_(std::max(1, ch)) {
  masks_.assign(static_cast<size_t>(256) * w_ * h_, 0);
  // The largest em size whose line fits the cell's height and whose advance
  // fits its width.
  float em = static_cast<float>(h_);
  if (font.ok()) {
    float unitH = font.ascent(100.f) + font.descent(100.f), unitW = font.advanceOf(U'M', 100.f);
    em = std::min(100.f * h_ / unitH, 100.f * w_ / unitW);
  }
  const int baseline = static_cast<int>(std::lround((h_ - (font.ascent(em) + font.descent(em))) / 2 + font.ascent(em)));
  const int cx = (w_ - 1) / 2, cy = (h_ - 1) / 2;
  for (int c = 0; c < 256; ++c) {
    uint8_t* m = &masks_[static_cast<size_t>(c) * w_ * h_];
    auto set = [&](int x, int y, uint8_t v = 255) {
      if (x >= 0 && y >= 0 && x < w_ && y < h_) m[y * w_ + x] = v;
    };
    auto hline = [&](int y, int x0, int x1) {
      for (int x = x0; x <= x1; ++x) set(x, y);
    };
    auto vline = [&](int x, int y0, int y1) {
      for (int y = y0; y <= y1; ++y) set(x, y);
    };
    if (c >= 0xB3 && c <= 0xDA) {
      const Arms a = kBox[c - 0xB3];
      const bool vDouble = a.u == 2 || a.d == 2, hDouble = a.l == 2 || a.r == 2;
      if (a.l == 1) hline(cy, 0, vDouble ? cx - 1 : cx);
      if (a.r == 1) hline(cy, vDouble ? cx + 1 : cx, w_ - 1);
      if (a.u == 1) vline(cx, 0, hDouble ? cy - 1 : cy);
      if (a.d == 1) vline(cx, hDouble ? cy + 1 : cy, h_ - 1);
      if (a.l == 2) {
        hline(cy - 1, 0, a.u == 2 ? cx - 1 : (a.r == 0 && a.d == 2 ? cx + 1 : cx));
        hline(cy + 1, 0, a.d == 2 ? cx - 1 : (a.r == 0 && a.u == 2 ? cx + 1 : cx));
      }
      if (a.r == 2) {
        hline(cy - 1, a.u == 2 ? cx + 1 : (a.l == 0 && a.d == 2 ? cx - 1 : cx), w_ - 1);
        hline(cy + 1, a.d == 2 ? cx + 1 : (a.l == 0 && a.u == 2 ? cx - 1 : cx), w_ - 1);
      }
      if (a.u == 2) {
        vline(cx - 1, 0, a.l == 2 ? cy - 1 : (a.d == 0 && a.r == 2 ? cy + 1 : cy));
        vline(cx + 1, 0, a.r == 2 ? cy - 1 : (a.d == 0 && a.l == 2 ? cy + 1 : cy));
      }
      if (a.d == 2) {
        vline(cx - 1, a.l == 2 ? cy + 1 : (a.u == 0 && a.r == 2 ? cy - 1 : cy), h_ - 1);
        vline(cx + 1, a.r == 2 ? cy + 1 : (a.u == 0 && a.l == 2 ? cy - 1 : cy), h_ - 1);
      }
      continue;
    }
    if (c >= 0xB0 && c <= 0xB2) {  // light, medium and dark shade
      for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
          bool on = c == 0xB0 ? (x % 2 == 0 && y % 2 == 0) : c == 0xB1 ? ((x + y) % 2 == 0) : !(x % 2 == 1 && y % 2 == 1);
          if (on) set(x, y);
        }
      continue;
    }
    if (c >= 0xDB && c <= 0xDF) {  // full, lower, left, right and upper blocks
      int x0 = 0, x1 = w_, y0 = 0, y1 = h_;
      if (c == 0xDC) y0 = h_ / 2;
      if (c == 0xDD) x1 = w_ / 2;
      if (c == 0xDE) x0 = w_ / 2;
      if (c == 0xDF) y1 = h_ / 2;
      for (int y = y0; y < y1; ++y) hline(y, x0, x1 - 1);
      continue;
    }
    if (c == 16 || c == 17 || c == 30 || c == 31) {
      // Arrow heads fill their cell as a console's do: a triangle,
      // sampled 4 x 4 per pixel for smooth edges.
      const double left = w_ * 0.12, right = w_ * 0.88, top = h_ * 0.22, bottom = h_ * 0.78;
      for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
          int hits = 0;
          for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx) {
              double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
              double along, across, len, half;
              if (c == 16 || c == 17) {
                along = c == 16 ? px - left : right - px, len = right - left;
                across = std::fabs(py - (top + bottom) / 2), half = (bottom - top) / 2;
              } else {
                along = c == 31 ? py - top : bottom - py, len = bottom - top;
                across = std::fabs(px - (left + right) / 2), half = (right - left) / 2;
              }
              if (along >= 0 && along <= len && across <= half * (1 - along / len)) ++hits;
            }
          if (hits) set(x, y, static_cast<uint8_t>(hits * 255 / 16));
        }
      continue;
    }
    if (c == 0 || c == 32 || c == 255 || !font.ok()) continue;
    const TrueType::Glyph& g = font.glyph(cp437ToUnicode(static_cast<unsigned char>(c)), em);
    int ox = static_cast<int>(std::lround((w_ - g.advance) / 2)) + g.x0;
    for (int y = 0; y < g.mask.height; ++y)
      for (int x = 0; x < g.mask.width; ++x) {
        uint8_t v = g.mask.alpha[static_cast<size_t>(y) * g.mask.width + x];
        int tx = ox + x, ty = baseline + g.y0 + y;
        if (v && tx >= 0 && ty >= 0 && tx < w_ && ty < h_) m[ty * w_ + tx] = std::max(m[ty * w_ + tx], v);
      }
  }
}

void CellFont::draw(Canvas& canvas, int x, int y, std::string_view text, Rgb fg, Rgb bg, bool transparent) const {
  for (size_t i = 0; i < text.size(); ++i) {
    int64_t cx = int64_t{x} + static_cast<int64_t>(i) * w_;
    if (cx >= canvas.width()) break;
    if (cx + w_ <= 0) continue;
    if (!transparent) canvas.fillRect(static_cast<int>(cx), y, w_, h_, bg);
    canvas.blendMask(static_cast<int>(cx), y, glyph(static_cast<unsigned char>(text[i])), w_, h_, w_, fg);
  }
}

void drawSizedText(Canvas& canvas, TrueType& font, double x, double y, std::string_view text, float px,
                   double degrees, Rgb fg, Rgb bg, bool transparent, int& boxWidth, int& boxHeight) {
  int baseline = 0;
  // Text longer than any canvas could show is cut: nothing beyond it could
  // be visible in any direction.
  const double maxChars = (std::hypot(canvas.width(), canvas.height()) + std::fabs(x) + std::fabs(y)) / std::max(1.f, px * 0.3f) + 2;
  if (text.size() > maxChars) text = text.substr(0, static_cast<size_t>(maxChars));
  Mask m = font.renderLine(text, px, baseline);
  boxWidth = m.width, boxHeight = m.height;
  degrees = std::fmod(degrees, 360.0);
  if (degrees < 0) degrees += 360.0;
  if (degrees == 0) {
    int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
    if (!transparent) canvas.fillRect(ix, iy, m.width, m.height, bg);
    canvas.blendMask(ix, iy, m.alpha.data(), m.width, m.height, m.width, fg);
    return;
  }
  // Rotated: every canvas pixel in the rotated box samples the text mask.
  const double rad = degrees * 3.14159265358979323846 / 180.0, cs = std::cos(rad), sn = std::sin(rad);
  // Forward map (u right along the text, v down): X = x + u cs + v sn, Y = y - u sn + v cs.
  const double us[4] = {0, double(m.width), 0, double(m.width)}, vs[4] = {0, 0, double(m.height), double(m.height)};
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (int i = 0; i < 4; ++i) {
    double X = x + us[i] * cs + vs[i] * sn, Y = y - us[i] * sn + vs[i] * cs;
    minX = std::min(minX, X), maxX = std::max(maxX, X), minY = std::min(minY, Y), maxY = std::max(maxY, Y);
  }
  int x0 = std::max(0, static_cast<int>(std::floor(minX)) - 1), x1 = std::min(canvas.width() - 1, static_cast<int>(std::ceil(maxX)) + 1);
  int y0 = std::max(0, static_cast<int>(std::floor(minY)) - 1), y1 = std::min(canvas.height() - 1, static_cast<int>(std::ceil(maxY)) + 1);
  auto sample = [&](double u, double v) -> double {  // bilinear, outside is 0
    u -= 0.5, v -= 0.5;
    int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
    double fu = u - iu, fv = v - iv, s = 0;
    for (int dv = 0; dv < 2; ++dv)
      for (int du = 0; du < 2; ++du) {
        int su = iu + du, sv = iv + dv;
        if (su < 0 || sv < 0 || su >= m.width || sv >= m.height) continue;
        s += m.alpha[static_cast<size_t>(sv) * m.width + su] * (du ? fu : 1 - fu) * (dv ? fv : 1 - fv);
      }
    return s;
  };
  for (int py = y0; py <= y1; ++py)
    for (int px2 = x0; px2 <= x1; ++px2) {
      double dx = px2 + 0.5 - x, dy = py + 0.5 - y;
      double u = dx * cs - dy * sn, v = dx * sn + dy * cs;
      if (!transparent) {
        double cu = std::clamp(std::min(u + 0.5, m.width - u + 0.5), 0.0, 1.0);
        double cv = std::clamp(std::min(v + 0.5, m.height - v + 0.5), 0.0, 1.0);
        int cov = static_cast<int>(cu * cv * 255 + 0.5);
        if (cov) canvas.blend(px2, py, bg, cov);
      }
      if (u < -1 || v < -1 || u > m.width + 1 || v > m.height + 1) continue;
      int a = static_cast<int>(sample(u, v) + 0.5);
      if (a > 0) canvas.blend(px2, py, fg, std::min(a, 255));
    }
  if (x0 <= x1 && y0 <= y1) canvas.markDirty(x0, y0, x1 + 1, y1 + 1);
}

}  // namespace owin

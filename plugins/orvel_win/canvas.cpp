#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace owin {

namespace {

// Coordinates far outside any canvas are pulled in to this range first so
// that no arithmetic below can overflow.
constexpr double kFar = 1.0e6;
inline double tame(double v) { return std::isfinite(v) ? std::clamp(v, -kFar, kFar) : 0.0; }

// colour over p with coverage 0..255: red and blue are mixed together in
// one word, green in another; x / 255 is (x + 1 + (x >> 8)) >> 8 here.
inline uint32_t mix(uint32_t colour, uint32_t p, uint32_t cov) {
  const uint32_t inv = 255 - cov;
  uint32_t rb = (colour & 0xFF00FF) * cov + (p & 0xFF00FF) * inv + 0x800080;
  uint32_t g = (colour & 0x00FF00) * cov + (p & 0x00FF00) * inv + 0x008000;
  rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  g = ((g + ((g >> 8) & 0x00FF00)) >> 8) & 0x00FF00;
  return rb | g;
}

// floor and ceil for values well inside the int range, without a call.
inline int ifloor(double v) {
  int i = static_cast<int>(v);
  return i - (v < i);
}
inline int iceil(double v) {
  int i = static_cast<int>(v);
  return i + (v > i);
}

inline int coverage(double c) {
  if (c <= 0) return 0;
  if (c >= 1) return 255;
  return static_cast<int>(c * 255.0 + 0.5);
}

// Liang-Barsky clip of a segment to a rectangle; false when nothing is left.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin, double xmax,
                 double ymax) {
  double t0 = 0, t1 = 1, dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy, nx2 = x1 + t1 * dx, ny2 = y1 + t1 * dy;
  x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
  return true;
}

}  // namespace

void Rect::add(const Rect& r) {
  if (r.empty()) return;
  if (empty()) {
    *this = r;
    return;
  }
  x0 = std::min(x0, r.x0), y0 = std::min(y0, r.y0), x1 = std::max(x1, r.x1), y1 = std::max(y1, r.y1);
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill) {
  markAll();
}

Rect Canvas::takeDirty() {
  Rect r = dirty_;
  dirty_ = Rect{};
  return r;
}

void Canvas::markAll() { dirty_ = Rect{0, 0, width_, height_}; }

void Canvas::markDirty(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width_), y1 = std::min(y1, height_);
  dirty_.add(Rect{x0, y0, x1, y1});
}

void Canvas::clear(Rgb colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
  markAll();
}

void Canvas::fillRect(int x, int y, int w, int h, Rgb colour) {
  if (w <= 0 || h <= 0) return;
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>(int64_t{x} + w, width_), y1 = std::min<int64_t>(int64_t{y} + h, height_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int64_t yy = y0; yy < y1; ++yy) {
    uint32_t* row = &pixels_[static_cast<size_t>(yy) * width_];
    std::fill(row + x0, row + x1, colour);
  }
  touch(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
}

void Canvas::blend(int x, int y, Rgb colour, int cov) {
  if (cov <= 0 || !inside(x, y)) return;
  uint32_t& p = pixels_[static_cast<size_t>(y) * width_ + x];
  p = cov >= 255 ? colour : mix(colour, p, static_cast<uint32_t>(cov));
}

void Canvas::blendMask(int x, int y, const uint8_t* mask, int w, int h, int stride, Rgb colour) {
  int sx0 = std::max(0, -x), sy0 = std::max(0, -y);
  int sx1 = std::min(w, width_ - x), sy1 = std::min(h, height_ - y);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  for (int sy = sy0; sy < sy1; ++sy) {
    const uint8_t* m = mask + static_cast<size_t>(sy) * stride;
    for (int sx = sx0; sx < sx1; ++sx)
      if (m[sx]) blend(x + sx, y + sy, colour, m[sx]);
  }
  touch(x + sx0, y + sy0, x + sx1, y + sy1);
}

void Canvas::line(double x1, double y1, double x2, double y2, Rgb colour, double width) {
  x1 = tame(x1), y1 = tame(y1), x2 = tame(x2), y2 = tame(y2);
  if (!std::isfinite(width) || width < 1) width = 1;
  width = std::min(width, 4096.0);
  const bool integral = x1 == std::floor(x1) && y1 == std::floor(y1) && x2 == std::floor(x2) && y2 == std::floor(y2);
  const int w = static_cast<int>(std::lround(width));
  if (integral && (y1 == y2 || x1 == x2) && width == w) {
    // Axis-parallel: a crisp bar with square ends.
    int lo = w > 1 ? w / 2 : 0, hi = w > 1 ? (w - 1) / 2 : 0;
    if (y1 == y2) {
      int xa = static_cast<int>(std::min(x1, x2)), xb = static_cast<int>(std::max(x1, x2));
      fillRect(xa - lo, static_cast<int>(y1) - w / 2, xb - xa + 1 + lo + hi, w, colour);
    } else {
      int ya = static_cast<int>(std::min(y1, y2)), yb = static_cast<int>(std::max(y1, y2));
      fillRect(static_cast<int>(x1) - w / 2, ya - lo, w, yb - ya + 1 + lo + hi, colour);
    }
    return;
  }
  const double r = width / 2.0;
  // Pixel (x, y) has its centre at (x + 0.5, y + 0.5).
  double ax = x1 + 0.5, ay = y1 + 0.5, bx = x2 + 0.5, by = y2 + 0.5;
  const double m = r + 2;
  if (!clipSegment(ax, ay, bx, by, -m, -m, width_ + m, height_ + m)) return;
  const double dx = bx - ax, dy = by - ay, len = std::sqrt(dx * dx + dy * dy);
  if (len < 1e-9) {
    circle(static_cast<int>(std::floor(ax)), static_cast<int>(std::floor(ay)), std::max(1.0, width), colour, true);
    return;
  }
  // Along the line the distance of a pixel centre is its distance from the
  // infinite line (linear, no root); only past the ends is it the distance
  // to the end point.
  const double ux = dx / len, uy = dy / len;  // along
  const double nx = -uy, ny = ux;              // across
  const double reach = r + 0.5;
  auto put = [&](uint32_t& p, double c) {
    if (c >= 1)
      p = colour;
    else if (c > 0)
      p = mix(colour, p, static_cast<uint32_t>(c * 255.0 + 0.5));
  };
  auto cover = [&](int px, int py, double along, double across) {
    double d;
    if (along < 0) {
      double qx = px + 0.5 - ax, qy = py + 0.5 - ay;
      d = std::sqrt(qx * qx + qy * qy);
    } else if (along > len) {
      double qx = px + 0.5 - bx, qy = py + 0.5 - by;
      d = std::sqrt(qx * qx + qy * qy);
    } else {
      d = std::fabs(across);
    }
    put(pixels_[static_cast<size_t>(py) * width_ + px], reach - d);
  };
  // Across the major direction, run by run (rows of a steep line, columns
  // of a flat one): the pixels whose centres lie within reach - 1 of the
  // segment are wholly covered and filled at once; only those at the ends
  // of a run, within reach, get a coverage of their own. Both sets are runs,
  // since the shape (a stadium) is convex. Below, "s" is the coordinate
  // along a run and "t" the index of the run.
  const bool steep = std::fabs(dy) > std::fabs(dx);
  const double as = steep ? ax : ay, at = steep ? ay : ax, bs = steep ? bx : by, bt = steep ? by : bx;
  const double us = steep ? ux : uy, ut = steep ? uy : ux, ns = steep ? nx : ny, nt = steep ? ny : nx;
  const int sLimit = steep ? width_ : height_, tLimit = steep ? height_ : width_;
  const ptrdiff_t sStride = steep ? 1 : width_;
  // Where a run crosses the band between the ends (|across| <= rho,
  // 0 <= along <= len): s = as + v / k - (kt / k) (tc - at) for each limit
  // v of a quantity k s + kt t; |ns| >= 0.7 always, us may be 0.
  const double invNs = 1 / ns, ratioN = nt / ns;
  const double invUs = us != 0 ? 1 / us : 0, ratioU = us != 0 ? ut / us : 0;
  auto span = [&](double tc, double rho, double& lo, double& hi) {
    lo = 1e300, hi = -1e300;
    if (rho <= 0) return;
    const double qt = tc - at;
    const double nBase = as - ratioN * qt;
    double blo = nBase - rho * std::fabs(invNs), bhi = nBase + rho * std::fabs(invNs);
    if (us != 0) {
      const double uBase = as - ratioU * qt, uEnd = uBase + len * invUs;
      blo = std::max(blo, std::min(uBase, uEnd)), bhi = std::min(bhi, std::max(uBase, uEnd));
    } else if (qt * ut < 0 || qt * ut > len) {
      blo = 1e300, bhi = -1e300;
    }
    if (blo <= bhi) lo = blo, hi = bhi;
    for (int e = 0; e < 2; ++e) {  // the round ends
      const double es = e ? bs : as, et = e ? bt : at;
      const double h2 = rho * rho - (tc - et) * (tc - et);
      if (h2 >= 0) {
        const double h = std::sqrt(h2);
        lo = std::min(lo, es - h), hi = std::max(hi, es + h);
      }
    }
  };
  const int t0 = std::max(0, ifloor(std::min(at, bt) - reach)), t1 = std::min(tLimit - 1, iceil(std::max(at, bt) + reach));
  for (int t = t0; t <= t1; ++t) {
    const double tc = t + 0.5;
    double olo, ohi, ilo, ihi;
    span(tc, reach, olo, ohi);
    if (olo > ohi) continue;
    span(tc, reach - 1, ilo, ihi);
    // Pixel s is wholly covered when its centre s + 0.5 lies in [ilo, ihi].
    const int s0 = std::max(0, ifloor(olo - 0.5)), s1 = std::min(sLimit - 1, iceil(ohi - 0.5));
    int f0 = sLimit, f1 = -1;
    if (ilo <= ihi) f0 = std::max(s0, iceil(ilo - 0.5)), f1 = std::min(s1, ifloor(ihi - 0.5));
    auto edge = [&](int sp) {
      const int px = steep ? sp : t, py = steep ? t : sp;
      const double qx = px + 0.5 - ax, qy = py + 0.5 - ay;
      cover(px, py, qx * ux + qy * uy, qx * nx + qy * ny);
    };
    if (f0 > f1) {
      for (int sp = s0; sp <= s1; ++sp) edge(sp);
      continue;
    }
    for (int sp = s0; sp < f0; ++sp) edge(sp);
    uint32_t* p = steep ? &pixels_[static_cast<size_t>(t) * width_ + f0] : &pixels_[static_cast<size_t>(f0) * width_ + t];
    for (int sp = f0; sp <= f1; ++sp, p += sStride) *p = colour;
    for (int sp = f1 + 1; sp <= s1; ++sp) edge(sp);
  }
  touch(static_cast<int>(std::floor(std::min(ax, bx) - reach - 1)), static_cast<int>(std::floor(std::min(ay, by) - reach - 1)),
        static_cast<int>(std::ceil(std::max(ax, bx) + reach + 2)), static_cast<int>(std::ceil(std::max(ay, by) + reach + 2)));
}

void Canvas::dottedLine(double x1, double y1, double x2, double y2, Rgb colour, double width) {
  x1 = tame(x1), y1 = tame(y1), x2 = tame(x2), y2 = tame(y2);
  if (!std::isfinite(width) || width < 1) width = 1;
  width = std::min(width, 4096.0);
  // Only the part near the canvas matters; the pattern keeps its phase.
  double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
  const double m = width + 4;
  if (!clipSegment(cx1, cy1, cx2, cy2, -m, -m, width_ + m, height_ + m)) return;
  const double len = std::hypot(x2 - x1, y2 - y1);
  if (len < 1) {
    line(x1, y1, x2, y2, colour, width);
    return;
  }
  const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
  const double dash = 2 * std::max(1.0, std::round(width)), step = 2 * dash;
  double s0 = std::hypot(cx1 - x1, cy1 - y1), s1 = std::hypot(cx2 - x1, cy2 - y1);
  for (double s = std::floor(s0 / step) * step; s <= s1; s += step) {
    double e = std::min(s + dash - 1, len);
    line(std::round(x1 + ux * s), std::round(y1 + uy * s), std::round(x1 + ux * e), std::round(y1 + uy * e), colour,
         width);
  }
}

void Canvas::circle(int x, int y, double diameter, Rgb colour, bool fill, double pen) {
  if (!std::isfinite(diameter) || diameter <= 0) return;
  diameter = std::min(diameter, 2.0 * kFar);
  if (!std::isfinite(pen) || pen < 1) pen = 1;
  const double r = diameter / 2.0;
  const bool odd = static_cast<int64_t>(std::lround(diameter)) % 2 == 1;
  const double cx = x + (odd ? 0.5 : 0.0), cy = y + (odd ? 0.5 : 0.0);
  const int ys = std::max(0, static_cast<int>(std::floor(cy - r - 1)));
  const int ye = std::min(height_ - 1, static_cast<int>(std::ceil(cy + r + 1)));
  const double inner = fill ? -1.0 : r - pen;  // ring from inner to r
  for (int py = ys; py <= ye; ++py) {
    const double dy = py + 0.5 - cy;
    const double outer2 = (r + 1) * (r + 1) - dy * dy;
    if (outer2 < 0) continue;
    const double ox = std::sqrt(outer2);
    int xs = std::max(0, static_cast<int>(std::floor(cx - ox))), xe = std::min(width_ - 1, static_cast<int>(std::ceil(cx + ox)));
    // Pixels wholly inside the solid part need no distance.
    double solidOut = r - 1, emptyIn = inner - 0.5;  // no coverage nearer than emptyIn
    double so2 = solidOut * solidOut - dy * dy;
    int fs = 1, fe = 0;
    if (solidOut > 0 && so2 > 0) {
      double sx = std::sqrt(so2);
      fs = static_cast<int>(std::ceil(cx - sx)), fe = static_cast<int>(std::floor(cx + sx)) - 1;
    }
    double hole = -1;  // half-width of the empty middle of a ring
    if (!fill && emptyIn > 0 && emptyIn * emptyIn - dy * dy > 0) hole = std::sqrt(emptyIn * emptyIn - dy * dy);
    uint32_t* row = &pixels_[static_cast<size_t>(py) * width_];
    for (int px = xs; px <= xe; ++px) {
      const double dx = px + 0.5 - cx;
      if (hole > 0 && std::fabs(dx) < hole - 1) continue;
      if (fill && px >= fs && px <= fe) {
        row[px] = colour;
        continue;
      }
      double d = std::sqrt(dx * dx + dy * dy);
      double c = std::min(r + 0.5 - d, fill ? 1.0 : d - inner + 0.5);
      int cv = coverage(c);
      if (cv) blend(px, py, colour, cv);
    }
  }
  touch(static_cast<int>(std::floor(cx - r - 1)), ys, static_cast<int>(std::ceil(cx + r + 2)), ye + 1);
}

void Canvas::rectOutline(int x, int y, int w, int h, Rgb colour, int pen) {
  if (w <= 0 || h <= 0) return;
  pen = std::max(1, pen);
  if (2 * pen >= w || 2 * pen >= h) {
    fillRect(x, y, w, h, colour);
    return;
  }
  fillRect(x, y, w, pen, colour);
  fillRect(x, y + h - pen, w, pen, colour);
  fillRect(x, y + pen, pen, h - 2 * pen, colour);
  fillRect(x + w - pen, y + pen, pen, h - 2 * pen, colour);
}

void Canvas::polygon(const double* xs, const double* ys, int count, Rgb colour, double width) {
  for (int i = 0; i < count; ++i) {
    int j = (i + 1) % count;
    line(xs[i], ys[i], xs[j], ys[j], colour, width);
  }
}

}  // namespace owin

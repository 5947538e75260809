#include "drawing.h"

#include <algorithm>
#include <cmath>

namespace gstool {
namespace {

constexpr std::int64_t kReach = 32;          // cells drawn beyond the map for marks out there
constexpr std::int64_t kTargetSide = 1024;   // automatic scale aims at about this many pixels
constexpr std::int64_t kMaxSide = 8192;      // and never exceeds this

constexpr Rgb kOutside{52, 52, 60};
constexpr Rgb kHatch{84, 84, 96};
constexpr Rgb kGrid{150, 150, 150};
constexpr Rgb kPathFill{120, 170, 255};
constexpr Rgb kPathLine{20, 60, 200};
constexpr Rgb kStart{20, 170, 60};
constexpr Rgb kGoal{220, 30, 30};
constexpr Rgb kOutline{255, 255, 255};
constexpr Rgb kOreCell{255, 165, 0};
constexpr Rgb kOreMark{235, 0, 200};

Rgb Mix(Rgb under, Rgb over, double alpha) {
  const auto channel = [alpha](std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(std::lround(a * (1.0 - alpha) + b * alpha));
  };
  return {channel(under.r, over.r), channel(under.g, over.g), channel(under.b, over.b)};
}

struct Point {
  double x;
  double y;
};

// Cell coordinates to pixels: cell (minX, minY) is the top-left cell of the canvas.
class Canvas {
 public:
  Canvas(const Raster& map, std::vector<Cell> marks, std::int32_t scale, std::vector<std::string>& warnings) {
    minX_ = -1;
    minY_ = -1;
    std::int64_t maxX = map.width();
    std::int64_t maxY = map.height();
    bool clipped = false;
    for (const Cell& c : marks) {
      minX_ = std::min<std::int64_t>(minX_, c.x);
      minY_ = std::min<std::int64_t>(minY_, c.y);
      maxX = std::max<std::int64_t>(maxX, c.x);
      maxY = std::max<std::int64_t>(maxY, c.y);
    }
    if (minX_ < -kReach || minY_ < -kReach || maxX >= map.width() + kReach || maxY >= map.height() + kReach) {
      clipped = true;
      minX_ = std::max(minX_, -kReach);
      minY_ = std::max(minY_, -kReach);
      maxX = std::min<std::int64_t>(maxX, map.width() + kReach - 1);
      maxY = std::min<std::int64_t>(maxY, map.height() + kReach - 1);
    }
    if (clipped) warnings.push_back("marks more than " + std::to_string(kReach) + " cells off the map are not drawn");
    const std::int64_t cellsWide = maxX - minX_ + 1;
    const std::int64_t cellsHigh = maxY - minY_ + 1;
    const std::int64_t side = std::max(cellsWide, cellsHigh);
    std::int64_t s = scale > 0 ? scale : std::clamp<std::int64_t>(kTargetSide / side, 1, 32);
    if (s * side > kMaxSide && s > 1) {
      const std::int64_t fitted = std::max<std::int64_t>(1, kMaxSide / side);
      if (scale > 0) warnings.push_back("scale reduced to " + std::to_string(fitted) + " to keep the picture within " +
                                        std::to_string(kMaxSide) + " pixels");
      s = fitted;
    }
    scale_ = s;
    image_ = Raster(static_cast<std::int32_t>(cellsWide * s), static_cast<std::int32_t>(cellsHigh * s));
    PaintMap(map);
  }

  Raster Take() { return std::move(image_); }
  double scale() const { return static_cast<double>(scale_); }
  bool Shows(Cell c) const {
    return c.x >= minX_ && c.y >= minY_ && (c.x - minX_) * scale_ < image_.width() &&
           (c.y - minY_) * scale_ < image_.height();
  }

  Point Centre(Cell c) const {
    return {(static_cast<double>(c.x - minX_) + 0.5) * scale(), (static_cast<double>(c.y - minY_) + 0.5) * scale()};
  }

  void TintCell(Cell c, Rgb colour, double alpha) {
    if (!Shows(c)) return;
    const std::int64_t x0 = (c.x - minX_) * scale_;
    const std::int64_t y0 = (c.y - minY_) * scale_;
    for (std::int64_t y = y0; y < y0 + scale_; ++y)
      for (std::int64_t x = x0; x < x0 + scale_; ++x) Blend(x, y, colour, alpha);
  }

  void OutlineCell(Cell c, Rgb colour, double thickness) {
    if (!Shows(c)) return;
    const std::int64_t x0 = (c.x - minX_) * scale_;
    const std::int64_t y0 = (c.y - minY_) * scale_;
    const auto t = static_cast<std::int64_t>(std::max(1.0, thickness));
    for (std::int64_t y = y0 - t; y < y0 + scale_ + t; ++y)
      for (std::int64_t x = x0 - t; x < x0 + scale_ + t; ++x)
        if (x < x0 || y < y0 || x >= x0 + scale_ || y >= y0 + scale_) image_.Plot(x, y, colour);
  }

  // Every pixel whose centre lies within `half` of the segment a-b.
  void Line(Point a, Point b, double half, Rgb colour) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    ForBox(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
           std::max(a.y, b.y) + half, [&](double px, double py) {
             double t = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0;
             t = std::clamp(t, 0.0, 1.0);
             const double ex = px - (a.x + t * dx);
             const double ey = py - (a.y + t * dy);
             return ex * ex + ey * ey <= half * half;
           },
           colour);
  }

  void Disc(Point centre, double radius, Rgb colour) {
    ForBox(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius,
           [&](double px, double py) {
             return (px - centre.x) * (px - centre.x) + (py - centre.y) * (py - centre.y) <= radius * radius;
           },
           colour);
  }

  void Triangle(Point a, Point b, Point c, Rgb colour) {
    const auto side = [](Point p, Point q, double x, double y) { return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x); };
    ForBox(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}),
           [&](double px, double py) {
             const double s1 = side(a, b, px, py), s2 = side(b, c, px, py), s3 = side(c, a, px, py);
             return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
           },
           colour);
  }

 private:
  void PaintMap(const Raster& map) {
    const bool grid = scale_ >= 6;
    for (std::int32_t y = 0; y < image_.height(); ++y) {
      const std::int64_t cy = y / scale_ + minY_;
      for (std::int32_t x = 0; x < image_.width(); ++x) {
        const std::int64_t cx = x / scale_ + minX_;
        Rgb colour;
        if (map.Contains(cx, cy)) {
          colour = map.At(static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy));
        } else {
          colour = ((x + y) / 3) % 4 == 0 ? kHatch : kOutside;
        }
        if (grid && (x % scale_ == 0 || y % scale_ == 0)) colour = Mix(colour, kGrid, 0.25);
        image_.Set(x, y, colour);
      }
    }
  }

  void Blend(std::int64_t x, std::int64_t y, Rgb colour, double alpha) {
    if (!image_.Contains(x, y)) return;
    const auto ix = static_cast<std::int32_t>(x);
    const auto iy = static_cast<std::int32_t>(y);
    image_.Set(ix, iy, Mix(image_.At(ix, iy), colour, alpha));
  }

  template <typename Inside>
  void ForBox(double x0, double y0, double x1, double y1, Inside inside, Rgb colour) {
    const auto first = [](double v) { return static_cast<std::int64_t>(std::floor(v)); };
    const std::int64_t left = std::max<std::int64_t>(0, first(x0));
    const std::int64_t top = std::max<std::int64_t>(0, first(y0));
    const std::int64_t right = std::min<std::int64_t>(image_.width() - 1, first(x1));
    const std::int64_t bottom = std::min<std::int64_t>(image_.height() - 1, first(y1));
    for (std::int64_t y = top; y <= bottom; ++y)
      for (std::int64_t x = left; x <= right; ++x)
        if (inside(static_cast<double>(x) + 0.5, static_cast<double>(y) + 0.5)) image_.Plot(x, y, colour);
  }

  std::int64_t minX_ = 0;
  std::int64_t minY_ = 0;
  std::int64_t scale_ = 1;
  Raster image_;
};

// A round marker with a light rim, a little larger than its cell so it stands out.
void Marker(Canvas& canvas, Cell c, Rgb colour) {
  if (!canvas.Shows(c)) return;
  const double radius = std::max(3.0, canvas.scale() * 0.6);
  canvas.Disc(canvas.Centre(c), radius + std::max(1.0, canvas.scale() / 10), kOutline);
  canvas.Disc(canvas.Centre(c), radius, colour);
}

void Arrow(Canvas& canvas, Point from, Point to, Rgb colour) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length <= 0) return;
  const double ux = dx / length, uy = dy / length;
  const double head = std::max(3.0, canvas.scale() * 0.45);
  const double half = std::max(0.75, canvas.scale() / 10);
  const Point base{to.x - ux * head, to.y - uy * head};
  canvas.Line(from, base, half, colour);
  canvas.Triangle(to, {base.x - uy * head * 0.6, base.y + ux * head * 0.6},
                  {base.x + uy * head * 0.6, base.y - ux * head * 0.6}, colour);
}

}  // namespace

Raster DrawPath(const Raster& map, const PathReport& report, std::int32_t scale, std::vector<std::string>& warnings) {
  std::vector<Cell> marks = report.cells;
  marks.push_back(report.start);
  marks.push_back(report.goal);
  Canvas canvas(map, marks, scale, warnings);
  for (const Cell& c : report.cells) canvas.TintCell(c, kPathFill, 0.55);
  const double half = std::max(0.75, canvas.scale() / 8);
  for (std::size_t i = 1; i < report.cells.size(); ++i) {
    if (canvas.Shows(report.cells[i - 1]) && canvas.Shows(report.cells[i]))
      canvas.Line(canvas.Centre(report.cells[i - 1]), canvas.Centre(report.cells[i]), half, kPathLine);
  }
  Marker(canvas, report.start, kStart);
  Marker(canvas, report.goal, kGoal);
  return canvas.Take();
}

Raster DrawOre(const Raster& map, const OreReport& report, std::int32_t scale, std::vector<std::string>& warnings) {
  std::vector<Cell> marks{report.start};
  Cell ore;
  if (report.hit) {
    const Direction* d = FindDirection(report.hit->direction);
    ore = {report.hit->cell.x + d->dx, report.hit->cell.y + d->dy};
    marks.push_back(report.hit->cell);
    marks.push_back(ore);
  }
  Canvas canvas(map, marks, scale, warnings);
  if (report.hit) {
    canvas.TintCell(report.hit->cell, kOreCell, 0.8);
    canvas.OutlineCell(ore, kOreMark, std::max(1.0, canvas.scale() / 8));
  }
  Marker(canvas, report.start, kStart);
  if (report.hit && canvas.Shows(report.hit->cell) && canvas.Shows(ore))
    Arrow(canvas, canvas.Centre(report.hit->cell), canvas.Centre(ore), kOreMark);
  return canvas.Take();
}

}  // namespace gstool

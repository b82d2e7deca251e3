// The rasterizer's spans, polygons, lines, pen dots and ellipses.
#include "platform/gdi/raster.h"

#include <algorithm>
#include <cmath>

namespace portable_win32 {

namespace {

typedef __int128 Wide;

int64_t floor_div(Wide num, Wide den) {
    // Most operands fit in 64 bits, where division is a single instruction
    // instead of a call into the 128-bit division routine.
    if (num > INT64_MIN && num <= INT64_MAX && den > INT64_MIN && den <= INT64_MAX) {
        const int64_t n = static_cast<int64_t>(num), d = static_cast<int64_t>(den);
        int64_t q = n / d;
        if ((n % d != 0) && ((n < 0) != (d < 0))) {
            q--;
        }
        return q;
    }
    Wide q = num / den;
    if ((num % den != 0) && ((num < 0) != (den < 0))) {
        q--;
    }
    return static_cast<int64_t>(q);
}

// The floor of num / den for den > 0, in 128 bits or, where the caller
// knows every value fits, in 64.
template <class Int> Int floor_div_positive(Int num, Int den) {
    Int q = num / den;
    if (num % den != 0 && num < 0) {
        q--;
    }
    return q;
}

// Shapes whose coordinates all lie within this bound keep their edge and
// line stepping in 64 bits (no product or sum there can overflow), which
// costs half the instructions per row or pixel of 128 bits.
const int64_t NARROW_LIMIT = int64_t(1) << 29;

bool narrow(const Point64 *points, std::size_t n) {
    for (std::size_t i = 0; i < n; i++) {
        if (points[i].x <= -NARROW_LIMIT || points[i].x >= NARROW_LIMIT ||
            points[i].y <= -NARROW_LIMIT || points[i].y >= NARROW_LIMIT) {
            return false;
        }
    }
    return true;
}

int64_t round_half_up(double v) {
    return static_cast<int64_t>(std::floor(v + 0.5));
}

// Boxes wider or higher than this are not walked point by point.
const int64_t WALK_LIMIT = 1 << 16;

// Walks the first quadrant of an ellipse of the given box size, calling
// visit(x, y) for each integer point of its outline relative to the box's
// top-left corner: x from the right edge inwards, y from the middle row
// downwards (Zingl's algorithm). x never grows along the walk, so the first
// point of each row is its outermost one. Nothing is stored: the shapes
// that only paint the points need no memory at all.
template <class Visit> void walk_quadrant(int64_t width, int64_t height, Visit visit) {
    const int64_t a = width - 1;
    const int64_t b = height - 1;
    const int64_t asq = 8 * a * a;
    const int64_t bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a);
    int64_t dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    int64_t x = a;
    int64_t y = height / 2;
    while (x >= width / 2) {
        const int64_t e2 = 2 * err;
        visit(x, y);
        if (e2 >= dx) {
            x--;
            dx += bsq;
            err += dx;
        }
        if (e2 <= dy) {
            y++;
            dy += asq;
            err += dy;
        }
    }
}

// Walks the rows of a filled ellipse of a box small enough to walk, calling
// row(y, x0, x1) with [x0, x1) relative to the box's top-left corner: each
// row of the lower half spans from the mirror of its outermost outline point
// to that point, and the upper half mirrors the lower. Rows that the outline
// never reaches are empty and not visited.
template <class Row> void walk_ellipse_rows(int64_t width, int64_t height, Row row) {
    const int64_t a = width - 1;
    const int64_t b = height - 1;
    int64_t last_y = -1;
    walk_quadrant(width, height, [&](int64_t x, int64_t y) {
        if (y == last_y) {
            return; // an inner point of a row already visited
        }
        last_y = y;
        row(y, a - x, x + 1);
        if (b - y != y) {
            row(b - y, a - x, x + 1);
        }
    });
}

// For a box too large to walk, the half-width of the ellipse at row y
// (relative to the top), from the continuous ellipse through the same
// extreme pixels.
int64_t analytic_half_span(int64_t width, int64_t height, int64_t row) {
    const long double a = (width - 1) / 2.0L;
    const long double b = (height - 1) / 2.0L;
    const long double dy = row - b;
    const long double t = 1.0L - (dy * dy) / (b * b);
    if (t <= 0) {
        return 0;
    }
    return static_cast<int64_t>(std::floor(a * std::sqrt(t) + 0.5L));
}

// The pixels [x0, x1) of one row of an ellipse too large to walk, for a box
// starting at column `left`.
void analytic_row(int64_t left, int64_t width, int64_t height, int64_t row, int64_t *x0,
                  int64_t *x1) {
    const int64_t half = analytic_half_span(width, height, row);
    const int64_t centre2 = 2 * left + width - 1; // twice the centre column
    *x0 = floor_div(centre2 - 2 * half + 1, 2);
    *x1 = floor_div(centre2 + 2 * half, 2) + 1;
}

// The rows of a filled ellipse of a box small enough to walk, as [x0, x1)
// relative to the box's left edge; an empty row is [0, 0).
std::vector<std::pair<int64_t, int64_t>> ellipse_rows(int64_t width, int64_t height) {
    std::vector<std::pair<int64_t, int64_t>> rows(static_cast<std::size_t>(height), {0, 0});
    walk_ellipse_rows(width, height, [&](int64_t y, int64_t x0, int64_t x1) {
        rows[y] = {x0, x1};
    });
    return rows;
}

} // namespace

void SpanWriter::box(int64_t y0, int64_t y1, int64_t x0, int64_t x1) const {
    y0 = std::max<int64_t>(y0, 0);
    y1 = std::min<int64_t>(y1, t_.height);
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, t_.width);
    if (y0 >= y1 || x0 >= x1) {
        return;
    }
    const int64_t rows = y1 - y0, run = x1 - x0;
    uint32_t *const first = t_.pixels + y0 * t_.width + x0;
    if (run == t_.width) {
        // Rows as wide as the target follow one another in memory.
        fill_pixels(first, rows * t_.width, pixel_);
        return;
    }
    for (int64_t y = 0; y < rows; y++) {
        fill_pixels(first + y * t_.width, run, pixel_);
    }
}

namespace {

template <class Int>
void fill_polygon_in(const SpanWriter &out, const Point64 *points, std::size_t n, bool winding) {
    int64_t ymin = points[0].y, ymax = points[0].y;
    for (std::size_t i = 0; i < n; i++) {
        ymin = std::min(ymin, points[i].y);
        ymax = std::max(ymax, points[i].y);
    }
    ymin = std::max<int64_t>(ymin, 0);
    ymax = std::min<int64_t>(ymax, out.height());
    // Both fields are 8 bytes: a crossing is stored field by field and read
    // back whole by the sort, and a read that spans a narrower store stalls.
    struct Crossing {
        int64_t x;
        int64_t direction;
    };
    // An edge crosses row y at ceil(num / den), with
    // num = top.x * den + (y - top.y) * (bottom.x - top.x). Each edge keeps
    // that as a floor quotient and remainder, divided once on its first row
    // and advanced by additions on the rows after it. Horizontal edges cross
    // no row and are left out.
    struct Edge {
        Point64 top, bottom;
        int64_t direction; // 1 where the path runs downwards, -1 upwards
        bool started;
        Int q, r, q_step, r_step;
    };
    // Scratch space kept from call to call (see SCRATCH_KEPT), so that a
    // polygon costs no allocation once one as large has been filled.
    static std::vector<Edge> edges;
    static std::vector<Crossing> crossings;
    edges.clear();
    for (std::size_t i = 0; i < n; i++) {
        const Point64 &p = points[i];
        const Point64 &q = points[i + 1 == n ? 0 : i + 1];
        if (p.y != q.y) {
            edges.push_back(
                {p.y < q.y ? p : q, p.y < q.y ? q : p, q.y > p.y ? 1 : -1, false, 0, 0, 0, 0});
        }
    }
    for (int64_t y = ymin; y < ymax; y++) {
        crossings.clear();
        for (Edge &e : edges) {
            if (y < e.top.y || y >= e.bottom.y) {
                continue;
            }
            const Int den = e.bottom.y - e.top.y;
            if (!e.started) {
                const Int num = static_cast<Int>(e.top.x) * den +
                                static_cast<Int>(y - e.top.y) * (e.bottom.x - e.top.x);
                e.q = floor_div_positive(num, den);
                e.r = num - e.q * den;
                const Int increment = static_cast<Int>(e.bottom.x) - e.top.x;
                e.q_step = floor_div_positive(increment, den);
                e.r_step = increment - e.q_step * den;
                e.started = true;
            } else {
                e.q += e.q_step;
                e.r += e.r_step;
                if (e.r >= den) {
                    e.r -= den;
                    e.q++;
                }
            }
            crossings.push_back({static_cast<int64_t>(e.q + (e.r > 0 ? 1 : 0)), e.direction});
        }
        // Insertion sort: a row has few crossings (two for a convex shape).
        // Crossings at one x may come in any order: the span between them is
        // empty and the winding count after them is the same.
        for (std::size_t i = 1; i < crossings.size(); i++) {
            const Crossing c = crossings[i];
            std::size_t j = i;
            for (; j > 0 && crossings[j - 1].x > c.x; j--) {
                crossings[j] = crossings[j - 1];
            }
            crossings[j] = c;
        }
        int64_t count = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); i++) {
            count = winding ? count + crossings[i].direction : count + 1;
            const bool inside = winding ? count != 0 : (count % 2) == 1;
            if (inside) {
                out.span(y, crossings[i].x, crossings[i + 1].x);
            }
        }
    }
    // The space of an exceptionally large polygon is given back.
    if (edges.capacity() > SCRATCH_KEPT) {
        edges = std::vector<Edge>();
        crossings = std::vector<Crossing>();
    }
}

} // namespace

void fill_polygon(const SpanWriter &out, const Point64 *points, std::size_t n, bool winding) {
    if (n < 3) {
        return;
    }
    if (narrow(points, n)) {
        fill_polygon_in<int64_t>(out, points, n, winding);
    } else {
        fill_polygon_in<Wide>(out, points, n, winding);
    }
}

namespace {

// Steps lo to hi of a one-pixel line (see thin_line), with the rounding
// carried in Int.
template <class Int>
void line_steps(const SpanWriter &out, bool x_major, int64_t major_start, int64_t major_sign,
                int64_t minor_start, int64_t minor_delta, int64_t steps, int64_t lo, int64_t hi) {
    // Nearest pixel; an exact half goes to the smaller coordinate, whichever
    // way the line runs: the minor offset of step i is
    // ceil((2 * minor_delta * i - steps) / (2 * steps)). It is kept as a
    // quotient and remainder that each step advances by one addition, so
    // only the first step divides.
    const Int den = static_cast<Int>(2) * steps;
    const Int first = static_cast<Int>(2) * minor_delta * lo - steps;
    Int q = floor_div_positive(first, den);
    Int r = first - q * den; // 0 <= r < den
    const Int increment = static_cast<Int>(2) * minor_delta;
    const Int q_step = floor_div_positive(increment, den);
    const Int r_step = increment - q_step * den;
    // Along a mostly horizontal line, the pixels of one row are painted as
    // one span.
    int64_t run_minor = 0, run_first = 0, run_last = 0;
    bool in_run = false;
    for (int64_t i = lo; i <= hi; i++) {
        const int64_t major = major_start + major_sign * i;
        const int64_t minor = minor_start + static_cast<int64_t>(q + (r > 0 ? 1 : 0));
        q += q_step;
        r += r_step;
        if (r >= den) {
            r -= den;
            q++;
        }
        if (!x_major) {
            out.pixel(minor, major);
            continue;
        }
        if (in_run && minor == run_minor) {
            run_last = major;
            continue;
        }
        if (in_run) {
            out.span(run_minor, std::min(run_first, run_last), std::max(run_first, run_last) + 1);
        }
        in_run = true;
        run_minor = minor;
        run_first = run_last = major;
    }
    if (in_run) {
        out.span(run_minor, std::min(run_first, run_last), std::max(run_first, run_last) + 1);
    }
}

} // namespace

void thin_line(const SpanWriter &out, Point64 from, Point64 to) {
    const int64_t dx = to.x - from.x;
    const int64_t dy = to.y - from.y;
    const int64_t adx = dx < 0 ? -dx : dx;
    const int64_t ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) {
        return;
    }
    // Step along the major axis; the minor coordinate of step i is the line's
    // value rounded to the nearest pixel. Only the steps whose major
    // coordinate is on the target are visited.
    const bool x_major = adx >= ady;
    const int64_t steps = x_major ? adx : ady;
    const int64_t major_start = x_major ? from.x : from.y;
    const int64_t major_sign = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int64_t minor_start = x_major ? from.y : from.x;
    const int64_t minor_delta = x_major ? dy : dx;
    const int64_t limit = x_major ? out.width() : out.height();
    // Steps i in [0, steps) with 0 <= major_start + sign * i < limit.
    int64_t lo, hi;
    if (major_sign > 0) {
        lo = -major_start;
        hi = limit - 1 - major_start;
    } else {
        lo = major_start - (limit - 1);
        hi = major_start;
    }
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, steps - 1);
    if (lo > hi) {
        return;
    }
    if (minor_delta == 0) {
        // A horizontal or vertical line: every step has the start's minor
        // coordinate (the rounding below gives ceil(-1/2) = 0).
        const int64_t a = major_start + major_sign * lo, b = major_start + major_sign * hi;
        if (x_major) {
            out.span(minor_start, std::min(a, b), std::max(a, b) + 1);
        } else {
            out.column(minor_start, std::min(a, b), std::max(a, b) + 1);
        }
        return;
    }
    if (narrow(&from, 1) && narrow(&to, 1)) {
        line_steps<int64_t>(out, x_major, major_start, major_sign, minor_start, minor_delta, steps,
                            lo, hi);
    } else {
        line_steps<Wide>(out, x_major, major_start, major_sign, minor_start, minor_delta, steps, lo,
                         hi);
    }
}

PenDot::PenDot(int width) : width_(width < 1 ? 1 : width) {
    if (width_ <= 2) {
        rows_.assign(static_cast<std::size_t>(width_), {0, width_});
    } else if (width_ <= WALK_LIMIT) {
        rows_ = ellipse_rows(width_, width_);
    }
}

void PenDot::stamp(const SpanWriter &out, Point64 at) const {
    const int64_t left = at.x - width_ / 2;
    const int64_t top = at.y - width_ / 2;
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t y1 = std::min<int64_t>(top + width_, out.height());
    for (int64_t y = y0; y < y1; y++) {
        int64_t x0, x1;
        if (rows_.empty()) {
            analytic_row(left, width_, width_, y - top, &x0, &x1);
        } else {
            x0 = left + rows_[y - top].first;
            x1 = left + rows_[y - top].second;
        }
        out.span(y, x0, x1);
    }
}

void wide_line(const SpanWriter &out, Point64 from, Point64 to, const PenDot &dot) {
    const int width = dot.width();
    dot.stamp(out, from);
    dot.stamp(out, to);
    // The band does not depend on the direction: take it top to bottom.
    if (to.y < from.y) {
        std::swap(from, to);
    }
    const int64_t dx = to.x - from.x;
    const int64_t dy = to.y - from.y;
    if (dx == 0 && dy == 0) {
        return;
    }
    if (dy == 0) {
        const int64_t top = from.y - width / 2;
        const int64_t y1 = std::min<int64_t>(top + width, out.height());
        for (int64_t y = std::max<int64_t>(top, 0); y < y1; y++) {
            out.span(y, std::min(from.x, to.x), std::max(from.x, to.x));
        }
        return;
    }
    if (dx == 0) {
        const int64_t left = from.x - width / 2;
        const int64_t y0 = std::min(from.y, to.y), y1 = std::max(from.y, to.y);
        for (int64_t y = std::max<int64_t>(y0, 0); y < std::min<int64_t>(y1, out.height()); y++) {
            out.span(y, left, left + width);
        }
        return;
    }
    const double length = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
    const double width_x = width * std::fabs(static_cast<double>(dy)) / length;
    const double width_y = width * std::fabs(static_cast<double>(dx)) / length;
    Point64 narrow{round_half_up(width_x / 2), round_half_up(width_y / 2)};
    Point64 wide{round_half_up((width_x + 1) / 2), round_half_up((width_y + 1) / 2)};
    if (dx < 0) {
        wide.y = -wide.y;
        narrow.y = -narrow.y;
    }
    if (dy < 0) {
        narrow.x = -narrow.x;
        wide.x = -wide.x;
    }
    const Point64 band[] = {{from.x + wide.x, from.y - wide.y},
                            {from.x - narrow.x, from.y + narrow.y},
                            {to.x - narrow.x, to.y + narrow.y},
                            {to.x + wide.x, to.y - wide.y}};
    fill_polygon(out, band, 4, true);
}

void fill_ellipse(const SpanWriter &out, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const int64_t width = right - left;
    const int64_t height = bottom - top;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (width <= WALK_LIMIT && height <= WALK_LIMIT) {
        walk_ellipse_rows(width, height, [&](int64_t y, int64_t x0, int64_t x1) {
            out.span(top + y, left + x0, left + x1);
        });
        return;
    }
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, out.height());
    for (int64_t y = y0; y < y1; y++) {
        int64_t x0, x1;
        analytic_row(left, width, height, y - top, &x0, &x1);
        out.span(y, x0, x1);
    }
}

void ellipse_outline(const SpanWriter &out, int64_t left, int64_t top, int64_t right,
                     int64_t bottom, int pen_width) {
    const int64_t width = right - left;
    const int64_t height = bottom - top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const int64_t a = width - 1;
    const int64_t b = height - 1;
    if (width > WALK_LIMIT || height > WALK_LIMIT) {
        // Too large to walk: the ring between the filled ellipse and the one
        // inside it by the pen's width.
        const int w = pen_width < 1 ? 1 : pen_width;
        const int64_t y0 = std::max<int64_t>(top - w, 0);
        const int64_t y1 = std::min<int64_t>(bottom + w, out.height());
        const int64_t grow = w / 2, shrink = w - w / 2;
        const int64_t ow = width + 2 * grow, oh = height + 2 * grow;
        const int64_t iw = width - 2 * shrink, ih = height - 2 * shrink;
        for (int64_t y = y0; y < y1; y++) {
            const int64_t outer_row = y - (top - grow);
            if (outer_row < 0 || outer_row >= oh) {
                continue;
            }
            int64_t ox0, ox1, ix0, ix1;
            analytic_row(left - grow, ow, oh, outer_row, &ox0, &ox1);
            const int64_t inner_row = y - (top + shrink);
            if (iw <= 0 || ih <= 0 || inner_row < 0 || inner_row >= ih) {
                out.span(y, ox0, ox1);
                continue;
            }
            analytic_row(left + shrink, iw, ih, inner_row, &ix0, &ix1);
            out.span(y, ox0, ix0);
            out.span(y, ix1, ox1);
        }
        return;
    }
    if (pen_width <= 1) {
        // Each point of the quadrant and its three mirrors.
        walk_quadrant(width, height, [&](int64_t x, int64_t y) {
            out.pixel(left + x, top + y);
            out.pixel(left + a - x, top + y);
            out.pixel(left + a - x, top + b - y);
            out.pixel(left + x, top + b - y);
        });
        return;
    }
    // The closed path through all four quadrants, in order around the curve.
    std::vector<Point64> q;
    walk_quadrant(width, height, [&](int64_t x, int64_t y) { q.push_back({x, y}); });
    std::vector<Point64> path;
    for (const Point64 &p : q) {
        path.push_back({left + p.x, top + p.y});
    }
    for (auto it = q.rbegin(); it != q.rend(); ++it) {
        path.push_back({left + a - it->x, top + it->y});
    }
    for (const Point64 &p : q) {
        path.push_back({left + a - p.x, top + b - p.y});
    }
    for (auto it = q.rbegin(); it != q.rend(); ++it) {
        path.push_back({left + it->x, top + b - it->y});
    }
    const PenDot dot(pen_width);
    for (std::size_t i = 0; i < path.size(); i++) {
        wide_line(out, path[i], path[(i + 1) % path.size()], dot);
    }
}

} // namespace portable_win32

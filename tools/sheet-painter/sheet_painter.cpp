// sheet-painter: paints the intro's graphics sheet, a 640x400 8-bit palette bitmap, from two
// fonts (one for the three glyph sets, one for the word-mark and the icon letter) and a few
// shaded shapes, plus a 2x PNG preview and the program icon.
// The output depends only on the font files and this code: every run writes the same bytes.
//
//   sheet-painter [--font FILE] [--mark-font FILE] [--bmp OUT.bmp] [--png OUT.png] [--ico OUT.ico]
//
// Sheet layout (rectangles left, top, right, bottom; right and bottom exclusive):
//   font A        (0, 0, 320, 192)     10x6 cells of 32x32, characters 32..91, gold
//   font B        (320, 0, 640, 192)   same layout, blue
//   logo          (0, 194, 534, 288)   "QRX" word-mark (second font), metallic grey
//   red ball      (544, 192, 580, 228) shaded sphere, 33 px across
//   signature tag (576, 256, 640, 264) small pixel lettering
//   scroller font (0, 288, 640, 384)   20x3 cells, metallic grey; the "[" cell is a silver ball
//   border strip  (0, 384, 640, 400)   bevelled dark blue band on strip rows 2..10
// Palette index 0 is black, the transparent colour; every other entry stays clearly away
// from black so that no shape pixel turns into the colour key in 16-bit RGB565.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kCell = 32;
constexpr int kSuper = 4; // supersampling factor of glyph masks

uint8_t g_pixels[kHeight][kWidth];
uint8_t g_palette[256][3];
int g_paletteUsed = 1; // entry 0 is black

struct Rgb {
    double r, g, b;
};

struct Stop {
    double t;
    Rgb c;
};

// A run of palette entries from dark (t = 0) to bright (t = 1).
struct Ramp {
    int first = 0, count = 0;
};

Rgb Lerp(const Rgb& a, const Rgb& b, double f) {
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

Rgb Gradient(const std::vector<Stop>& stops, double t) {
    if (t <= stops.front().t) return stops.front().c;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].t)
            return Lerp(stops[i - 1].c, stops[i].c,
                        (t - stops[i - 1].t) / (stops[i].t - stops[i - 1].t));
    return stops.back().c;
}

uint8_t Channel(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

int AddColour(const Rgb& c) {
    if (g_paletteUsed >= 256) {
        std::fprintf(stderr, "sheet-painter: palette full\n");
        std::exit(1);
    }
    g_palette[g_paletteUsed][0] = Channel(c.r);
    g_palette[g_paletteUsed][1] = Channel(c.g);
    g_palette[g_paletteUsed][2] = Channel(c.b);
    return g_paletteUsed++;
}

Ramp MakeRamp(int count, const std::vector<Stop>& stops) {
    Ramp ramp{g_paletteUsed, count};
    for (int i = 0; i < count; ++i)
        AddColour(Gradient(stops, i / double(count - 1)));
    return ramp;
}

int RampIndex(const Ramp& ramp, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return ramp.first + static_cast<int>(std::lround(t * (ramp.count - 1)));
}

double Smooth(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

struct Vec {
    double x, y, z;
};

Vec Normalise(Vec v) {
    double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / len, v.y / len, v.z / len};
}

double Dot(const Vec& a, const Vec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Light from the upper left, in screen axes (x right, y down, z towards the viewer).
const Vec kLight = Normalise({-0.55, -0.75, 0.9});
const Vec kGlint = Normalise({-1.0, -1.2, 0.35});

// ---------------------------------------------------------------------------------------------
// Glyph masks: outlines rasterised by FreeType's antialiasing renderer at kSuper times the
// target size.

struct Mask {
    int w = 0, h = 0; // in target pixels; the gray buffer is kSuper times larger each way
    std::vector<uint8_t> gray;
    uint8_t At(int sx, int sy) const {
        if (sx < 0 || sy < 0 || sx >= w * kSuper || sy >= h * kSuper) return 0;
        return gray[size_t(sy) * w * kSuper + sx];
    }
};

FT_Library g_ft;
FT_Face g_face;     // the sheet's fonts and logo
FT_Face g_markFace; // the word-mark and the icon letter: a compact, classic "Q"

struct Outline {
    FT_Outline* src = nullptr;
    FT_BBox box{};
};

Outline LoadOutline(char ch, FT_Face face = g_face) {
    FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(ch));
    if (index == 0 ||
        FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        std::fprintf(stderr, "sheet-painter: the font has no outline for '%c'\n", ch);
        std::exit(1);
    }
    Outline o;
    o.src = &face->glyph->outline;
    FT_Outline_Get_BBox(o.src, &o.box);
    return o;
}

// Font units to target pixels: x' = (x - box.xMin) * sx + ox, y' = (y - box.yMin) * sy + oy,
// with y' measured upwards from the bottom of the mask.
struct Placement {
    double sx, sy, ox, oy;
    double embolden = 0; // strokes thickened by this many pixels in all (half on each side)
};

void RasteriseInto(Mask& mask, const Outline& o, const Placement& p) {
    FT_Outline copy;
    if (FT_Outline_New(g_ft, o.src->n_points, o.src->n_contours, &copy) ||
        FT_Outline_Copy(o.src, &copy)) {
        std::fprintf(stderr, "sheet-painter: outline copy failed\n");
        std::exit(1);
    }
    const double unit = 64.0 * kSuper;
    for (int i = 0; i < copy.n_points; ++i) {
        double x = ((o.src->points[i].x - o.box.xMin) * p.sx + p.ox) * unit;
        double y = ((o.src->points[i].y - o.box.yMin) * p.sy + p.oy) * unit;
        copy.points[i].x = static_cast<FT_Pos>(std::lround(x));
        copy.points[i].y = static_cast<FT_Pos>(std::lround(y));
    }
    if (p.embolden > 0 && FT_Outline_Embolden(&copy, static_cast<FT_Pos>(p.embolden * unit))) {
        std::fprintf(stderr, "sheet-painter: emboldening failed\n");
        std::exit(1);
    }
    // Render into a scratch buffer, then add (saturating) into the mask so that several
    // outlines can share one mask.
    std::vector<uint8_t> scratch(mask.gray.size(), 0);
    FT_Bitmap bitmap;
    bitmap.rows = static_cast<unsigned>(mask.h * kSuper);
    bitmap.width = static_cast<unsigned>(mask.w * kSuper);
    bitmap.pitch = mask.w * kSuper;
    bitmap.buffer = scratch.data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    bitmap.palette_mode = 0;
    bitmap.palette = nullptr;
    if (FT_Outline_Get_Bitmap(g_ft, &copy, &bitmap)) {
        std::fprintf(stderr, "sheet-painter: rasterising failed\n");
        std::exit(1);
    }
    FT_Outline_Done(g_ft, &copy);
    for (size_t i = 0; i < scratch.size(); ++i)
        mask.gray[i] = static_cast<uint8_t>(std::min(255, mask.gray[i] + scratch[i]));
}

Mask NewMask(int w, int h) {
    Mask m;
    m.w = w;
    m.h = h;
    m.gray.assign(size_t(w) * kSuper * h * kSuper, 0);
    return m;
}

bool IsAlnum(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
}

// Letters and digits fill the cell's height exactly; other signs keep the capital scale and
// sit on the baseline (the cell's bottom), moved or shrunk only as far as needed to stay
// inside. Everything is widened a little for heavy demo capitals, but never beyond the
// cell, and centred across it.
Mask GlyphMask(char ch) {
    const double widen = 1.08;
    Outline cap = LoadOutline('H');
    const double capScale = double(kCell) / (cap.box.yMax - cap.box.yMin);
    Outline o = LoadOutline(ch);
    const double bw = double(o.box.xMax - o.box.xMin), bh = double(o.box.yMax - o.box.yMin);
    Placement p{};
    if (IsAlnum(ch)) {
        p.sy = kCell / bh;
        p.oy = 0;
    } else {
        p.sy = capScale;
        if (bh * p.sy > kCell) p.sy = kCell / bh;
        double bottom = o.box.yMin * p.sy, top = o.box.yMax * p.sy;
        if (bottom < 0) top -= bottom, bottom = 0;
        if (top > kCell) bottom -= top - kCell;
        p.oy = bottom;
    }
    // Only the widest letter takes the whole cell; the others keep about a pixel clear on each
    // side, so that neighbouring letters of a line stay apart.
    const double widest = ch == 'W' ? kCell : ch == 'M' ? kCell - 1 : kCell - 2;
    p.sx = p.sy * widen;
    if (bw * p.sx > widest) p.sx = widest / bw;
    p.ox = (kCell - bw * p.sx) / 2;
    Mask m = NewMask(kCell, kCell);
    RasteriseInto(m, o, p);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Bevelled shading of a mask: a height field rises from the outline over `bevel` pixels; its
// slopes catch the light (white glints on the upper left edges, shade on the lower right)
// while the flat face follows the material's vertical profile.

struct Look {
    Ramp ramp;
    double bevel;                // width of the bevel in pixels
    double (*profile)(double v); // face brightness by height in the shape, v = 0 at the top
};

void Paint(const Mask& m, int x0, int y0, const Look& look) {
    const int sw = m.w * kSuper, sh = m.h * kSuper;
    // Chamfer distance to the outside, in subpixels.
    std::vector<double> d(size_t(sw) * sh);
    const double big = 1e9, diag = std::sqrt(2.0);
    auto at = [&](int x, int y) -> double& { return d[size_t(y) * sw + x]; };
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            at(x, y) = m.At(x, y) >= 128 ? big : 0;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            double& v = at(x, y);
            if (v == 0) continue;
            double best = v;
            best = std::min(best, (x > 0 ? at(x - 1, y) : 0) + 1);
            best = std::min(best, (y > 0 ? at(x, y - 1) : 0) + 1);
            best = std::min(best, (x > 0 && y > 0 ? at(x - 1, y - 1) : 0) + diag);
            best = std::min(best, (x + 1 < sw && y > 0 ? at(x + 1, y - 1) : 0) + diag);
            v = best;
        }
    for (int y = sh - 1; y >= 0; --y)
        for (int x = sw - 1; x >= 0; --x) {
            double& v = at(x, y);
            if (v == 0) continue;
            double best = v;
            best = std::min(best, (x + 1 < sw ? at(x + 1, y) : 0) + 1);
            best = std::min(best, (y + 1 < sh ? at(x, y + 1) : 0) + 1);
            best = std::min(best, (x + 1 < sw && y + 1 < sh ? at(x + 1, y + 1) : 0) + diag);
            best = std::min(best, (x > 0 && y + 1 < sh ? at(x - 1, y + 1) : 0) + diag);
            v = best;
        }
    auto height = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= sw || y >= sh) return 0.0;
        return Smooth(at(x, y) / kSuper / look.bevel);
    };
    for (int py = 0; py < m.h; ++py)
        for (int px = 0; px < m.w; ++px) {
            double cover = 0, shadeSum = 0, weight = 0;
            for (int sy = py * kSuper; sy < (py + 1) * kSuper; ++sy)
                for (int sx = px * kSuper; sx < (px + 1) * kSuper; ++sx) {
                    double g = m.At(sx, sy) / 255.0;
                    cover += g;
                    if (g <= 0) continue;
                    double dhx = (height(sx + 1, sy) - height(sx - 1, sy)) * kSuper / 2;
                    double dhy = (height(sx, sy + 1) - height(sx, sy - 1)) * kSuper / 2;
                    Vec n = Normalise({-dhx * look.bevel, -dhy * look.bevel, 1});
                    double diffuse = std::max(0.0, Dot(n, kLight)) / kLight.z;
                    double glint = std::pow(std::max(0.0, Dot(n, kGlint)), 4);
                    double v = (sy + 0.5) / sh;
                    double t = look.profile(v) * (0.3 + 0.7 * diffuse) + 1.6 * glint;
                    shadeSum += g * std::min(t, 1.0);
                    weight += g;
                }
            cover /= kSuper * kSuper;
            if (cover < 0.12 || weight <= 0) continue;
            double t = shadeSum / weight * std::min(1.0, cover * 1.15);
            g_pixels[y0 + py][x0 + px] = static_cast<uint8_t>(RampIndex(look.ramp, t));
        }
}

// A polished face: bright sky above a sharp dark horizon at the middle, the bright ground
// below it fading towards the bottom.
double ChromeProfile(double v) {
    if (v < 0.5) return 1.0 - 0.72 * std::pow(v / 0.5, 1.6);
    return 0.86 - 0.5 * ((v - 0.5) / 0.5);
}

// Cast metal: a softer fall from top to bottom with a faint band.
double MetalProfile(double v) {
    if (v < 0.5) return 0.94 - 0.48 * (v / 0.5);
    return 0.74 - 0.4 * ((v - 0.5) / 0.5);
}

// ---------------------------------------------------------------------------------------------
// Fonts

// Characters 32..91 that carry a glyph in each font.
const char* const kFontAGlyphs = "!\"%'()+,-.0123456789:;=?ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kFontBGlyphs = "!\"'()+,-.0123456789:;=?ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kScrollGlyphs = "!\"'()+,-./0123456789:<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ";

void PaintFont(const char* glyphs, int columns, int x0, int y0, const Look& look) {
    for (const char* p = glyphs; *p; ++p) {
        int n = *p - 32;
        Paint(GlyphMask(*p), x0 + kCell * (n % columns), y0 + kCell * (n / columns), look);
    }
}

// The word-mark: "QRX" stretched wide across the logo rectangle.
void PaintLogo(const Look& look) {
    const int w = 534, h = 94, x0 = 0, y0 = 194;
    const char* word = "QRX";
    // Strokes are thickened by `bold` pixels; margin, gap and height are those of the plain
    // outlines, so the thickened letters reach 3 pixels from the left and right edges.
    const double bold = 4, margin = 3 + bold / 2, gap = 8 + bold, height = 90 - bold;
    double total = 0;
    double sy[3];
    Mask m = NewMask(w, h);
    for (int i = 0; i < 3; ++i) {
        Outline o = LoadOutline(word[i], g_markFace);
        sy[i] = height / double(o.box.yMax - o.box.yMin);
        total += (o.box.xMax - o.box.xMin) * sy[i];
    }
    double stretch = (w - 2 * margin - 2 * gap) / total;
    double x = margin;
    for (int i = 0; i < 3; ++i) {
        Outline o = LoadOutline(word[i], g_markFace);
        Placement p{sy[i] * stretch, sy[i], x, (h - height) / 2, bold};
        RasteriseInto(m, o, p);
        x += (o.box.xMax - o.box.xMin) * p.sx + gap;
    }
    Paint(m, x0, y0, look);
}

// ---------------------------------------------------------------------------------------------
// Balls: spheres sampled 8x8 per pixel.

enum class BallKind { Red, Silver };

void PaintBall(int x0, int y0, int size, double radius, const Ramp& ramp, BallKind kind) {
    const int ss = 8;
    const double c = size / 2.0;
    const Vec half = Normalise({kLight.x, kLight.y, kLight.z + 1});
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            double sum = 0;
            int inside = 0;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) {
                    double dx = (px + (i + 0.5) / ss - c) / radius;
                    double dy = (py + (j + 0.5) / ss - c) / radius;
                    double rr = dx * dx + dy * dy;
                    if (rr >= 1) continue;
                    ++inside;
                    Vec n{dx, dy, std::sqrt(1 - rr)};
                    double diffuse = std::max(0.0, Dot(n, kLight));
                    double specular = std::pow(std::max(0.0, Dot(n, half)), 40);
                    double t;
                    if (kind == BallKind::Red) {
                        double rim = 0.18 * std::pow(1 - n.z, 2) * std::max(0.0, n.y);
                        t = 0.1 + 0.66 * diffuse + rim + 0.9 * specular;
                    } else {
                        // Chrome: the reflected view sees a bright sky above the horizon
                        // and a darker ground below it.
                        double ry = 2 * n.z * n.y; // reflection of (0, 0, 1), y component
                        double env = ry < 0.08 ? 0.55 + 0.4 * std::min(1.0, -ry + 0.08)
                                               : 0.18 + 0.4 * std::min(1.0, ry);
                        t = 0.55 * env + 0.3 * diffuse + 0.9 * specular;
                    }
                    sum += std::min(t, 1.0);
                }
            double cover = inside / double(ss * ss);
            if (cover < 0.12) continue;
            double t = sum / inside * std::min(1.0, cover * 1.15);
            g_pixels[y0 + py][x0 + px] = static_cast<uint8_t>(RampIndex(ramp, t));
        }
}

// ---------------------------------------------------------------------------------------------
// The border strip: nine rows of a bevelled band, the same across the whole width.

void PaintBorder() {
    const Rgb rows[9] = {
        {176, 190, 222}, {128, 148, 196},                                // light grey-blue edge
        {26, 44, 128},   {34, 62, 160},   {44, 84, 196}, {60, 110, 232}, // blue, brightening
        {18, 28, 96},    {14, 20, 74},    {10, 14, 56},                  // dark navy shadow
    };
    for (int r = 0; r < 9; ++r) {
        int index = AddColour(rows[r]);
        std::memset(g_pixels[384 + 2 + r], index, kWidth);
    }
}

// ---------------------------------------------------------------------------------------------
// The signature tag: a tiny 5x7 pixel font of our own, "QRX" in white, the handle in grey.

struct TinyGlyph {
    char ch;
    const char* rows[7];
};

const TinyGlyph kTiny[] = {
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
};

void PaintTag() {
    const int x0 = 576, y0 = 256;
    const char* text = "QRX/ORBIT";
    const int white = AddColour({255, 255, 255});
    const int light = AddColour({196, 200, 212});
    const int grey = AddColour({132, 136, 152});
    const int dim = AddColour({92, 96, 112});
    int len = static_cast<int>(std::strlen(text));
    int x = x0 + (64 - (len * 6 - 1)) / 2;
    for (int i = 0; i < len; ++i, x += 6) {
        const TinyGlyph* g = nullptr;
        for (const TinyGlyph& t : kTiny)
            if (t.ch == text[i]) g = &t;
        if (!g) continue;
        bool group = i < 3;
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (g->rows[r][c] == '#')
                    g_pixels[y0 + r][x + c] = static_cast<uint8_t>(group ? (r < 4 ? white : light)
                                                                         : (r < 4 ? grey : dim));
    }
}

// ---------------------------------------------------------------------------------------------
// Output files

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteBmp(const std::string& path) {
    const uint32_t paletteBytes = 256 * 4, pixelBytes = kWidth * kHeight;
    const uint32_t offset = 14 + 40 + paletteBytes;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40); // BITMAPINFOHEADER
    Put32(out, kWidth);
    Put32(out, kHeight); // positive: bottom-up
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0); // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (int i = 0; i < 256; ++i) {
        out.push_back(g_palette[i][2]);
        out.push_back(g_palette[i][1]);
        out.push_back(g_palette[i][0]);
        out.push_back(0);
    }
    for (int y = kHeight - 1; y >= 0; --y)
        out.insert(out.end(), g_pixels[y], g_pixels[y] + kWidth);
    return WriteFile(path, out);
}

bool WritePng(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, kWidth * 2, kHeight * 2, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {g_palette[i][0], g_palette[i][1], g_palette[i][2]};
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    std::vector<uint8_t> row(kWidth * 2);
    for (int y = 0; y < kHeight * 2; ++y) {
        for (int x = 0; x < kWidth * 2; ++x)
            row[x] = g_pixels[y / 2][x / 2];
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// ---------------------------------------------------------------------------------------------
// The icon: a blue sphere carrying a gold "Q", in 32x32 and 16x16 with 16 colours.

const Rgb kIconPalette[16] = {
    {0, 0, 0},      {0, 0, 96},     {0, 32, 160},    {32, 80, 224},   {120, 170, 255}, {96, 56, 0},
    {200, 140, 16}, {255, 210, 64}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}, {64, 64, 64},
    {160, 0, 0},    {255, 80, 64},  {255, 240, 160}, {0, 16, 48},
};

int NearestIconColour(const Rgb& c) {
    int best = 0;
    double bestDist = 1e18;
    for (int i = 0; i < 16; ++i) {
        double dr = c.r - kIconPalette[i].r, dg = c.g - kIconPalette[i].g,
               db = c.b - kIconPalette[i].b;
        double dist = 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (dist < bestDist) bestDist = dist, best = i;
    }
    return best;
}

// One icon image: 4-bit colour indices (top-down) and the transparency mask.
void IconImage(int size, std::vector<int>& index, std::vector<bool>& transparent) {
    index.assign(size_t(size) * size, 0);
    transparent.assign(size_t(size) * size, true);
    // The letter, fitted into the middle of the sphere.
    Outline q = LoadOutline('Q', g_markFace);
    double box = size * 0.7;
    double s = box / std::max(q.box.xMax - q.box.xMin, q.box.yMax - q.box.yMin);
    Mask m = NewMask(size, size);
    Placement p{s, s, (size - (q.box.xMax - q.box.xMin) * s) / 2,
                (size - (q.box.yMax - q.box.yMin) * s) / 2};
    RasteriseInto(m, q, p);
    const std::vector<Stop> blue = {{0, {0, 0, 60}}, {0.55, {20, 70, 210}}, {1, {150, 200, 255}}};
    const std::vector<Stop> gold = {{0, {110, 64, 0}}, {0.6, {230, 170, 30}}, {1, {255, 250, 200}}};
    const int ss = 4;
    const double c = size / 2.0, radius = size / 2.0 - 0.25;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            Rgb sum{0, 0, 0};
            int inside = 0;
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) {
                    double dx = (px + (i + 0.5) / ss - c) / radius;
                    double dy = (py + (j + 0.5) / ss - c) / radius;
                    double rr = dx * dx + dy * dy;
                    if (rr >= 1) continue;
                    ++inside;
                    Vec n{dx, dy, std::sqrt(1 - rr)};
                    double t = 0.15 + 0.75 * std::max(0.0, Dot(n, kLight));
                    Rgb col = Gradient(blue, t);
                    int mx = (px * ss + i) * kSuper / ss, my = (py * ss + j) * kSuper / ss;
                    double g = m.At(mx, my) / 255.0;
                    // A dark rim one pixel wide keeps the letter apart from the sphere.
                    double rim = 0;
                    for (int oy = -kSuper; oy <= kSuper; oy += kSuper)
                        for (int ox = -kSuper; ox <= kSuper; ox += kSuper)
                            rim = std::max(rim, m.At(mx + ox, my + oy) / 255.0);
                    col = Lerp(col, {0, 0, 40}, rim);
                    Rgb lc = Gradient(gold, 0.95 - 0.6 * (py + (j + 0.5) / ss) / size);
                    col = Lerp(col, lc, g);
                    sum = {sum.r + col.r, sum.g + col.g, sum.b + col.b};
                }
            if (inside * 2 < ss * ss) continue;
            size_t k = size_t(py) * size + px;
            transparent[k] = false;
            index[k] = NearestIconColour({sum.r / inside, sum.g / inside, sum.b / inside});
        }
}

bool WriteIco(const std::string& path) {
    const int sizes[2] = {32, 16};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<int> index;
        std::vector<bool> transparent;
        IconImage(size, index, transparent);
        const int xorStride = (size / 2 + 3) / 4 * 4, andStride = (size / 8 + 3) / 4 * 4;
        std::vector<uint8_t> img;
        Put32(img, 40);
        Put32(img, size);
        Put32(img, size * 2); // colour image and mask
        Put16(img, 1);
        Put16(img, 4);
        Put32(img, 0);
        Put32(img, (xorStride + andStride) * size);
        Put32(img, 0);
        Put32(img, 0);
        Put32(img, 16);
        Put32(img, 0);
        for (const Rgb& c : kIconPalette) {
            img.push_back(Channel(c.b));
            img.push_back(Channel(c.g));
            img.push_back(Channel(c.r));
            img.push_back(0);
        }
        for (int y = size - 1; y >= 0; --y) {
            std::vector<uint8_t> row(xorStride, 0);
            for (int x = 0; x < size; ++x)
                row[x / 2] |= static_cast<uint8_t>(index[size_t(y) * size + x] << (x % 2 ? 0 : 4));
            img.insert(img.end(), row.begin(), row.end());
        }
        for (int y = size - 1; y >= 0; --y) {
            std::vector<uint8_t> row(andStride, 0);
            for (int x = 0; x < size; ++x)
                if (transparent[size_t(y) * size + x]) row[x / 8] |= uint8_t(0x80 >> (x % 8));
            img.insert(img.end(), row.begin(), row.end());
        }
        images.push_back(img);
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, 2);
    uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(16);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 4);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& img : images)
        out.insert(out.end(), img.begin(), img.end());
    return WriteFile(path, out);
}

void PaintSheet() {
    const Ramp gold = MakeRamp(48, {{0, {60, 32, 6}},
                                    {0.35, {156, 92, 12}},
                                    {0.62, {232, 168, 32}},
                                    {0.82, {255, 222, 112}},
                                    {1, {255, 255, 246}}});
    const Ramp blue = MakeRamp(48, {{0, {12, 18, 78}},
                                    {0.35, {22, 62, 176}},
                                    {0.62, {52, 124, 244}},
                                    {0.82, {144, 204, 255}},
                                    {1, {255, 255, 255}}});
    const Ramp metal = MakeRamp(64, {{0, {38, 40, 50}},
                                     {0.4, {112, 116, 130}},
                                     {0.7, {186, 190, 202}},
                                     {0.88, {226, 229, 236}},
                                     {1, {255, 255, 255}}});
    const Ramp red = MakeRamp(40, {{0, {60, 4, 10}},
                                   {0.4, {156, 12, 22}},
                                   {0.7, {236, 44, 40}},
                                   {0.88, {255, 150, 128}},
                                   {1, {255, 255, 255}}});
    PaintFont(kFontAGlyphs, 10, 0, 0, {gold, 2.2, ChromeProfile});
    PaintFont(kFontBGlyphs, 10, 320, 0, {blue, 2.2, ChromeProfile});
    PaintFont(kScrollGlyphs, 20, 0, 288, {metal, 2.2, MetalProfile});
    PaintLogo({metal, 4.5, ChromeProfile});
    PaintBall(544, 192, 36, 16.5, red, BallKind::Red);
    PaintBall(608, 352, 32, 15.5, metal, BallKind::Silver);
    PaintBorder();
    PaintTag();
}

} // namespace

int main(int argc, char** argv) {
    std::string font = SHEET_FONT, markFont = SHEET_MARK_FONT, bmp, png, ico;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        if (opt == "--font")
            font = argv[i + 1];
        else if (opt == "--mark-font")
            markFont = argv[i + 1];
        else if (opt == "--bmp")
            bmp = argv[i + 1];
        else if (opt == "--png")
            png = argv[i + 1];
        else if (opt == "--ico")
            ico = argv[i + 1];
        else {
            std::fprintf(stderr, "sheet-painter: unknown option %s\n", opt.c_str());
            return 2;
        }
    }
    if (argc % 2 == 0 || (bmp.empty() && png.empty() && ico.empty())) {
        std::fprintf(stderr, "usage: sheet-painter [--font FILE] [--mark-font FILE] [--bmp OUT] "
                             "[--png OUT] [--ico OUT]\n");
        return 2;
    }
    if (FT_Init_FreeType(&g_ft)) return 1;
    for (auto [path, face] : {std::pair{&font, &g_face}, std::pair{&markFont, &g_markFace}})
        if (FT_New_Face(g_ft, path->c_str(), 0, face)) {
            std::fprintf(stderr, "sheet-painter: cannot open font %s\n", path->c_str());
            return 1;
        }
    PaintSheet();
    bool ok = true;
    if (!bmp.empty() && !WriteBmp(bmp))
        ok = false, std::fprintf(stderr, "cannot write %s\n", bmp.c_str());
    if (!png.empty() && !WritePng(png))
        ok = false, std::fprintf(stderr, "cannot write %s\n", png.c_str());
    if (!ico.empty() && !WriteIco(ico))
        ok = false, std::fprintf(stderr, "cannot write %s\n", ico.c_str());
    FT_Done_Face(g_face);
    FT_Done_Face(g_markFace);
    FT_Done_FreeType(g_ft);
    return ok ? 0 : 1;
}

// Caption pictures: each line of text is rendered with SDL2_ttf onto a supersampled design
// canvas of the on-screen proportions, given a two-layer glow (a wide dim halo and a tight
// bright one), and then averaged down to the stored bitmap size.
#include "tools/assets/captions.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/assets/textures_canvas.h"
#include "tools/assets/textures_noise.h"

namespace {

using textures::Canvas;
using textures::Plane;
using textures::Rgb;

constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";

struct Line {
  const char* text;
  const char* font;  // a file of kFontDir
  float height;      // the line's box height, as a fraction of the picture's height at most
  float centre;      // where the line's middle sits, as a fraction of the picture's height
};

struct Caption {
  BitmapFile file;
  float ratio;  // width / height of the rectangle the demo stretches the picture over
  // The part of the picture's width, from its left edge, that is ever on screen: the greets
  // picture is stretched over x = 300 to 900 of the 800-pixel screen, so its right sixth
  // never shows. Lettering and glow stay inside this part, centred in it.
  float shown;
  std::vector<Line> lines;
  Rgb glow;
  bool flourish;  // a rule with fading ends under the text and a few rising sparks
};

constexpr const char* kSansBold = "DejaVuSans-Bold.ttf";
constexpr const char* kSerifBold = "DejaVuSerif-Bold.ttf";
constexpr const char* kSerifItalic = "DejaVuSerif-Italic.ttf";
constexpr const char* kSerifBoldItalic = "DejaVuSerif-BoldItalic.ttf";

const std::vector<Caption>& Captions() {
  static const std::vector<Caption> captions = {
      {{"presents.bmp", 512, 128, false},
       500.0f / 200.0f,
       1.0f,
       {{"emberhall", kSansBold, 0.46f, 0.38f}, {"presents", kSerifItalic, 0.24f, 0.78f}},
       {1.0f, 0.42f, 0.10f},
       true},
      {{"brindlequay.bmp", 512, 256, false},
       1500.0f / 600.0f,
       1.0f,
       {{"Brindlequay", kSerifBold, 0.60f, 0.44f}},
       {1.0f, 0.30f, 0.06f},
       true},
      {{"where.bmp", 256, 128, false},
       400.0f / 300.0f,
       1.0f,
       {{"somewhere north", kSerifItalic, 0.22f, 0.36f},
        {"of the embers", kSerifItalic, 0.22f, 0.64f}},
       {0.95f, 0.55f, 0.15f},
       false},
      {{"finish.bmp", 256, 128, false},
       500.0f / 300.0f,
       1.0f,
       {{"fin", kSerifBoldItalic, 0.52f, 0.40f}, {"the glade sleeps", kSerifItalic, 0.17f, 0.80f}},
       {1.0f, 0.40f, 0.12f},
       false},
      {{"code.bmp", 512, 128, false},
       600.0f / 300.0f,
       1.0f,
       {{"code & content", kSerifItalic, 0.20f, 0.30f},
        {"the emberhall project", kSansBold, 0.26f, 0.64f}},
       {0.35f, 0.55f, 1.0f},
       false},
      {{"greets.bmp", 512, 128, false},
       600.0f / 300.0f,
       (800.0f - 300.0f) / 600.0f,
       {{"greetings to all", kSerifItalic, 0.19f, 0.22f},
        {"demosceners, shader artists", kSansBold, 0.19f, 0.50f},
        {"and tinkerers everywhere", kSansBold, 0.19f, 0.77f}},
       {0.30f, 0.85f, 0.55f},
       false},
  };
  return captions;
}

float Square(float x) {
  return x * x;
}

// The font size, in points, at which `line` fills its box height, and through `widthFit` how
// much smaller it must be to fit nine tenths of the shown width (1 when it fits). False if
// the font cannot be opened.
bool MeasureLine(const Line& line, const Plane& mask, int shownWidth, float& points,
                 float& widthFit) {
  constexpr int kProbeSize = 100;
  TTF_Font* probe = TTF_OpenFont((std::string(kFontDir) + line.font).c_str(), kProbeSize);
  if (!probe) return false;
  int w = 0;
  int h = 0;
  TTF_SizeUTF8(probe, line.text, &w, &h);
  TTF_CloseFont(probe);
  if (w <= 0 || h <= 0) return false;
  points = kProbeSize * line.height * float(mask.height) / float(h);
  widthFit = std::fmin(1.0f, 0.9f * float(shownWidth) / (float(w) * points / kProbeSize));
  return true;
}

// Renders one line of white text at `points` into `mask` (coverage 0..1), centred across the
// shown width. False if the font cannot be opened or the text rendered.
bool RenderLine(const Line& line, float points, int shownWidth, Plane& mask) {
  TTF_Font* font =
      TTF_OpenFont((std::string(kFontDir) + line.font).c_str(), int(std::lround(points)));
  if (!font) return false;
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, line.text, SDL_Color{255, 255, 255, 255});
  TTF_CloseFont(font);
  if (!rendered) return false;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (!argb) return false;
  const int left = (shownWidth - argb->w) / 2;
  const int top = int(std::lround(line.centre * float(mask.height))) - argb->h / 2;
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        ptrdiff_t(y) * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      const int mx = left + x;
      const int my = top + y;
      if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) continue;
      mask.At(mx, my) = std::fmax(mask.At(mx, my), float(row[x] >> 24) / 255.0f);
    }
  }
  SDL_FreeSurface(argb);
  return true;
}

// Renders every line of the caption into `mask`; when one line is too wide, all of them shrink
// by the same factor so their sizes keep the proportions the caption gives them.
bool RenderLines(const Caption& caption, int shownWidth, Plane& mask) {
  std::vector<float> points;
  float shrink = 1.0f;
  for (const Line& line : caption.lines) {
    float size = 0.0f;
    float widthFit = 1.0f;
    if (!MeasureLine(line, mask, shownWidth, size, widthFit)) return false;
    points.push_back(size);
    shrink = std::fmin(shrink, widthFit);
  }
  for (size_t i = 0; i < caption.lines.size(); ++i) {
    if (!RenderLine(caption.lines[i], points[i] * shrink, shownWidth, mask)) return false;
  }
  return true;
}

// A thin horizontal line fading out toward both ends, with sparks drifting up from it, across
// the shown width.
void AddFlourish(Canvas& canvas, int shownWidth, float ruleY, Rgb glow) {
  const float w = float(shownWidth);
  const float h = float(canvas.height);
  const float thickness = 0.006f * h;
  for (int y = 0; y < canvas.height; ++y) {
    const float across = std::exp(-Square((float(y) - ruleY * h) / thickness));
    if (across < 1e-3f) continue;
    for (int x = 0; x < canvas.width; ++x) {
      const float along =
          Square(1.0f - std::fmin(1.0f, Square((float(x) - 0.5f * w) / (0.36f * w))));
      canvas.At(x, y) += (glow + Rgb{0.3f, 0.3f, 0.3f}) * (across * along);
    }
  }
  for (uint32_t i = 0; i < 40; ++i) {
    const float sx = (0.2f + 0.6f * textures::Hash01(i, 1, 2101)) * w;
    const float sy = (ruleY - 0.08f - 0.6f * std::pow(textures::Hash01(i, 2, 2101), 1.5f)) * h;
    const float radius = (0.004f + 0.006f * textures::Hash01(i, 3, 2101)) * h;
    const Rgb colour = textures::Mix(glow, Rgb{1.0f, 0.9f, 0.5f}, textures::Hash01(i, 4, 2101)) *
                       (0.4f + 0.6f * textures::Hash01(i, 5, 2101));
    const int reach = int(std::ceil(3.0f * radius));
    for (int y = int(sy) - reach; y <= int(sy) + reach; ++y) {
      for (int x = int(sx) - reach; x <= int(sx) + reach; ++x) {
        if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) continue;
        const float d2 = Square(float(x) - sx) + Square(float(y) - sy);
        canvas.At(x, y) += colour * std::exp(-d2 / (2.0f * radius * radius));
      }
    }
  }
}

// The caption at its design size: lettering shaded from near white at the top toward a pale
// tint of the glow colour at the bottom, over a wide soft halo and a tight bright one in the
// caption's glow colour.
bool DesignCaption(const Caption& caption, Canvas& design) {
  Plane mask(design.width, design.height);
  const int shownWidth = int(std::lround(caption.shown * float(design.width)));
  if (!RenderLines(caption, shownWidth, mask)) return false;
  const Plane wide = textures::Blur(mask, std::max(1, int(0.030f * float(design.height))));
  const Plane tight = textures::Blur(mask, std::max(1, int(0.008f * float(design.height))));
  const Rgb hot = textures::Mix(caption.glow, Rgb{1.0f, 0.95f, 0.8f}, 0.4f);
  for (int y = 0; y < design.height; ++y) {
    const Rgb ink =
        textures::Mix(Rgb{1.0f, 0.98f, 0.90f}, textures::Mix(caption.glow, Rgb{1, 1, 1}, 0.55f),
                      float(y) / float(design.height));
    for (int x = 0; x < design.width; ++x) {
      design.At(x, y) = caption.glow * (1.1f * wide.At(x, y)) + hot * (0.9f * tight.At(x, y)) +
                        ink * mask.At(x, y);
    }
  }
  if (caption.flourish) {
    const Line& last = caption.lines.back();
    AddFlourish(design, shownWidth, std::fmin(0.95f, last.centre + 0.5f * last.height + 0.04f),
                caption.glow);
  }
  return true;
}

// The design canvas: twice the bitmap's width, and the height that gives the on-screen
// proportions, so averaging it down to the bitmap squeezes each axis by the stretch to come.
Canvas DesignCanvasFor(const Caption& caption) {
  const int width = 2 * caption.file.width;
  return Canvas(width, int(std::lround(float(width) / caption.ratio)));
}

std::vector<BitmapFile> FilesOf(const std::vector<Caption>& captions) {
  std::vector<BitmapFile> files;
  for (const Caption& caption : captions) files.push_back(caption.file);
  return files;
}

}  // namespace

std::span<const BitmapFile> CaptionFiles() {
  static const std::vector<BitmapFile> files = FilesOf(Captions());
  return files;
}

bool WriteCaptions(const std::string& dataDir) {
  // A directory that cannot be made shows up below as a write that fails, naming its file.
  std::error_code ignored;
  std::filesystem::create_directories(dataDir, ignored);
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "emberhall-assets: cannot start SDL2_ttf: %s\n", TTF_GetError());
    return false;
  }
  bool ok = true;
  for (const Caption& caption : Captions()) {
    const std::string path = (std::filesystem::path(dataDir) / caption.file.name).string();
    Canvas design = DesignCanvasFor(caption);
    if (!DesignCaption(caption, design)) {
      std::fprintf(stderr, "emberhall-assets: cannot render %s (fonts in %s): %s\n", path.c_str(),
                   kFontDir, TTF_GetError());
      ok = false;
      break;
    }
    const Canvas picture = textures::Resample(design, caption.file.width, caption.file.height);
    if (!textures::SaveCanvasBmp(picture, path)) {
      std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
      ok = false;
      break;
    }
  }
  TTF_Quit();
  return ok;
}

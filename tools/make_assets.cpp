// make_assets <outdir>: writes the game's data files, all synthesised here and deterministic
// (fixed seeds, no clock): the wall texture walltex.bmp and the five WAV clips.
//
// walltex.bmp: 256 x 256, 24-bit, bottom row first. It covers one whole inner wall of the arena,
// so its outer border is the cube's edge. Pure black (0, 0, 0) is see-through in the game; it
// is used only for the round window in the middle, and every opaque texel avoids it.
//
// The clips: RIFF/WAVE, PCM, 16-bit mono at 22050 Hz, each under half a second, peaks at
// -6 dBFS or below so that several clips together stay clear of clipping.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/bmp_image.h"

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// Integer hash for deterministic texture noise (a xorshift-multiply mix).
uint32_t hash(uint32_t a, uint32_t b, uint32_t seed) {
  uint32_t h = seed ^ (a * 0x9E3779B1u) ^ (b * 0x85EBCA77u);
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Uniform in [0, 1).
double unit(uint32_t h) { return (h >> 8) * (1.0 / 16777216.0); }

// ---------------------------------------------------------------------------------------------
// Wall texture

constexpr int textureSide = 256;
constexpr int panelSide = 32;  // 8 x 8 panels
constexpr double windowCentre = textureSide / 2.0;
constexpr double windowRadius = 42.0;  // see-through glass
constexpr double ringOuter = 52.0;     // metal ring around it

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Colour operator*(Colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }

const Colour panelBase{70, 76, 94};      // blue-grey steel
const Colour seamGlow{70, 210, 255};     // cyan light strips between panels
const Colour frameGlow{150, 240, 255};   // brighter strip along the cube's edges
const Colour ringMetal{110, 118, 138};

// Distance in pixels from pixel centre coordinate v to the nearest panel seam.
double seamDistance(double v) {
  const double local = std::fmod(v, panelSide);
  return std::min(local, panelSide - local);
}

Colour panelPixel(int x, int y) {
  const int px = x / panelSide, py = y / panelSide;
  const double lx = x % panelSide + 0.5, ly = y % panelSide + 0.5;
  const uint32_t panelHash = hash(static_cast<uint32_t>(px), static_cast<uint32_t>(py), 7);

  // Each panel a slightly different shade, with horizontal brushing and fine grain.
  const double shade = 0.88 + 0.2 * unit(panelHash);
  const double brushing = 4.0 * (unit(hash(static_cast<uint32_t>(y), panelHash, 11)) - 0.5);
  const double grain = 3.0 * (unit(hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 13)) - 0.5);
  Colour c = panelBase * shade + Colour{1, 1, 1} * (brushing + grain);

  // Raised-panel bevel: lit from the upper left (y grows downward in picture space).
  if (lx < 3.0 || ly < 3.0) c = c + Colour{14, 14, 16};
  if (lx > panelSide - 3.0 || ly > panelSide - 3.0) c = c * 0.72;

  // One panel in four carries three recessed vent grooves.
  if (panelHash % 4 == 0 && lx > 8 && lx < panelSide - 8) {
    const double groove = std::fmod(ly - 10.0, 5.0);
    if (ly > 10 && ly < 24 && groove < 1.5) c = c * 0.68;
  }

  // Rivets near the four corners: a bright dome with a dark lower-right rim.
  for (const double rx : {5.0, panelSide - 5.0}) {
    for (const double ry : {5.0, panelSide - 5.0}) {
      const double d = std::hypot(lx - rx, ly - ry);
      if (d < 1.6) c = c + Colour{40, 42, 46} * (1.0 - d / 1.6);
      else if (d < 2.4 && lx + ly > rx + ry) c = c * 0.7;
    }
  }
  return c;
}

Colour wallPixel(int x, int y) {
  const double u = x + 0.5, v = y + 0.5;
  Colour c = panelPixel(x, y);

  // Light strips in the seams, fading into the panels.
  const double seam = std::min(seamDistance(u), seamDistance(v));
  c = c * (seam < 1.0 ? 0.35 : 1.0) + seamGlow * (0.85 * std::exp(-seam / 1.1));

  // The wall's own edge glows brighter, so the cube's edges read from inside.
  const double edge = std::min(std::min(u, textureSide - u), std::min(v, textureSide - v));
  c = c + frameGlow * (0.9 * std::exp(-edge / 3.0));
  return c;
}

// Returns false for the see-through glass (pure black), otherwise fills `out`.
bool windowPixel(int x, int y, Colour& out) {
  const double u = x + 0.5, v = y + 0.5;
  const double d = std::hypot(u - windowCentre, v - windowCentre);
  if (d >= ringOuter + 4.0) return false;
  if (d < windowRadius) {
    // A few faint stars painted on the glass; everything else lets the dark through.
    const uint32_t h = hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 29);
    if (unit(h) < 0.006) {
      out = Colour{200, 215, 255} * (0.35 + 0.5 * unit(h * 2654435761u));
      return true;
    }
    out = Colour{};
    return true;
  }
  if (d < ringOuter) {
    // Metal ring, rounded in profile, with a glowing inner lip against the glass.
    const double across = (d - windowRadius) / (ringOuter - windowRadius);
    const double profile = 0.65 + 0.45 * std::sin(across * std::numbers::pi);
    out = ringMetal * profile + seamGlow * (1.1 * std::exp(-(d - windowRadius) / 1.5));
    return true;
  }
  // Dark shadow band just outside the ring, over the wall.
  out = wallPixel(x, y) * (0.45 + 0.55 * (d - ringOuter) / 4.0);
  return true;
}

uint8_t toByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// Picture rows top first, 3 bytes (R, G, B) per pixel; (0, 0, 0) only where see-through.
std::vector<uint8_t> makeWallTexture() {
  std::vector<uint8_t> rgb(static_cast<size_t>(textureSide) * textureSide * 3);
  for (int y = 0; y < textureSide; ++y) {
    for (int x = 0; x < textureSide; ++x) {
      Colour c;
      bool opaque = true;
      if (!windowPixel(x, y, c)) c = wallPixel(x, y);
      else opaque = c.r > 0 || c.g > 0 || c.b > 0;
      uint8_t* p = &rgb[(static_cast<size_t>(y) * textureSide + x) * 3];
      p[0] = toByte(c.r);
      p[1] = toByte(c.g);
      p[2] = toByte(c.b);
      if (opaque && p[0] == 0 && p[1] == 0 && p[2] == 0) p[2] = 1;
    }
  }
  return rgb;
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// 24-bit BMP, standard 54-byte header, rows bottom first, each padded to 4 bytes.
std::vector<uint8_t> encodeBmp24(const std::vector<uint8_t>& rgbTopFirst, int width, int height) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  const uint32_t imageBytes = stride * static_cast<uint32_t>(height);
  std::vector<uint8_t> out{'B', 'M'};
  put32(out, 54 + imageBytes);
  put32(out, 0);   // reserved
  put32(out, 54);  // pixel data offset
  put32(out, 40);  // information header size
  put32(out, static_cast<uint32_t>(width));
  put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
  put16(out, 1);   // planes
  put16(out, 24);  // bits per pixel
  put32(out, 0);   // BI_RGB
  put32(out, imageBytes);
  put32(out, 2835);  // 72 dpi, in pixels per metre
  put32(out, 2835);
  put32(out, 0);  // colours used
  put32(out, 0);  // important colours
  for (int row = height - 1; row >= 0; --row) {
    const uint8_t* p = &rgbTopFirst[static_cast<size_t>(row) * width * 3];
    for (int x = 0; x < width; ++x, p += 3) out.insert(out.end(), {p[2], p[1], p[0]});
    out.insert(out.end(), stride - static_cast<uint32_t>(width) * 3, 0);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Sound clips

constexpr int sampleRate = 22050;
using Samples = std::vector<double>;

// Deterministic white noise in [-1, 1) (xorshift32).
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ * (2.0 / 4294967296.0) - 1.0;
  }

 private:
  uint32_t state_;
};

// One sinusoidal partial: frequency (Hz), amplitude, decay time constant (s), start phase.
struct Partial {
  double hz, amplitude, decay, phase = 0.0;
};

double seconds(size_t i) { return static_cast<double>(i) / sampleRate; }

void addPartials(Samples& s, const std::vector<Partial>& partials, double startSeconds = 0.0) {
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = seconds(i) - startSeconds;
    if (t < 0) continue;
    for (const Partial& p : partials) {
      s[i] += p.amplitude * std::exp(-t / p.decay) * std::sin(twoPi * p.hz * t + p.phase);
    }
  }
}

// A noise burst, smoothed by a one-pole low-pass at cutoffHz, decaying with time constant decay.
void addNoiseBurst(Samples& s, uint32_t seed, double amplitude, double decay, double cutoffHz,
                   double startSeconds = 0.0) {
  Noise noise(seed);
  const double k = 1.0 - std::exp(-twoPi * cutoffHz / sampleRate);
  double smooth = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = seconds(i) - startSeconds;
    if (t < 0) continue;
    smooth += k * (noise.next() - smooth);
    s[i] += amplitude * std::exp(-t / decay) * smooth;
  }
}

// A sine whose frequency glides exponentially from startHz to endHz with time constant glide.
void addFallingTone(Samples& s, double startHz, double endHz, double glide, double amplitude,
                    double decay) {
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = seconds(i);
    const double hz = endHz + (startHz - endHz) * std::exp(-t / glide);
    s[i] += amplitude * std::exp(-t / decay) * std::sin(phase);
    phase += twoPi * hz / sampleRate;
  }
}

void lowPass(Samples& s, double cutoffHz) {
  const double k = 1.0 - std::exp(-twoPi * cutoffHz / sampleRate);
  double y = 0.0;
  for (double& x : s) x = (y += k * (x - y));
}

// A fraction-of-a-millisecond attack (no click from a jump at the first sample), a short fade at
// the end (no click at the cut), then scaled so the largest sample sits at peakDbfs.
void shape(Samples& s, double peakDbfs) {
  const size_t fadeOut = std::min<size_t>(s.size(), sampleRate / 200);  // 5 ms
  for (size_t i = 0; i < s.size(); ++i) {
    s[i] *= 1.0 - std::exp(-seconds(i) / 0.0002);
    if (i >= s.size() - fadeOut) s[i] *= static_cast<double>(s.size() - i) / fadeOut;
  }
  double peak = 0.0;
  for (const double x : s) peak = std::max(peak, std::abs(x));
  const double scale = peak > 0 ? std::pow(10.0, peakDbfs / 20.0) / peak : 0.0;
  for (double& x : s) x *= scale;
}

Samples silence(double durationSeconds) {
  return Samples(static_cast<size_t>(durationSeconds * sampleRate), 0.0);
}

// Two balls touching gently: a short, rounded click, low partials and muffled noise.
Samples softBallClick() {
  Samples s = silence(0.07);
  addPartials(s, {{2050, 0.8, 0.006}, {3850, 0.3, 0.004, 0.7}, {5600, 0.08, 0.002, 1.9}});
  addNoiseBurst(s, 101, 0.6, 0.0015, 2500);
  lowPass(s, 4500);
  shape(s, -9.0);
  return s;
}

// Two balls meeting hard: brighter, longer ringing partials and a crisp transient.
Samples hardBallClick() {
  Samples s = silence(0.09);
  addPartials(s, {{2480, 0.7, 0.009}, {4610, 0.5, 0.006, 1.1}, {7230, 0.3, 0.003, 0.4},
                  {9100, 0.12, 0.0015, 2.3}});
  addNoiseBurst(s, 202, 0.9, 0.0009, 9000);
  shape(s, -6.0);
  return s;
}

// A ball off a wall: a dull knock, a low body tone and a damped thump of noise.
Samples wallKnock() {
  Samples s = silence(0.08);
  addFallingTone(s, 380, 300, 0.01, 0.8, 0.014);
  addPartials(s, {{760, 0.3, 0.006, 0.5}, {1290, 0.12, 0.003, 1.3}});
  addNoiseBurst(s, 303, 0.7, 0.004, 1200);
  lowPass(s, 2200);
  shape(s, -8.0);
  return s;
}

// The cue tip on the ball: a wooden "thock", mid body and a short leathery transient.
Samples cueStrike() {
  Samples s = silence(0.16);
  addFallingTone(s, 1250, 1080, 0.008, 0.7, 0.011);
  addPartials(s, {{540, 0.55, 0.028, 0.3}, {1730, 0.2, 0.005, 1.0}, {265, 0.25, 0.03, 0.0}});
  addNoiseBurst(s, 404, 0.8, 0.003, 3200);
  lowPass(s, 5000);
  shape(s, -6.0);
  return s;
}

// A ball dropping into a pocket: a low hollow thud, then a few muffled rattles dying away.
Samples pocketDrop() {
  Samples s = silence(0.42);
  addFallingTone(s, 150, 72, 0.04, 1.0, 0.09);
  addPartials(s, {{255, 0.45, 0.05, 0.2}, {410, 0.2, 0.03, 1.4}});
  addNoiseBurst(s, 505, 0.9, 0.012, 600);
  const std::array<std::array<double, 3>, 5> rattles = {{
      {0.095, 0.45, 1650}, {0.165, 0.32, 1900}, {0.225, 0.22, 1720}, {0.275, 0.14, 2050},
      {0.315, 0.08, 1800}}};
  uint32_t seed = 606;
  for (const auto& [start, amplitude, hz] : rattles) {
    addPartials(s, {{hz, amplitude, 0.004}, {hz * 1.73, amplitude * 0.4, 0.0025, 0.9}}, start);
    addNoiseBurst(s, seed++, amplitude * 0.5, 0.002, 2500, start);
  }
  lowPass(s, 3000);
  shape(s, -6.0);
  return s;
}

// RIFF/WAVE: a 16-byte "fmt " chunk (PCM, mono, 16-bit) followed by the "data" chunk.
std::vector<uint8_t> encodeWav(const Samples& s) {
  const auto dataBytes = static_cast<uint32_t>(s.size() * 2);
  std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
  put32(out, 36 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, sampleRate);
  put32(out, sampleRate * 2);  // bytes per second
  put16(out, 2);               // bytes per sample frame
  put16(out, 16);              // bits per sample
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put32(out, dataBytes);
  for (const double x : s) {
    const long v = std::clamp(std::lround(x * 32767.0), -32768L, 32767L);
    put16(out, static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return out;
}

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets <outdir>\n");
    return 2;
  }
  const std::filesystem::path outDir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(outDir, error);
  if (error) {
    std::fprintf(stderr, "make_assets: cannot create %s: %s\n", outDir.string().c_str(),
                 error.message().c_str());
    return 1;
  }

  const auto texturePath = outDir / "walltex.bmp";
  if (!writeFile(texturePath, encodeBmp24(makeWallTexture(), textureSide, textureSide))) return 1;
  // Read it back through the game's own reader, so a bad texture fails here and not at start.
  const morvane::BmpResult check = morvane::readBmpFile(texturePath.string());
  if (!check.ok) {
    std::fprintf(stderr, "make_assets: %s\n", check.errorUtf8.c_str());
    return 1;
  }

  const std::vector<std::pair<const char*, std::function<Samples()>>> clips = {
      {"clickb.wav", softBallClick}, {"clickbb.wav", hardBallClick}, {"clicke.wav", wallKnock},
      {"hit.wav", cueStrike},        {"pocket.wav", pocketDrop}};
  for (const auto& [name, make] : clips) {
    if (!writeFile(outDir / name, encodeWav(make()))) return 1;
  }
  return 0;
}

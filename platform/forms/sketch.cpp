// A drawing pad's strokes: read from its text, drawn and written as a PNG
// (stored, uncompressed deflate blocks: a signature is a few kilobytes).
#include "platform/forms/sketch.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t Crc(const unsigned char* data, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
  static const auto table = [] {
    std::vector<std::uint32_t> t(256);
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void Put32(Bytes* out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<unsigned char>(v >> shift));
}

void Chunk(Bytes* out, const char* type, const Bytes& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  Put32(out, Crc(out->data() + start, out->size() - start) ^ 0xFFFFFFFFu);
}

// `raw` as a zlib stream of stored blocks.
Bytes Zlib(const Bytes& raw) {
  Bytes z = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n & 0xFF));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n & 0xFF));
    z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Put32(&z, (b << 16) | a);
  return z;
}

}  // namespace

std::vector<KVTSketchStroke> KVTSketchStrokes(const std::string& text) {
  std::vector<KVTSketchStroke> strokes;
  std::stringstream all(text);
  std::string one;
  while (std::getline(all, one, ';')) {
    KVTSketchStroke stroke;
    std::stringstream points(one);
    std::string point;
    while (points >> point) {
      int x = 0, y = 0;
      char comma = 0, extra = 0;
      if (std::sscanf(point.c_str(), "%d%c%d%c", &x, &comma, &y, &extra) == 3 && comma == ',')
        stroke.emplace_back(x, y);
    }
    if (!stroke.empty()) strokes.push_back(std::move(stroke));
  }
  return strokes;
}

std::string KVTSketchText(const KVTSketchStroke& stroke) {
  std::string text;
  for (const auto& [x, y] : stroke)
    text += (text.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(y);
  return text;
}

bool KVTWriteSketchPng(const std::string& text, int width, int height, const std::string& path,
                       std::string* error) {
  if (width <= 0 || height <= 0) {
    *error = "the drawing pad has no size";
    return false;
  }
  const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  // One filter byte (none) before each row of grey pixels.
  Bytes raw((w + 1) * h, 0xFF);
  for (std::size_t y = 0; y < h; ++y) raw[y * (w + 1)] = 0;
  auto dot = [&](int x, int y) {
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) {
        const int px = x + dx, py = y + dy;
        if (px >= 0 && py >= 0 && px < width && py < height)
          raw[static_cast<std::size_t>(py) * (w + 1) + 1 + static_cast<std::size_t>(px)] = 0;
      }
  };
  for (const KVTSketchStroke& s : KVTSketchStrokes(text)) {
    dot(s[0].first, s[0].second);
    for (std::size_t i = 1; i < s.size(); ++i) {
      auto [x0, y0] = s[i - 1];
      const auto [x1, y1] = s[i];
      const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
      const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
      for (int err = dx + dy;;) {
        dot(x0, y0);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
          err += dy;
          x0 += sx;
        }
        if (e2 <= dx) {
          err += dx;
          y0 += sy;
        }
      }
    }
  }
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Put32(&header, static_cast<std::uint32_t>(width));
  Put32(&header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
  Chunk(&png, "IHDR", header);
  Chunk(&png, "IDAT", Zlib(raw));
  Chunk(&png, "IEND", {});
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out.flush()) {
    out.close();
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    *error = "the picture could not be written to " + path;
    return false;
  }
  return true;
}

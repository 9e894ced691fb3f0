// The strokes of a drawing pad (KVTFieldKind::Sketch) as its text keeps
// them, and the picture they make. A pad's text is its strokes separated by
// ";", each stroke its points "x,y" separated by spaces, in the pad's own
// pixels: kSketchCellWidth by kSketchCellHeight of them a character cell,
// whatever size a front end draws the pad at.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/base/export.h"

constexpr int kSketchCellWidth = 8;
constexpr int kSketchCellHeight = 16;

using KVTSketchStroke = std::vector<std::pair<int, int>>;

// The strokes of a pad's text; a point that does not read as "x,y" is
// skipped, and a stroke left without points with it.
KVT_EXPORT std::vector<KVTSketchStroke> KVTSketchStrokes(const std::string& text);
// One stroke as the pad's text keeps it.
KVT_EXPORT std::string KVTSketchText(const KVTSketchStroke& stroke);

// The strokes of `text` drawn black, two pixels wide, on a white picture of
// `width` by `height` pixels (points outside it are cut off), written to
// `path` as a grey-scale PNG. False with the reason when it could not be
// written (nothing is left at `path` then).
KVT_EXPORT bool KVTWriteSketchPng(const std::string& text, int width, int height,
                                  const std::string& path, std::string* error);

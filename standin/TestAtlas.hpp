#pragma once
// A 1024 x 512 speedometer atlas made in code, for drawing before real artwork exists:
// every region is one flat colour inside a black border, and the digit and gear cells
// carry a black seven-segment glyph on a colour of their own, so a picture shows which
// region landed where.
#include "standin/Texture.hpp"

#include <memory>

namespace standin {

inline constexpr int kAtlasWidth = 1024;
inline constexpr int kAtlasHeight = 512;

inline constexpr Rgba kAtlasBorder{0, 0, 0, 255};
inline constexpr Rgba kAtlasFace{30, 50, 110, 255};
inline constexpr Rgba kAtlasBand{240, 140, 20, 255};
inline constexpr Rgba kAtlasHub{230, 210, 40, 255};
inline constexpr Rgba kAtlasNeedle{220, 30, 40, 255};
inline constexpr Rgba kAtlasBadge{235, 235, 235, 255};

// The colour behind the glyph of digit (or gear) 0..9.
Rgba AtlasCellColour(unsigned digit);

// A point inside the upper loop of every glyph, where the cell's own colour shows,
// as a fraction of the cell's width and height.
inline constexpr double kCellOpenX = 0.5;
inline constexpr double kCellOpenY = 0.33;

// The atlas as a texture record (bindValue 0; whoever registers it assigns one).
std::unique_ptr<Texture> MakeTestAtlas();

} // namespace standin

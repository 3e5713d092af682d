#pragma once
// The engine's fixed colour table; settings store an index 0–9 into it per colour slot.
#include <array>
#include <cstdint>

namespace sorvel {

inline constexpr std::array<std::uint32_t, 10> kColourTable{
    0xFFFFFF,  // 白
    0x000000,  // 黒
    0xFF0000,  // 赤
    0x0000FF,  // 青
    0xFFFF00,  // 黄
    0x008000,  // 緑
    0x800080,  // 紫
    0xC0C0C0,  // 銀
    0xFF00FF,  // 赤紫
    0x000080,  // 紺
};

// RGB of a colour index; an index outside the table (a damaged file) gives white.
constexpr std::uint32_t colourRgb(std::int32_t index) {
    return index >= 0 && index < static_cast<std::int32_t>(kColourTable.size())
               ? kColourTable[static_cast<std::size_t>(index)]
               : 0xFFFFFF;
}

}  // namespace sorvel

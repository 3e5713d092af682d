#pragma once
// The text content of a layout object: lines of black text scaled so that they fill the
// object's rectangle, laid over the page (overlay) or on an opaque white box. The text is drawn
// once into a bitmap at a cell height of the object's height ÷ line count and stretched from
// there. Stored as block M09.
#include <cstdint>
#include <string>
#include <vector>

#include "data/tagged_record.h"
#include "platform/gdi.h"

namespace sorvel {

enum TextPass {
    kPassOpaqueImage = 0,  // black text on white
    kPassOverlayImage = 1,  // all black
    kPassOverlayMask = 2,  // black text on white
    kPassOpaqueMask = 3,   // all black
};

class TSoTex {
public:
    TSoTex();

    std::string Text;      // CP932, CR LF between lines
    std::string FontName;  // CP932
    // A text no dialog has touched yet (one made from dropped notes) draws Japanese.
    std::int32_t FontCharSet = kShiftJisCharSet;
    std::int32_t FontSize = 12;  // points; kept for the dialog, not used for drawing
    std::int32_t LineHeight = 0;
    std::int32_t Overlay = 1;
    std::int32_t LineCount = 1;
    std::int32_t ImageWidth = 10;
    std::int32_t ImageHeight = 10;
    std::int32_t TargetWidth = 0;
    std::int32_t TargetHeight = 0;

    // Stores the target size; derives the line count and the line height.
    void SetTargetSize(int width, int height);
    // Builds the text image at the line height; 0 without doing anything for an empty text.
    int PrepareText();
    // Draws the text into the target at (0, 0), stretched to the target size, in one pass.
    void PaintTextPass(Bitmap& target, int pass);

    void SaveBlock(std::string& out) const;
    // After the block's opening marker; 0 for a field other than 1–5 or a damaged block.
    int LoadBlock(TagStream& in);

    const Bitmap& textImage() const { return image_; }

    // The lines of a text split at each CR LF, empty lines kept.
    static std::vector<std::string> SplitLines(const std::string& text);

private:
    Font font_;
    int cell_ = 1;  // the cell height the lines are drawn at: the line height, unless too large
    Bitmap image_;
};

}  // namespace sorvel

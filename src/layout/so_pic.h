#pragma once
// The picture content of a layout object: a picture file kept at its natural size and
// stretched to the object's rectangle when the object renders. Stored as block M08.
#include <cstdint>
#include <string>

#include "data/tagged_record.h"
#include "platform/gdi.h"

namespace sorvel {

// The white box with a black outline and a black diagonal that stands for missing content.
void PaintPlaceholder(Bitmap& target, int width, int height);

class TSoPic {
public:
    TSoPic();

    std::string FileName;  // CP932; empty: no picture
    std::int32_t PicWidth = 10;
    std::int32_t PicHeight = 10;
    std::int32_t TargetWidth = 0;
    std::int32_t TargetHeight = 0;

    void SetTargetSize(int width, int height);
    // Decodes FileName (".jpg"/".jpeg" through libjpeg, anything else through Qt's reader).
    // 1 on success; 0 when the name is empty, or, after the message, when the file cannot be
    // read (the name is then cleared).
    int LoadPicture();
    // The picture stretched to the target size at (0, 0), or the placeholder without a file.
    void PaintPicture(Bitmap& target);

    void SaveBlock(std::string& out) const;
    // After the block's opening marker; 0 for a field other than 1 or a damaged block.
    int LoadBlock(TagStream& in);

    const Bitmap& picture() const { return picture_; }

private:
    Bitmap picture_;
};

}  // namespace sorvel

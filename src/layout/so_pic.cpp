#include "layout/so_pic.h"

#include "layout/layout_messages.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "render/picture_reader.h"

namespace sorvel {

namespace {
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;

// A picture object's block and its one field.
constexpr int kPictureBlock = 8;
enum PictureField : int { kPictureFileName = 1 };
}  // namespace

void PaintPlaceholder(Bitmap& target, int width, int height) {
    Canvas canvas(target);
    const Pen pen{kBlack, 1, PenStyle::Solid};
    canvas.rectangle(0, 0, width, height, pen, kWhite);
    const QPoint diagonal[] = {{0, 0}, {width, height}};
    canvas.polyline(diagonal, pen);
}

TSoPic::TSoPic() {
    picture_ = Bitmap::create(10, 10);
    if (picture_.isNull())
        showMessage(newObjectFailedMessage(), errorCaptionLatin());
    else
        Canvas(picture_).fill(0, 0, 10, 10, kWhite);
}

void TSoPic::SetTargetSize(int width, int height) {
    TargetWidth = width;
    TargetHeight = height;
}

int TSoPic::LoadPicture() {
    if (FileName.empty()) return 0;
    const QString path = pathFromCp932(FileName);
    // The wallpaper's readers and limits; a name that points at a device or a pipe is no picture.
    Bitmap image = decodePictureFile(path);
    if (image.isNull()) {
        showMessage(pictureUnreadableMessage(), messageCaptionHalfWidth());
        FileName.clear();
        return 0;
    }
    picture_ = std::move(image);
    PicWidth = picture_.width();
    PicHeight = picture_.height();
    return 1;
}

void TSoPic::PaintPicture(Bitmap& target) {
    if (FileName.empty()) {
        PaintPlaceholder(target, TargetWidth, TargetHeight);
        return;
    }
    Canvas canvas(target);
    if (canvas.stretchHalftone(0, 0, TargetWidth, TargetHeight, picture_)) return;
    // A direct stretch that cannot be done goes through a bitmap of half the target size.
    Bitmap half = Bitmap::create(TargetWidth / 2, TargetHeight / 2);
    if (half.isNull()) return;
    if (Canvas(half).stretchHalftone(0, 0, half.width(), half.height(), picture_))
        canvas.stretchHalftone(0, 0, TargetWidth, TargetHeight, half);
}

void TSoPic::SaveBlock(std::string& out) const {
    WriteBlockOpen(out, kPictureBlock);
    WriteField(out, kPictureFileName, FileName, kTagValue);
    WriteBlockClose(out, kPictureBlock);
}

int TSoPic::LoadBlock(TagStream& in) {
    return ReadFields(in, UnknownField::Reject,
                      [&](int number) {
                          return number == kPictureFileName ? FieldReadOf(ReadValue(in, FileName)) : FieldRead::Unknown;
                      })
               ? 1
               : 0;
}

}  // namespace sorvel

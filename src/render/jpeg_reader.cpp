#include "render/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace sorvel {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct ProgressMonitor {
    jpeg_progress_mgr pub;
};

// libjpeg's default would end the process; this returns to the decoder's setjmp.
[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt data, a file that ends early) fail the picture too: a half-grey wallpaper
// is not what the user chose.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0) onError(cinfo);
}

void onOutput(j_common_ptr) {}

// A progressive file can carry any number of scans, each one a pass over the whole picture.
void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMaxScans) onError(cinfo);
}

// Everything that must survive a longjmp lives here, outside the frame of the setjmp.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ProgressMonitor progress;
    std::string_view bytes;
    std::int64_t maxPixels = 0;
    Bitmap out;
    bool created = false;
};

std::uint8_t mul255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// No local with a destructor between the setjmp and any libjpeg call.
bool decode(DecodeState* st) {
    jpeg_decompress_struct* cinfo = &st->cinfo;
    cinfo->err = jpeg_std_error(&st->err.pub);
    st->err.pub.error_exit = onError;
    st->err.pub.emit_message = onMessage;
    st->err.pub.output_message = onOutput;
    if (setjmp(st->err.jump)) {
        if (st->created) jpeg_destroy_decompress(cinfo);
        st->created = false;
        return false;
    }
    jpeg_create_decompress(cinfo);
    st->created = true;
    cinfo->mem->max_memory_to_use = kJpegWorkMemory;
    st->progress.pub.progress_monitor = onProgress;
    cinfo->progress = &st->progress.pub;
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(st->bytes.data()),
                 static_cast<unsigned long>(st->bytes.size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) onError(reinterpret_cast<j_common_ptr>(cinfo));
    const std::int64_t w = cinfo->image_width, h = cinfo->image_height;
    if (w <= 0 || h <= 0 || w * h > st->maxPixels || !Bitmap::sizeAllowed(w, h))
        onError(reinterpret_cast<j_common_ptr>(cinfo));
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != (cmyk ? 4 : 3)) onError(reinterpret_cast<j_common_ptr>(cinfo));
    st->out = Bitmap::create(cinfo->output_width, cinfo->output_height);
    if (st->out.isNull()) onError(reinterpret_cast<j_common_ptr>(cinfo));
    JSAMPARRAY row = nullptr;
    if (cmyk)
        row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                          cinfo->output_width * 4, 1);
    // Adobe writes CMYK inverted (0 = full ink), as nearly every CMYK JPEG is.
    const bool inverted = cinfo->saw_Adobe_marker;
    QImage& image = st->out.image();
    while (cinfo->output_scanline < cinfo->output_height) {
        uchar* line = image.scanLine(static_cast<int>(cinfo->output_scanline));
        if (!cmyk) {
            JSAMPROW target = line;
            jpeg_read_scanlines(cinfo, &target, 1);
            continue;
        }
        jpeg_read_scanlines(cinfo, row, 1);
        for (JDIMENSION x = 0; x < cinfo->output_width; ++x) {
            const JSAMPLE* p = row[0] + x * 4;
            unsigned c = p[0], m = p[1], y = p[2], k = p[3];
            if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
            line[x * 3] = mul255(c, k);
            line[x * 3 + 1] = mul255(m, k);
            line[x * 3 + 2] = mul255(y, k);
        }
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    st->created = false;
    return true;
}

}  // namespace

Bitmap decodeJpeg(std::string_view bytes, std::int64_t maxPixels) {
    DecodeState st{};
    st.bytes = bytes;
    st.maxPixels = maxPixels;
    if (bytes.empty() || !decode(&st)) return {};
    return std::move(st.out);
}

}  // namespace sorvel

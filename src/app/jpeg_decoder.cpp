#include "app/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace {

// A crafted progressive file can hold thousands of tiny scans; no real picture needs this many.
constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Everything that must survive a longjmp lives here, outside the frame that calls setjmp.
struct Context {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    JpegImage image;
    std::vector<unsigned char> cmykRow;
    bool created = false;
};

[[noreturn]] void failWithMessage(j_common_ptr cinfo, const char* text) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", text);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void onErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    // Picture data that end early (at the end of the file, or at a marker) would be padded with grey to the
    // stated size: for a huge stated size that is minutes of work on nothing, and the picture is broken anyway.
    if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
        failWithMessage(cinfo, "the file is truncated");
    // Other warnings (stray bytes before a marker and the like) leave a picture worth showing.
}

void onProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) failWithMessage(cinfo, "the file holds too many scans");
    }
}

// Adobe writes CMYK inverted; libjpeg hands the stored values back as they are.
void cmykToRgb(const unsigned char* in, unsigned char* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<unsigned char>(c * k / 255);
        out[1] = static_cast<unsigned char>(m * k / 255);
        out[2] = static_cast<unsigned char>(y * k / 255);
    }
}

unsigned char greyOf(const unsigned char* rgb) {
    return static_cast<unsigned char>((rgb[0] * 299 + rgb[1] * 587 + rgb[2] * 114 + 500) / 1000);
}

// Returns an empty string on success, else the reason.
std::string run(Context& ctx, std::string_view bytes, const JpegDecoder& opts) {
    jpeg_decompress_struct& cinfo = ctx.cinfo;
    cinfo.err = jpeg_std_error(&ctx.err.pub);
    ctx.err.pub.error_exit = onErrorExit;
    ctx.err.pub.emit_message = onMessage;
    ctx.err.message[0] = '\0';
    if (setjmp(ctx.err.jump)) {
        if (ctx.created) jpeg_destroy_decompress(&cinfo);
        ctx.created = false;
        return ctx.err.message[0] ? std::string(ctx.err.message) : std::string("the file cannot be decoded");
    }
    jpeg_create_decompress(&cinfo);
    ctx.created = true;
    cinfo.mem->max_memory_to_use = opts.memoryLimit;
    ctx.progress.progress_monitor = onProgress;
    cinfo.progress = &ctx.progress;

    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0)
        failWithMessage(reinterpret_cast<j_common_ptr>(&cinfo), "the picture has no pixels");

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk) cinfo.out_color_space = JCS_CMYK;
    else cinfo.out_color_space = opts.output == JpegOutput::Grey ? JCS_GRAYSCALE : JCS_RGB;
    cinfo.dct_method = opts.fastIntegerDct ? JDCT_IFAST : JDCT_ISLOW;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(JpegDecoder::chooseScaleDenom(static_cast<int>(cinfo.image_width),
                                                                            static_cast<int>(cinfo.image_height),
                                                                            opts.targetWidth, opts.targetHeight));
    jpeg_calc_output_dimensions(&cinfo);

    const std::size_t outPixels = std::size_t(cinfo.output_width) * cinfo.output_height;
    if (outPixels > opts.maxOutputPixels)
        failWithMessage(reinterpret_cast<j_common_ptr>(&cinfo), "the picture is too large");

    const int components = opts.output == JpegOutput::Grey ? 1 : 3;
    JpegImage& img = ctx.image;
    img.naturalWidth = static_cast<int>(cinfo.image_width);
    img.naturalHeight = static_cast<int>(cinfo.image_height);
    img.width = static_cast<int>(cinfo.output_width);
    img.height = static_cast<int>(cinfo.output_height);
    img.components = components;
    img.scaleDenom = static_cast<int>(cinfo.scale_denom);
    bool allocated = true;
    try {
        img.pixels.resize(outPixels * components);
        if (cmyk) ctx.cmykRow.resize(std::size_t(cinfo.output_width) * 4);
    } catch (const std::bad_alloc&) {
        allocated = false;  // jump only once the exception is finished with
    }
    if (!allocated) failWithMessage(reinterpret_cast<j_common_ptr>(&cinfo), "not enough memory for the picture");

    jpeg_start_decompress(&cinfo);
    const bool inverted = cinfo.saw_Adobe_marker;
    const std::size_t stride = std::size_t(img.width) * components;
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* dest = img.pixels.data() + stride * cinfo.output_scanline;
        if (!cmyk) {
            JSAMPROW row = dest;
            jpeg_read_scanlines(&cinfo, &row, 1);
            continue;
        }
        JSAMPROW row = ctx.cmykRow.data();
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (components == 3) {
            cmykToRgb(ctx.cmykRow.data(), dest, img.width, inverted);
        } else {
            unsigned char rgb[3];
            for (int x = 0; x < img.width; ++x) {
                cmykToRgb(ctx.cmykRow.data() + 4 * x, rgb, 1, inverted);
                dest[x] = greyOf(rgb);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    ctx.created = false;
    return {};
}

}  // namespace

int JpegDecoder::chooseScaleDenom(int width, int height, int targetWidth, int targetHeight) {
    if (targetWidth <= 0 || targetHeight <= 0) return 1;
    int denom = 1;
    for (int d : {2, 4, 8}) {
        // libjpeg rounds the scaled size up.
        const long w = (long(width) + d - 1) / d;
        const long h = (long(height) + d - 1) / d;
        if (w < targetWidth || h < targetHeight) break;
        denom = d;
    }
    return denom;
}

std::optional<JpegImage> JpegDecoder::decode(std::string_view bytes) {
    error_.clear();
    if (bytes.empty()) {
        error_ = "the file is empty";
        return std::nullopt;
    }
    auto ctx = std::make_unique<Context>();
    std::memset(&ctx->cinfo, 0, sizeof ctx->cinfo);
    const std::string reason = run(*ctx, bytes, *this);
    if (!reason.empty()) {
        error_ = reason;
        return std::nullopt;
    }
    return std::move(ctx->image);
}

std::optional<JpegImage> JpegDecoder::decodeFile(const std::string& path) {
    error_.clear();
    std::optional<std::string> bytes;
    try {
        bytes = readWholeFile(path, kMaxFileBytes);
    } catch (const IoError& e) {
        error_ = e.what();
        return std::nullopt;
    }
    if (!bytes) {
        error_ = "the file does not exist";
        return std::nullopt;
    }
    return decode(*bytes);
}

}  // namespace orv

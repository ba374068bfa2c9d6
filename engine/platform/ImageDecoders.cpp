#include "engine/platform/ImageDecoders.h"
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <cstring>
#include <jpeglib.h>
#include <vector>

namespace engine {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jpegFail(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (damaged data the decoder works around) are not reported: the file
// check already refused files that are cut short.
void jpegWarn(j_common_ptr) {}

// What outlives a failure of the decoder: everything the decoding allocates
// is reachable from here, so a jump back out of the library frees it.
struct JpegDecode {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    Image* image = nullptr;
    std::vector<uint8_t> row;
};

bool runJpegDecode(JpegDecode& d, const uint8_t* data, size_t size, const CreationContext& context) {
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = jpegFail;
    d.errors.manager.output_message = jpegWarn;
    d.errors.message[0] = '\0';
    if (setjmp(d.errors.jump)) return false;
    jpeg_create_decompress(&d.info);
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    d.info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&d.info);

    const uint32_t width = d.info.output_width, height = d.info.output_height;
    d.image = new Image(context, CF_R8G8B8, dimension2du(width, height));
    d.row.resize(size_t(width) * size_t(d.info.output_components));
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* out = d.image->getData() + size_t(y) * d.image->getPitch();
        JSAMPROW target = cmyk ? d.row.data() : out;
        if (jpeg_read_scanlines(&d.info, &target, 1) != 1) {
            std::strcpy(d.errors.message, "image data ends early");
            return false;
        }
        if (cmyk) {
            const uint8_t* in = d.row.data();
            for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
                const float black = in[3] / 255.0f;
                out[0] = uint8_t(in[0] * black);
                out[1] = uint8_t(in[1] * black);
                out[2] = uint8_t(in[2] * black);
            }
        }
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

Image* decodeJpeg(const uint8_t* data, size_t size, const CreationContext& context, std::string& problem) {
    JpegDecode decode;
    const bool ok = runJpegDecode(decode, data, size, context);
    jpeg_destroy_decompress(&decode.info);
    if (ok) return decode.image;
    if (decode.image) decode.image->release();
    problem = decode.errors.message[0] ? decode.errors.message : "could not be decoded";
    return nullptr;
}

Image* decodeBmp16(const uint8_t* data, size_t size, const ImageFileInfo& info, const CreationContext& context) {
    const size_t width = size_t(info.width), height = size_t(info.height);
    const size_t lineBytes = (width * 2 + 3) & ~size_t(3);
    if (info.dataOffset + lineBytes * height > size) return nullptr;
    Image* image = new Image(context, CF_A1R5G5B5, dimension2du(uint32_t(width), uint32_t(height)));
    // Rows are stored bottom-up.
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* in = data + info.dataOffset + (height - 1 - y) * lineBytes;
        uint8_t* out = image->getData() + y * image->getPitch();
        for (size_t x = 0; x < width; ++x) {
            out[2 * x] = in[2 * x];
            out[2 * x + 1] = uint8_t(in[2 * x + 1] | 0x80);
        }
    }
    return image;
}

}  // namespace engine

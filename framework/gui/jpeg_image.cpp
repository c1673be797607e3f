// The background picture is a JPEG; libjpeg decodes it into a Cairo image.
#include "framework/gui/bitmap.h"

#include <csetjmp>
#include <cstdio>

// After <cstdio>: libjpeg's header needs FILE and size_t.
#include <jpeglib.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr, int) {}

// Pictures larger than this are refused rather than allocated.
constexpr JDIMENSION kMaxSide = 16384;

} // namespace

cairo_surface_t* LoadJpegSurface(const std::string& path, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = "missing";
    return nullptr;
  }
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.emit_message = IgnoreJpegMessage;
  err.message[0] = '\0';
  // Everything that must be freed after a jump lives outside the jump's reach.
  cairo_surface_t* volatile surface = nullptr;

  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    if (surface) cairo_surface_destroy(surface);
    error = std::string("unreadable (") + err.message + ")";
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > kMaxSide ||
      cinfo.output_height > kMaxSide || cinfo.output_components != 3) {
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    error = "unsupported size or colour format";
    return nullptr;
  }
  const int w = static_cast<int>(cinfo.output_width);
  const int h = static_cast<int>(cinfo.output_height);
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    cairo_surface_destroy(surface);
    error = "out of memory";
    return nullptr;
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  // The row buffer belongs to libjpeg's pool, so a jump frees it with the decoder.
  JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(w) * 3, 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    jpeg_read_scanlines(&cinfo, rows, 1);
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const JSAMPLE* p = &rows[0][static_cast<size_t>(x) * 3];
      out[x] = 0xff000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return surface;
}

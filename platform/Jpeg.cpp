// The JPEG decoder over libjpeg's decompression API.
#include "Exceptions.h"
#include "Graphics.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings are not shown, except that data ending early counts as damage:
// libjpeg would fill the missing rows with grey and call the picture good.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnError(info);
}

// Owns the decompressor; the only object alive across setjmp, so a jump back
// skips no destructor.
struct Decompressor {
  jpeg_decompress_struct info{};
  ErrorManager err{};
  bool created = false;
  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

// Returns false and fills `message` on failure; nothing with a destructor
// lives between setjmp and the jumps.
bool Decode(Decompressor& d, const QByteArray& data, QImage& out) {
  d.info.err = jpeg_std_error(&d.err.base);
  d.err.base.error_exit = OnError;
  d.err.base.emit_message = OnMessage;
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.info);
  d.created = true;
  jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d.info, TRUE);
  d.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.info);
  out = QImage(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height), QImage::Format_RGB888);
  if (out.isNull()) return false;
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = out.scanLine(static_cast<int>(d.info.output_scanline));
    jpeg_read_scanlines(&d.info, &row, 1);
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
  if (data.isEmpty()) throw EConvertError(QStringLiteral("JPEG error: no data"));
  Decompressor d;
  QImage image;
  if (!Decode(d, data, image))
    throw EConvertError(
        QStringLiteral("JPEG error: %1")
            .arg(d.err.message[0] ? QString::fromLocal8Bit(d.err.message) : QStringLiteral("image too large")));
  return image;
}

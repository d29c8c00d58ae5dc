#include "platform/graphics/Jpeg.h"

#include "platform/graphics/GraphicIO.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

// The functions below that call setjmp hold only plain C data in their frames, and
// libjpeg's callbacks longjmp back into them from C frames: no destructor is skipped.

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct ProgressManager {
    jpeg_progress_mgr pub;
    ErrorManager* err;
};

constexpr int kMaxScans = 1000;  // a progressive file with more scans is taken as hostile

extern "C" void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

// Warnings are about damaged data (a truncated file would be filled with grey): they
// end the decoding as errors do. Trace messages (level > 0) are ignored.
extern "C" void JpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        JpegErrorExit(cinfo);
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

extern "C" void JpegProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* progress = reinterpret_cast<ProgressManager*>(cinfo->progress);
        std::snprintf(progress->err->message, sizeof progress->err->message, "more than %d scans", kMaxScans);
        longjmp(progress->err->jump, 1);
    }
}

void InitErrors(ErrorManager& err)
{
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegEmitMessage;
    err.pub.output_message = JpegOutputMessage;
}

struct DecodeJob {
    const uint8_t* data;
    size_t size;
    bool grayscale;
    uint32_t* pixels;  // width * height entries, or nullptr to read the header only
    int width, height, components, colorSpace;
    bool progressive;
    char message[JMSG_LENGTH_MAX];
};

bool RunDecode(DecodeJob* job)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ProgressManager progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        std::memcpy(job->message, err.message, sizeof job->message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.pub.progress_monitor = JpegProgress;
    progress.err = &err;
    cinfo.progress = &progress.pub;
    cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
    jpeg_mem_src(&cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(&cinfo, TRUE);
    job->width = int(cinfo.image_width);
    job->height = int(cinfo.image_height);
    job->components = cinfo.num_components;
    job->colorSpace = int(cinfo.jpeg_color_space);
    job->progressive = cinfo.progressive_mode != 0;
    if (!job->pixels) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (job->grayscale)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (int(cinfo.output_width) != job->width || int(cinfo.output_height) != job->height) {
        std::snprintf(job->message, sizeof job->message, "output size differs from the header");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const int n = cinfo.output_components;
    const bool adobe = cinfo.saw_Adobe_marker != 0;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * JDIMENSION(n), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            std::snprintf(job->message, sizeof job->message, "the data ends before the last line");
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        uint32_t* out = job->pixels + size_t(y) * size_t(job->width);
        const JSAMPLE* s = row[0];
        for (int x = 0; x < job->width; ++x, s += n) {
            uint32_t r, g, b;
            if (n == 1) {
                r = g = b = s[0];
            } else if (n == 4) {
                // Adobe writes CMYK inverted; others plain.
                const uint32_t c = adobe ? s[0] : 255u - s[0], m = adobe ? s[1] : 255u - s[1];
                const uint32_t yy = adobe ? s[2] : 255u - s[2], k = adobe ? s[3] : 255u - s[3];
                r = c * k / 255;
                g = m * k / 255;
                b = yy * k / 255;
            } else {
                r = s[0];
                g = s[1];
                b = s[2];
            }
            out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

struct EncodeJob {
    const uint32_t* pixels;
    int width, height, quality;
    bool grayscale, progressive;
    unsigned char* output;  // malloc'd by libjpeg; the caller frees it
    unsigned long outputSize;
    unsigned char* row;     // width * 3 bytes, the caller's
    char message[JMSG_LENGTH_MAX];
};

bool RunEncode(EncodeJob* job)
{
    jpeg_compress_struct cinfo;
    ErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    InitErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        std::memcpy(job->message, err.message, sizeof job->message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job->output, &job->outputSize);
    cinfo.image_width = JDIMENSION(job->width);
    cinfo.image_height = JDIMENSION(job->height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (job->grayscale)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo, job->quality, TRUE);
    if (job->progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    JSAMPROW rows[1] = {job->row};
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* src = job->pixels + size_t(cinfo.next_scanline) * size_t(job->width);
        for (int x = 0; x < job->width; ++x) {
            job->row[x * 3] = JSAMPLE((src[x] >> 16) & 0xFF);
            job->row[x * 3 + 1] = JSAMPLE((src[x] >> 8) & 0xFF);
            job->row[x * 3 + 2] = JSAMPLE(src[x] & 0xFF);
        }
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

[[noreturn]] void Fail(const char* what, const char* message)
{
    throw EInvalidGraphic(AnsiString("JPEG: ") + what + ": " + message);
}

}  // namespace

TJpegInfo ReadJpegHeader(const uint8_t* data, size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw EInvalidGraphic("JPEG: not a JPEG image (no start-of-image marker)");
    DecodeJob job{};
    job.data = data;
    job.size = size;
    if (!RunDecode(&job))
        Fail("damaged header", job.message);
    if (job.width <= 0 || job.height <= 0)
        throw EInvalidGraphic("JPEG: the image has no pixels");
    return TJpegInfo{job.width, job.height, job.components, job.progressive};
}

TPixelBuffer DecodeJpeg(const uint8_t* data, size_t size, bool grayscale, TJpegInfo* info)
{
    const TJpegInfo header = ReadJpegHeader(data, size);
    if (int64_t(header.Width) * header.Height > kMaxJpegPixels)
        throw EInvalidGraphic("JPEG: an image of " + std::to_string(header.Width) + " x " +
                              std::to_string(header.Height) + " pixels is too large");
    TPixelBuffer out;
    out.Width = header.Width;
    out.Height = header.Height;
    out.Pixels.assign(size_t(header.Width) * size_t(header.Height), 0xFFFFFFFFu);
    DecodeJob job{};
    job.data = data;
    job.size = size;
    job.grayscale = grayscale;
    job.pixels = out.Pixels.data();
    if (!RunDecode(&job))
        Fail("damaged image data", job.message);
    if (info)
        *info = header;
    return out;
}

AnsiString EncodeJpeg(const TPixelBuffer& pixels, int quality, bool grayscale, bool progressive)
{
    if (pixels.Width <= 0 || pixels.Height <= 0 || pixels.Width > 65500 || pixels.Height > 65500 ||
        pixels.Pixels.size() != size_t(pixels.Width) * size_t(pixels.Height))
        throw EInvalidGraphic("JPEG: cannot compress an image of " + std::to_string(pixels.Width) + " x " +
                              std::to_string(pixels.Height) + " pixels");
    std::vector<unsigned char> row(size_t(pixels.Width) * 3);
    EncodeJob job{};
    job.pixels = pixels.Pixels.data();
    job.width = pixels.Width;
    job.height = pixels.Height;
    job.quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    job.grayscale = grayscale;
    job.progressive = progressive;
    job.row = row.data();
    const bool ok = RunEncode(&job);
    AnsiString out;
    if (ok && job.output)
        out.assign(reinterpret_cast<const char*>(job.output), job.outputSize);
    std::free(job.output);
    if (!ok)
        Fail("compression failed", job.message);
    return out;
}

// ---------------------------------------------------------------- TJPEGImage

SKLAD_DEFINE_CLASS(TJPEGImage)
void TJPEGImage::Publish(TPropertyTable& t)
{
    t.Prop("CompressionQuality", &TJPEGImage::GetCompressionQuality, &TJPEGImage::SetCompressionQuality).Default(90);
    t.Prop("Grayscale", &TJPEGImage::GetGrayscale, &TJPEGImage::SetGrayscale).Default(false);
    t.Prop("Performance", &TJPEGImage::GetPerformance, &TJPEGImage::SetPerformance).Default(jpBestQuality);
    t.Prop("ProgressiveEncoding", &TJPEGImage::GetProgressiveEncoding, &TJPEGImage::SetProgressiveEncoding)
        .Default(false);
    t.Prop("Scale", &TJPEGImage::GetScale, &TJPEGImage::SetScale).Default(jsFullSize);
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(int value)
{
    FQuality = value < 1 ? 1 : value > 100 ? 100 : value;
}

void TJPEGImage::SetGrayscale(bool value)
{
    if (value == FGrayscale)
        return;
    FGrayscale = value;
    if (!FBitmapIsSource)
        FBitmap.reset();  // decoded again in the new colours
    Changed();
}

TBitmap* TJPEGImage::GetBitmap()
{
    if (!FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        if (!FData.empty())
            FBitmap->SetPixels(
                DecodeJpeg(reinterpret_cast<const uint8_t*>(FData.data()), FData.size(), FGrayscale));
    }
    return FBitmap.get();
}

void TJPEGImage::Compress()
{
    if (!FBitmapIsSource || !FBitmap)
        return;
    FData = EncodeJpeg(FBitmap->Pixels(), FQuality, FGrayscale, FProgressive);
    FBitmapIsSource = false;
    FBitmap.reset();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty())
        return;
    canvas.DrawPixels(rect, GetBitmap()->Pixels());
}

void TJPEGImage::LoadFromStream(TStream& stream)
{
    AnsiString data = ReadRest(stream, "JPEG");
    // The whole image is decoded once here, so damage shows now and not at drawing time.
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixels(DecodeJpeg(reinterpret_cast<const uint8_t*>(data.data()), data.size(), FGrayscale));
    FData = std::move(data);
    FWidth = bitmap->GetWidth();
    FHeight = bitmap->GetHeight();
    FBitmap = std::move(bitmap);
    FBitmapIsSource = false;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    Compress();
    if (!FData.empty())
        stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TJPEGImage::Assign(TPersistent* source)
{
    if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
        FData = j->FData;
        FBitmap.reset();
        FBitmapIsSource = j->FBitmapIsSource;
        if (j->FBitmapIsSource && j->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(j->FBitmap.get());
        }
        FWidth = j->FWidth;
        FHeight = j->FHeight;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        FProgressive = j->FProgressive;
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(b);
        FWidth = copy->GetWidth();
        FHeight = copy->GetHeight();
        FBitmap = std::move(copy);
        FBitmapIsSource = true;
        FData.clear();
        Changed();
        return;
    }
    if (!source) {
        FData.clear();
        FBitmap.reset();
        FBitmapIsSource = false;
        FWidth = FHeight = 0;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

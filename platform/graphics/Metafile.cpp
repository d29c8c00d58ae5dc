#include "platform/graphics/Metafile.h"

#include "platform/graphics/GraphicIO.h"

#include <algorithm>

namespace {

constexpr char kSignature[4] = {'S', 'K', 'M', 'F'};
constexpr uint16_t kVersion = 1;
constexpr int kMaxFrame = 1 << 20;

}  // namespace

SKLAD_DEFINE_CLASS(TMetafile)
void TMetafile::Publish(TPropertyTable&) {}

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::SetWidth(int value)
{
    if (value < 0 || value > kMaxFrame || value == FWidth)
        return;
    FWidth = value;
    Changed();
}

void TMetafile::SetHeight(int value)
{
    if (value < 0 || value > kMaxFrame || value == FHeight)
        return;
    FHeight = value;
    Changed();
}

void TMetafile::SetRecords(TDrawRecords records)
{
    for (size_t i = 0; i < records.size(); ++i) {
        const AnsiString problem = CheckRecord(records[i]);
        if (!problem.empty())
            throw EInvalidGraphic("metafile, record " + std::to_string(i + 1) + ": " + problem);
    }
    FRecords = std::move(records);
    Changed();
}

void TMetafile::Clear()
{
    FRecords.clear();
    FWidth = FHeight = 0;
    Changed();
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect)
{
    TCanvasDevice* device = canvas.GetDevice();
    if (!device)
        return;
    const double sx = FWidth > 0 ? double(rect.Width()) / FWidth : 1.0;
    const double sy = FHeight > 0 ? double(rect.Height()) / FHeight : 1.0;
    PlayRecords(FRecords, *device, sx, sy, rect.Left, rect.Top);
    // The records selected their own pens, fonts and clipping: the canvas sends its own
    // again before its next call.
    const bool clipped = std::any_of(FRecords.begin(), FRecords.end(),
                                     [](const TDrawRecord& r) { return r.Op == TDrawOp::Clip; });
    if (clipped && !canvas.HasClip())
        device->SetClip(nullptr);
    canvas.SetDevice(device);
}

void TMetafile::Assign(TPersistent* source)
{
    if (auto* m = dynamic_cast<TMetafile*>(source)) {
        FRecords = m->FRecords;
        FWidth = m->FWidth;
        FHeight = m->FHeight;
        FEnhanced = m->FEnhanced;
        Changed();
        return;
    }
    if (!source) {
        Clear();
        return;
    }
    TGraphic::Assign(source);
}

AnsiString TMetafile::Encode() const
{
    AnsiString out(kSignature, 4);
    PutU16(out, kVersion);
    PutU32(out, uint32_t(FWidth));
    PutU32(out, uint32_t(FHeight));
    PutU32(out, uint32_t(FRecords.size()));
    for (const TDrawRecord& r : FRecords) {
        PutU8(out, uint8_t(r.Op));
        PutU32(out, uint32_t(r.Args.size()));
        for (int32_t v : r.Args)
            PutU32(out, uint32_t(v));
        PutU32(out, uint32_t(r.Text.size()));
        out += r.Text;
        PutU8(out, r.Pixels ? 1 : 0);
        if (r.Pixels) {
            PutU32(out, uint32_t(r.Pixels->Width));
            PutU32(out, uint32_t(r.Pixels->Height));
            for (uint32_t p : r.Pixels->Pixels)
                PutU32(out, p);
        }
    }
    return out;
}

void TMetafile::Decode(const uint8_t* data, size_t size)
{
    TByteReader in(data, size, "metafile");
    const AnsiString signature = in.Bytes(4, "signature");
    if (signature != AnsiString(kSignature, 4))
        in.Fail("not a metafile of this program (no SKMF signature)");
    const uint16_t version = in.U16("version");
    if (version != kVersion)
        in.Fail("unknown metafile version " + std::to_string(version));
    const int32_t width = in.I32("width"), height = in.I32("height");
    if (width < 0 || height < 0 || width > kMaxFrame || height > kMaxFrame)
        in.Fail("frame size out of range");
    const uint32_t count = in.U32("record count");
    // The smallest record takes 10 bytes: a count that cannot fit is refused at once.
    if (count > in.Remaining() / 10)
        in.Fail("record count " + std::to_string(count) + " is more than the data can hold");
    TDrawRecords records;
    records.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        TDrawRecord r;
        const uint8_t op = in.U8("operation");
        if (op >= uint8_t(TDrawOp::Count))
            in.Fail("record " + std::to_string(i + 1) + ": unknown operation " + std::to_string(op));
        r.Op = TDrawOp(op);
        const uint32_t n = in.U32("argument count");
        if (n > in.Remaining() / 4)
            in.Fail("record " + std::to_string(i + 1) + ": more arguments than data");
        r.Args.resize(n);
        for (uint32_t k = 0; k < n; ++k)
            r.Args[k] = in.I32("arguments");
        const uint32_t textLength = in.U32("text length");
        r.Text = in.Bytes(textLength, "text");
        const uint8_t hasPixels = in.U8("pixel flag");
        if (hasPixels > 1)
            in.Fail("record " + std::to_string(i + 1) + ": bad pixel flag");
        if (hasPixels) {
            auto pixels = std::make_shared<TPixelBuffer>();
            pixels->Width = in.I32("bitmap width");
            pixels->Height = in.I32("bitmap height");
            if (pixels->Width <= 0 || pixels->Height <= 0 ||
                int64_t(pixels->Width) * pixels->Height > kMaxBitmapPixels)
                in.Fail("record " + std::to_string(i + 1) + ": bitmap size out of range");
            const size_t total = size_t(pixels->Width) * size_t(pixels->Height);
            in.Need(total * 4, "bitmap pixels");
            pixels->Pixels.resize(total);
            for (size_t k = 0; k < total; ++k)
                pixels->Pixels[k] = in.U32("bitmap pixels");
            r.Pixels = std::move(pixels);
        }
        const AnsiString problem = CheckRecord(r);
        if (!problem.empty())
            in.Fail("record " + std::to_string(i + 1) + ": " + problem);
        records.push_back(std::move(r));
    }
    if (in.Remaining() != 0)
        in.Fail("data after the last record");
    FRecords = std::move(records);
    FWidth = width;
    FHeight = height;
    Changed();
}

void TMetafile::LoadFromStream(TStream& stream)
{
    const AnsiString data = ReadRest(stream, "metafile");
    Decode(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

void TMetafile::SaveToStream(TStream& stream)
{
    const AnsiString data = Encode();
    stream.WriteBuffer(data.data(), int64_t(data.size()));
}

// ---------------------------------------------------------------- TMetafileCanvas

SKLAD_DEFINE_ABSTRACT_CLASS(TMetafileCanvas)

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, int, TFontBackend* fonts)
    : FMetafile(metafile), FRecorder(fonts ? fonts : &DefaultFontBackend())
{
    SetDevice(&FRecorder);
}

TMetafileCanvas::~TMetafileCanvas()
{
    SetDevice(nullptr);
    if (FMetafile)
        FMetafile->EndRecording(FRecorder);
}

void TMetafile::EndRecording(TRecordingDevice& recorder) noexcept
{
    const TRect extent = recorder.Extent();
    try {
        // The new drawing replaces the old one, as on the platform: a picture recorded
        // again (or drawn into a canvas of its own) does not keep growing.
        SetRecords(recorder.TakeRecords());
        if (GetWidth() == 0 && GetHeight() == 0) {
            SetWidth(std::max(0, extent.Right));
            SetHeight(std::max(0, extent.Bottom));
        }
    } catch (...) {
        // Called from destructors; records made by our own device are always well formed.
    }
}

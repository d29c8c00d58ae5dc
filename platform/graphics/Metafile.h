// Metafile.h - TMetafile: a picture made of recorded drawing calls, and its canvas.
//
// A metafile holds the records of a TRecordingDevice and a frame size (Width x Height in
// pixels at 96 per inch). Drawing it into a rectangle plays the records scaled from the
// frame to that rectangle, on any canvas: screen, printer, PDF, another recording.
//
// Stream format (our own; little-endian):
//   "SKMF" u16 version(1) i32 width i32 height u32 record-count
//   per record: u8 op, u32 n, n x i32 args, u32 text length, text bytes (CP1251),
//               u8 has-pixels [i32 width, i32 height, width*height x u32 pixels]
// A bitmap stretched colour on colour carries its mode as a sixth argument; bitmaps
// without it are smoothed, as every bitmap of older streams was.
// Every count and length is checked against the bytes that are left and every record
// against its operation (RecordingDevice.h) before anything is kept: a damaged stream
// raises EInvalidGraphic and leaves the metafile as it was.
#pragma once

#include "platform/graphics/Graphic.h"
#include "platform/graphics/RecordingDevice.h"

class TMetafile : public TGraphic {
    SKLAD_CLASS(TMetafile, TGraphic)
public:
    TMetafile();
    ~TMetafile() override;

    bool Empty() const override { return FRecords.empty(); }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool GetEnhanced() const { return FEnhanced; }
    void SetEnhanced(bool value) { FEnhanced = value; }

    const TDrawRecords& Records() const { return FRecords; }
    void SetRecords(TDrawRecords records);
    // Ends a recording made into this metafile (by a metafile canvas): its records replace
    // the drawing, as on the platform, and a metafile without a frame size takes the extent
    // of the drawing. Every canvas that records into a metafile ends through here.
    void EndRecording(TRecordingDevice& recorder) noexcept;
    void Clear();

    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* source) override;

    // The stream format as bytes, and back (EInvalidGraphic on damage).
    AnsiString Encode() const;
    void Decode(const uint8_t* data, size_t size);

private:
    TDrawRecords FRecords;
    int FWidth = 0, FHeight = 0;
    bool FEnhanced = true;
};

// A canvas that records into a metafile. What is drawn replaces the metafile's drawing when
// the canvas is destroyed (as on the platform); a metafile without a frame size then takes
// the extent of the drawing.
class TMetafileCanvas : public TCanvas {
    SKLAD_CLASS_NOPUBLISH(TMetafileCanvas, TCanvas)
public:
    // `referenceDevice` is accepted for compatibility: measuring uses `fonts` (or the
    // default backend) at 96 pixels per inch.
    TMetafileCanvas(TMetafile* metafile, int referenceDevice = 0, TFontBackend* fonts = nullptr);
    ~TMetafileCanvas() override;

private:
    TMetafile* FMetafile;
    TRecordingDevice FRecorder;
};

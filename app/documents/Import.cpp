#include "app/documents/Import.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>

namespace {

// A cursor over the file's bytes that never reads past `size`.
class TReader {
public:
    TReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    size_t Left() const { return FSize - FPos; }
    size_t Pos() const { return FPos; }

    bool U32(uint32_t& v)
    {
        if (Left() < 4)
            return false;
        v = uint32_t(FData[FPos]) | uint32_t(FData[FPos + 1]) << 8 | uint32_t(FData[FPos + 2]) << 16 |
            uint32_t(FData[FPos + 3]) << 24;
        FPos += 4;
        return true;
    }
    bool F32(float& v)
    {
        uint32_t bits = 0;
        if (!U32(bits))
            return false;
        std::memcpy(&v, &bits, 4);
        return true;
    }
    bool Text(AnsiString& s)
    {
        if (Left() < OrderRequestFile::kTextSize)
            return false;
        const char* p = reinterpret_cast<const char*>(FData + FPos);
        const void* zero = std::memchr(p, 0, OrderRequestFile::kTextSize);
        s.assign(p, zero ? static_cast<const char*>(zero) - p : OrderRequestFile::kTextSize);
        FPos += OrderRequestFile::kTextSize;
        return true;
    }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

TImportRead Damaged(AnsiString detail)
{
    return {TImportStatus::Damaged, std::move(detail)};
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const AnsiString& s)
{
    for (size_t i = 0; i < OrderRequestFile::kTextSize; ++i)
        out.push_back(i < s.size() ? uint8_t(s[i]) : 0);
}

void PutF32(std::vector<uint8_t>& out, float f)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    PutU32(out, bits);
}

}  // namespace

TImportRead ReadOrderRequest(const uint8_t* data, size_t size, OrderRequestFile& out, const TFormatSettings& fs)
{
    out = OrderRequestFile{};
    TReader r(data, size);
    if (!r.U32(out.Version))
        return {TImportStatus::NotRequest, {}};
    if (out.Version != 0)
        return {TImportStatus::BadVersion, {}};
    if (!r.U32(out.Magic) || out.Magic != OrderRequestFile::kMagic)
        return {TImportStatus::NotRequest, {}};
    if (!r.U32(out.Count))
        return Damaged("файл кончается на заголовке (" + IntToStr(int64_t(size)) + " байт)");
    if (out.Count == 0)
        return {TImportStatus::Empty, {}};
    if (!r.Text(out.Customer) || !r.Text(out.DocumentNumber) || !r.Text(out.DueDate))
        return Damaged("файл кончается на заголовке (" + IntToStr(int64_t(size)) + " байт)");

    // The count must fit the bytes that follow before anything is reserved for it.
    const uint64_t need = uint64_t(out.Count) * OrderRequestFile::kRecordSize;
    if (need > r.Left())
        return Damaged("в заголовке " + IntToStr(int64_t(out.Count)) + " строк, а в файле место только для " +
                       IntToStr(int64_t(r.Left() / OrderRequestFile::kRecordSize)));

    TDateTime due;
    if (!TryStrToDateTime(out.DueDate, due, fs))
        return Damaged("дата сдачи \"" + out.DueDate + "\" не является датой");
    out.Due = due;

    out.Records.resize(out.Count);
    for (uint32_t i = 0; i < out.Count; ++i) {
        OrderRequestRecord& rec = out.Records[i];
        // Lengths were checked above: each read below stays inside the file.
        r.Text(rec.Spare);
        r.Text(rec.ItemName);
        r.F32(rec.Quantity);
        r.Text(rec.UnitName);
        r.F32(rec.Price);
        if (!std::isfinite(rec.Quantity) || !std::isfinite(rec.Price))
            return Damaged("строка " + IntToStr(int64_t(i) + 1) + ": количество или цена не число");
        if (std::fabs(rec.Quantity) > 1e12f || std::fabs(rec.Price) > 1e12f)
            return Damaged("строка " + IntToStr(int64_t(i) + 1) + ": количество или цена вне допустимых пределов");
    }
    return {TImportStatus::Ok, {}};
}

double ExactFigure(float value)
{
    if (!std::isfinite(value))
        return value;
    char text[32];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    double exact = value;
    std::from_chars(text, end, exact);
    return exact;
}

TImportRead ReadOrderRequest(const uint8_t* data, size_t size, OrderRequestFile& out)
{
    return ReadOrderRequest(data, size, out, FormatSettings());
}

bool ReadImportFile(const AnsiString& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::ifstream in(PathToSystem(path), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > OrderRequestFile::kMaxFileSize)
        return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(size_t(size));
    if (size > 0)
        in.read(reinterpret_cast<char*>(bytes.data()), size);
    return bool(in) || size == 0;
}

AnsiString ImportStatusText(const TImportRead& read, const AnsiString& path)
{
    switch (read.Status) {
    case TImportStatus::Ok:
    case TImportStatus::Empty: return {};
    case TImportStatus::BadVersion: return "Версия не поддерживается";
    case TImportStatus::NotRequest: return "Не поддерживаемый файл";
    case TImportStatus::Damaged: return "Файл заявки " + path + " поврежден: " + read.Detail;
    }
    return {};
}

std::vector<uint8_t> WriteOrderRequest(const OrderRequestFile& file)
{
    std::vector<uint8_t> out;
    out.reserve(OrderRequestFile::kHeaderSize + file.Records.size() * OrderRequestFile::kRecordSize);
    PutU32(out, file.Version);
    PutU32(out, file.Magic);
    PutU32(out, uint32_t(file.Records.size()));
    PutText(out, file.Customer);
    PutText(out, file.DocumentNumber);
    PutText(out, file.DueDate);
    for (const OrderRequestRecord& r : file.Records) {
        PutText(out, r.Spare);
        PutText(out, r.ItemName);
        PutF32(out, r.Quantity);
        PutText(out, r.UnitName);
        PutF32(out, r.Price);
    }
    return out;
}

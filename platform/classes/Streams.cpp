// Streams.cpp - TStream and its memory, file and string streams; temporary files.
#include "platform/classes/Streams.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

SKLAD_DEFINE_CLASS(TStream)
SKLAD_DEFINE_CLASS(TCustomMemoryStream)
SKLAD_DEFINE_CLASS(TMemoryStream)
SKLAD_DEFINE_ABSTRACT_CLASS(THandleStream)
SKLAD_DEFINE_CLASS(TFileStream)
SKLAD_DEFINE_CLASS(TStringStream)

void TStream::Publish(TPropertyTable&) {}

namespace {

AnsiString SystemError(int err) { return Utf8ToAnsi(std::strerror(err)); }

// New position for a seek within [0, size]; positions past the end are allowed for
// writing streams, negative ones are clamped to 0 as the platform's memory stream does.
int64_t NewPosition(int64_t cur, int64_t size, int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    switch (origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = cur; break;
    case soEnd: base = size; break;
    }
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset))
        return std::numeric_limits<int64_t>::max();
    int64_t p = base + offset;
    return p < 0 ? 0 : p;
}

}  // namespace

// ---------------------------------------------------------------- TStream

int64_t TStream::Seek(int64_t offset, uint16_t origin)
{
    if (origin > soFromEnd)
        throw EStreamError(Format(msg::kSeekError, {static_cast<int>(origin)}));
    return Seek(offset, static_cast<TSeekOrigin>(origin));
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError(msg::kReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError(msg::kWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    if (count < 0)
        throw EReadError(msg::kReadError);
    const int64_t result = count;
    char buf[64 * 1024];
    while (count > 0) {
        const int64_t n = std::min<int64_t>(count, sizeof buf);
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        count -= n;
    }
    return result;
}

int64_t TStream::GetSize()
{
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

// ---------------------------------------------------------------- memory streams

void TCustomMemoryStream::SetPointer(const char* data, size_t size)
{
    FData = data;
    FSize = size;
}

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || FPosition >= FSize)
        return 0;
    const size_t n = std::min<size_t>(static_cast<size_t>(count), FSize - FPosition);
    std::memcpy(buffer, FData + FPosition, n);
    FPosition += n;
    return static_cast<int64_t>(n);
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    FPosition = static_cast<size_t>(NewPosition(static_cast<int64_t>(FPosition), static_cast<int64_t>(FSize), offset, origin));
    return static_cast<int64_t>(FPosition);
}

void TCustomMemoryStream::SaveToStream(TStream& stream)
{
    if (FSize)
        stream.WriteBuffer(FData, static_cast<int64_t>(FSize));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName)
{
    SaveFileWhole(fileName, [this](TStream& f) { SaveToStream(f); });
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const size_t end = FPosition + static_cast<size_t>(count);
    if (end > FBuffer.size())
        FBuffer.resize(end);
    std::memcpy(FBuffer.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    FSize = std::max(FSize, end);
    Sync();
    return count;
}

void TMemoryStream::SetSize(int64_t size)
{
    if (size < 0)
        throw EStreamError(Format(msg::kSizeError, {IntToStr(size)}));
    FBuffer.resize(static_cast<size_t>(size));
    FSize = static_cast<size_t>(size);
    if (FPosition > FSize)
        FPosition = FSize;
    Sync();
}

void TMemoryStream::Clear()
{
    FBuffer.clear();
    FSize = 0;
    FPosition = 0;
    Sync();
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const int64_t n = stream.GetSize();
    SetSize(n);
    if (n)
        stream.ReadBuffer(FBuffer.data(), n);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

// ---------------------------------------------------------------- handle and file streams

int64_t THandleStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::read(FHandle, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(FHandle, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, static_cast<off_t>(offset), whence);
    if (r < 0)
        throw EStreamError(Format(msg::kSeekError, {static_cast<int>(origin)}));
    return static_cast<int64_t>(r);
}

void THandleStream::SetSize(int64_t size)
{
    if (size < 0 || ::ftruncate(FHandle, static_cast<off_t>(size)) != 0)
        throw EStreamError(Format(msg::kSizeError, {IntToStr(size)}));
    if (GetPosition() > size)
        SetPosition(size);
}

TFileStream::TFileStream(const AnsiString& fileName, uint16_t mode) : FFileName(fileName)
{
    const AnsiString path = PathToSystem(fileName);
    if (mode == fmCreate) {
        FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(errno)}));
        return;
    }
    int flags = O_CLOEXEC;
    switch (mode & 0x0003) {
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    FHandle = ::open(path.c_str(), flags);
    if (FHandle < 0)
        throw EFOpenError(Format(msg::kFOpenError, {fileName, SystemError(errno)}));
    struct stat st {};
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError(Format(msg::kFOpenError, {fileName, SystemError(EISDIR)}));
    }
}

void THandleStream::Flush()
{
    if (::fsync(FHandle) != 0)
        throw EWriteError(msg::kWriteError);
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

// ---------------------------------------------------------------- TStringStream

int64_t TStringStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || FPosition >= FData.size())
        return 0;
    const size_t n = std::min<size_t>(static_cast<size_t>(count), FData.size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return static_cast<int64_t>(n);
}

int64_t TStringStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const size_t end = FPosition + static_cast<size_t>(count);
    if (end > FData.size())
        FData.resize(end);
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TStringStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t p = NewPosition(static_cast<int64_t>(FPosition), static_cast<int64_t>(FData.size()), offset, origin);
    FPosition = static_cast<size_t>(std::min<int64_t>(p, static_cast<int64_t>(FData.size())));
    return static_cast<int64_t>(FPosition);
}

void TStringStream::SetSize(int64_t size)
{
    if (size < 0)
        throw EStreamError(Format(msg::kSizeError, {IntToStr(size)}));
    FData.resize(static_cast<size_t>(size));
    FPosition = std::min(FPosition, FData.size());
}

AnsiString TStringStream::ReadString(int64_t count)
{
    if (count <= 0 || FPosition >= FData.size())
        return {};
    const size_t n = std::min<size_t>(static_cast<size_t>(count), FData.size() - FPosition);
    AnsiString r = FData.substr(FPosition, n);
    FPosition += n;
    return r;
}

// ---------------------------------------------------------------- temporary files

AnsiString CreateTempFile(const AnsiString& dir, const AnsiString& prefix)
{
    AnsiString base = dir.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(dir);
    AnsiString templ = PathToSystem(base + prefix) + "XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    int fd = ::mkstemp(buf.data());
    if (fd < 0)
        throw EFCreateError(Format(msg::kTempFileError, {base, SystemError(errno)}));
    ::close(fd);
    return PathFromSystem(buf.data());
}

void SaveFileWhole(const AnsiString& fileName, const std::function<void(TStream&)>& write)
{
    AnsiString dir = ExtractFileDir(fileName);
    if (dir.empty())
        dir = ".";
    // The new file must be in the same folder: a rename never moves data between disks.
    const AnsiString sysName = PathToSystem(fileName);
    // Made with the mode a new file gets (0666 less the process's mask) and, below, given
    // the old file's: asking the mask with umask() would change it for other threads.
    const std::string base = PathToSystem(IncludeTrailingPathDelimiter(dir) + ExtractFileName(fileName)) + ".tmp";
    std::string sysTmp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        sysTmp = base + std::to_string(::getpid()) + "." + std::to_string(attempt);
        fd = ::open(sysTmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 1000))
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(errno)}));
    }
    ::close(fd);
    const AnsiString tmp = PathFromSystem(sysTmp);
    try {
        {
            TFileStream out(tmp, fmOpenReadWrite);
            write(out);
            out.Flush();
        }
        struct stat old {};
        if (::stat(sysName.c_str(), &old) == 0)
            ::chmod(sysTmp.c_str(), old.st_mode & 07777);
        if (::rename(sysTmp.c_str(), sysName.c_str()) != 0) {
            const int err = errno;
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(err)}));
        }
    } catch (...) {
        ::unlink(sysTmp.c_str());
        throw;
    }
    // The rename itself is on disk once the folder is.
    const int d = ::open(PathToSystem(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
}

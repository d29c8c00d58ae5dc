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
    // Opened without waiting: a named pipe or socket with nobody at the other end
    // would hold the program until someone came. Only files (and devices) are kept.
    int flags = O_CLOEXEC | O_NONBLOCK;
    if (mode == fmCreate)
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    else
        switch (mode & 0x0003) {
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: flags |= O_RDONLY; break;
        }
    const auto refuse = [&](int err) {
        if (mode == fmCreate)
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(err)}));
        throw EFOpenError(Format(msg::kFOpenError, {fileName, SystemError(err)}));
    };
    FHandle = ::open(path.c_str(), flags, 0666);
    if (FHandle < 0)
        refuse(errno == ENXIO ? ENODEV : errno);  // ENXIO: a pipe nobody reads
    struct stat st {};
    int err = ::fstat(FHandle, &st) != 0 ? errno
              : S_ISDIR(st.st_mode)                             ? EISDIR
              : S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)   ? ENODEV
                                                                : 0;
    if (!err && ::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK) != 0)
        err = errno;
    if (err) {
        ::close(FHandle);
        FHandle = -1;
        refuse(err);
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

namespace {

// Whether the link `sysLink` (its lstat in `link`) is one the system itself would not follow:
// in a folder with the sticky bit that anyone may write, a link owned neither by the user nor
// by the folder's owner.
bool PlantedLink(const std::string& sysLink, const struct stat& link)
{
    const size_t slash = sysLink.rfind('/');
    const std::string sysDir = slash == std::string::npos ? "." : slash == 0 ? "/" : sysLink.substr(0, slash);
    struct stat d {};
    if (::stat(sysDir.c_str(), &d) != 0)
        return false;
    if (!(d.st_mode & S_ISVTX) || !(d.st_mode & S_IWOTH))
        return false;
    return link.st_uid != ::geteuid() && link.st_uid != d.st_uid;
}

}  // namespace

std::string FinalTarget(const std::string& name, const AnsiString& fileName)
{
    std::string at = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        if (PlantedLink(at, st))
            throw EFCreateError(Format(msg::kLinkRefusesSave, {fileName}));
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(at.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<size_t>(n) >= link.size())
            return at;
        link.resize(static_cast<size_t>(n));
        if (link.empty())
            return at;
        if (link[0] != '/') {
            const size_t slash = at.rfind('/');
            link = (slash == std::string::npos ? std::string() : at.substr(0, slash + 1)) + link;
        }
        at = link;
    }
    return at;  // a loop of links: the save reports what the system says of it
}

namespace {

// The new file, written through the handle it was made with: its name need not be
// expressible in the program's own code page.
class TNewFileStream : public THandleStream {
public:
    explicit TNewFileStream(int handle) { FHandle = handle; }
    ~TNewFileStream() override
    {
        if (FHandle >= 0)
            ::close(FHandle);
    }
    // Some file systems report a failed write only when the file is closed.
    void Close()
    {
        const int h = FHandle;
        FHandle = -1;
        if (::close(h) != 0)
            throw EWriteError(msg::kWriteError);
    }
};

}  // namespace

void KeepOwnerAndMode(int handle, const std::string& oldSysName)
{
    struct stat old {};
    if (::stat(oldSysName.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return;
    // In a shared folder the file stays the group's; a failure only leaves the saver's own.
    int kept = ::fchown(handle, old.st_uid, old.st_gid);
    if (kept != 0)
        kept = ::fchown(handle, static_cast<uid_t>(-1), old.st_gid);
    (void)kept;
    ::fchmod(handle, old.st_mode & 07777);  // after the owner: a new owner clears set-id bits
}

bool OnlyOwnerMayReplace(const std::string& sysName)
{
    struct stat f {}, d {};
    if (::stat(sysName.c_str(), &f) != 0 || !S_ISREG(f.st_mode))
        return false;
    const size_t slash = sysName.rfind('/');
    const std::string sysDir = slash == std::string::npos ? "." : slash == 0 ? "/" : sysName.substr(0, slash);
    if (::stat(sysDir.c_str(), &d) != 0 || !(d.st_mode & S_ISVTX))
        return false;
    const uid_t me = ::geteuid();
    return me != 0 && me != f.st_uid && me != d.st_uid;
}

void SaveFileWhole(const AnsiString& fileName, const std::function<void(TStream&)>& write)
{
    const std::string sysName = FinalTarget(PathToSystem(fileName), fileName);
    // A file the user may not write stays as it is, as it would were it written in place.
    if (::access(sysName.c_str(), F_OK) == 0 && ::access(sysName.c_str(), W_OK) != 0)
        throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(errno)}));
    // Nor is a file written over in place where it may not be replaced.
    if (OnlyOwnerMayReplace(sysName))
        throw EFCreateError(Format(msg::kStickyRefusesSave, {fileName}));
    const size_t slash = sysName.rfind('/');
    const std::string sysDir = slash == std::string::npos ? "." : slash == 0 ? "/" : sysName.substr(0, slash);
    // The new file must be in the same folder: a rename never moves data between disks.
    // Its name is cut short so that a long name still leaves room for the unique part.
    std::string name = slash == std::string::npos ? sysName : sysName.substr(slash + 1);
    if (name.size() > 64) {
        size_t cut = 64;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a character
        name.resize(cut);
    }
    // Made with the mode a new file gets (0666 less the process's mask) and, below, given
    // the old file's: asking the mask with umask() would change it for other threads.
    const std::string base = sysName.substr(0, slash == std::string::npos ? 0 : slash + 1) + name + ".tmp";
    std::string sysTmp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        sysTmp = base + std::to_string(::getpid()) + "." + std::to_string(attempt);
        fd = ::open(sysTmp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 1000)) {
            const int err = errno;
            // The old file is never written over in place: a crash or a full disk half-way
            // would leave neither the old text nor the new one.
            if (FolderRefusesNewFiles(err) && ::access(sysName.c_str(), F_OK) == 0)
                throw EFCreateError(Format(msg::kFolderRefusesSave, {fileName, SystemError(err)}));
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(err)}));
        }
    }
    try {
        KeepOwnerAndMode(fd, sysName);
        {
            TNewFileStream out(fd);
            write(out);
            out.Flush();
            out.Close();
        }
        if (::rename(sysTmp.c_str(), sysName.c_str()) != 0) {
            const int err = errno;
            throw EFCreateError(Format(msg::kFCreateError, {fileName, SystemError(err)}));
        }
    } catch (...) {
        ::unlink(sysTmp.c_str());
        throw;
    }
    // The rename itself is on disk once the folder is.
    const int d = ::open(sysDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
}

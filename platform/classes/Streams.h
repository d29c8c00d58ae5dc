// Streams.h - byte streams: TStream, TMemoryStream, TFileStream, TStringStream, temporary files.
//
// Positions and sizes are 64-bit. Read and Write move as many bytes as they can and return
// the count; ReadBuffer and WriteBuffer raise EReadError "Stream read error" /
// EWriteError "Stream write error" on a short transfer, so readers of outside data never
// act on bytes that are not there. File names are CP1251 and go to the system as UTF-8.
#pragma once

#include "platform/classes/TypInfo.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Seek origins (numeric values as the platform's soFromBeginning / soFromCurrent / soFromEnd).
enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr uint16_t soFromBeginning = 0;
constexpr uint16_t soFromCurrent = 1;
constexpr uint16_t soFromEnd = 2;

// File modes. The share modes are accepted for compatibility and have no effect here:
// the program has one process per user and files are not locked.
constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
    SKLAD_CLASS(TStream, TObject)
public:
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    int64_t Seek(int64_t offset, uint16_t origin);  // the numeric origins; others raise EStreamError

    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies `count` bytes from the source's current position; count 0 copies the whole
    // source from its beginning. Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t GetSize();
    virtual void SetSize(int64_t size);
    int64_t Remaining() { return GetSize() - GetPosition(); }

    int64_t Position() { return GetPosition(); }
    int64_t Size() { return GetSize(); }
};

class TCustomMemoryStream : public TStream {
    SKLAD_CLASS_NOPUBLISH(TCustomMemoryStream, TStream)
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t GetSize() override { return static_cast<int64_t>(FSize); }
    const char* Memory() const { return FData; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const AnsiString& fileName);

protected:
    void SetPointer(const char* data, size_t size);
    const char* FData = nullptr;
    size_t FSize = 0;
    size_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    SKLAD_CLASS_NOPUBLISH(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;
    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t size) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const AnsiString& fileName);
    char* Memory() { return FBuffer.data(); }
    AnsiString DataString() const { return AnsiString(FData ? FData : "", FSize); }

private:
    void Sync() { FData = FBuffer.data(); }
    std::vector<char> FBuffer;
};

class THandleStream : public TStream {
    SKLAD_CLASS_NOPUBLISH(THandleStream, TStream)
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    // Puts what was written on the disk itself; raises EWriteError when the system cannot.
    void Flush();

protected:
    int FHandle = -1;
};

// A file. fmCreate makes (or empties) the file; the open modes need it to exist.
// Failures raise EFCreateError 'Cannot create file "%s". %s' or EFOpenError
// 'Cannot open file "%s". %s' with the system's reason.
class TFileStream : public THandleStream {
    SKLAD_CLASS_NOPUBLISH(TFileStream, THandleStream)
public:
    TFileStream(const AnsiString& fileName, uint16_t mode);
    ~TFileStream() override;
    const AnsiString& FileName() const { return FFileName; }

private:
    AnsiString FFileName;
};

class TStringStream : public TStream {
    SKLAD_CLASS_NOPUBLISH(TStringStream, TStream)
public:
    explicit TStringStream(AnsiString data = {}) : FData(std::move(data)) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    AnsiString ReadString(int64_t count);
    void WriteString(const AnsiString& s) { Write(s.data(), static_cast<int64_t>(s.size())); }
    const AnsiString& DataString() const { return FData; }

private:
    AnsiString FData;
    size_t FPosition = 0;
};

// Creates a new empty file named prefix + a unique part in `dir` (or, when `dir` is empty,
// in the system's temporary directory) and returns its full name. The file stays on disk.
// Raises EFCreateError when no file can be made.
AnsiString CreateTempFile(const AnsiString& dir, const AnsiString& prefix);

// Saves a file whole or not at all: `write` fills a new file in the same folder, which is
// put on disk and then renamed over `fileName`. When anything fails (the write raises, the
// disk is full, the name cannot be replaced) the new file is removed, an old file of that
// name stays as it was, and the error is raised: EFCreateError with the system's reason
// when the file cannot be made or replaced. The file keeps the old file's permissions.
// A name that is a link keeps the link: the file it points at is the one replaced. An old
// file the user may not write is not replaced, and neither is one whose folder refuses new
// files: that raises EFCreateError saying so (kFolderRefusesSave) and the file stays. Nor is
// a file the user may not replace (another's file in a folder with the sticky bit): that
// raises EFCreateError saying so (kStickyRefusesSave) before anything is written.
// The new file also keeps the old one's owner and group where the process may give them.
void SaveFileWhole(const AnsiString& fileName, const std::function<void(TStream&)>& write);

// Gives the open file `handle`, made to replace the file `oldSysName` (a name in the system's
// encoding), that file's owner and group as far as the process may (another owner only as
// root; a group the user belongs to) and then its mode. Nothing when there is no old file.
void KeepOwnerAndMode(int handle, const std::string& oldSysName);

// The file a name (`sysName`, in the system's encoding) stands for when it is saved: a link is
// followed to the file it points at, so that saving through a link keeps the link and updates
// its file, as a user who made the link expects; a link to nothing names the file it would
// point at. A link another user made in a folder with the sticky bit that anyone may write
// (as /tmp) is not followed, as the system itself follows none: EFCreateError
// (kLinkRefusesSave, naming `fileName`).
std::string FinalTarget(const std::string& sysName, const AnsiString& fileName);

// Whether the regular file `sysName` (a name in the system's encoding) may not be replaced
// by another file put in its place: in a folder with the sticky bit (as /tmp) only the owner
// of the file or of the folder may do that. False when there is no such file.
bool OnlyOwnerMayReplace(const std::string& sysName);

// Whether a failure to make a file in a folder means the folder refuses new files.
inline bool FolderRefusesNewFiles(int err) { return err == EACCES || err == EPERM || err == EROFS; }

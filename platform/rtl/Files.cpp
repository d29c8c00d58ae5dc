#include "platform/rtl/SysUtils.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsDelim(char c) { return c == '/' || c == '\\'; }

// Index just past the last delimiter (0 when none).
size_t NameStart(std::string_view f)
{
    for (size_t i = f.size(); i > 0; --i)
        if (IsDelim(f[i - 1]))
            return i;
    return 0;
}

fs::path SysPath(std::string_view p) { return fs::path(PathToSystem(p)); }

}  // namespace

bool IsPathDelimiter(std::string_view s, int index)
{
    return index >= 1 && size_t(index) <= s.size() && IsDelim(s[size_t(index) - 1]);
}

AnsiString ExtractFilePath(std::string_view f) { return AnsiString(f.substr(0, NameStart(f))); }

AnsiString ExtractFileDir(std::string_view f)
{
    size_t n = NameStart(f);
    if (n > 1)
        --n;  // drop the delimiter, but keep a lone root "/"
    return AnsiString(f.substr(0, n));
}

AnsiString ExtractFileName(std::string_view f) { return AnsiString(f.substr(NameStart(f))); }

AnsiString ExtractFileExt(std::string_view f)
{
    size_t start = NameStart(f);
    size_t dot = f.rfind('.');
    if (dot == std::string_view::npos || dot < start)
        return AnsiString();
    return AnsiString(f.substr(dot));
}

AnsiString ChangeFileExt(std::string_view f, std::string_view ext)
{
    size_t start = NameStart(f);
    size_t dot = f.rfind('.');
    size_t cut = dot == std::string_view::npos || dot < start ? f.size() : dot;
    return AnsiString(f.substr(0, cut)) + AnsiString(ext);
}

AnsiString IncludeTrailingPathDelimiter(std::string_view s)
{
    AnsiString r(s);
    if (r.empty() || !IsDelim(r.back()))
        r += PathDelim;
    return r;
}

AnsiString ExcludeTrailingPathDelimiter(std::string_view s)
{
    AnsiString r(s);
    if (r.size() > 1 && IsDelim(r.back()))
        r.pop_back();
    return r;
}

AnsiString PathToSystem(std::string_view path)
{
    AnsiString u = AnsiToUtf8(path);
    for (char& c : u)
        if (c == '\\')
            c = '/';
    return u;
}

AnsiString PathFromSystem(std::string_view utf8Path) { return Utf8ToAnsi(utf8Path); }

AnsiString ExpandFileName(std::string_view fileName)
{
    std::error_code ec;
    fs::path p = fs::absolute(SysPath(fileName), ec);
    if (ec)
        return AnsiString(fileName);
    return PathFromSystem(p.lexically_normal().string());
}

bool FileExists(std::string_view f)
{
    std::error_code ec;
    return !f.empty() && fs::is_regular_file(SysPath(f), ec);
}

bool DirectoryExists(std::string_view d)
{
    std::error_code ec;
    return !d.empty() && fs::is_directory(SysPath(d), ec);
}

bool ForceDirectories(std::string_view d)
{
    if (d.empty())
        return false;
    std::error_code ec;
    fs::create_directories(SysPath(ExcludeTrailingPathDelimiter(d)), ec);
    return DirectoryExists(d);
}

bool CreateDir(std::string_view d)
{
    std::error_code ec;
    return fs::create_directory(SysPath(d), ec);
}

bool RemoveDir(std::string_view d)
{
    std::error_code ec;
    return DirectoryExists(d) && fs::remove(SysPath(d), ec);
}

bool DeleteFile(std::string_view f)
{
    std::error_code ec;
    return FileExists(f) && fs::remove(SysPath(f), ec);
}

bool RenameFile(std::string_view oldName, std::string_view newName)
{
    std::error_code ec;
    // The platform refuses to replace an existing file; so do we.
    if (fs::exists(SysPath(newName), ec))
        return false;
    fs::rename(SysPath(oldName), SysPath(newName), ec);
    return !ec;
}

bool CopyFile(std::string_view source, std::string_view target, bool failIfExists)
{
    std::error_code ec;
    auto opts = failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing;
    if (failIfExists && fs::exists(SysPath(target), ec))
        return false;
    return fs::copy_file(SysPath(source), SysPath(target), opts, ec) && !ec;
}

int64_t FileSize(std::string_view f)
{
    std::error_code ec;
    auto n = fs::file_size(SysPath(f), ec);
    return ec ? -1 : int64_t(n);
}

AnsiString GetCurrentDir()
{
    std::error_code ec;
    return PathFromSystem(fs::current_path(ec).string());
}

AnsiString GetTempDir()
{
    std::error_code ec;
    return IncludeTrailingPathDelimiter(PathFromSystem(fs::temp_directory_path(ec).string()));
}

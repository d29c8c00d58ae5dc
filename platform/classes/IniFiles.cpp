// IniFiles.cpp - TIniFile and the registry stand-in.
#include "platform/classes/IniFiles.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomIniFile)
SKLAD_DEFINE_ABSTRACT_CLASS(TIniFile)
SKLAD_DEFINE_CLASS(TRegistry)
SKLAD_DEFINE_ABSTRACT_CLASS(TRegistryIniFile)

// ---------------------------------------------------------------- TCustomIniFile

int TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default)
{
    AnsiString s = Trim(ReadString(Section, Ident, {}));
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = "$" + s.substr(2);
    return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default)
{
    AnsiString s = Trim(ReadString(Section, Ident, {}));
    double v;
    if (s.empty())
        return Default;
    if (TryStrToFloat(s, v))
        return v;
    // Files written under another locale: accept either decimal separator.
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
    return TryStrToFloat(s, v, fs) ? v : Default;
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const AnsiString& Section)
{
    TStringList keys;
    ReadSection(Section, keys);
    if (keys.Count() > 0)
        return true;
    TStringList sections;
    ReadSections(sections);
    return sections.IndexOf(Section) >= 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident)
{
    TStringList keys;
    ReadSection(Section, keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------- TIniData

void TIniData::Parse(const AnsiString& text)
{
    Sections.clear();
    Preamble.clear();
    TStringList lines;
    lines.SetText(text);
    Section* cur = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        const AnsiString raw = lines[i];
        const AnsiString t = Trim(raw);
        Line line;
        line.Raw = raw;
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            Sections.push_back(Section{Trim(std::string_view(t).substr(1, t.size() - 2)), {}});
            cur = &Sections.back();
            continue;
        }
        const size_t eq = t.find('=');
        if (!t.empty() && t[0] != ';' && t[0] != '#' && eq != AnsiString::npos && eq > 0) {
            line.IsKey = true;
            line.Key = Trim(std::string_view(t).substr(0, eq));
            line.Value = t.substr(eq + 1);
        }
        (cur ? cur->Lines : Preamble).push_back(line);
    }
}

AnsiString TIniData::Render() const
{
    AnsiString out;
    auto put = [&](const Line& l) {
        out += l.IsKey ? l.Key + "=" + l.Value : l.Raw;
        out += "\r\n";
    };
    for (const Line& l : Preamble)
        put(l);
    for (const Section& s : Sections) {
        out += "[" + s.Name + "]\r\n";
        for (const Line& l : s.Lines)
            put(l);
    }
    return out;
}

TIniData::Section* TIniData::Find(std::string_view name)
{
    for (Section& s : Sections)
        if (AnsiSameText(s.Name, name))
            return &s;
    return nullptr;
}

TIniData::Section& TIniData::FindOrAdd(std::string_view name)
{
    if (Section* s = Find(name))
        return *s;
    Sections.push_back(Section{AnsiString(name), {}});
    return Sections.back();
}

TIniData::Line* TIniData::FindKey(Section& s, std::string_view key)
{
    for (Line& l : s.Lines)
        if (l.IsKey && AnsiSameText(l.Key, key))
            return &l;
    return nullptr;
}

// ---------------------------------------------------------------- TIniFile

namespace {

AnsiString ReadWholeFile(const AnsiString& fileName, bool& exists)
{
    exists = FileExists(fileName);
    if (!exists)
        return {};
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    AnsiString bytes(static_cast<size_t>(f.GetSize()), '\0');
    f.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.erase(0, 3);
    return Utf8ToAnsi(bytes);
}

void WriteWholeFile(const AnsiString& fileName, const AnsiString& text)
{
    try {
        ForceDirectories(ExtractFileDir(fileName));
        const AnsiString utf8 = AnsiToUtf8(text);
        SaveFileWhole(fileName,
                      [&](TStream& f) { f.WriteBuffer(utf8.data(), static_cast<int64_t>(utf8.size())); });
    } catch (const Exception&) {
        throw EIniFileException(Format(msg::kIniWrite, {fileName}));
    }
}

}  // namespace

TIniFile::TIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) { Load(); }

void TIniFile::Load()
{
    bool exists;
    FData.Parse(ReadWholeFile(FileName(), exists));
}

void TIniFile::Save() { WriteWholeFile(FileName(), FData.Render()); }

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    TIniData::Section* s = FData.Find(Section);
    if (!s)
        return Default;
    TIniData::Line* l = FData.FindKey(*s, Ident);
    return l ? l->Value : Default;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    Load();
    TIniData::Section& s = FData.FindOrAdd(Section);
    // Keys and values are one line each: line breaks would split them on the next read.
    AnsiString v = StringReplace(StringReplace(Value, "\r", " ", rfReplaceAll), "\n", " ", rfReplaceAll);
    if (TIniData::Line* l = FData.FindKey(s, Ident))
        l->Value = v;
    else {
        TIniData::Line line;
        line.IsKey = true;
        line.Key = Ident;
        line.Value = v;
        // Before trailing blank lines, so sections stay visually apart.
        auto it = s.Lines.end();
        while (it != s.Lines.begin() && !(it - 1)->IsKey && Trim((it - 1)->Raw).empty())
            --it;
        s.Lines.insert(it, line);
    }
    Save();
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings& Strings)
{
    Strings.Clear();
    if (TIniData::Section* s = FData.Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsKey)
                Strings.Add(l.Key);
}

void TIniFile::ReadSections(TStrings& Strings)
{
    Strings.Clear();
    for (const auto& s : FData.Sections)
        Strings.Add(s.Name);
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings& Strings)
{
    Strings.Clear();
    if (TIniData::Section* s = FData.Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsKey)
                Strings.Add(l.Key + "=" + l.Value);
}

void TIniFile::EraseSection(const AnsiString& Section)
{
    Load();
    auto& v = FData.Sections;
    const size_t before = v.size();
    v.erase(std::remove_if(v.begin(), v.end(), [&](const TIniData::Section& s) { return AnsiSameText(s.Name, Section); }),
            v.end());
    if (v.size() != before)
        Save();
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    Load();
    TIniData::Section* s = FData.Find(Section);
    if (!s)
        return;
    auto& lines = s->Lines;
    const size_t before = lines.size();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const TIniData::Line& l) { return l.IsKey && AnsiSameText(l.Key, Ident); }),
                lines.end());
    if (lines.size() != before)
        Save();
}

// ---------------------------------------------------------------- registry stand-in

AnsiString UserConfigDir()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    AnsiString base;
    if (xdg && *xdg)
        base = PathFromSystem(xdg);
    else {
        const char* home = std::getenv("HOME");
        base = PathFromSystem(home && *home ? home : "/tmp");
        base = IncludeTrailingPathDelimiter(base) + ".config";
    }
    return IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(base) + "sklad");
}

namespace {

AnsiString NormalizeKey(const AnsiString& key)
{
    AnsiString k = StringReplace(key, "/", "\\", rfReplaceAll);
    while (!k.empty() && k.front() == '\\')
        k.erase(0, 1);
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    return k;
}

AnsiString RootPrefix(uint32_t root)
{
    switch (root) {
    case HKEY_CURRENT_USER: return {};
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE\\";
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT\\";
    default: return "HKEY_" + IntToHex(root, 8) + "\\";
    }
}

TIniData LoadRegistry()
{
    bool exists;
    TIniData d;
    d.Parse(ReadWholeFile(TRegistry::FileName(), exists));
    return d;
}

void SaveRegistry(const TIniData& d) { WriteWholeFile(TRegistry::FileName(), d.Render()); }

}  // namespace

AnsiString TRegistry::FileName() { return UserConfigDir() + "registry.ini"; }

AnsiString TRegistry::Full(const AnsiString& key) const
{
    AnsiString k = NormalizeKey(key);
    // A relative key goes below the open one; a leading '\' makes it absolute.
    if (FOpen && !key.empty() && key[0] != '\\' && !FCurrentKey.empty())
        k = FCurrentKey + (k.empty() ? "" : "\\" + k);
    return k;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate)
{
    const AnsiString full = Full(Key);
    TIniData d = LoadRegistry();
    const AnsiString section = RootPrefix(RootKey) + full;
    if (!d.Find(section)) {
        if (!CanCreate && !KeyExists(Key))
            return false;
        if (CanCreate) {
            d.FindOrAdd(section);
            SaveRegistry(d);
        }
    }
    FCurrentKey = full;
    FOpen = true;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& Key)
{
    const AnsiString section = RootPrefix(RootKey) + Full(Key);
    TIniData d = LoadRegistry();
    for (const auto& s : d.Sections)
        if (AnsiSameText(s.Name, section) || AnsiSameText(s.Name.substr(0, section.size() + 1), section + "\\"))
            return true;
    return false;
}

bool TRegistry::DeleteKey(const AnsiString& Key)
{
    const AnsiString section = RootPrefix(RootKey) + Full(Key);
    TIniData d = LoadRegistry();
    auto& v = d.Sections;
    const size_t before = v.size();
    v.erase(std::remove_if(v.begin(), v.end(),
                           [&](const TIniData::Section& s) {
                               return AnsiSameText(s.Name, section) ||
                                      AnsiSameText(s.Name.substr(0, section.size() + 1), section + "\\");
                           }),
            v.end());
    if (v.size() == before)
        return false;
    SaveRegistry(d);
    return true;
}

bool TRegistry::ValueExists(const AnsiString& Name)
{
    TIniData d = LoadRegistry();
    TIniData::Section* s = d.Find(RootPrefix(RootKey) + FCurrentKey);
    return s && d.FindKey(*s, Name);
}

bool TRegistry::DeleteValue(const AnsiString& Name)
{
    TIniData d = LoadRegistry();
    TIniData::Section* s = d.Find(RootPrefix(RootKey) + FCurrentKey);
    if (!s)
        return false;
    auto& lines = s->Lines;
    const size_t before = lines.size();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const TIniData::Line& l) { return l.IsKey && AnsiSameText(l.Key, Name); }),
                lines.end());
    if (lines.size() == before)
        return false;
    SaveRegistry(d);
    return true;
}

void TRegistry::GetValueNames(TStrings& Strings)
{
    Strings.Clear();
    TIniData d = LoadRegistry();
    if (TIniData::Section* s = d.Find(RootPrefix(RootKey) + FCurrentKey))
        for (const auto& l : s->Lines)
            if (l.IsKey)
                Strings.Add(l.Key);
}

void TRegistry::GetKeyNames(TStrings& Strings)
{
    Strings.Clear();
    const AnsiString prefix = RootPrefix(RootKey) + FCurrentKey + "\\";
    TIniData d = LoadRegistry();
    for (const auto& s : d.Sections) {
        if (!AnsiSameText(s.Name.substr(0, prefix.size()), prefix))
            continue;
        AnsiString rest = s.Name.substr(prefix.size());
        rest = rest.substr(0, rest.find('\\'));
        if (!rest.empty() && Strings.IndexOf(rest) < 0)
            Strings.Add(rest);
    }
}

AnsiString TRegistry::ReadString(const AnsiString& Name)
{
    TIniData d = LoadRegistry();
    if (TIniData::Section* s = d.Find(RootPrefix(RootKey) + FCurrentKey))
        if (TIniData::Line* l = d.FindKey(*s, Name))
            return l->Value;
    return {};
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value)
{
    TIniData d = LoadRegistry();
    TIniData::Section& s = d.FindOrAdd(RootPrefix(RootKey) + FCurrentKey);
    AnsiString v = StringReplace(StringReplace(Value, "\r", " ", rfReplaceAll), "\n", " ", rfReplaceAll);
    if (TIniData::Line* l = d.FindKey(s, Name))
        l->Value = v;
    else {
        TIniData::Line line;
        line.IsKey = true;
        line.Key = Name;
        line.Value = v;
        s.Lines.push_back(line);
    }
    SaveRegistry(d);
}

int TRegistry::ReadInteger(const AnsiString& Name)
{
    int v;
    if (!ValueExists(Name) || !TryStrToInt(ReadString(Name), v))
        throw EIniFileException(Format(msg::kRegDataType, {Name}));
    return v;
}

void TRegistry::WriteInteger(const AnsiString& Name, int Value) { WriteString(Name, IntToStr(Value)); }
bool TRegistry::ReadBool(const AnsiString& Name) { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

TRegistryIniFile::TRegistryIniFile(const AnsiString& KeyPath) : TCustomIniFile(KeyPath), FKey(NormalizeKey(KeyPath)) {}

AnsiString TRegistryIniFile::KeyOf(const AnsiString& section) const
{
    return section.empty() ? FKey : FKey + "\\" + NormalizeKey(section);
}

AnsiString TRegistryIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    TIniData d = LoadRegistry();
    if (TIniData::Section* s = d.Find(KeyOf(Section)))
        if (TIniData::Line* l = d.FindKey(*s, Ident))
            return l->Value;
    return Default;
}

void TRegistryIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    TRegistry r;
    r.OpenKey("\\" + KeyOf(Section), true);
    r.WriteString(Ident, Value);
}

void TRegistryIniFile::ReadSection(const AnsiString& Section, TStrings& Strings)
{
    TRegistry r;
    if (r.OpenKey("\\" + KeyOf(Section), false))
        r.GetValueNames(Strings);
    else
        Strings.Clear();
}

void TRegistryIniFile::ReadSections(TStrings& Strings)
{
    TRegistry r;
    if (r.OpenKey("\\" + FKey, false))
        r.GetKeyNames(Strings);
    else
        Strings.Clear();
}

void TRegistryIniFile::ReadSectionValues(const AnsiString& Section, TStrings& Strings)
{
    Strings.Clear();
    TIniData d = LoadRegistry();
    if (TIniData::Section* s = d.Find(KeyOf(Section)))
        for (const auto& l : s->Lines)
            if (l.IsKey)
                Strings.Add(l.Key + "=" + l.Value);
}

void TRegistryIniFile::EraseSection(const AnsiString& Section)
{
    TRegistry r;
    r.DeleteKey("\\" + KeyOf(Section));
}

void TRegistryIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    TRegistry r;
    if (r.OpenKey("\\" + KeyOf(Section), false))
        r.DeleteValue(Ident);
}

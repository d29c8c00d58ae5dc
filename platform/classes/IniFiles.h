// IniFiles.h - settings files: TIniFile and a registry stand-in.
//
// TIniFile keeps "[Section]" and "Key=Value" lines in a text file. The file is UTF-8 on
// disk and CP1251 inside; section and key names are compared ignoring case. Every write
// goes to disk at once (a new file renamed over the old one, so a crash never leaves half
// a file). A missing file reads as empty; it is created by the first write. Lines that
// are neither sections nor keys (comments) are kept.
//
// The registry stand-in keeps keys in one ini file under the user's configuration
// directory ($XDG_CONFIG_HOME, else ~/.config): <config>/sklad/registry.ini, one section
// per key path ("Software\Report Library\Form"). TRegistryIniFile maps an ini section
// to the sub-key of that name under its key, as the platform's class does.
#pragma once

#include "platform/classes/Classes.h"

class TCustomIniFile : public TObject {
    SKLAD_CLASS_NOPUBLISH(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(AnsiString FileName) : FFileName(std::move(FileName)) {}
    const AnsiString& FileName() const { return FFileName; }

    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
    virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
    virtual void ReadSection(const AnsiString& Section, TStrings& Strings) = 0;   // keys
    virtual void ReadSections(TStrings& Strings) = 0;
    virtual void ReadSectionValues(const AnsiString& Section, TStrings& Strings) = 0;  // Key=Value
    virtual void EraseSection(const AnsiString& Section) = 0;
    virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
    virtual void UpdateFile() {}

    // Integers accept decimal and $hex; a bad or missing value gives the default.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    // Booleans are stored as "1"/"0"; any non-zero integer reads as true.
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);
    void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
    bool SectionExists(const AnsiString& Section);
    virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

private:
    AnsiString FFileName;
};

// The parsed content of an ini file, shared by TIniFile and the registry stand-in.
class TIniData {
public:
    void Parse(const AnsiString& text);  // CP1251 text
    AnsiString Render() const;           // CP1251 text, CR LF lines
    struct Line { AnsiString Key, Value, Raw; bool IsKey = false; };
    struct Section { AnsiString Name; std::vector<Line> Lines; };
    Section* Find(std::string_view name);
    Section& FindOrAdd(std::string_view name);
    Line* FindKey(Section& s, std::string_view key);
    std::vector<Section> Sections;
    std::vector<Line> Preamble;  // lines before the first section
};

class TIniFile : public TCustomIniFile {
    SKLAD_CLASS_NOPUBLISH(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(const AnsiString& FileName);

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
    // Raises EIniFileException when the file cannot be written.
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(const AnsiString& Section, TStrings& Strings) override;
    void EraseSection(const AnsiString& Section) override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;

private:
    void Load();  // re-read so that another object's writes are seen
    void Save();
    TIniData FData;
};

// The user's configuration directory for the program (<config>/sklad/, trailing '/').
AnsiString UserConfigDir();

constexpr uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;

// Registry access on the stand-in file. Key paths use '\'; a leading '\' is optional.
class TRegistry : public TObject {
    SKLAD_CLASS_NOPUBLISH(TRegistry, TObject)
public:
    TRegistry() = default;
    uint32_t RootKey = HKEY_CURRENT_USER;
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key) { return OpenKey(Key, false); }
    void CloseKey() { FCurrentKey.clear(); FOpen = false; }
    const AnsiString& CurrentPath() const { return FCurrentKey; }
    bool KeyExists(const AnsiString& Key);
    bool DeleteKey(const AnsiString& Key);
    bool ValueExists(const AnsiString& Name);
    bool DeleteValue(const AnsiString& Name);
    void GetValueNames(TStrings& Strings);
    void GetKeyNames(TStrings& Strings);
    // Reading a missing value raises ERegistryException-like EIniFileException
    // "Invalid data type for '%s'" as the platform does.
    AnsiString ReadString(const AnsiString& Name);
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    int ReadInteger(const AnsiString& Name);
    void WriteInteger(const AnsiString& Name, int Value);
    bool ReadBool(const AnsiString& Name);
    void WriteBool(const AnsiString& Name, bool Value);

    static AnsiString FileName();  // <config>/sklad/registry.ini

private:
    AnsiString Full(const AnsiString& key) const;
    AnsiString FCurrentKey;
    bool FOpen = false;
};

class TRegistryIniFile : public TCustomIniFile {
    SKLAD_CLASS_NOPUBLISH(TRegistryIniFile, TCustomIniFile)
public:
    explicit TRegistryIniFile(const AnsiString& KeyPath);
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings& Strings) override;
    void ReadSections(TStrings& Strings) override;
    void ReadSectionValues(const AnsiString& Section, TStrings& Strings) override;
    void EraseSection(const AnsiString& Section) override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;

private:
    AnsiString KeyOf(const AnsiString& section) const;
    AnsiString FKey;
};

#include "platform/graphics/Resources.h"

#include "platform/rtl/Cp1251.h"

#include <map>
#include <memory>
#include <optional>

namespace {
template <class Image>
struct TEntry {
    std::function<Image()> Maker;
    std::unique_ptr<Image> Made;  // kept on the heap: handed-out pointers survive new entries
};

template <class Image>
std::map<AnsiString, TEntry<Image>>& Table()
{
    static std::map<AnsiString, TEntry<Image>> table;
    return table;
}

template <class Image>
void Register(const AnsiString& name, std::function<Image()> maker)
{
    auto& entry = Table<Image>()[UpperCase(name)];
    entry.Maker = std::move(maker);
    entry.Made.reset();
}

template <class Image>
const Image* Find(const AnsiString& name)
{
    auto& table = Table<Image>();
    const auto it = table.find(UpperCase(name));
    if (it == table.end() || !it->second.Maker)
        return nullptr;
    if (!it->second.Made)
        it->second.Made = std::make_unique<Image>(it->second.Maker());
    return it->second.Made.get();
}
}  // namespace

void RegisterBitmapResource(const AnsiString& name, TBitmapResourceMaker maker)
{
    Register<TPixelBuffer>(name, std::move(maker));
}

void RegisterCursorResource(const AnsiString& name, TCursorResourceMaker maker)
{
    Register<TCursorImage>(name, std::move(maker));
}

const TPixelBuffer* FindBitmapResource(const AnsiString& name) { return Find<TPixelBuffer>(name); }
const TCursorImage* FindCursorResource(const AnsiString& name) { return Find<TCursorImage>(name); }

#include "platform/qt/QtText.h"

#include "platform/rtl/Cp1251.h"

QString ToQString(const AnsiString& ansi)
{
    const AnsiString utf8 = AnsiToUtf8(ansi);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

AnsiString FromQString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToAnsi(std::string_view(utf8.constData(), size_t(utf8.size())));
}

// CatalogueMessages.h - the messages the catalogue jobs add to those of their windows.
//
// The windows' own texts stand where they are used. The texts below are ours: they tell the
// user why a job was refused instead of writing wrong figures, a file outside the program's
// folder, or half a document. Arguments are put in with %s, in order.
#pragma once

#include "platform/rtl/System.h"

#include <initializer_list>
#include <string_view>

#define SKLAD_CATALOGUE_MESSAGES(X)                                                                  \
    X(GroupGone,         "Группа \"%s\" не найдена в базе. Обновите дерево групп.")                  \
    X(RenameFailed,      "Группа не переименована, ничего не изменено.\n%s")                         \
    X(BadWarehouseName,  "Недопустимое имя склада \"%s\": имя файла не может содержать "               \
                         "символы \\ / : * ? \" < > | и управляющие символы, оканчиваться пробелом "  \
                         "или точкой и быть именем устройства (CON, PRN, AUX, NUL, COM1, LPT1 ...).")  \
    X(NoTemplate,        "Не найден шаблон нового склада %s")                                         \
    X(CopyFailed,        "Не удалось создать файл %s")                                                \
    X(WriteOffUnknown,   "Акт не списан: товар \"%s\" (%s) не найден на складе - карточка изменена "   \
                         "или удалена. Ничего не записано.")                                           \
    X(WriteOffQuantity,  "Акт не списан: количество товара \"%s\" должно быть больше нуля. "            \
                         "Ничего не записано.")                                                        \
    X(WriteOffFailed,    "Акт не списан, ничего не записано.\n%s")                                    \
    X(BadQuantity,       "Количество должно быть числом больше нуля")                                 \
    X(QuantityAboveMax,  "Количество не может быть больше %s")                                        \
    X(BadNumber,         "Поле \"%s\" должно быть числом, не меньшим нуля")                            \
    X(CardFieldsMissing, "Заполните наименование и группу товара")                                    \
    X(CardNotSaved,      "Карточка не сохранена, ничего не изменено.\n%s")                          \
    X(ControlCharacters, "Текст \"%s\" содержит управляющие символы (перевод строки, табуляцию "       \
                         "и т. п.): в названии их быть не может.")

enum class TCatalogueMessage {
#define X(id, text) id,
    SKLAD_CATALOGUE_MESSAGES(X)
#undef X
};

AnsiString CatalogueMessage(TCatalogueMessage id, std::initializer_list<std::string_view> args = {});

// True when the text holds a control character (a line break, a tab, NUL ...): names are
// one line of printable text.
bool HasControlCharacters(std::string_view text);

// ShellMessages.h - the messages the program adds to those of its windows.
//
// The windows' own texts stand where they are used, in the words their users know.
// The texts below are ours: they tell the user why something sound happened instead of a
// crash or a silent loss (a file that does not open, groups that cannot be placed in the
// tree, a warehouse without a password). Arguments are put in with %s, in order.
#pragma once

#include "platform/rtl/System.h"

#include <initializer_list>
#include <string_view>

#define SKLAD_SHELL_MESSAGES(X)                                                                     \
    X(OpenFailedKept,   "Склад %s не открыт.\n%s\nРабота продолжается с прежним складом.")           \
    X(OpenFailed,       "Склад %s не открыт.\n%s")                                                 \
    X(GroupsLeftOut,    "В таблице групп есть строки, не связанные с корневой группой (%s): "       \
                        "они не показаны в дереве.")                                               \
    X(PasswordRequired, "Без пароля работать со складом нельзя.\n"                                   \
                        "Открыть другой склад? (\"Нет\" - выйти из программы)")                    \
    X(NoWarehouse,      "Склад не открыт")                                                            \
    X(LinesBusy,        "На этом складе уже вводится документ в другой копии программы.\n"          \
                        "Закончите его там или закройте ту программу.")                            \
    X(GoodsNotRead,     "Изменения сохранены, но список товаров не прочитан заново.\n%s")

enum class TShellMessage {
#define X(id, text) id,
    SKLAD_SHELL_MESSAGES(X)
#undef X
};

AnsiString ShellMessage(TShellMessage id, std::initializer_list<std::string_view> args = {});

// Puts the arguments into a message text in place of each %s, in order; a %s without an
// argument is dropped. Every message table of the program fills its texts through this.
AnsiString FillMessage(std::string_view text, std::initializer_list<std::string_view> args);

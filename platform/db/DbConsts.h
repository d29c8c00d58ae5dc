// DbConsts.h - the messages of the database layer and the exception that carries them.
//
// Every text the layer adds sits in the one list below, in the program's own words (narrow
// literals, so the build makes them CP1251). An EDbError keeps the message id beside the
// formatted text, so tests compare ids, not sentences. Arguments are put in with %s, in order.
#pragma once

#include "platform/rtl/System.h"

#include <initializer_list>
#include <string_view>

#define SKLAD_DB_MESSAGES(X)                                                                          \
    X(FileMissing,      "Файл склада не найден: %s")                                                  \
    X(NotADatabase,     "Файл %s не является файлом склада (это не база данных)")                      \
    X(ForeignDatabase,  "Файл %s не является файлом склада (база данных другой программы)")            \
    X(MissingTable,     "Файл %s повреждён: в нём нет таблицы %s")                                     \
    X(MissingColumn,    "Файл %s повреждён: в таблице %s нет столбца %s")                              \
    X(DamagedFile,      "Файл склада %s повреждён")                                                    \
    X(ReadOnlyFile,     "Файл склада %s доступен только для чтения")                                   \
    X(FileLocked,       "Файл склада %s занят другой программой")                                      \
    X(OpenFailed,       "Не удаётся открыть файл склада %s: %s")                                       \
    X(NoDataSource,     "В строке подключения не указан файл склада (Data Source)")                     \
    X(NotConnected,     "Нет подключения к базе данных")                                               \
    X(NoConnection,     "%s: не задано подключение (Connection)")                                      \
    X(StatementFailed,  "%s\nЗапрос: %s")                                                              \
    X(EmptySql,         "%s: текст запроса пуст")                                                      \
    X(NotASelect,       "%s: запрос не возвращает строк")                                              \
    X(FieldNotFound,    "%s: поле '%s' не найдено")                                                    \
    X(ParamNotFound,    "%s: параметр '%s' не найден")                                                 \
    X(ParamNotSet,      "%s: значение параметра '%s' не задано")                                        \
    X(ParamBadNumber,   "Параметр '%s': '%s' не является числом")                                      \
    X(ParamBadDate,     "Параметр '%s': '%s' не является датой")                                       \
    X(DataSetClosed,    "%s: набор данных закрыт")                                                     \
    X(DataSetEmpty,     "%s: нет текущей записи")                                                      \
    X(CannotDelete,     "%s: удалить текущую запись можно только в выборке из одной таблицы")            \
    X(RowNotFound,      "%s: текущая запись уже удалена из таблицы")                                    \
    X(NoTransaction,    "Транзакция не начата")                                                        \
    X(InjectedFault,    "сбой, вызванный тестом (оператор %s)")                                        \
    X(BadBookmark,      "%s: закладка не относится к этому набору данных")                             \
    X(FieldTypeError,   "Поле '%s': значение '%s' нельзя прочитать как %s")

enum class TDbMessage {
#define X(id, text) id,
    SKLAD_DB_MESSAGES(X)
#undef X
};

// The text of a message with its %s places filled in order (missing arguments stay empty).
AnsiString DbMessage(TDbMessage id, std::initializer_list<std::string_view> args = {});

// EDatabaseError that remembers which message it carries.
class EDbError : public EDatabaseError {
public:
    EDbError(TDbMessage id, std::initializer_list<std::string_view> args = {})
        : EDatabaseError(DbMessage(id, args)), FId(id) {}
    TDbMessage Id() const noexcept { return FId; }
    // The SQLite result code behind the error, 0 when it did not come from SQLite.
    int SqliteCode() const noexcept { return FSqliteCode; }
    void SetSqliteCode(int code) noexcept { FSqliteCode = code; }
    const char* ClassName() const noexcept override { return "EDatabaseError"; }

private:
    TDbMessage FId;
    int FSqliteCode = 0;
};

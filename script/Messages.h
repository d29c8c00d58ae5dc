// Messages.h - every text the script engine itself raises, in one list.
//
// The first seventeen are the engine's compile-time and item-model messages;
// the compiler appends its detail to some of them. The rest are the run-time
// errors of objects, indexes and declarations that the engine refuses in an
// orderly way instead of touching memory it should not. Tests compare the id
// of an EScriptError, not its sentence.
#pragma once

#include "platform/classes/Forward.h"
#include "platform/rtl/System.h"

#include <cstdlib>
#include <string_view>

#define SC_MESSAGES(X)                                                                          \
    X(SLangNotFound, "Язык '%s' не найден")                                                     \
    X(SInvalidLanguage, "Ошибка в описании языка")                                              \
    X(SIdRedeclared, "Идентификатор переопределен: ")                                           \
    X(SUnknownType, "Неизвестный тип: ")                                                        \
    X(SIncompatibleTypes, "Несовместимые типы")                                                 \
    X(SIdUndeclared, "Неопределенный идентификатор: ")                                          \
    X(SClassRequired, "Ожидается класс")                                                        \
    X(SIndexRequired, "Ожидается индекс")                                                       \
    X(SStringError, "Строка не имеет свойств или методов")                                      \
    X(SClassError, "Класс %s не содержит свойства по умолчанию")                                \
    X(SArrayRequired, "Ожидается массив")                                                       \
    X(SVarRequired, "Ожидается переменная")                                                     \
    X(SNotEnoughParams, "Недостаточно параметров")                                              \
    X(STooManyParams, "Слишком много параметров")                                               \
    X(SLeftCantAssigned, "Левая часть выражения не может быть присвоена")                       \
    X(SForError, "Переменная цикла FOR должна быть числовой")                                   \
    X(SEventError, "Обработчик события должен быть процедурой")                                 \
    X(SNilObject, "Обращение к несуществующему объекту (nil): %s")                              \
    X(SInvalidObject, "Объект уже уничтожен или ссылка на него неверна: %s")                    \
    X(SNotAnObject, "Значение не является ссылкой на объект: %s")                               \
    X(SWrongClass, "Объект неподходящего класса: %s")                                           \
    X(SCallTooDeep, "Слишком глубокая вложенность вызовов: %s")                                 \
    X(SAbstractClass, "Нельзя создать объект класса %s")                                        \
    X(SStringIndex, "Индекс строки %d вне допустимых границ (1..%d)")                           \
    X(SArrayIndex, "Индекс массива %d вне допустимых границ (%d..%d)")                          \
    X(SBadDeclaration, "Ошибка в описании функции: %s")                                         \
    X(SCompilerMissing, "Компилятор сценариев не подключен")                                  \
    X(SBadExpression, "Ошибка в выражении")                                                     \
    X(SExpressionTooLong, "Выражение слишком длинное: больше %s элементов")                     \
    X(SNestingTooDeep, "Слишком глубокая вложенность конструкций")                              \
    X(STextTooComplex, "Текст сценария слишком сложен для разбора")                             \
    X(SBadIL, "Ошибка в промежуточном коде: %s")                                                \
    X(SUnitNotFound, "Модуль '%s' не найден")                                                   \
    X(SRunError, "Ошибка выполнения сценария")                                                  \
    X(SOleNotAvailable, "Объект автоматизации '%s' создать нельзя: автоматизация COM в этой системе недоступна") \
    X(SOleTooManyArgs, "Слишком много аргументов в позднем вызове %s (не более 64)")          \
    X(SOleNoObject, "Значение не является объектом автоматизации: %s")                      \
    X(SEventValue, "Недопустимое значение параметра %s, возвращенное обработчиком события")   \
    X(SArrayBounds, "Границы массива задаются парами целых чисел, от одной до трех пар")           \
    X(SStringTooLong, "Строка слишком длинная: %d символов (не более %d)")                      \
    X(SStreamTooLarge, "Поток в памяти слишком большой: %d байт (не более %d)")

enum class TscMessageId : uint8_t {
#define X(id, text) id,
    SC_MESSAGES(X)
#undef X
};

// The text of a message (CP1251).
std::string_view scMessage(TscMessageId id);

// A run-time or registration error of the engine. Scripts catch it like any
// other exception; hosts and tests can read which message it was.
class EScriptError : public Exception {
public:
    EScriptError(TscMessageId id, AnsiString message) : Exception(std::move(message)), FId(id) {}
    TscMessageId Id() const noexcept { return FId; }
    const char* ClassName() const noexcept override { return "EScriptError"; }

private:
    TscMessageId FId;
};

// A run-time error that left a compiled statement: the original message, and
// where it happened (the innermost statement that was running). Raised by the
// statement lists; scripts catch it like any other exception. Id() is the
// engine's own message id when the error was one of ours, else SRunError.
class EScriptRunError : public EScriptError {
public:
    EScriptRunError(AnsiString message, AnsiString unitName, AnsiString sourcePos, AnsiString innerClass,
                    int messageId)
        : EScriptError(messageId >= 0 ? static_cast<TscMessageId>(messageId) : TscMessageId::SRunError,
                       std::move(message)),
          FUnitName(std::move(unitName)), FSourcePos(std::move(sourcePos)),
          FInnerClass(std::move(innerClass)), FMessageId(messageId)
    {
    }
    const char* ClassName() const noexcept override { return "EScriptRunError"; }
    const AnsiString& UnitName() const noexcept { return FUnitName; }   // empty for the main text
    const AnsiString& SourcePos() const noexcept { return FSourcePos; } // "line:col"
    int Line() const noexcept { return std::atoi(FSourcePos.c_str()); }
    const AnsiString& InnerClassName() const noexcept { return FInnerClass; } // e.g. "EDivByZero"
    // The engine's own message id when the error was an EScriptError, else -1.
    int MessageId() const noexcept { return FMessageId; }

private:
    AnsiString FUnitName, FSourcePos, FInnerClass;
    int FMessageId;
};


// Strings made by scripts hold at most this many characters, as arrays hold a
// bounded number of elements: a runaway length is an orderly error, not an
// attempt to allocate gigabytes.
constexpr int64_t kScriptMaxStringLength = int64_t(1) << 26;
// Raises SStringTooLong when a string of length characters would pass the cap.
void scCheckStringLength(int64_t length);

// Memory streams a script writes hold at most this many bytes, for the same reason.
constexpr int64_t kScriptMaxStreamSize = int64_t(1) << 28;
// Raises SStreamTooLarge when a memory stream of size bytes would pass the cap;
// a stream the host made larger may keep its size, not grow.
void scCheckStreamSize(int64_t size, int64_t current = 0);
// The same for count bytes about to be written at the stream's position, which a
// script may have set anywhere: a memory stream must not grow past the cap, and the
// end is worked out without overflowing. Other streams are not checked.
void scCheckStreamWrite(TStream& stream, int64_t count);

// Raises the message with no detail.
[[noreturn]] void scRaise(TscMessageId id);
// Raises the message formatted with one text ("%s") detail.
[[noreturn]] void scRaise(TscMessageId id, const AnsiString& detail);
// Raises the message formatted with integer details ("%d").
[[noreturn]] void scRaiseIndex(TscMessageId id, int64_t index, int64_t low, int64_t high);

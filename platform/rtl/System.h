// System.h - the base every layer stands on: the string type and the exception classes.
//
// All program text is CP1251 held in AnsiString (a std::string of bytes); lengths and
// indexes count bytes. Exceptions carry their message in CP1251 too. Conversion to
// UTF-8 happens only at the edges (Qt, SQLite, file names, layout files on disk).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

using AnsiString = std::string;

// The root of every exception the program raises on purpose.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : FMessage(std::move(message)) {}
    const AnsiString& Message() const noexcept { return FMessage; }
    void SetMessage(AnsiString message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    AnsiString FMessage;
};

#define SKLAD_EXCEPTION(Name, Base)                                       \
    class Name : public Base {                                            \
    public:                                                               \
        using Base::Base;                                                 \
        const char* ClassName() const noexcept override { return #Name; } \
    };

SKLAD_EXCEPTION(EConvertError, Exception)
SKLAD_EXCEPTION(EVariantError, Exception)
SKLAD_EXCEPTION(EListError, Exception)
SKLAD_EXCEPTION(EStringListError, EListError)
SKLAD_EXCEPTION(EMathError, Exception)
SKLAD_EXCEPTION(EDivByZero, EMathError)
SKLAD_EXCEPTION(EZeroDivide, EMathError)
SKLAD_EXCEPTION(EOverflow, EMathError)
SKLAD_EXCEPTION(EInvalidOp, EMathError)
SKLAD_EXCEPTION(ERangeError, Exception)
SKLAD_EXCEPTION(EIntOverflow, Exception)
SKLAD_EXCEPTION(EInvalidCast, Exception)
SKLAD_EXCEPTION(EInvalidPointer, Exception)
SKLAD_EXCEPTION(EAbort, Exception)
SKLAD_EXCEPTION(EDatabaseError, Exception)
SKLAD_EXCEPTION(EStreamError, Exception)
SKLAD_EXCEPTION(EReadError, EStreamError)
SKLAD_EXCEPTION(EWriteError, EStreamError)
SKLAD_EXCEPTION(EFOpenError, EStreamError)
SKLAD_EXCEPTION(EFCreateError, EStreamError)
SKLAD_EXCEPTION(EClassNotFound, Exception)
SKLAD_EXCEPTION(EComponentError, Exception)
SKLAD_EXCEPTION(EPropertyError, Exception)
SKLAD_EXCEPTION(EInvalidHandle, Exception)
SKLAD_EXCEPTION(EInvalidOperation, Exception)
SKLAD_EXCEPTION(EOutOfResources, Exception)
SKLAD_EXCEPTION(EPrinter, Exception)
SKLAD_EXCEPTION(EIniFileException, Exception)

// Raises EAbort: the silent exception that unwinds without an error dialog.
[[noreturn]] inline void Abort() { throw EAbort("Operation aborted"); }

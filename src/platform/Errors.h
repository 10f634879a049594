#pragma once
// The exception family of the program. Every failure is thrown as one of
// these; catch sites turn the exception in flight into log text with
// DescribeCurrentException. Texts inside the library are UTF-8.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace WindowsPlatform {
// Empty mix-in that marks exceptions of this library.
class ExceptionDebuggingInfo {};
}  // namespace WindowsPlatform

// Marker: an exception deriving from it never produces a crash dump.
class NonDumpableException {
public:
    virtual ~NonDumpableException() = default;
};

class DebuggableException : public std::exception, public WindowsPlatform::ExceptionDebuggingInfo {
public:
    // Both default to the class display name ("class Name").
    const char* what() const noexcept override { return ClassDisplayName(); }
    virtual std::string_view Description() const noexcept { return ClassDisplayName(); }
    virtual const char* ClassDisplayName() const noexcept { return "class DebuggableException"; }
};

// Declares a data-less subclass whose display name is "class " + QualifiedName.
#define ORV_DECLARE_EXCEPTION(Name, Base, QualifiedName)                     \
    class Name : public Base {                                               \
    public:                                                                  \
        using Base::Base;                                                    \
        const char* ClassDisplayName() const noexcept override {             \
            return "class " QualifiedName;                                   \
        }                                                                    \
    }

// An exception with a UTF-8 message of its own.
class ExceptionPL : public DebuggableException {
public:
    explicit ExceptionPL(std::string utf8Message = {}) : message_(std::move(utf8Message)) {}
    static ExceptionPL FromAnsi(const char* ansiMessage);

    const char* what() const noexcept override;
    std::string_view Description() const noexcept override;
    const char* ClassDisplayName() const noexcept override { return "class ExceptionPL"; }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
    mutable std::string ansiWhat_;
    mutable bool whatBuilt_ = false;
};

// Database failures: the message always begins with "Database Error: ".
ORV_DECLARE_EXCEPTION(ODBCException, ExceptionPL, "ODBCException");
#define ORV_DECLARE_NONDUMPABLE_EXCEPTION(Name, Base, QualifiedName)          \
    class Name : public Base, public NonDumpableException {                  \
    public:                                                                  \
        using Base::Base;                                                    \
        const char* ClassDisplayName() const noexcept override {             \
            return "class " QualifiedName;                                   \
        }                                                                    \
    }
ORV_DECLARE_NONDUMPABLE_EXCEPTION(DatabaseConnectionError, ODBCException, "DatabaseConnectionError");
ORV_DECLARE_EXCEPTION(DatabaseRestoringError, DatabaseConnectionError, "DatabaseRestoringError");
ORV_DECLARE_NONDUMPABLE_EXCEPTION(DatabaseTimeoutExpiredError, ODBCException, "DatabaseTimeoutExpiredError");
ORV_DECLARE_EXCEPTION(DatabaseDeadlockException, ODBCException, "DatabaseDeadlockException");
ORV_DECLARE_EXCEPTION(InvalidObjectError, ODBCException, "InvalidObjectError");
ORV_DECLARE_EXCEPTION(NothingReturnedFromQuery, ODBCException, "NothingReturnedFromQuery");
ORV_DECLARE_NONDUMPABLE_EXCEPTION(DB2DatabaseDoesNotExist, ODBCException, "DB2DatabaseDoesNotExist");
ORV_DECLARE_NONDUMPABLE_EXCEPTION(DB2DatabaseDirectoryDoesNotExist, ODBCException, "DB2DatabaseDirectoryDoesNotExist");

namespace Windows {

// A failed Windows call: the error code and, for texts from a module's own
// message table, that module.
class Error : public DebuggableException {
public:
    explicit Error(DWORD code, HMODULE module = nullptr) : code_(code), module_(module) {}

    DWORD Code() const noexcept { return code_; }
    HMODULE Module() const noexcept { return module_; }
    const char* what() const noexcept override;
    std::string_view Description() const noexcept override;
    const char* ClassDisplayName() const noexcept override { return "class Windows::Error"; }

private:
    DWORD code_;
    HMODULE module_;
    mutable std::string description_;
    mutable std::string what_;
    mutable bool described_ = false;
    mutable bool whatBuilt_ = false;
};

ORV_DECLARE_EXCEPTION(RegistryValueIsEmpty, DebuggableException, "Windows::RegistryValueIsEmpty");
ORV_DECLARE_EXCEPTION(WrongRegistryType, DebuggableException, "Windows::WrongRegistryType");

}  // namespace Windows

// A file operation failed: the Windows code (0 for none) and up to two paths.
class FileIOError : public DebuggableException {
public:
    explicit FileIOError(DWORD code = 0, std::string firstPath = {}, std::string secondPath = {})
        : code_(code), firstPath_(std::move(firstPath)), secondPath_(std::move(secondPath)) {}

    DWORD Code() const noexcept { return code_; }
    const std::string& FirstPath() const noexcept { return firstPath_; }
    const std::string& SecondPath() const noexcept { return secondPath_; }
    std::string_view Description() const noexcept override;
    const char* ClassDisplayName() const noexcept override { return "class FileIOError"; }

private:
    DWORD code_;
    std::string firstPath_;
    std::string secondPath_;
    mutable std::string description_;
    mutable bool described_ = false;
};

ORV_DECLARE_EXCEPTION(FileNotFoundError, FileIOError, "FileNotFoundError");
ORV_DECLARE_EXCEPTION(DirectoryNotFoundError, FileIOError, "DirectoryNotFoundError");
ORV_DECLARE_EXCEPTION(DiskFullError, FileIOError, "DiskFullError");
ORV_DECLARE_EXCEPTION(FileLockError, FileIOError, "FileLockError");
ORV_DECLARE_EXCEPTION(FilePermissionError, FileIOError, "FilePermissionError");
ORV_DECLARE_EXCEPTION(FileSeekError, FileIOError, "FileSeekError");
ORV_DECLARE_EXCEPTION(FileFoundError, FileIOError, "FileFoundError");
ORV_DECLARE_EXCEPTION(EmptyFileLocationError, FileIOError, "EmptyFileLocationError");
ORV_DECLARE_EXCEPTION(EndOfFileError, FileIOError, "EndOfFileError");
ORV_DECLARE_EXCEPTION(FileItemError, FileIOError, "FileItemError");
ORV_DECLARE_EXCEPTION(InvalidFileLocation, FileIOError, "InvalidFileLocation");
ORV_DECLARE_EXCEPTION(RootHasNoParent, FileIOError, "RootHasNoParent");

namespace WindowsPlatform {
// A worker thread could not be started; carries the C runtime's errno.
class ThreadError : public DebuggableException {
public:
    explicit ThreadError(std::int32_t error) : error_(error) {}
    std::int32_t Errno() const noexcept { return error_; }
    const char* ClassDisplayName() const noexcept override { return "class WindowsPlatform::ThreadError"; }

private:
    std::int32_t error_;
};
}  // namespace WindowsPlatform

ORV_DECLARE_EXCEPTION(FreeLibraryFailed, DebuggableException, "FreeLibraryFailed");
ORV_DECLARE_EXCEPTION(CloseSCHandleFailed, DebuggableException, "CloseSCHandleFailed");
ORV_DECLARE_EXCEPTION(DestroyAcceleratorTableFailed, DebuggableException, "DestroyAcceleratorTableFailed");
ORV_DECLARE_EXCEPTION(ConstDataCapacityExceeded, DebuggableException, "ConstDataCapacityExceeded");
ORV_DECLARE_EXCEPTION(DataOverflow, DebuggableException, "DataOverflow");
ORV_DECLARE_EXCEPTION(InvalidTextEncoding, DebuggableException, "InvalidTextEncoding");
ORV_DECLARE_EXCEPTION(BadFormatStringError, DebuggableException, "BadFormatStringError");
ORV_DECLARE_EXCEPTION(TooManyFormatArguments, DebuggableException, "TooManyFormatArguments");
ORV_DECLARE_EXCEPTION(TooFewFormatArguments, DebuggableException, "TooFewFormatArguments");
ORV_DECLARE_EXCEPTION(UndefinedFormatVariable, DebuggableException, "UndefinedFormatVariable");
ORV_DECLARE_EXCEPTION(ImproperFormatVariableName, DebuggableException, "ImproperFormatVariableName");
ORV_DECLARE_EXCEPTION(FormatOverrideNotFound, DebuggableException, "FormatOverrideNotFound");
ORV_DECLARE_EXCEPTION(IllegalFileName, DebuggableException, "IllegalFileName");
ORV_DECLARE_EXCEPTION(IllegalFileNameReserved, DebuggableException, "IllegalFileNameReserved");
ORV_DECLARE_EXCEPTION(NotANumeral, DebuggableException, "NotANumeral");
ORV_DECLARE_EXCEPTION(NumeralTooLarge, DebuggableException, "NumeralTooLarge");
ORV_DECLARE_EXCEPTION(NoMoreData, DebuggableException, "NoMoreData");
ORV_DECLARE_EXCEPTION(FileReadingLoopEndOfFileError, DebuggableException, "FileReadingLoopEndOfFileError");
ORV_DECLARE_EXCEPTION(InvalidMonth, DebuggableException, "InvalidMonth");
ORV_DECLARE_EXCEPTION(UnsetStorageLocation, DebuggableException, "UnsetStorageLocation");

// Plain types without data: LocalFree returned a handle (dropped by the guard
// that released the memory); the user cancelled (ignored by window handlers).
struct LocalFreeFailed {};
struct UserCancelled {};

// Throws Windows::Error when code is not 0.
// Registry calls return their status as LONG; it converts unchanged.
void ThrowIfError(DWORD code, HMODULE module = nullptr);
[[noreturn]] void ThrowLastError();
void ThrowLastErrorIfFalse(BOOL result);

// Lower-case hexadecimal digits of code without leading zeros ("0" for 0).
std::string HexDigits(DWORD code);

// The system's text for code, trimmed of blanks, tabs, CR and LF at both
// ends; "unknown error 0x" and the digits when the system has none.
std::string SystemMessageText(DWORD code, HMODULE module = nullptr);

// Describes the exception in flight; call only inside a catch handler.
std::string DescribeCurrentException();

#include "platform/Errors.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

template <class Throw>
std::string Describe(Throw throwIt) {
    try {
        throwIt();
    } catch (...) {
        return DescribeCurrentException();
    }
    return "nothing thrown";
}

bool HasOuterBlank(const std::string& text) {
    const std::string blanks = " \t\r\n";
    return !text.empty() && (blanks.find(text.front()) != std::string::npos ||
                             blanks.find(text.back()) != std::string::npos);
}

TEST(ErrorsTest, HexDigitsAreLowerCaseWithoutLeadingZeros) {
    EXPECT_EQ(HexDigits(0), "0");
    EXPECT_EQ(HexDigits(2), "2");
    EXPECT_EQ(HexDigits(0x3f5), "3f5");
    EXPECT_EQ(HexDigits(0x80070005), "80070005");
    EXPECT_EQ(HexDigits(0xFFFFFFFF), "ffffffff");
}

TEST(ErrorsTest, SystemMessageTextIsTrimmedOrUnknown) {
    const std::string text = SystemMessageText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_FALSE(HasOuterBlank(text)) << text;
    EXPECT_EQ(text.find("unknown error"), std::string::npos);
    EXPECT_EQ(SystemMessageText(0x2000beef), "unknown error 0x2000beef");
}

TEST(ErrorsTest, WindowsErrorDescription) {
    const Windows::Error notFound(2);
    EXPECT_EQ(std::string(notFound.Description()), "Windows Error 0x2: " + SystemMessageText(2));
    EXPECT_FALSE(HasOuterBlank(std::string(notFound.Description())));
    EXPECT_STREQ(notFound.what(), ("Windows Error 0x2: " + SystemMessageText(2)).c_str());

    EXPECT_EQ(std::string(Windows::Error(0).Description()), "Windows Error 0x0: " + SystemMessageText(0));
    EXPECT_EQ(std::string(Windows::Error(0x2000beef).Description()),
              "Windows Error 0x2000beef: unknown error 0x2000beef");
}

TEST(ErrorsTest, DescriptionIsBuiltOnceAndKept) {
    const Windows::Error error(5);
    const std::string_view first = error.Description();
    EXPECT_EQ(first.data(), error.Description().data());
}

TEST(ErrorsTest, FileIOErrorDescriptions) {
    EXPECT_EQ(std::string(FileNotFoundError(2, "C:\\a\\b.txt").Description()),
              "File error \"class FileNotFoundError\" on \"C:\\a\\b.txt\" : \"Windows Error 0x2%: " +
                  SystemMessageText(2) + "\"");
    EXPECT_EQ(std::string(FileLockError(0, "C:\\x", "C:\\y").Description()),
              "File error \"class FileLockError\" on \"C:\\x\" and \"C:\\y\"");
    EXPECT_EQ(std::string(EmptyFileLocationError().Description()), "File error \"class EmptyFileLocationError\"");
    EXPECT_EQ(std::string(RootHasNoParent(0, "", "C:\\second").Description()),
              "File error \"class RootHasNoParent\" and \"C:\\second\"");
    // what() keeps the class display name: only the description carries the paths.
    EXPECT_STREQ(FileNotFoundError(2, "C:\\a").what(), "class FileNotFoundError");
}

TEST(ErrorsTest, ExceptionPLDescribesItsMessageOrItsClass) {
    EXPECT_EQ(ExceptionPL().Description(), "class ExceptionPL");
    EXPECT_STREQ(ExceptionPL().what(), "class ExceptionPL");
    EXPECT_EQ(ExceptionPL("Database Error: gone").Description(), "Database Error: gone");
    EXPECT_STREQ(ExceptionPL("plain").what(), "plain");
    EXPECT_EQ(ExceptionPL::FromAnsi("ansi text").Description(), "ansi text");
}

TEST(ErrorsTest, DescribeCurrentExceptionOrder) {
    EXPECT_EQ(Describe([] { throw Windows::WrongRegistryType(); }), "class Windows::WrongRegistryType");
    EXPECT_EQ(Describe([] { throw Windows::RegistryValueIsEmpty(); }), "class Windows::RegistryValueIsEmpty");
    EXPECT_EQ(Describe([] { throw WindowsPlatform::ThreadError(11); }), "class WindowsPlatform::ThreadError");
    EXPECT_EQ(Describe([] { throw ExceptionPL("with message"); }), "with message");
    EXPECT_EQ(Describe([] { throw Windows::Error(5); }), "Windows Error 0x5: " + SystemMessageText(5));
    EXPECT_EQ(Describe([] { throw std::runtime_error("runtime \xff bytes"); }), "runtime \xff bytes");
    EXPECT_EQ(Describe([] { throw 42; }), "No diagnostic message available");
    EXPECT_EQ(Describe([] { throw LocalFreeFailed(); }), "No diagnostic message available");
}

TEST(ErrorsTest, ThrowHelpers) {
    EXPECT_NO_THROW(ThrowIfError(0));
    try {
        ThrowIfError(5);
        FAIL();
    } catch (const Windows::Error& e) {
        EXPECT_EQ(e.Code(), 5u);
        EXPECT_EQ(e.Module(), nullptr);
    }
    EXPECT_NO_THROW(ThrowLastErrorIfFalse(TRUE));
    SetLastError(ERROR_INVALID_PARAMETER);
    try {
        ThrowLastErrorIfFalse(FALSE);
        FAIL();
    } catch (const Windows::Error& e) {
        EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
}

TEST(ErrorsTest, ClassFamily) {
    // Catch sites rely on the bases: file errors as FileIOError, everything
    // as DebuggableException and std::exception.
    EXPECT_THROW(throw DirectoryNotFoundError(3, "C:\\d"), FileIOError);
    EXPECT_THROW(throw WindowsCharacterSetResult(1113, "TranscodeU8ToU16"), CharacterSetResult);
    EXPECT_THROW(throw WindowsCharacterSetResult(1113, "TranscodeU8ToU16"), ICUResult);
    EXPECT_THROW(throw Windows::Error(5), DebuggableException);
    EXPECT_THROW(throw TooFewFormatArguments(), std::exception);
    EXPECT_THROW(throw DatabaseRestoringError("Database Error: x"), DatabaseConnectionError);
    EXPECT_THROW(throw DatabaseRestoringError("Database Error: x"), NonDumpableException);
    EXPECT_THROW(throw DatabaseTimeoutExpiredError("Database Error: x"), NonDumpableException);
    EXPECT_THROW(throw InvalidObjectError("Database Error: x"), ExceptionPL);
    const InvalidObjectError invalid("");
    EXPECT_EQ(dynamic_cast<const NonDumpableException*>(&invalid), nullptr);
    EXPECT_EQ(invalid.Description(), "class InvalidObjectError");
}

}  // namespace

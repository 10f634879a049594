#pragma once
// Writes byte ranges one after another into an open file, starting at a
// chosen position. The writer does not own the file, which must stay open
// while the writer is used.

#include "platform/DataWriter.h"
#include "platform/FileReadingPath.h"

#include <cstdint>

class FileWriter : public DataWriter {
public:
    FileWriter(WindowsPlatform::FileWritingPath& file, std::uint64_t position = 0) : file_(file), position_(position) {}

    using DataWriter::Write;
    // Writes all bytes at the current position and advances it. Throws
    // FileSeekError (code 0) when the position cannot be set, the write
    // map's exception when WriteFile fails, FileIOError (code 0) on a short
    // write. Nothing happens for an empty range.
    void Write(const void* bytes, std::size_t count) override;

    std::uint64_t Position() const noexcept { return position_; }

private:
    WindowsPlatform::FileWritingPath& file_;
    std::uint64_t position_;
};

#pragma once
// Something that bytes are written to, one range after another.

#include <cstddef>
#include <string_view>

class DataWriter {
public:
    virtual ~DataWriter() = default;

    // Writes all count bytes or throws.
    virtual void Write(const void* bytes, std::size_t count) = 0;

    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
};

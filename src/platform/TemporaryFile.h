#pragma once
// An empty file with a unique name in the user's temporary folder. Copies
// share the file; when the last copy is destroyed the file is deleted (also
// when read-only), and any failure of that deletion is swallowed.

#include "platform/FileLocation.h"

#include <memory>
#include <string>

class TemporaryFile {
public:
    // Creates the file, named from the first three characters of the prefix
    // (UTF-8), a hexadecimal number and ".tmp"; creates the temporary folder
    // first when it is missing. Throws Windows::Error when Windows cannot
    // give the folder or the name, and the FileIOError family otherwise.
    explicit TemporaryFile(const std::string& prefix);

    const FileLocation& Location() const noexcept { return owner_->location; }

private:
    struct Owner {
        FileLocation location;
        ~Owner();
    };
    std::shared_ptr<const Owner> owner_;
};

// The prefix of this program's temporary files.
inline constexpr char kTemporaryFilePrefix[] = "orvalis";

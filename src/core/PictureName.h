#pragma once
// What the save dialog proposes for a picture taken from a page.

#include <string>
#include <string_view>

namespace core {

struct TPictureSaveName {
    std::string FileName;  // after the address's last "/" or ":"; the query string is kept
    std::string Extension; // from the name's last "." on, the dot included; may be empty
    std::string Filter;    // "*" + Extension: the dialog's one filter, caption and pattern
};

// From the picture's address as the page gives it. A name longer than a file name may be
// (255 bytes) is not proposed, nor its extension.
TPictureSaveName PictureSaveName(std::string_view address);

} // namespace core

// One section of a Markdown report replaced, the rest kept as it was.
#pragma once

#include <filesystem>
#include <string>

namespace kelo::soak {

// `document` with `section` (which begins with its "## " heading line) in
// place of the section under the same heading, which runs up to the next
// "## " heading or the end; appended when the heading is not there.
std::string withSection(const std::string& document, const std::string& section);

// The same done to `file`, which is created when missing and replaced whole
// or not at all. Empty, or what went wrong.
std::string writeSection(const std::filesystem::path& file, const std::string& section);

}  // namespace kelo::soak

#pragma once

#include <string>
#include <string_view>

namespace marquee8 {

// Replaces `path` with `content` in one step: the bytes go to a temporary file in the same
// folder, which is renamed over `path` only once it is complete and synced. On failure `path`
// is as it was and no temporary file is left. A link is followed; a device or pipe such as
// /dev/null is written in place. Throws std::system_error naming the file.
void write_file_atomically(const std::string& path, std::string_view content);

}  // namespace marquee8

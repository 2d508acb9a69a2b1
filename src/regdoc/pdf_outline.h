#pragma once
// Bookmarks for a PDF that has none: an incremental update appended to the file (new outline objects,
// the catalogue again with /Outlines, a cross-reference section for them), as PDF allows, leaving
// every byte of the original in place. Qt's PDF writer makes no outline of its own.

#include <optional>
#include <string>
#include <vector>

namespace plx::regdoc {

struct Bookmark {
    std::string title;  // UTF-8
    int page;           // 0-based
};

// The file with the bookmarks, one level, in the order given; nothing when the file is not laid out
// as a simple PDF writer lays it out (one catalogue, a flat page tree, a cross-reference table).
std::optional<std::string> with_outline(const std::string& pdf, const std::vector<Bookmark>& bookmarks);

}  // namespace plx::regdoc

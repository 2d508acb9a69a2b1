#pragma once
// A document laid out on pages by Qt's text document, a footer with the page number on each: on a
// printer the user chose, or into a PDF file. Needs a QGuiApplication (fonts); everything else of
// commissioning does not.

#include <optional>
#include <string>

class QPagedPaintDevice;

namespace plx::commission {

struct Document;

// The pages on `device`, inside its page layout's margins.
void print_document(const Document& d, QPagedPaintDevice& device);

// An A4 PDF, written complete or not at all; nullopt, or the system's reason.
std::optional<std::string> write_pdf(const Document& d, const std::string& path);

}  // namespace plx::commission

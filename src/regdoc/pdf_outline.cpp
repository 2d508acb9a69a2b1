#include "regdoc/pdf_outline.h"

#include <cstdio>

namespace plx::regdoc {

namespace {

// The whole number after `key` inside `text`, or -1.
long number_after(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    if (at == std::string::npos) return -1;
    std::size_t i = at + key.size();
    while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r')) ++i;
    long v = -1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = (v < 0 ? 0 : v * 10) + (text[i] - '0');
    return v;
}

// The text between "N 0 obj" and its "endobj", or nothing.
std::optional<std::string> object_body(const std::string& pdf, long n) {
    const std::string head = "\n" + std::to_string(n) + " 0 obj";
    const auto at = pdf.find(head);
    if (at == std::string::npos) return std::nullopt;
    const auto begin = at + head.size();
    const auto end = pdf.find("endobj", begin);
    if (end == std::string::npos) return std::nullopt;
    return pdf.substr(begin, end - begin);
}

// A PDF text string in UTF-16BE with its byte order mark, as hex: any language's title reads right.
std::string pdf_text(const std::string& utf8) {
    std::string out = "<FEFF";
    const auto unit = [&out](unsigned u) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04X", u & 0xFFFF);
        out += buf;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        unsigned cp = b;
        int more = 0;
        if (b >= 0xF0) {
            cp = b & 0x07;
            more = 3;
        } else if (b >= 0xE0) {
            cp = b & 0x0F;
            more = 2;
        } else if (b >= 0xC0) {
            cp = b & 0x1F;
            more = 1;
        }
        ++i;
        for (; more > 0 && i < utf8.size(); --more, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out + ">";
}

std::string xref_entry(std::size_t offset) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%010zu 00000 n \n", offset);
    return buf;
}

}  // namespace

std::optional<std::string> with_outline(const std::string& pdf, const std::vector<Bookmark>& bookmarks) {
    const auto trailer_at = pdf.rfind("trailer");
    const auto startxref_at = pdf.rfind("startxref");
    if (bookmarks.empty() || trailer_at == std::string::npos || startxref_at == std::string::npos ||
        startxref_at < trailer_at)
        return std::nullopt;
    const std::string trailer = pdf.substr(trailer_at, startxref_at - trailer_at);
    const long size = number_after(trailer, "/Size");
    const long root = number_after(trailer, "/Root");
    const long info = number_after(trailer, "/Info");
    const long previous_xref = number_after(pdf.substr(startxref_at), "startxref");
    const auto catalogue = object_body(pdf, root);
    if (size <= 0 || root <= 0 || previous_xref < 0 || !catalogue) return std::nullopt;
    const auto catalogue_end = catalogue->rfind(">>");
    const auto pages = object_body(pdf, number_after(*catalogue, "/Pages"));
    if (catalogue_end == std::string::npos || !pages || catalogue->find("/Outlines") != std::string::npos)
        return std::nullopt;

    // the page objects in order: a flat tree, as simple writers make it
    std::vector<long> kids;
    const auto open = pages->find('[', pages->find("/Kids"));
    const auto close = pages->find(']', open);
    if (open == std::string::npos || close == std::string::npos) return std::nullopt;
    const std::string list = pages->substr(open + 1, close - open - 1);
    for (std::size_t at = 0; (at = list.find(" 0 R", at)) != std::string::npos; at += 4) {
        auto start = at;
        while (start > 0 && list[start - 1] >= '0' && list[start - 1] <= '9') --start;
        kids.push_back(std::stol(list.substr(start, at - start)));
    }

    std::string update = "\n";
    std::vector<std::pair<long, std::size_t>> offsets;
    const auto object = [&](long n, const std::string& dict) {
        offsets.emplace_back(n, pdf.size() + update.size());
        update += std::to_string(n) + " 0 obj\n" + dict + "\nendobj\n";
    };
    const long outline = size;
    const auto count = static_cast<long>(bookmarks.size());
    object(root, catalogue->substr(0, catalogue_end) + "/Outlines " + std::to_string(outline) +
                     " 0 R\n/PageMode /UseOutlines\n>>");
    object(outline, "<<\n/Type /Outlines\n/First " + std::to_string(outline + 1) + " 0 R\n/Last " +
                        std::to_string(outline + count) + " 0 R\n/Count " + std::to_string(count) + "\n>>");
    for (long i = 0; i < count; ++i) {
        const Bookmark& b = bookmarks[static_cast<std::size_t>(i)];
        if (b.page < 0 || b.page >= static_cast<int>(kids.size())) return std::nullopt;
        const long kid = kids[static_cast<std::size_t>(b.page)];
        // the page's top, so a viewer keeps its zoom and shows the page from its first line
        double top = 842;
        if (const auto page = object_body(pdf, kid)) {
            const auto box = page->find("/MediaBox");
            double x0 = 0;
            double y0 = 0;
            double x1 = 0;
            double y1 = 0;
            if (box != std::string::npos &&
                std::sscanf(page->c_str() + box, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &x1, &y1) == 4)
                top = y1;
        }
        std::string dict =
            "<<\n/Title " + pdf_text(b.title) + "\n/Parent " + std::to_string(outline) + " 0 R\n";
        if (i > 0) dict += "/Prev " + std::to_string(outline + i) + " 0 R\n";
        if (i + 1 < count) dict += "/Next " + std::to_string(outline + i + 2) + " 0 R\n";
        dict += "/Dest [" + std::to_string(kid) + " 0 R /XYZ 0 " + std::to_string(static_cast<long>(top)) +
                " null]\n>>";
        object(outline + 1 + i, dict);
    }

    const std::size_t xref_at = pdf.size() + update.size();
    update += "xref\n" + std::to_string(root) + " 1\n" + xref_entry(offsets[0].second);
    update += std::to_string(outline) + " " + std::to_string(count + 1) + "\n";
    for (std::size_t i = 1; i < offsets.size(); ++i) update += xref_entry(offsets[i].second);
    update += "trailer\n<<\n/Size " + std::to_string(outline + count + 1) + "\n";
    if (info > 0) update += "/Info " + std::to_string(info) + " 0 R\n";
    update += "/Root " + std::to_string(root) + " 0 R\n/Prev " + std::to_string(previous_xref) +
              "\n>>\nstartxref\n" + std::to_string(xref_at) + "\n%%EOF\n";
    return pdf + update;
}

}  // namespace plx::regdoc

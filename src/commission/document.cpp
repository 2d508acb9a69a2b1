#include "commission/document.h"

#include <QString>

namespace plx::commission {

namespace {

QString esc(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped();
}

QString cell_html(const Cell& c) {
    QString t = esc(c.text);
    if (c.strong) t = QStringLiteral("<b>%1</b>").arg(t);
    if (c.quiet) t = QStringLiteral("<i>%1</i>").arg(t);
    if (c.marked) t = QStringLiteral("<span style=\"color:#c00000; font-weight:bold\">%1</span>").arg(t);
    return QStringLiteral("<td>%1</td>").arg(t);
}

QString table_html(const Table& t) {
    QString h;
    if (!t.heading.empty()) h += QStringLiteral("<h3>%1</h3>").arg(esc(t.heading));
    const int blocks = t.blocks < 1 ? 1 : t.blocks;
    const std::size_t per_block =
        (t.rows.size() + static_cast<std::size_t>(blocks) - 1) / static_cast<std::size_t>(blocks);
    h += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"1\" class=\"grid\"><tr>");
    constexpr int kGap = 2;
    for (int b = 0; b < blocks; ++b) {
        // a gap between blocks, so they read as tables of their own
        if (b > 0) h += QStringLiteral("<th class=\"gap\" width=\"%1%\"></th>").arg(kGap);
        for (std::size_t c = 0; c < t.columns.size(); ++c) {
            const QString title = esc(t.columns[c]);
            if (c < t.widths.size()) {
                const int share = t.widths[c] * (100 - kGap * (blocks - 1)) / 100 / blocks;
                h += QStringLiteral("<th width=\"%1%\">%2</th>").arg(share).arg(title);
            } else {
                h += QStringLiteral("<th>%1</th>").arg(title);
            }
        }
    }
    h += QStringLiteral("</tr>");
    for (std::size_t r = 0; r < per_block; ++r) {
        h += QStringLiteral("<tr>");
        for (int b = 0; b < blocks; ++b) {
            if (b > 0) h += QStringLiteral("<td class=\"gap\"></td>");
            const std::size_t i = static_cast<std::size_t>(b) * per_block + r;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                h += i < t.rows.size() && c < t.rows[i].size() ? cell_html(t.rows[i][c])
                                                               : QStringLiteral("<td></td>");
            }
        }
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

}  // namespace

std::string document_html(const Document& d) {
    QString h =
        QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title><style>"
            "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 7.5pt; }"
            "h1 { font-size: 14pt; margin-bottom: 4pt; }"
            "h3 { font-size: 9pt; margin-top: 8pt; margin-bottom: 2pt; }"
            "table.facts td { padding-right: 12pt; }"
            "table.grid { border-collapse: collapse; }"
            "table.grid th { background-color: #e4e4e4; text-align: left; border-bottom: 1px solid #888888; }"
            "table.grid td { border-bottom: 1px solid #dddddd; }"
            "th.gap, td.gap { width: 12pt; background-color: #ffffff; border: none; }"
            ".page { page-break-before: always; }"
            ".legend { font-size: 7pt; color: #555555; }"
            "@page { size: A4; margin: 14mm; }"
            "</style></head><body>")
            .arg(esc(d.title));
    bool first = true;
    for (const Page& p : d.pages) {
        h += first ? QStringLiteral("<h1>%1</h1>").arg(esc(p.title))
                   : QStringLiteral("<h1 class=\"page\" style=\"page-break-before: always\">%1</h1>")
                         .arg(esc(p.title));
        first = false;
        if (!p.facts.empty()) {
            // two facts a row: the page keeps its room for the tables
            h += QStringLiteral("<table class=\"facts\" cellspacing=\"0\" cellpadding=\"1\">");
            for (std::size_t n = 0; n < p.facts.size(); n += 2) {
                h += QStringLiteral("<tr>");
                for (std::size_t i = n; i < n + 2 && i < p.facts.size(); ++i) {
                    // the blanks keep a long label off its value, and the pairs apart
                    h += QStringLiteral(
                             "<td>%1&nbsp;&nbsp;&nbsp;</td><td><b>%2</"
                             "b>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</td>")
                             .arg(esc(p.facts[i].first), esc(p.facts[i].second));
                }
                h += QStringLiteral("</tr>");
            }
            h += QStringLiteral("</table>");
        }
        if (!p.verdict.text.empty())
            h += QStringLiteral("<p>%1</p>").arg(cell_html(p.verdict).mid(4).chopped(5));
        if (!p.legend.empty()) h += QStringLiteral("<p class=\"legend\">%1</p>").arg(esc(p.legend));
        for (const Table& t : p.tables) h += table_html(t);
    }
    h += QStringLiteral("</body></html>\n");
    return h.toStdString();
}

}  // namespace plx::commission

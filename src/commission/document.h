#pragma once
// A printed record as data, and its HTML: pages of facts and tables, each page after the first on a
// new sheet. plx24ctl's commissioning record and the window's "Print record…" are documents of this
// kind; Qt's text document lays the HTML out for a PDF or a printer (commission/print.h), and any
// browser prints it as well.

#include <string>
#include <utility>
#include <vector>

namespace plx::commission {

struct Cell {
    std::string text;
    bool strong = false;  // bold: a value the plan gave
    bool quiet = false;   // italic: a value the unit kept
    bool marked = false;  // red: a difference or a failure
};

struct Table {
    std::string heading;
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;
    // the share of the page's width each column takes, in percent of one block; empty: as they need
    std::vector<int> widths;
    // the rows run in this many blocks side by side, so a long table fits on one page
    int blocks = 1;
};

struct Page {
    std::string title;
    std::vector<std::pair<std::string, std::string>> facts;  // label, value
    Cell verdict;                                            // under the facts; empty for none
    std::string legend;                                      // under the verdict, small
    std::vector<Table> tables;
};

struct Document {
    std::string title;  // the document's name (a PDF's title)
    // under every printed page: %1 the page, %2 the pages
    std::string footer;
    std::vector<Page> pages;
};

// UTF-8 HTML of the whole document; its texts are escaped here.
std::string document_html(const Document& d);

}  // namespace plx::commission

#pragma once
// The unit's data points described for people, from the register map and the window's own lists: the
// register description document that Help opens, and the tooltip of every field, in German or English.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "form/frm_config.h"

namespace plx::regdoc {

enum class Group {
    cfg_register,
    cfg_bit,
    input_bit,
    input_register,
    output_register,
};
inline constexpr Group kGroups[] = {
    Group::cfg_register, Group::cfg_bit, Group::input_bit, Group::input_register, Group::output_register,
};

struct Point {
    Group group;
    int index;
    std::uint16_t address;
    std::string meaning;
    std::string range;
    std::string unit;                  // empty for bits
    std::string scale;                 // empty for bits
    std::vector<std::string> choices;  // "3 = 0x03, 3. Stufe": what each value means, where a list says
};

// Every data point of a group, in address order, in the language of `language_code`.
std::vector<Point> describe(Group g, const std::string& language_code);

// "Konfigurationsregister 34", "Input bit 12"
std::string point_name(const Point& p, const std::string& language_code);
// "Holding-Register 0x0022", "coil 0x010C"
std::string address_text(const Point& p, const std::string& language_code);

// Register (table and address), meaning, range, unit and scale, on a few lines.
std::string tooltip(const Point& p, const std::string& language_code);

// Gives every field and output value of the main window the tooltip of its data point.
void set_field_tooltips(FrmConfig& f, const std::string& language_code);

// How wide a text is in the document's own units, and how wide the page's text is: with both, no
// column of a table is narrower than its longest word. Without them the columns get fixed shares.
struct TextMeasure {
    std::function<double(const std::string& utf8, bool bold)> width;
    double page_width = 0;
};

// The register description as one HTML document (the subset a QTextDocument lays out). Each group
// begins a page under an <h2> heading whose text is the group's section title.
std::string help_html(const std::string& language_code,
                      const std::string& program_version,
                      const TextMeasure& measure = {});
// The groups' section titles in the document's order: its bookmarks.
std::vector<std::string> section_titles(const std::string& language_code);

}  // namespace plx::regdoc

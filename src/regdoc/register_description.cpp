#include "regdoc/register_description.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "device/number_text.h"
#include "device/register_map.h"
#include "lang/apply_language.h"
#include "lang/register_terms.h"
#include "lang/texts.h"
#include "settings/store.h"

namespace plx::regdoc {

namespace {

namespace rm = device::regmap;
using lang::Term;

std::string hex4(std::uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(v));
    return buf;
}

struct Words {
    const std::string& code;
    bool en;
    char separator;
    std::string t(Term term) const { return lang::term(term, code); }
    std::string number(double v) const { return device::format_number(v, separator); }
    std::string span(double lo, double hi) const { return number(lo) + " .. " + number(hi); }
};

Words words_for(const std::string& code) {
    const bool en = lang::is_english(code);
    return Words{code, en, en ? '.' : ','};
}

std::string unit_text(rm::Unit u, const Words& w) {
    if (u == rm::Unit::temperature) return w.t(Term::unit_temperature);
    if (u == rm::Unit::none) return w.t(Term::unit_none);
    return rm::unit_symbol(u);
}

std::string scale_text(rm::Scale s, const Words& w) {
    switch (s) {
        case rm::Scale::tenths:
            return w.t(Term::scale_tenths);
        case rm::Scale::bcd:
            return w.t(Term::scale_bcd);
        case rm::Scale::integer:
            break;
    }
    return w.t(Term::scale_integer);
}

// The whole word's range as the tool shows it.
std::string word_range(rm::Scale s, rm::Sign sign, const Words& w) {
    if (sign == rm::Sign::unsigned16) return w.span(0, 65535);
    return s == rm::Scale::tenths ? w.span(-3276.8, 3276.7) : w.span(-32768, 32767);
}

std::vector<std::string> choices_of(const controls::ComboBox& list) {
    std::vector<std::string> out;
    int value = 0;
    for (const std::string& entry : list.list()) out.push_back(std::to_string(value++) + " = " + entry);
    return out;
}

// The window's lists in the language asked for: the design is German, apply_language puts English on.
const FrmConfig& lists_in(const std::string& code) {
    static const auto make = [](const char* language) {
        auto f = std::make_unique<FrmConfig>();
        settings::MemoryStore store;
        store.put(settings::Root::machine, QString::fromLatin1(settings::kProgramKey),
                  QStringLiteral("Language"), QString::fromLatin1(language));
        ProgramState state;
        lang::apply_language(lang::main_window, state, f.get(), nullptr, store);
        return f;
    };
    static const std::unique_ptr<FrmConfig> german = make(lang::kGerman);
    static const std::unique_ptr<FrmConfig> english = make(lang::kEnglish);
    return lang::is_english(code) ? *english : *german;
}

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

Term name_term(Group g) {
    switch (g) {
        case Group::cfg_register:
            return Term::cfg_register;
        case Group::cfg_bit:
            return Term::cfg_bit;
        case Group::input_bit:
            return Term::input_bit;
        case Group::input_register:
            return Term::input_register;
        case Group::output_register:
            break;
    }
    return Term::output_register;
}

bool is_bit(Group g) {
    return g == Group::cfg_bit || g == Group::input_bit;
}

constexpr int kButtonWord0 = 0;
constexpr int kButtonWord1 = 1;
constexpr int kFanStage = 15;
constexpr int kOccupancy = 16;

// What the coded output registers hold: the button state words bit by bit (the monitor's lamps), the
// fan stage and the occupancy in the words the window shows for them.
std::vector<std::string> coded_values(int i, const Words& w) {
    std::vector<std::string> out;
    const auto& words = lang::lang_text_table();
    const auto word = [&](int entry) {
        const lang::WindowText& t = words[static_cast<std::size_t>(entry)];
        return w.en ? t.english : t.german;
    };
    switch (i) {
        case kButtonWord0:
            out.push_back(w.t(Term::button_word_layout));
            for (int n = 0; n < rm::button_lamp_count; ++n) {
                out.push_back(
                    lang::substitute(w.t(Term::button_bit),
                                     {std::to_string(rm::button_lamp_count - 1 - n), std::to_string(n + 1)}));
            }
            out.push_back(w.t(Term::button_word_below));
            break;
        case kButtonWord1:
            out.push_back(w.t(Term::button_word_1));
            break;
        case kFanStage:
            // lang_text 0 .. 4: off, stages 1 to 3, and Auto for any other value
            for (int v = 0; v <= 3; ++v) out.push_back(std::to_string(v) + " = " + word(v));
            out.push_back(w.t(Term::otherwise) + " = " + word(4));
            break;
        case kOccupancy:
            out.push_back("0 = " + word(5));
            out.push_back("1 = " + word(6));
            break;
        default:
            break;
    }
    return out;
}

}  // namespace

std::vector<Point> describe(Group g, const std::string& code) {
    const Words w = words_for(code);
    const FrmConfig& lists = lists_in(code);
    std::vector<Point> out;
    switch (g) {
        case Group::cfg_register:
            for (const auto& r : rm::cfg_registers) {
                Point p{g,
                        r.k,
                        r.address,
                        w.en ? r.meaning : r.meaning_de,
                        {},
                        unit_text(r.unit, w),
                        scale_text(r.scale, w),
                        {}};
                if (r.has_combo) {
                    p.choices = choices_of(lists.cmb_cfg[r.k]);
                    p.range = lang::substitute(w.t(Term::list_range), {std::to_string(p.choices.size() - 1)});
                } else if (r.has_spinner) {
                    p.range = w.span(r.min, r.max);
                } else {
                    p.range = w.t(Term::read_only);
                }
                out.push_back(std::move(p));
            }
            break;
        case Group::cfg_bit:
            for (const auto& b : rm::cfg_bits) {
                Point p{g,  b.j, b.address, w.en ? b.meaning : b.meaning_de, w.t(Term::bit_values),
                        {}, {},  {}};
                if (b.reserved) p.range = w.t(Term::reserved);
                if (b.has_combo) p.choices = choices_of(lists.cmb_bit_cfg[b.j]);
                out.push_back(std::move(p));
            }
            break;
        case Group::input_bit:
            for (const auto& b : rm::input_bits) {
                out.push_back(Point{
                    g, b.j, b.address, w.en ? b.meaning : b.meaning_de, w.t(Term::bit_values), {}, {}, {}});
            }
            break;
        case Group::input_register:
            for (const auto& r : rm::input_registers) {
                Point p{g,
                        r.k,
                        r.address,
                        w.en ? r.meaning : r.meaning_de,
                        w.span(r.min, r.max),
                        unit_text(r.unit, w),
                        scale_text(r.scale, w),
                        {}};
                if (lists.cmb_in.has(r.k)) p.choices = choices_of(lists.cmb_in[r.k]);
                out.push_back(std::move(p));
            }
            break;
        case Group::output_register:
            for (const auto& r : rm::output_registers) {
                out.push_back(Point{g, r.i, r.address, w.en ? r.meaning : r.meaning_de,
                                    word_range(r.scale, r.sign, w) + ", " + w.t(Term::read_only),
                                    unit_text(r.unit, w), scale_text(r.scale, w), coded_values(r.i, w)});
            }
            break;
    }
    return out;
}

std::string point_name(const Point& p, const std::string& code) {
    return lang::term(name_term(p.group), code) + " " + std::to_string(p.index);
}

std::string address_text(const Point& p, const std::string& code) {
    return lang::term(is_bit(p.group) ? Term::coil : Term::holding_register, code) + " " + hex4(p.address);
}

std::string tooltip(const Point& p, const std::string& code) {
    const Words w = words_for(code);
    std::string s = point_name(p, code) + " – " + address_text(p, code) + "\n" + p.meaning + "\n" +
                    w.t(Term::range) + ": " + p.range;
    if (!is_bit(p.group)) {
        s += "\n" + w.t(Term::unit) + ": " + p.unit + " · " + w.t(Term::scale) + ": " + p.scale;
    }
    // short lists only: a long one is the box's own drop-down
    if (!p.choices.empty() && p.choices.size() <= 5) {
        for (const std::string& c : p.choices) s += "\n   " + c;
    }
    return s;
}

void set_field_tooltips(FrmConfig& f, const std::string& code) {
    for (const Point& p : describe(Group::cfg_register, code)) {
        const std::string tip = tooltip(p, code);
        f.txt_data_cfg[p.index].set_tooltip(tip);
        if (f.cmb_cfg.has(p.index)) f.cmb_cfg[p.index].set_tooltip(tip);
        if (f.lbl_cfg_val.has(p.index)) f.lbl_cfg_val[p.index].set_tooltip(tip);
    }
    for (const Point& p : describe(Group::cfg_bit, code)) {
        const std::string tip = tooltip(p, code);
        f.chk_cfg[p.index].set_tooltip(tip);
        if (f.cmb_bit_cfg.has(p.index)) f.cmb_bit_cfg[p.index].set_tooltip(tip);
    }
    for (const Point& p : describe(Group::input_bit, code))
        f.chk_input[p.index].set_tooltip(tooltip(p, code));
    for (const Point& p : describe(Group::input_register, code)) {
        const std::string tip = tooltip(p, code);
        f.txt_data_in[p.index].set_tooltip(tip);
        if (f.cmb_in.has(p.index)) f.cmb_in[p.index].set_tooltip(tip);
    }
    for (const Point& p : describe(Group::output_register, code)) {
        const std::string tip = tooltip(p, code);
        f.txt_data_out[p.index].set_tooltip(tip);
        if (f.lbl_in_val.has(p.index)) f.lbl_in_val[p.index].set_tooltip(tip);
        if (p.index == 0) {
            // lamp n shows bit 11 - n of the button word
            for (auto& [n, lamp] : f.Lbl_button) lamp.set_tooltip(tip + "\nBit " + std::to_string(11 - n));
        }
    }
}

namespace {

constexpr std::pair<Group, Term> kSections[] = {
    {Group::cfg_register, Term::section_cfg_registers},
    {Group::cfg_bit, Term::section_cfg_bits},
    {Group::input_bit, Term::section_input_bits},
    {Group::input_register, Term::section_input_registers},
    {Group::output_register, Term::section_output_registers},
};

// a table cell's padding and border on both sides, in the document's units
constexpr double kCellFrame = 2 * 3 + 4;
// the meaning column keeps at least this share of the page
constexpr int kLeastMeaningShare = 25;

std::vector<std::string> words_of(const std::string& text) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : text + " ") {
        if (c == ' ' || c == '\n') {
            if (!word.empty()) out.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return out;
}

// Shares of the page per column: the given ones, widened where a column's longest word needs more;
// the meaning column (index 2) takes what is left.
std::vector<int> column_shares(const std::vector<Term>& columns,
                               std::vector<int> shares,
                               const std::vector<Point>& points,
                               const Words& w,
                               const TextMeasure& measure) {
    if (!measure.width || measure.page_width <= 0) return shares;
    const auto cell = [&](const Point& p, std::size_t c) -> std::string {
        switch (c) {
            case 0:
                return std::to_string(p.index);
            case 1:
                return hex4(p.address);
            case 3:
                return p.range;
            case 4:
                return p.unit;
            case 5:
                return p.scale;
            default:
                return {};
        }
    };
    int others = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c == 2) continue;
        double widest = measure.width(w.t(columns[c]), true);
        for (const Point& p : points) {
            for (const std::string& word : words_of(cell(p, c)))
                widest = std::max(widest, measure.width(word, false));
        }
        const int needed = static_cast<int>(std::ceil(100 * (widest + kCellFrame) / measure.page_width));
        shares[c] = std::max(shares[c], needed);
        others += shares[c];
    }
    shares[2] = std::max(kLeastMeaningShare, 100 - others);
    return shares;
}

}  // namespace

std::vector<std::string> section_titles(const std::string& code) {
    std::vector<std::string> out;
    for (const auto& [g, title] : kSections) out.push_back(lang::term(title, code));
    return out;
}

std::string help_html(const std::string& code, const std::string& version, const TextMeasure& measure) {
    const Words w = words_for(code);
    std::string h = "<html><head><meta charset=\"utf-8\"><title>" + escape(w.t(Term::document_title)) +
                    "</title></head><body>";
    h += "<h1>" + escape(w.t(Term::document_title)) + "</h1>";
    h += "<p>" + escape(w.t(Term::document_intro)) + "</p>";
    h += "<p><i>" + escape(lang::substitute(w.t(Term::document_generated), {version})) + "</i></p>";
    h += "<ul>";
    for (const auto& [g, title] : kSections) h += "<li>" + escape(w.t(title)) + "</li>";
    h += "</ul>";
    for (const auto& [g, title] : kSections) {
        // each group on a page of its own, where its bookmark leads
        h += "<h2 style=\"page-break-before:always\">" + escape(w.t(title)) + "</h2>";
        if (g == Group::input_register) h += "<p>" + escape(w.t(Term::no_unit_note)) + "</p>";
        h += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>";
        std::vector<Term> columns = {Term::number, Term::address, Term::meaning, Term::range};
        if (!is_bit(g)) columns.insert(columns.end(), {Term::unit, Term::scale});
        const std::vector<Point> points = describe(g, code);
        const std::vector<int> widths = column_shares(
            columns, is_bit(g) ? std::vector<int>{6, 10, 60, 24} : std::vector<int>{5, 10, 37, 15, 15, 18},
            points, w, measure);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            h += "<th align=\"left\" bgcolor=\"#e4e4e4\" style=\"white-space:nowrap\" width=\"" +
                 std::to_string(widths[c]) + "%\">" + escape(w.t(columns[c])) + "</th>";
        }
        h += "</tr></thead>";
        const Point* same_list = nullptr;
        for (const Point& p : points) {
            h += "<tr><td>" + std::to_string(p.index) + "</td><td style=\"white-space:nowrap\">" +
                 hex4(p.address) + "</td><td>" + escape(p.meaning);
            if (!p.choices.empty()) {
                h += "<br/><small>";
                // a list shared by a run of registers (the button functions) is printed once
                if (same_list && same_list->choices == p.choices) {
                    h += escape(lang::substitute(w.t(Term::same_choices), {std::to_string(same_list->index)}));
                } else {
                    for (std::size_t i = 0; i < p.choices.size(); ++i) {
                        h += (i ? "<br/>" : "") + escape(p.choices[i]);
                    }
                    same_list = &p;
                }
                h += "</small>";
            }
            h += "</td><td>" + escape(p.range) + "</td>";
            if (!is_bit(g)) h += "<td>" + escape(p.unit) + "</td><td>" + escape(p.scale) + "</td>";
            h += "</tr>";
        }
        h += "</table>";
    }
    h += "</body></html>";
    return h;
}

}  // namespace plx::regdoc

// The text tables against the window they are meant for: every row reaches its controls, no place
// is set twice, and the German column is what the window shows from its design.
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lang/apply_language.h"
#include "lang/commission_texts.h"
#include "lang/texts.h"

namespace plx::lang {
namespace {

std::string kind_of(const MainWindowText& row) {
    if (row.list_entry >= 0) return "list entry";
    if (row.control == "SSTab1") return "tab";
    if (row.control == "MenüMain" || row.control == "ParMenüMain") return "menu";
    if (row.control == "read_out_parameter" || row.control == "set_parameter") return "button";
    if (row.control.rfind("frm_", 0) == 0) return "frame";
    return "label";
}

std::size_t places_named(const MainWindowText& row) { return row.indices.empty() ? 1 : row.indices.size(); }

TEST(MainWindowTable, HasEveryRowAndSetting) {
    const auto& rows = main_window_texts();
    // the behaviour's 183 rows and this program's two clock-row captions
    EXPECT_EQ(rows.size(), 185u);
    std::map<std::string, std::size_t> settings;
    for (const auto& row : rows) settings[kind_of(row)] += row.list_entry >= 0 ? 1 : places_named(row);
    EXPECT_EQ(settings["button"], 2u);
    EXPECT_EQ(settings["menu"], 6u);
    EXPECT_EQ(settings["tab"], 9u);
    EXPECT_EQ(settings["frame"], 23u);
    EXPECT_EQ(settings["label"], 152u);
    EXPECT_EQ(settings["list entry"], 50u);
}

TEST(MainWindowTable, EveryRowReachesEachControlItNames) {
    FrmConfig f;
    for (const auto& row : main_window_texts()) {
        SCOPED_TRACE(row.control + " -> " + row.english);
        EXPECT_EQ(resolve_targets(f, row).size(), places_named(row));
    }
}

TEST(MainWindowTable, NoPlaceIsSetTwice) {
    FrmConfig f;
    std::set<std::pair<const controls::Control*, int>> seen;
    for (const auto& row : main_window_texts()) {
        for (const auto& target : resolve_targets(f, row)) {
            EXPECT_TRUE(seen.insert({target.control, target.position}).second)
                << target.control->name << "(" << target.control->index << ") position " << target.position;
        }
    }
}

TEST(MainWindowTable, GermanColumnIsTheDesignText) {
    FrmConfig f;
    for (const auto& row : main_window_texts()) {
        for (const auto& target : resolve_targets(f, row)) {
            EXPECT_EQ(target.get(), row.german)
                << target.control->name << "(" << target.control->index << ") position " << target.position;
        }
    }
}

TEST(MainWindowTable, RowNamingNoControlReachesNothing) {
    FrmConfig f;
    EXPECT_TRUE(resolve_targets(f, {"lbl_nowhere", {1}, -1, "a", "b"}).empty());
    EXPECT_TRUE(resolve_targets(f, {"lbl_desc", {32}, -1, "a", "b"}).empty());  // the gap in lbl_desc
}

TEST(LangTextTable, HeaderLabelsEndInOneBlank) {
    const auto& t = lang_text_table();
    for (std::size_t i = 9; i <= 12; ++i) {
        SCOPED_TRACE(i);
        for (const std::string& text : {t[i].german, t[i].english}) {
            ASSERT_GE(text.size(), 2u);
            EXPECT_EQ(text.back(), ' ');
            EXPECT_NE(text[text.size() - 2], ' ');
        }
    }
    EXPECT_EQ(t[7].english, "Use ; as seperator!");
    EXPECT_EQ(t[11].german, "Parität: ");
}

TEST(AboutTexts, EnglishOnlyForTheExactCode) {
    EXPECT_EQ(about_texts("1033").caption, "About");
    EXPECT_EQ(about_texts("1033").lblVersion, "Orvanto: Configuration software for PLX24-RS485-Modbus");
    EXPECT_EQ(about_texts("1033").lblCopyright, "© Orvanto Sensortechnik GmbH. All rights reserved.");
    for (const char* code : {"1031", "", "2057", " 1033"}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(about_texts(code).caption, "Information");
        EXPECT_EQ(about_texts(code).lblVersion, "Orvanto: Konfigurationssoftware für PLX24-RS485-Modbus");
        EXPECT_EQ(about_texts(code).lblCopyright, "© Orvanto Sensortechnik GmbH. Alle Rechte vorbehalten.");
    }
}

TEST(Messages, ArgumentsFillTheirPlaces) {
    EXPECT_EQ(message(Message::invalid_slave_address, "1031", {"300"}),
              "Ungültige Modbus-Adresse 300: erlaubt sind 1 bis 247. Es wurde nichts gesendet.");
    EXPECT_EQ(message(Message::port_device_reason, "1033", {"/dev/ttyUSB0", "Permission denied"}),
              "Device /dev/ttyUSB0: Permission denied");
}

TEST(Messages, ArgumentIsNotExpandedAgain) {
    EXPECT_EQ(message(Message::port_device_reason, "1031", {"%2", "x"}), "Gerät %2: x");
}

TEST(Messages, CountedWordsAgreeWithTheirNumber) {
    struct Case {
        std::string pattern;
        std::vector<std::string> args;
        std::string want;
    };
    for (const Case& c : {
             Case{"%1 {Antwort|Antworten} mit falscher Prüfsumme", {"1"}, "1 Antwort mit falscher Prüfsumme"},
             Case{"%1 {answer|answers} with a wrong check sum", {"2"}, "2 answers with a wrong check sum"},
             Case{"%1 {Antwort|Antworten}", {"11"}, "11 Antworten"},
             Case{"%2: %1 {row|rows} before {stays|stay}", {"1", "full"}, "full: 1 row before stays"},
             Case{"{a|b} before any number stays", {"1"}, "{a|b} before any number stays"},
         }) {
        EXPECT_EQ(substitute(c.pattern, c.args), c.want) << c.pattern;
    }
}

TEST(Messages, MissingArgumentLeavesItsPlaceVisible) {
    EXPECT_EQ(message(Message::port_device_reason, "1031", {"/dev/ttyS0"}), "Gerät /dev/ttyS0: %2");
}

TEST(Messages, EveryMessageExistsInBothLanguages) {
    for (Message id :
         {Message::invalid_slave_address, Message::port_device_reason, Message::port_permission_hint,
          Message::parameter_file_not_read, Message::parameter_file_not_written,
          Message::parameter_file_bad_line, Message::value_not_sendable, Message::value_missing,
          Message::cfg_register_field, Message::input_register_field, Message::value_out_of_range,
          Message::discard_edits_question, Message::discard_button, Message::cancel_button}) {
        const std::string de = message(id, "1031");
        const std::string en = message(id, "1033");
        EXPECT_FALSE(de.empty());
        EXPECT_FALSE(en.empty());
        EXPECT_NE(de, en);
    }
}

TEST(Messages, EveryParameterFileMessageExistsInBothLanguages) {
    for (Message id : {Message::parameter_file_lines_skipped, Message::parameter_file_more_lines,
                       Message::parameter_file_short, Message::parameter_file_refused,
                       Message::parameter_file_too_large, Message::parameter_file_line_too_long,
                       Message::parameter_file_binary, Message::parameter_file_unencodable}) {
        EXPECT_FALSE(message(id, "1031").empty());
        EXPECT_NE(message(id, "1031"), message(id, "1033"));
    }
}

// A row missing from the table would be an empty text in a message, a menu or a printed record.
TEST(CommissionTexts, EveryRowExistsInBothLanguages) {
    for (int i = 0; i <= static_cast<int>(CommissionText::compare_close); ++i) {
        const auto id = static_cast<CommissionText>(i);
        EXPECT_FALSE(commission_text(id, "1031").empty()) << i;
        EXPECT_FALSE(commission_text(id, "1033").empty()) << i;
    }
}

TEST(ExceptionMeaning, StandardCodesInBothLanguagesOthersEmpty) {
    struct Row {
        int code;
        const char* german;
        const char* english;
    };
    const Row rows[] = {
        {0x01, "unzulässige Funktion", "illegal function"},
        {0x02, "unzulässige Datenadresse", "illegal data address"},
        {0x03, "unzulässiger Datenwert", "illegal data value"},
        {0x04, "Gerätefehler", "slave device failure"},
        {0x07, "", ""},
        {0x80, "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(exception_meaning(r.code, kGerman), r.german) << r.code;
        EXPECT_EQ(exception_meaning(r.code, kEnglish), r.english) << r.code;
    }
}

}  // namespace
}  // namespace plx::lang

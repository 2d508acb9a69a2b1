// One row per poll as a spreadsheet reads it: the time the poll ended, how old the newest values are,
// the values as the Monitor shows them or, without a valid answer to this poll, none and the reason.
#include <string>

#include <QTimeZone>
#include <gtest/gtest.h>

#include "recording/rows.h"

namespace plx::recording {
namespace {

using std::chrono::milliseconds;

const Dialect kGerman = dialect_for("1031", ',');
const Dialect kEnglish = dialect_for("1033", ',');

QDateTime at_1015() {
    return QDateTime(QDate(2025, 3, 14), QTime(10, 15, 30, 517), QTimeZone(3600));
}

Values unit_values() {
    Values v;
    v.outputs = {0xF000, 0xF000, 215, 0xFFF6, 205, 0, 190, 5, 55, 0, 50, 0, 12, 0, 7, 2, 1};
    v.inputs[8] = -12.5;
    v.inputs[20] = 21;
    return v;
}

struct Case {
    const char* name;
    Dialect dialect;
    Poll poll;
    // the line as it begins: time, age, reason, then the values up to room temperature 2 and its offset
    std::string begins;
    // the input register 8 column (external temperature 1)
    std::string input_8;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class RowBuilder : public ::testing::TestWithParam<Case> {};

TEST_P(RowBuilder, FieldsInTheDialect) {
    const Case& c = GetParam();
    const std::vector<std::string> f = row(c.poll, c.dialect);
    ASSERT_EQ(f.size(), header("1031", at_1015()).size()) << "every row has every column";
    EXPECT_EQ(csv_line(f, c.dialect).rfind(c.begins, 0), 0u) << csv_line(f, c.dialect);
    std::size_t input_8 = 0;
    while (input_8 < columns().size() &&
           !(columns()[input_8].source == Source::input_register && columns()[input_8].index == 8))
        ++input_8;
    EXPECT_EQ(f[3 + input_8], c.input_8);
    const std::string line = csv_line(f, c.dialect);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Polls, RowBuilder,
    ::testing::Values(
        Case{"ValidAnswerGerman", kGerman,
             Poll{milliseconds(1000), milliseconds(1120), at_1015(), Answer{milliseconds(1000), unit_values()}, {}},
             "2025-03-14T10:15:30.517;120;;61440;61440;21,5;-1;20,5;", "-12,5"},
        Case{"ValidAnswerEnglish", kEnglish,
             Poll{milliseconds(1000), milliseconds(1120), at_1015(), Answer{milliseconds(1000), unit_values()}, {}},
             "2025-03-14T10:15:30.517,120,,61440,61440,21.5,-1,20.5,", "-12.5"},
        Case{"TimeOutBeforeAnyAnswer", kGerman,
             Poll{milliseconds(1000), milliseconds(11000), at_1015(), std::nullopt, "Kein Byte empfangen; Gerät aus?"},
             "2025-03-14T10:15:30.517;;\"Kein Byte empfangen; Gerät aus?\";;;;", ""},
        Case{"StaleAnswerIsNotRepeated", kEnglish,
             Poll{milliseconds(1250), milliseconds(1500), at_1015(), Answer{milliseconds(1000), unit_values()},
                  "Not a byte received: unit off, not connected, A and B swapped?"},
             "2025-03-14T10:15:30.517,500,\"Not a byte received: unit off, not connected, A and B swapped?\",,,,", ""}));
// clang-format on

TEST(RowHeader, NamesAndUnitsFromTheRegisterMapInBothDialects) {
    const std::string de = csv_line(header("1031", at_1015()), kGerman);
    EXPECT_EQ(de.rfind("Zeit (UTC+01:00);Antwortalter, ms;Grund;Tastenzustandswort 0;Tastenzustandswort "
                       "1;Raumtemperatur, °C;",
                       0),
              0u)
        << de;
    EXPECT_NE(de.find(";effektiver Sollwert Prozentwert 1, %;"), std::string::npos) << de;
    EXPECT_NE(de.find(";Eingaberegister 8: externe Temperatur 1, °C;"), std::string::npos) << de;
    const std::string en = csv_line(
        header("1033", QDateTime(QDate(2025, 7, 1), QTime(8, 0), QTimeZone(-5 * 3600 - 1800))), kEnglish);
    EXPECT_EQ(en.rfind("Time (UTC-05:30),\"Answer age, ms\",Reason,button state word 0,button state word "
                       "1,\"room temperature, degC\",",
                       0),
              0u)
        << en;
    EXPECT_EQ(dialect_for("1031", '.').decimal, '.') << "German takes the user's own separator";
}

}  // namespace
}  // namespace plx::recording

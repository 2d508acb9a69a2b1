// The pure parts of the dialog and shell adapters: file filters and the shell's targets.

#include <gtest/gtest.h>

#include "gui/qt_platform.h"

namespace plx::gui {
namespace {

struct FilterCase {
    const char* name;
    const char* filter;
    const char* expected;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, BecomesAQtNameFilter) {
    EXPECT_EQ(qt_name_filter(GetParam().filter), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    ::testing::Values(FilterCase{"PatternInDescription", "Textfile (*.txt)|*.txt", "Textfile (*.txt)"},
                      FilterCase{"PatternAdded", "Parameter|*.txt", "Parameter (*.txt)"},
                      FilterCase{"TwoFilters", "Text|*.txt|Alle|*.*", "Text (*.txt);;Alle (*.*)"},
                      FilterCase{"SeveralPatterns", "Daten|*.txt;*.csv", "Daten (*.txt *.csv)"},
                      FilterCase{"DanglingDescriptionIgnored", "Text|*.txt|Rest", "Text (*.txt)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellUrlTest, MailtoLinkStaysAMailtoLink) {
    const QUrl u = shell_url("mailto:info@orvanto.example.invalid");
    EXPECT_EQ(u.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(u.path(), QStringLiteral("info@orvanto.example.invalid"));
}

TEST(ShellUrlTest, WebAddressesOpenInTheBrowser) {
    EXPECT_EQ(shell_url("https://www.orvanto.example.invalid").host(), QStringLiteral("www.orvanto.example.invalid"));
    const QUrl bare = shell_url("www.orvanto.example.invalid");
    EXPECT_EQ(bare.scheme(), QStringLiteral("http"));
    EXPECT_EQ(bare.host(), QStringLiteral("www.orvanto.example.invalid"));
}

TEST(ShellUrlTest, PathWithBlanksBecomesALocalFile) {
    const QUrl u = shell_url("/opt/plx24/Doc/PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf");
    EXPECT_TRUE(u.isLocalFile());
    EXPECT_EQ(u.toLocalFile(), QStringLiteral("/opt/plx24/Doc/PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf"));
}

}  // namespace
}  // namespace plx::gui

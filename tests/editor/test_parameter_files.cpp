// "&Parameter speichern" and "&Parameter laden" on the composed program: a read-out unit, the file
// dialog answering with names in a temporary folder, the bytes on disk.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "../transfer/unit_rig.h"
#include "../support/null_platform.h"
#include "editor/parameter_file.h"
#include "paramfile/reasons.h"
#include "program/program.h"
#include "commission/document.h"
#include "paramfile/parameter_file.h"
#include "settings/store.h"

namespace plx {
namespace {

std::string slurp(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void put_file(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string golden(const std::string& name) {
    return slurp(std::string(PLX24_TEST_DATA) + "/" + name);
}

std::string line_replaced(std::string bytes, int number, const std::string& text) {
    std::size_t start = 0;
    for (int n = 1; n < number; ++n) start = bytes.find("\r\n", start) + 2;
    return bytes.replace(start, bytes.find("\r\n", start) - start, text);
}

// The whole program on a scripted 4-button unit at 9600 Bd, RTU, read out, in the given language.
struct Rig {
    Rig(const char* language, const char* separator) {
        auto store = std::make_unique<settings::MemoryStore>();
        const QString key = QString::fromLatin1(settings::kProgramKey);
        store->put(settings::Root::machine, key, QStringLiteral("Language"), QString::fromLatin1(language));
        store->put(settings::Root::machine, key, QStringLiteral("Version"), QStringLiteral("1.5"));
        store->put(settings::Root::user, QString::fromLatin1(settings::kInternationalKey),
                   QStringLiteral("sDecimal"), QString::fromLatin1(separator));
        program.settings = std::move(store);
        program.start();
        program.parameter_files->now = [] { return paramfile::Stamp{"29.01.2015", "14:03:22"}; };
        unit.holding = {{0, 0x2401}, {1, 110}, {2, 4},    {3, 1234},    {15, 11},
                        {20, 1},     {33, 20}, {35, 215}, {36, 0xFF9C}, {59, 2}};
        unit.coils = {{9, 1}, {24, 1}, {25, 1}};
        program.form.Combo_Port[1].user_select(0);
        program.form.Combo_Port[5].user_select(1);
        program.form.Combo_Port[6].user_select(1);
        run_ms(6000);
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) {
            transfer::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }
    void menu(int item, const std::optional<std::string>& name) {
        files.answers.push_back(name);
        program.form.ParMenueMain[item].user_click();
    }
    void save_as(const std::optional<std::string>& name) { menu(2, name); }
    void load_from(const std::optional<std::string>& name) { menu(1, name); }
    std::vector<std::string> fields() const {
        std::vector<std::string> out;
        for (const auto& [k, t] : program.form.txt_data_cfg) out.push_back(t.text());
        for (const auto& [j, b] : program.form.chk_cfg) out.push_back(std::to_string(b.value()));
        return out;
    }
    // the one message shown, or "" when there is none and "<n messages>" when there are more
    std::string message() const {
        if (messages.shown.size() == 1) return messages.shown[0];
        return messages.shown.empty() ? "" : "<" + std::to_string(messages.shown.size()) + " messages>";
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    test::RecordingMessages messages;
    test::ScriptedFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    transfer::testing::ScriptedUnit unit;
};

class ParameterFiles : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QTemporaryDir dir;
};

struct LanguageCase {
    const char* name;
    const char* language;
    const char* separator;
    const char* file;        // what this language saves
    const char* other_file;  // the other language's file
    const char*
        field_35;  // register 36 changed in the other file, as it arrives in this language's separator
};

class PerLanguage : public ParameterFiles, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(PerLanguage, SavesTheGoldenFileByteForByteOverAnyOldOne) {
    Rig rig(GetParam().language, GetParam().separator);
    put_file(path("unit.txt"), std::string(20000, 'x'));
    rig.save_as(path("unit.txt"));
    EXPECT_EQ(slurp(path("unit.txt")), golden(GetParam().file));
    EXPECT_EQ(rig.message(), "");
    ASSERT_EQ(rig.files.requests.size(), 1u);
    EXPECT_TRUE(rig.files.requests[0].save);
    EXPECT_EQ(rig.files.requests[0].filter, "Textfile (*.txt)|*.txt");
    EXPECT_EQ(rig.files.requests[0].title, "") << "the platform's own title";
}

TEST_P(PerLanguage, LoadsTheOtherLanguagesFileInItsOwnSeparatorAndApplySendsIt) {
    Rig rig(GetParam().language, GetParam().separator);
    // the other laptop changed register 36 and saved it with its own separator
    const char other = GetParam().separator[0] == ',' ? '.' : ',';
    const std::string file =
        line_replaced(golden(GetParam().other_file), 50, std::string("Register 36 ;x;22") + other + "5");
    put_file(path("in.txt"), file);
    rig.load_from(path("in.txt"));
    FrmConfig& f = rig.program.form;
    EXPECT_EQ(f.txt_data_cfg[35].text(), GetParam().field_35);
    EXPECT_TRUE(f.txt_data_cfg[35].pending());
    const paramfile::ReadResult r = paramfile::read(file, paramfile::read_rules(GetParam().separator[0]));
    for (int k = 2; k < 60; ++k)
        EXPECT_EQ(f.txt_data_cfg[k].text(), r.register_texts[static_cast<std::size_t>(k)]) << k;
    for (int j = 0; j < 32; ++j)
        EXPECT_EQ(f.chk_cfg[j].value(), r.bit_states[static_cast<std::size_t>(j)]) << j;
    EXPECT_EQ(rig.message(), "");
    EXPECT_NE(f.status_line.caption().find("in.txt"), std::string::npos) << f.status_line.caption();
    // nothing in it is refused: Apply writes and reads it back
    ASSERT_TRUE(f.set_parameter.enabled());
    rig.unit.seen.clear();
    f.set_parameter.user_click();
    rig.run_ms(8000);
    EXPECT_EQ(rig.message(), "");
    // the block of registers 30 .. 39 went out with 22.5 as 225 (0x00E1) in register 36
    const auto& seen = rig.unit.seen;
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const auto& s) {
        return s.request.rfind("0110001E000A14", 0) == 0 && s.request.substr(14 + 5 * 4, 4) == "00E1";
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Languages,
    PerLanguage,
    ::testing::Values(LanguageCase{"German", "1031", ",", "parameters_de.txt", "parameters_en.txt", "22,5"},
                      LanguageCase{"English", "1033", ".", "parameters_en.txt", "parameters_de.txt", "22.5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterFiles, RoundTripBringsBackRegisters3To60AndAllBitsAsPendingEdits) {
    Rig rig("1031", ",");
    FrmConfig& f = rig.program.form;
    f.cmb_cfg[2].user_select(3);  // 12T
    f.txt_data_cfg[3].user_edit("77");
    f.txt_data_cfg[35].user_edit("22,5");
    f.cmb_bit_cfg[24].user_select(0);  // °F
    f.chk_cfg[5].user_toggle();
    rig.save_as(path("edited.txt"));
    const std::vector<std::string> saved = rig.fields();

    // back to what the unit holds (the edits given up when asked), then the file of another unit
    rig.messages.answer = true;
    f.read_out_parameter.user_click();
    rig.run_ms(6000);
    ASSERT_FALSE(f.set_parameter.enabled());
    std::string bytes = slurp(path("edited.txt"));
    bytes = line_replaced(line_replaced(bytes, 15, "Register 1 ;x;1111"), 16, "Register 2 ;x;999");
    put_file(path("edited.txt"), bytes);
    rig.port.take_written();
    rig.load_from(path("edited.txt"));

    EXPECT_EQ(rig.fields(), saved) << "registers 1 and 2 keep the unit's values";
    for (const controls::Colored* c : std::initializer_list<const controls::Colored*>{
             &f.txt_data_cfg[3], &f.txt_data_cfg[35], &f.txt_data_cfg[2], &f.cmb_cfg[2], &f.cmb_bit_cfg[24],
             &f.chk_cfg[24], &f.chk_cfg[5]}) {
        EXPECT_TRUE(c->pending()) << c->name << c->index;
    }
    EXPECT_FALSE(f.txt_data_cfg[4].pending()) << "an unchanged value is no edit";
    EXPECT_TRUE(f.frm_12T.visible()) << "the layout follows the number of buttons";
    EXPECT_EQ(f.lbl_temp[1].caption(), "°F");
    EXPECT_TRUE(f.set_parameter.enabled());
    EXPECT_TRUE(rig.port.take_written().empty()) << "a load sends nothing";
    EXPECT_EQ(rig.message(), "");
}

TEST_F(ParameterFiles, Register3LoadedAs8LaysTheWindowOutFor8Buttons) {
    Rig rig("1031", ",");
    const FrmConfig& f = rig.program.form;
    ASSERT_FALSE(f.frm_8T[0].visible());
    put_file(path("8T.txt"), line_replaced(golden("parameters_de.txt"), 17, "Register 3 ;Bedientasten:;8"));
    rig.load_from(path("8T.txt"));
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 2);
    EXPECT_TRUE(f.cmb_cfg[2].pending());
    EXPECT_TRUE(f.frm_8T[0].visible());
    EXPECT_FALSE(f.frm_12T.visible());
    EXPECT_TRUE(f.Image8T[1].visible());
    EXPECT_TRUE(f.Lbl_button[11].visible());
}

TEST_F(ParameterFiles, ParityLineShowsTheListText) {
    Rig rig("1031", ",");
    const char* const parities[] = {"Even", "Odd", "None"};
    for (int i = 0; i < 3; ++i) {
        rig.program.form.cbParity.user_select(i);
        const auto lines = paramfile::file_lines(rig.program.parameter_files->contents({}, "1.5"));
        EXPECT_EQ(lines[9], std::string("Parität: ") + parities[i]);
    }
}

TEST_F(ParameterFiles, CancelInEitherDialogDoesNothing) {
    Rig rig("1031", ",");
    const auto before = rig.fields();
    for (const auto& name : {std::optional<std::string>(), std::optional<std::string>("")}) {
        rig.save_as(name);
        rig.load_from(name);
    }
    EXPECT_EQ(rig.files.requests.size(), 4u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(rig.fields(), before);
    EXPECT_EQ(rig.message(), "");
}

#ifdef __linux__
// Root may write into a folder without write permission: there the folder is made immutable.
bool make_unwritable(const std::string& folder, bool on) {
    QFile::setPermissions(
        QString::fromStdString(folder),
        QFile::ReadOwner | QFile::ExeOwner | (on ? QFile::Permissions() : QFile::WriteOwner));
    if (geteuid() != 0) return true;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool ok = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) close(fd);
    return ok;
}

TEST_F(ParameterFiles, SaveIntoAReadOnlyFolderReportsAndKeepsTheOldFile) {
    Rig rig("1031", ",");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ro")));
    const std::string file = path("ro") + "/unit.txt";
    put_file(file, "old\r\n");
    if (!make_unwritable(path("ro"), true)) GTEST_SKIP() << "no way to make a folder read-only for root here";
    rig.save_as(file);
    make_unwritable(path("ro"), false);
    EXPECT_EQ(slurp(file), "old\r\n");
    EXPECT_EQ(rig.message().rfind("Die Parameterdatei " + file + " konnte nicht geschrieben werden: ", 0), 0u)
        << rig.message();
}
#endif

TEST_F(ParameterFiles, SaveThatCannotBeCompletedNamesFileAndReason) {
    Rig rig("1033", ".");
    put_file(path("plain"), "x");
    rig.save_as(path("plain") + "/unit.txt");
    EXPECT_EQ(
        rig.message().rfind("The parameter file " + path("plain") + "/unit.txt could not be written: ", 0),
        0u)
        << rig.message();

    rig.messages.shown.clear();
    rig.program.form.txt_data_cfg[40].set_text("2Ω");
    rig.save_as(path("unit.txt"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("unit.txt"))));
    EXPECT_NE(rig.message().find("line 55 holds the character U+03A9 \"Ω\""), std::string::npos)
        << rig.message();
}

struct BadFileCase {
    const char* name;
    int line;  // replaced by `text` ("<cut>": the file ends there); 0: the file is `text`; -1: no file
    std::string text;
    const char* message;  // a part of the one message; empty: no message
    int changed;          // of the 90 values, all of which differ in the undamaged file
    const char* status = "";  // a part of the status line after it
};

void PrintTo(const BadFileCase& c, std::ostream* os) {
    *os << c.name;
}

class BadFile : public ParameterFiles, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFile, ChangesOnlyWhatItMayAndSaysWhatItSaw) {
    const BadFileCase& c = GetParam();
    Rig rig("1031", ",");
    // every value differs from the read-out, where only bits 9, 24 and 25 are set
    std::string file = golden("parameters_de.txt");
    for (int n = paramfile::kFirstLoadedLine; n <= paramfile::kLineCount; ++n) {
        const int j = n - paramfile::kFirstBitLine;
        // the first and last bit line keep the key that marks a parameter file
        const std::string key = n == paramfile::kFirstBitLine || n == paramfile::kLineCount
                                    ? "Konfigurationsbit " + std::to_string(j + 1) + " "
                                    : "B";
        file = line_replaced(file, n,
                             j < 0                          ? "R;x;" + std::to_string(n)
                             : j == 9 || j == 24 || j == 25 ? key + ";x; 0 "
                                                            : key + ";x; 1 ");
    }
    if (c.line > 0) file = line_replaced(file, c.line, c.text);
    if (c.text.find("<cut>") != std::string::npos) file = file.substr(0, file.find("<cut>"));
    if (c.line == 0) file = c.text;
    if (c.line >= 0) put_file(path("bad.txt"), file);
    const auto before = rig.fields();
    rig.load_from(path("bad.txt"));
    const auto after = rig.fields();
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
    EXPECT_EQ(changed, c.changed);
    const std::string m = c.message;
    if (m.empty()) {
        EXPECT_EQ(rig.message(), "");
    } else {
        EXPECT_NE(rig.message().find(m), std::string::npos) << rig.message();
    }
    const std::string status = rig.program.form.status_line.caption();
    EXPECT_NE(status.find(c.status), std::string::npos) << status;
}

// a semicolon list of another kind, as long as a parameter file
std::string other_csv() {
    std::string text;
    for (int n = 1; n <= 106; ++n)
        text += "Artikel " + std::to_string(n) + ";Menge;" + std::to_string(n) + "\r\n";
    return text;
}

const std::string kLong(paramfile::kMaxFileBytes + 1, ' ');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, BadFile, ::testing::Values(
    BadFileCase{"Sound", 50, "R;x;50", "", 90, "Parameter aus bad.txt geladen: 90 Zeilen übernommen, 90 Felder geändert"},
    BadFileCase{"MissingField", 80, "Bit;6", ":\nZeile 80 (Bit): kein gültiger Wert; das Feld ist unverändert.", 89},
    BadFileCase{"BitValue2", 76, "B;x; 2 ", "Zeile 76 (B)", 89},
    BadFileCase{"RegisterNotANumberLoadsMarked", 50, "R;x;abc", "Zeile 50 (Register 36): der Wert \"abc\" kann nicht gesendet werden", 90, "Nicht sendbar, bitte korrigieren: Zeile 50."},
    BadFileCase{"OtherSeparator", 50, "R;x;-2.5", "", 90, "90 Zeilen übernommen"},
    BadFileCase{"AnotherSemicolonList", 0, other_csv(), "bad.txt ist keine Parameterdatei (Zeile 15 lautet nicht \"Register 1 ;…;…\"). Es wurde nichts geladen.", 0},
    BadFileCase{"ServicesFile", 0, "# Network services\ntcpmux 1/tcp\necho 7/tcp\n", "ist keine Parameterdatei (Zeile 15", 0},
    BadFileCase{"Truncated", 50, "R;x<cut>", "endet nach Zeile 49 von 106: 33 ihrer 90 Zeilen mit Werten wurden geladen", 33},
    BadFileCase{"Binary", 60, std::string("\0\x01", 2), "ist keine Parameterdatei (Zeile 60 enthält Binärdaten", 0},
    BadFileCase{"Oversized", 0, kLong, "(sie ist größer als 1 MiB). Es wurde nichts geladen.", 0},
    BadFileCase{"CannotBeOpened", -1, "", "bad.txt konnte nicht gelesen werden: ", 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace plx

namespace plx {
namespace {

// "Mit Datei vergleichen…": a saved file with two values changed lists exactly those against the unit
// as read, and loading it makes them edits as "&Parameter laden" does.
TEST_F(ParameterFiles, CompareListsWhatDiffersFromTheUnitAsReadAndLoadsItAsEdits) {
    Rig rig("1031", ",");
    const std::string file = path("unit.txt");
    rig.save_as(file);
    std::string bytes = line_replaced(slurp(file), 18, "Register 4 ;Standortkennung:;117");
    put_file(file, line_replaced(bytes, 84, "Konfigurationsbit 10 ;Sollwert Temperatur 1 Effektiv:; 0 "));

    rig.files.answers.push_back(file);
    const auto c = rig.program.unit_record->compare_with_file();
    ASSERT_TRUE(c);
    ASSERT_EQ(c->differences.size(), 2u);
    const auto& d = c->differences;
    EXPECT_EQ((std::vector<std::string>{d[0].caption, d[0].key, d[0].file, d[0].unit}),
              (std::vector<std::string>{"Standortkennung", "Register 4", "117", "1234"}));
    EXPECT_EQ((std::vector<std::string>{d[1].key, d[1].file, d[1].unit}),
              (std::vector<std::string>{"Konfigurationsbit 10", "0 (aus)", "1 (ein)"}));
    EXPECT_FALSE(rig.program.form.set_parameter.enabled());

    rig.program.unit_record->load(*c);
    EXPECT_EQ(rig.program.form.txt_data_cfg[3].text(), "117");
    EXPECT_TRUE(rig.program.form.txt_data_cfg[3].pending());
    EXPECT_TRUE(rig.program.form.chk_cfg[9].pending());
    EXPECT_TRUE(rig.program.form.set_parameter.enabled());
}

// "Protokoll drucken…": the unit as read, tab by tab, whatever has been edited since.
TEST_F(ParameterFiles, RecordIsTheUnitAsReadTabByTab) {
    Rig rig("1031", ",");
    rig.program.form.txt_data_cfg[3].set_text("77");
    const auto d = rig.program.unit_record->record();
    ASSERT_TRUE(d);
    ASSERT_EQ(d->pages.size(), 1u);
    const commission::Page& p = d->pages[0];
    EXPECT_EQ(p.title, "Konfiguration von Gerät 1");
    EXPECT_EQ(p.facts[1], (std::pair<std::string, std::string>{"Gerätecodierung", "9217"}));
    EXPECT_EQ(p.facts[2], (std::pair<std::string, std::string>{"Firmware", "110"}));
    std::vector<std::string> tabs;
    for (const commission::Table& t : p.tables) tabs.push_back(t.heading);
    EXPECT_EQ(tabs.front(), rig.program.form.SSTab1.tab_captions()[0]);
    const auto value_of = [&](const std::string& key) {
        for (const commission::Table& t : p.tables) {
            for (const auto& row : t.rows) {
                if (row[0].text == key) return row[2].text;
            }
        }
        return std::string("<none>");
    };
    EXPECT_EQ(value_of("Register 4"), "1234");
    EXPECT_EQ(value_of("Register 3"), "4T");
    EXPECT_EQ(value_of("Register 36"), "21,5");
    EXPECT_EQ(value_of("Register 60"), "2");
}

}  // namespace
}  // namespace plx

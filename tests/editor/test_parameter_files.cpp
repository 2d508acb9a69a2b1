// "&Parameter speichern" and "&Parameter laden" on the composed program: a read-out unit, the file
// dialog answering with names in a temporary folder, the bytes on disk.

#include <functional>
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

#include "../device/unit_rig.h"
#include "../support/null_platform.h"
#include "app/program.h"
#include "paramfile/parameter_file.h"
#include "settings/store.h"

namespace plx {
namespace {

constexpr int kMenuLoad = 1;
constexpr int kMenuSave = 2;

std::string slurp(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

void put_file(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        out.push_back(bytes.substr(start, end - start));
    }
    return out;
}

// The value field of every line from 17 on: what a load may change.
std::vector<std::string> value_fields(const std::string& bytes) {
    std::vector<std::string> out;
    const auto lines = lines_of(bytes);
    for (std::size_t i = paramfile::kFirstLoadedLine - 1; i < lines.size(); ++i) {
        out.push_back(lines[i].substr(lines[i].rfind(';') + 1));
    }
    return out;
}

std::string line_replaced(std::string bytes, int number, const std::string& text) {
    std::size_t start = 0;
    for (int n = 1; n < number; ++n) start = bytes.find("\r\n", start) + 2;
    return bytes.replace(start, bytes.find("\r\n", start) - start, text);
}

std::string golden(const std::string& name) {
    return slurp(std::string(PLX24_TEST_DATA) + "/" + name);
}

// The whole program on a scripted 4-button unit, read out, in the given language.
struct Rig {
    Rig(const char* language, const char* separator) {
        auto store = std::make_unique<settings::MemoryStore>();
        const QString program_key = QString::fromLatin1(settings::kProgramKey);
        store->put(settings::Root::machine, program_key, QStringLiteral("Language"),
                   QString::fromLatin1(language));
        store->put(settings::Root::machine, program_key, QStringLiteral("Version"), QStringLiteral("1.5"));
        store->put(settings::Root::user, QString::fromLatin1(settings::kInternationalKey),
                   QStringLiteral("sDecimal"), QString::fromLatin1(separator));
        program.settings = std::move(store);
        program.start();
        program.parameter_files->now = [] { return paramfile::Stamp{"29.01.2015", "14:03:22"}; };
        unit.holding = {{0, 0x2401}, {1, 110}, {2, 4},    {3, 1234},    {15, 11},
                        {20, 1},     {33, 20}, {35, 215}, {36, 0xFF9C}, {59, 2}};
        unit.coils = {{9, 1}, {24, 1}, {25, 1}};
        program.form.Combo_Port[1].user_select(0);  // 9600
        program.form.Combo_Port[5].user_select(1);  // RTU
        program.form.Combo_Port[6].user_select(1);  // open
        run_ms(6000);
    }
    void run_ms(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 5) {
            device::testing::serve_unit(port, unit, clock.now().count());
            clock.advance_ms(5);
        }
    }
    void save_as(const std::optional<std::string>& name) {
        files.answers.push_back(name);
        program.form.ParMenueMain[kMenuSave].user_click();
    }
    void load_from(const std::optional<std::string>& name) {
        files.answers.push_back(name);
        program.form.ParMenueMain[kMenuLoad].user_click();
    }
    std::vector<std::string> field_texts() const {
        std::vector<std::string> out;
        for (const auto& [k, t] : program.form.txt_data_cfg) out.push_back(t.text());
        for (const auto& [j, b] : program.form.chk_cfg) out.push_back(std::to_string(b.value()));
        return out;
    }

    link::FakeSerialPort port;
    controls::VirtualClock clock;
    test::RecordingMessages messages;
    test::ScriptedFiles files;
    test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    device::testing::ScriptedUnit unit;
};

class ParameterFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QTemporaryDir dir;
};

struct GoldenCase {
    const char* name;
    const char* language;
    const char* separator;
    const char* file;
};

class GoldenFile : public ParameterFilesTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenFile, SavedBytesAreExactlyTheParameterFile) {
    Rig rig(GetParam().language, GetParam().separator);
    rig.save_as(path("unit.txt"));
    EXPECT_EQ(slurp(path("unit.txt")), golden(GetParam().file));
    EXPECT_TRUE(rig.messages.shown.empty());
    ASSERT_EQ(rig.files.requests.size(), 1u);
    EXPECT_TRUE(rig.files.requests[0].save);
    EXPECT_EQ(rig.files.requests[0].filter, "Textfile (*.txt)|*.txt");
    EXPECT_EQ(rig.files.requests[0].title, "") << "the platform's own title";
}

INSTANTIATE_TEST_SUITE_P(Languages,
                         GoldenFile,
                         ::testing::Values(GoldenCase{"German", "1031", ",", "parameters_de.txt"},
                                           GoldenCase{"English", "1033", ".", "parameters_en.txt"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterFilesTest, RoundTripBringsBackRegisters3To60AndAllBitsAsPendingEdits) {
    Rig rig("1031", ",");
    FrmConfig& f = rig.program.form;
    f.cmb_cfg[2].user_select(3);  // 12T
    f.txt_data_cfg[3].user_edit("77");
    f.txt_data_cfg[35].user_edit("22,5");
    f.cmb_bit_cfg[24].user_select(0);  // °F
    f.chk_cfg[5].user_toggle();
    rig.save_as(path("edited.txt"));
    const std::vector<std::string> saved = rig.field_texts();

    // back to what the unit holds, then the file again
    f.read_out_parameter.user_click();
    rig.run_ms(6000);
    ASSERT_FALSE(f.set_parameter.enabled());
    ASSERT_EQ(f.cmb_cfg[2].list_index(), 1);
    std::string bytes = slurp(path("edited.txt"));
    // the identification lines of another unit change nothing
    bytes.replace(bytes.find(";9217"), 5, ";1111");
    bytes.replace(bytes.find(";110\r\n"), 4, ";999");
    put_file(path("edited.txt"), bytes);
    rig.port.take_written();
    rig.load_from(path("edited.txt"));

    EXPECT_EQ(rig.field_texts(), saved);
    EXPECT_EQ(f.txt_data_cfg[0].text(), "9217");
    EXPECT_EQ(f.txt_data_cfg[1].text(), "110");
    EXPECT_TRUE(f.txt_data_cfg[3].pending());
    EXPECT_TRUE(f.cmb_cfg[2].pending());
    EXPECT_TRUE(f.frm_12T.visible()) << "the layout follows register 3";
    EXPECT_TRUE(f.cmb_bit_cfg[24].pending());
    EXPECT_EQ(f.lbl_temp[1].caption(), "°F");
    EXPECT_TRUE(f.chk_cfg[5].pending());
    EXPECT_FALSE(f.txt_data_cfg[4].pending()) << "an unchanged value is no edit";
    EXPECT_TRUE(f.set_parameter.enabled());
    EXPECT_TRUE(rig.port.take_written().empty()) << "a load sends nothing";
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_FALSE(rig.files.requests.back().save);
}

struct CrossCase {
    const char* name;
    const char* language;
    const char* separator;
    const char* file;
    const char* field_35;  // the tenths register as it arrives
};

class CrossLanguage : public ParameterFilesTest, public ::testing::WithParamInterface<CrossCase> {};

TEST_P(CrossLanguage, FileOfTheOtherLanguageLoadsItsValuesUnchanged) {
    Rig rig(GetParam().language, GetParam().separator);
    put_file(path("in.txt"), golden(GetParam().file));
    rig.load_from(path("in.txt"));
    EXPECT_EQ(rig.program.form.txt_data_cfg[35].text(), GetParam().field_35);
    rig.save_as(path("out.txt"));
    EXPECT_EQ(value_fields(slurp(path("out.txt"))), value_fields(golden(GetParam().file)));
    EXPECT_TRUE(rig.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files,
    CrossLanguage,
    ::testing::Values(CrossCase{"GermanFileUnderEnglish", "1033", ".", "parameters_de.txt", "21,5"},
                      CrossCase{"EnglishFileUnderGerman", "1031", ",", "parameters_en.txt", "21.5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterFilesTest, ParityLineShowsTheListText) {
    Rig rig("1031", ",");
    for (const auto& [index, line] : std::vector<std::pair<int, std::string>>{
             {0, "Parität: Even"}, {1, "Parität: Odd"}, {2, "Parität: None"}}) {
        rig.program.form.cbParity.user_select(index);
        const auto c = rig.program.parameter_files->contents({"1.1.", "0:00"}, "1.5");
        EXPECT_EQ(paramfile::file_lines(c)[9], line);
    }
}

TEST_F(ParameterFilesTest, CancelInEitherDialogDoesNothing) {
    Rig rig("1031", ",");
    const auto before = rig.field_texts();
    rig.save_as(std::nullopt);
    rig.save_as(std::string());
    rig.load_from(std::nullopt);
    rig.load_from(std::string());
    EXPECT_EQ(rig.files.requests.size(), 4u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(rig.field_texts(), before);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(ParameterFilesTest, SavingOverAFileReplacesItWhole) {
    Rig rig("1031", ",");
    put_file(path("unit.txt"), std::string(20000, 'x'));
    rig.save_as(path("unit.txt"));
    EXPECT_EQ(slurp(path("unit.txt")), golden("parameters_de.txt"));
    EXPECT_TRUE(rig.messages.shown.empty());
}

#ifdef __linux__
// Root writes into a folder without write permission, so the folder is also made immutable where
// the file system allows it.
bool make_unwritable(const std::string& folder, bool on) {
    QFile::setPermissions(
        QString::fromStdString(folder),
        on ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0) return true;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}

TEST_F(ParameterFilesTest, SaveIntoAReadOnlyFolderReportsAndKeepsTheOldFile) {
    Rig rig("1031", ",");
    const std::string folder = path("ro");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ro")));
    const std::string file = folder + "/unit.txt";
    put_file(file, "old contents\r\n");
    if (!make_unwritable(folder, true)) GTEST_SKIP() << "cannot make a folder read-only for root here";
    rig.save_as(file);
    make_unwritable(folder, false);
    EXPECT_EQ(slurp(file), "old contents\r\n");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("Die Parameterdatei " + file + " konnte nicht geschrieben werden: "),
              std::string::npos)
        << rig.messages.shown[0];
}
#endif

TEST_F(ParameterFilesTest, SaveIntoAFolderThatIsAFileReportsTheReason) {
    Rig rig("1033", ".");
    put_file(path("plain"), "x");
    rig.save_as(path("plain") + "/unit.txt");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("The parameter file " + path("plain") +
                                         "/unit.txt could not be written: "),
              std::string::npos)
        << rig.messages.shown[0];
    EXPECT_EQ(slurp(path("plain")), "x");
}

TEST_F(ParameterFilesTest, ACharacterWithoutWindows1252FormIsNotWritten) {
    Rig rig("1031", ",");
    rig.program.form.txt_data_cfg[40].set_text("2Ω");
    rig.save_as(path("unit.txt"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("unit.txt"))));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("Zeile 55 enthält das Zeichen U+03A9 \"Ω\""), std::string::npos)
        << rig.messages.shown[0];
}

struct BadFileCase {
    const char* name;
    std::function<std::string(std::string)> damage;  // the German golden file in, the file out
    const char* message;                             // part of the message, empty for none
    int fields_changed;                              // of the 90 values that differ in the file
};

void PrintTo(const BadFileCase& c, std::ostream* os) {
    *os << c.name;
}

class BadFile : public ParameterFilesTest, public ::testing::WithParamInterface<BadFileCase> {};

std::string cut_after_line(const std::string& bytes, int number) {
    std::size_t end = 0;
    for (int n = 0; n < number; ++n) end = bytes.find("\r\n", end) + 2;
    return bytes.substr(0, end + 7);  // and a piece of the next line
}

TEST_P(BadFile, ChangesOnlyWhatItMayAndSaysWhatItSaw) {
    // a file whose every value differs from the read-out: each line that is applied shows
    Rig rig("1031", ",");
    std::string file = golden("parameters_de.txt");
    for (int n = paramfile::kFirstLoadedLine; n < paramfile::kFirstBitLine; ++n) {
        file = line_replaced(file, n, "Register " + std::to_string(n - 14) + " ;x;" + std::to_string(n));
    }
    std::vector<std::string> lines = lines_of(file);
    for (int n = paramfile::kFirstBitLine; n <= paramfile::kLineCount; ++n) {
        const std::string& l = lines[static_cast<std::size_t>(n - 1)];
        file = line_replaced(file, n, l.substr(0, l.size() - 3) + (l[l.size() - 2] == '1' ? "0 " : "1 "));
    }
    put_file(path("bad.txt"), GetParam().damage(file));
    const auto before = rig.field_texts();
    rig.load_from(path("bad.txt"));
    const auto after = rig.field_texts();
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
    EXPECT_EQ(changed, GetParam().fields_changed);
    if (*GetParam().message == '\0') {
        EXPECT_TRUE(rig.messages.shown.empty());
    } else {
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        EXPECT_NE(rig.messages.shown[0].find(GetParam().message), std::string::npos) << rig.messages.shown[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files,
    BadFile,
    ::testing::Values(
        BadFileCase{"Whole", [](std::string b) { return b; }, "", 90},
        BadFileCase{
            "ShortLinesAndMissingFields",
            [](std::string b) { return line_replaced(line_replaced(b, 20, "Register 6"), 80, "Bit;6"); },
            "Zeile 20 (Register 6): kein gültiger Wert; das Feld ist unverändert.\nZeile 80 (Bit)", 88},
        BadFileCase{"BitValues2And7",
                    [](std::string b) {
                        return line_replaced(line_replaced(b, 76, "Konfigurationsbit 2 ;x; 2 "), 77,
                                             "Bit 3;x;7");
                    },
                    "Parameterdatei ", 88},
        BadFileCase{
            "NonNumbersLoadAsTheyStand",
            [](std::string b) { return line_replaced(line_replaced(b, 50, "R;x;abc"), 90, "B;x;ein"); },
            "Zeile 90 (B)", 89},
        BadFileCase{"TruncatedInsideLine50", [](std::string b) { return cut_after_line(b, 49); },
                    "endet nach Zeile 49 von 106: 33 ihrer 90 Zeilen mit Werten wurden geladen", 33},
        BadFileCase{"Binary",
                    [](std::string b) { return line_replaced(b, 60, std::string("\0\x01\x02", 3)); },
                    "ist keine Parameterdatei (Zeile 60 enthält Binärdaten", 0},
        BadFileCase{"Oversized", [](std::string b) { return b + std::string(paramfile::kMaxFileBytes, ' '); },
                    "ist keine Parameterdatei (sie ist größer als 1 MiB). Es wurde nichts geladen.", 0},
        BadFileCase{"Empty", [](std::string) { return std::string(); },
                    "endet nach Zeile 0 von 106: 0 ihrer 90 Zeilen mit Werten wurden geladen", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterFilesTest, Register3LoadedAs8LaysTheWindowOutFor8Buttons) {
    Rig rig("1031", ",");
    FrmConfig& f = rig.program.form;
    ASSERT_FALSE(f.frm_8T[0].visible());
    put_file(path("8T.txt"), line_replaced(golden("parameters_de.txt"), 17, "Register 3 ;Bedientasten:;8"));
    rig.load_from(path("8T.txt"));
    EXPECT_EQ(f.cmb_cfg[2].list_index(), 2);
    EXPECT_TRUE(f.cmb_cfg[2].pending());
    EXPECT_TRUE(f.frm_8T[0].visible());
    EXPECT_FALSE(f.frm_12T.visible());
    EXPECT_TRUE(f.Image8T[1].visible());
    EXPECT_TRUE(f.Lbl_button[11].visible());
    EXPECT_FALSE(f.Lbl_button[0].visible());
    EXPECT_TRUE(f.set_parameter.enabled());
}

TEST_F(ParameterFilesTest, AFileThatCannotBeOpenedChangesNothing) {
    Rig rig("1031", ",");
    const auto before = rig.field_texts();
    rig.load_from(path("gone.txt"));
    EXPECT_EQ(rig.field_texts(), before);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("Die Parameterdatei " + path("gone.txt") +
                                         " konnte nicht gelesen werden: "),
              std::string::npos);
}

}  // namespace
}  // namespace plx

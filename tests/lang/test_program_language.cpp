// The whole start-up of the headless program picks the language from the machine store.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "program/program.h"
#include "lang/apply_language.h"
#include "link/fake_serial_port.h"
#include "settings/registry.h"

#include "../support/null_platform.h"

namespace plx {
namespace {

using QuietMessages = test::RecordingMessages;
using test::NoFiles;
using test::NoShell;

class ProgramLanguage : public ::testing::Test {
protected:
    link::FakeSerialPort port;
    controls::VirtualClock clock;
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};

    settings::MemoryStore& use_memory_store() {
        auto store = std::make_unique<settings::MemoryStore>();
        auto& ref = *store;
        program.settings = std::move(store);
        return ref;
    }
};

TEST_F(ProgramLanguage, EnglishInTheMachineStoreGivesAnEnglishWindow) {
    use_memory_store().put(settings::Root::machine, QString::fromLatin1(settings::kProgramKey),
                           QStringLiteral("Language"), QStringLiteral("1033"));
    program.start();
    const std::vector<std::string> english_tabs = {"General",       "Display",         "Buttons",
                                                   "Monitor",       "LED / Symbols",   "External values",
                                                   "Setpoint temperature", "Setpoint percent", "Setpoint value"};
    EXPECT_EQ(program.form.SSTab1.tab_captions(), english_tabs);
    EXPECT_EQ(program.form.set_parameter.caption(), "Apply");
    EXPECT_EQ(program.state.language_code, "1033");
    EXPECT_FALSE(program.form.set_parameter.enabled());

    FrmStateControls status;
    program.apply_language(lang::status_window, &status);
    EXPECT_EQ(status.frmState.caption(), "State");
    EXPECT_EQ(status.lblTxt.caption(), "Waiting ...");
}

TEST_F(ProgramLanguage, NothingInTheStoreGivesGermanAndAComma) {
    use_memory_store();
    program.start();
    EXPECT_EQ(program.form.SSTab1.tab_captions().at(0), "Allgemein");
    EXPECT_EQ(program.form.read_out_parameter.caption(), "Abbrechen");
    EXPECT_EQ(program.state.language_code, "1031");
    EXPECT_EQ(program.state.decimal_separator, ",");
}

struct MessageLanguageCase {
    const char* name;
    const char* code;
    const char* invalid_address;
    const char* permission_lines;
    const char* demo_suffix;
};

class ProgramMessages : public ProgramLanguage, public ::testing::WithParamInterface<MessageLanguageCase> {
protected:
    void start() {
        use_memory_store().put(settings::Root::machine, QString::fromLatin1(settings::kProgramKey),
                               QStringLiteral("Language"), QString::fromUtf8(GetParam().code));
        program.state.demo = true;
        program.start();
    }
};

TEST_P(ProgramMessages, InvalidAddressIsToldInTheLanguage) {
    start();
    program.form.txt_Modbus_adress.set_text("300");
    program.form.Combo_Port[6].user_select(1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], GetParam().invalid_address);
}

TEST_P(ProgramMessages, PortFailureKeepsTheSystemsFirstLine) {
    start();
    port.open_failure = modbus::PortError{8005, {}, "Permission denied", modbus::PortCause::permission};
    program.form.Combo_Port[6].user_select(1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], std::string("COM-Port not available,  8005\n") + GetParam().permission_lines);
}

TEST_P(ProgramMessages, DemoCaptionSaysSoInTheLanguage) {
    start();
    const std::string caption = program.form.frm_config.caption();
    const std::string suffix = GetParam().demo_suffix;
    ASSERT_GE(caption.size(), suffix.size());
    EXPECT_EQ(caption.substr(caption.size() - suffix.size()), suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Languages,
    ProgramMessages,
    ::testing::Values(
        MessageLanguageCase{
            "English", "1033", "Invalid Modbus address 300: allowed are 1 to 247. Nothing was sent.",
            "Device /dev/ttyUSB2: Permission denied\nThis user may not use serial devices. On "
            "Linux add the user to the group dialout (sudo usermod -aG dialout $USER) and log in "
            "again.",
            " – Demo: simulated unit"},
        MessageLanguageCase{
            "German", "1031",
            "Ungültige Modbus-Adresse 300: erlaubt sind 1 bis 247. Es wurde nichts gesendet.",
            "Gerät /dev/ttyUSB2: Permission denied\nDieser Benutzer darf serielle Geräte nicht "
            "verwenden. Unter Linux den Benutzer in die Gruppe dialout aufnehmen (sudo usermod -aG "
            "dialout $USER) und neu anmelden.",
            " – Demo: simulierte Einheit"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramSettings, EnvironmentPointsTheProgramAtItsStores) {
    QTemporaryDir dir;
    const QString machine = dir.filePath(QStringLiteral("machine.ini"));
    const QString user = dir.filePath(QStringLiteral("user.ini"));
    {
        settings::QSettingsStore writer{settings::Location{machine}, settings::Location{user}};
        settings::CRegistry(writer).MachineSetting(settings::kProgramKey, "Language", "1033");
        writer.write(settings::Root::user, QString::fromLatin1(settings::kInternationalKey), QStringLiteral("sDecimal"),
                     QStringLiteral("."));
    }
    qputenv("PLX24_MACHINE_SETTINGS", machine.toLocal8Bit());
    qputenv("PLX24_USER_SETTINGS", user.toLocal8Bit());
    link::FakeSerialPort port;
    controls::VirtualClock clock;
    QuietMessages messages;
    NoFiles files;
    NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    qunsetenv("PLX24_MACHINE_SETTINGS");
    qunsetenv("PLX24_USER_SETTINGS");
    program.start();
    EXPECT_EQ(program.form.MenueMain[1].caption(), "File");
    EXPECT_EQ(program.state.decimal_separator, ".");
}

}  // namespace
}  // namespace plx

// The INI backend's own rules: where the files are, hand-written files, the regional fallback for
// sDecimal, a store that cannot be written, and the install step that fills the machine store.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "settings/registry.h"
#include "settings/store.h"

namespace plx::settings {
namespace {

void write_file(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class IniStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString machine = dir.filePath(QStringLiteral("m/machine.ini"));
    QString user = dir.filePath(QStringLiteral("u/user.ini"));
    QSettingsStore store{Location{machine}, Location{user}};
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
};

TEST_F(IniStore, HandWrittenFileWithRegistryStyleSection) {
    write_file(machine,
               "[SOFTWARE\\Orvanto Sensortechnik GmbH\\PLX24-RS485-MODBUS]\n"
               "Pfad=/opt/Orvanto Geräte\n"
               "Language=1033\n"
               "Version=\"1.5\"\n");
    CRegistry reg(store);
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Pfad"), "/opt/Orvanto Geräte");
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Language"), "1033");
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Version"), "1.5");
}

TEST_F(IniStore, UnquotedCommaStaysPartOfTheText) {
    write_file(user, "[Control Panel\\International]\nsDecimal=,\n");
    EXPECT_EQ(CRegistry(store).Werte(kInternationalKey, "sDecimal"), ",");
}

TEST_F(IniStore, MissingFilesReadEmpty) {
    CRegistry reg(store);
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Language"), "");
    EXPECT_EQ(reg.FindFirstMachineKey("SOFTWARE"), "");
}

TEST_F(IniStore, UnreadableGarbageFileReadsEmpty) {
    write_file(machine, QByteArray("\x00\xff[[[=\n\x01\x02", 10));
    EXPECT_EQ(CRegistry(store).MachineSetting(kProgramKey, "Language"), "");
}

TEST_F(IniStore, StoreInAPlaceThatCannotBeCreatedRefusesWrites) {
    // a regular file where the folder should be: not even root can create the store there
    write_file(dir.filePath(QStringLiteral("blocker")), "x");
    QSettingsStore blocked{Location{dir.filePath(QStringLiteral("blocker/machine.ini"))}, Location{user}};
    CRegistry reg(blocked);
    EXPECT_FALSE(reg.MachineSetting(kProgramKey, "Language", "1033"));
    EXPECT_EQ(reg.error_number(), CRegistry::kWriteFailed);
}

TEST_F(IniStore, RegionalSeparatorWhenTheUserStoreHasNone) {
    store.set_regional_locale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CRegistry(store).Werte(kInternationalKey, "sDecimal"), ",");
    store.set_regional_locale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(CRegistry(store).Werte(kInternationalKey, "sDecimal"), ".");
}

TEST_F(IniStore, UserStoreValueBeatsTheRegionalSeparator) {
    store.set_regional_locale(QLocale(QLocale::German, QLocale::Germany));
    write_file(user, "[Control Panel\\International]\nsDecimal=.\n");
    EXPECT_EQ(CRegistry(store).Werte(kInternationalKey, "sDecimal"), ".");
}

TEST_F(IniStore, RegionalSeparatorIsNoMachineValue) {
    store.set_regional_locale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CRegistry(store).MachineSetting(kInternationalKey, "sDecimal"), "");
}

TEST(StoreLocations, DefaultMachineStoreLiesUnderTheInstallPrefix) {
    EXPECT_EQ(QSettingsStore::default_machine_ini(QStringLiteral("/opt/plx24/bin")),
              QStringLiteral("/opt/plx24/etc/plx24cfg/machine.ini"));
    EXPECT_EQ(QSettingsStore::default_machine_ini(QStringLiteral("/usr/bin")),
              QStringLiteral("/etc/plx24cfg/machine.ini"));
}

TEST(StoreLocations, EnvironmentNamesBothStores) {
    qputenv("PLX24_MACHINE_SETTINGS", "/tmp/m.ini");
    qputenv("PLX24_USER_SETTINGS", "/tmp/u.ini");
    const QSettingsStore s = QSettingsStore::for_program(QStringLiteral("/usr/local/bin"));
    qunsetenv("PLX24_MACHINE_SETTINGS");
    qunsetenv("PLX24_USER_SETTINGS");
    EXPECT_EQ(s.location(Root::machine).path, QStringLiteral("/tmp/m.ini"));
    EXPECT_EQ(s.location(Root::user).path, QStringLiteral("/tmp/u.ini"));
    EXPECT_EQ(s.location(Root::machine).format, QSettings::IniFormat);
}

#ifndef Q_OS_WIN
TEST(StoreLocations, WithoutEnvironmentTheDefaultsApply) {
    qunsetenv("PLX24_MACHINE_SETTINGS");
    qunsetenv("PLX24_USER_SETTINGS");
    const QSettingsStore s = QSettingsStore::for_program(QStringLiteral("/usr/local/bin"));
    EXPECT_EQ(s.location(Root::machine).path, QStringLiteral("/usr/local/etc/plx24cfg/machine.ini"));
    EXPECT_TRUE(s.location(Root::user).path.endsWith(QStringLiteral("/plx24cfg/user.ini")));
}

TEST(StoreLocations, WithoutApplicationOnlyTheEnvironmentCounts) {
    qunsetenv("PLX24_MACHINE_SETTINGS");
    qputenv("PLX24_USER_SETTINGS", "/tmp/u.ini");
    const QSettingsStore s = QSettingsStore::for_program(QString());
    qunsetenv("PLX24_USER_SETTINGS");
    EXPECT_TRUE(s.location(Root::machine).path.isEmpty());
    EXPECT_EQ(s.location(Root::user).path, QStringLiteral("/tmp/u.ini"));
    // no store, no regional fallback either: the registry rule (empty text) holds
    const QSettingsStore none = QSettingsStore::for_program(QString());
    EXPECT_EQ(CRegistry(none).Werte(kInternationalKey, "sDecimal"), "");
}

// The real install step of this build tree, into a fresh prefix whose name needs quoting.
TEST(InstallStep, WritesTheMachineValuesWhereTheInstalledProgramLooks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString prefix = dir.filePath(QStringLiteral("Orvanto, Prüf \"Stand\""));
    QProcess install;
    install.start(QStringLiteral(PLX24_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(PLX24_BUILD_DIR), QStringLiteral("--prefix"), prefix,
                   QStringLiteral("--component"), QStringLiteral("machine_settings")});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    const QSettingsStore installed = QSettingsStore::for_program(prefix + QStringLiteral("/bin"));
    CRegistry reg(installed);
    // the folder the help documents lie below
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Pfad"), prefix.toStdString() + "/share/plx24cfg");
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Language"), PLX24_LANGUAGE);
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Version"), "1.5");
}

TEST(InstallStep, ToolRecordsEnglishAndKeepsOtherValues) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("etc/plx24cfg/machine.ini"));
    write_file(ini, "[SOFTWARE\\Orvanto Sensortechnik GmbH\\PLX24-RS485-MODBUS]\nKunde=Muster\nLanguage=1031\n");
    QProcess tool;
    tool.start(QStringLiteral(PLX24_WRITE_TOOL), {ini, QStringLiteral("Language=1033"), QStringLiteral("Version=1.5")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0);
    QSettingsStore s{Location{ini}, Location{}};
    CRegistry reg(s);
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Language"), "1033");
    EXPECT_EQ(reg.MachineSetting(kProgramKey, "Kunde"), "Muster");
}

TEST(InstallStep, ToolRejectsAPairWithoutName) {
    QTemporaryDir dir;
    QProcess tool;
    tool.start(QStringLiteral(PLX24_WRITE_TOOL), {dir.filePath(QStringLiteral("m.ini")), QStringLiteral("=1033")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 2);
}
#endif

}  // namespace
}  // namespace plx::settings

// The settings store's contract, seen through CRegistry, against every backend.
#include <memory>

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "settings/registry.h"
#include "settings/store.h"

namespace plx::settings {
namespace {

const std::string kKey = kProgramKey;

// The INI backend: two files in a fresh folder; raw values go in through QSettings itself, as
// another program (or an older installer) would have left them.
struct IniBackend {
    QTemporaryDir dir;
    std::unique_ptr<QSettingsStore> store;
    IniBackend() {
        store = std::make_unique<QSettingsStore>(Location{dir.filePath(QStringLiteral("machine.ini"))},
                                                 Location{dir.filePath(QStringLiteral("user.ini"))});
    }
    void put_raw(Root root, const QString& key, const QString& name, const QVariant& value) {
        QSettings s(store->location(root).path, QSettings::IniFormat);
        s.setValue(group_path(key) + u'/' + name, value);
    }
};

struct MemoryBackend {
    std::unique_ptr<MemoryStore> store = std::make_unique<MemoryStore>();
    void put_raw(Root root, const QString& key, const QString& name, const QVariant& value) {
        store->put(root, key, name, value);
    }
};

template <class Backend>
class StoreContract : public ::testing::Test {
protected:
    Backend backend;
    CRegistry reg() { return CRegistry(*backend.store); }
    void put_raw(Root root, const std::string& key, const std::string& name, const QVariant& value) {
        backend.put_raw(root, QString::fromStdString(key), QString::fromStdString(name), value);
    }
};

using Backends = ::testing::Types<IniBackend, MemoryBackend>;
TYPED_TEST_SUITE(StoreContract, Backends);

TYPED_TEST(StoreContract, MissingKeyReadsEmpty) {
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "");
    EXPECT_EQ(this->reg().Werte("Control Panel\\Desktop", "Wallpaper"), "");
}

TYPED_TEST(StoreContract, MissingValueInExistingKeyReadsEmpty) {
    this->put_raw(Root::machine, kKey, "Pfad", QStringLiteral("/opt/plx24"));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "");
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Pfad"), "/opt/plx24");
}

TYPED_TEST(StoreContract, ValueOfAnotherTypeReadsEmpty) {
    this->put_raw(Root::machine, kKey, "Language", QByteArray("1033"));
    this->put_raw(Root::machine, kKey, "Version", QVariant::fromValue(QSize(1, 5)));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "");
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Version"), "");
}

TYPED_TEST(StoreContract, EmbeddedNulCutsTheText) {
    this->put_raw(Root::machine, kKey, "Language", QString::fromUtf8("1033\0junk", 9));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "1033");
    this->put_raw(Root::machine, kKey, "Pfad", QString::fromUtf8("\0/opt", 5));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Pfad"), "");
}

TYPED_TEST(StoreContract, ReadAfterWriteGivesTheTextBack) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"plain", "1033"},
        {"umlauts", "C:\\Programme\\Orvanto Geräte für Prüfstände"},
        {"commas and blanks", " a, b ;c "},
        {"quotes", "say \"hi\""},
        {"leading at sign", "@Invalid()"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRegistry writer = this->reg();
        EXPECT_TRUE(writer.MachineSetting(kKey, c.name, c.text));
        EXPECT_EQ(writer.error_number(), 0u);
        EXPECT_EQ(this->reg().MachineSetting(kKey, c.name), c.text);
    }
}

TYPED_TEST(StoreContract, WriteOverwritesAndKeepsTheOtherValues) {
    CRegistry writer = this->reg();
    writer.MachineSetting(kKey, "Language", "1031");
    writer.MachineSetting(kKey, "Pfad", "/opt/a");
    writer.MachineSetting(kKey, "Language", "1033");
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "1033");
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Pfad"), "/opt/a");
}

TYPED_TEST(StoreContract, BackslashAndSlashPathsNameTheSameKey) {
    this->reg().MachineSetting("SOFTWARE\\Orvanto Sensortechnik GmbH\\PLX24-RS485-MODBUS\\", "Version", "1.5");
    EXPECT_EQ(this->reg().MachineSetting("SOFTWARE/Orvanto Sensortechnik GmbH/PLX24-RS485-MODBUS", "Version"), "1.5");
    EXPECT_EQ(this->reg().MachineSetting("SOFTWARE\\Orvanto Sensortechnik GmbH\\PLX24-RS485-MODBUS", "Version"), "1.5");
}

TYPED_TEST(StoreContract, MachineAndUserRootsAreApart) {
    this->put_raw(Root::machine, "Control Panel\\International", "sTime", QStringLiteral(":"));
    this->put_raw(Root::user, kKey, "Language", QStringLiteral("1033"));
    EXPECT_EQ(this->reg().Werte("Control Panel\\International", "sTime"), "");
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "");
    EXPECT_EQ(this->reg().Werte(kKey, "Language"), "1033");
}

TYPED_TEST(StoreContract, EnumerationWalksTheSubkeysThenGivesEmpty) {
    CRegistry writer = this->reg();
    writer.MachineSetting("SOFTWARE\\Orvanto\\Beta", "x", "1");
    writer.MachineSetting("SOFTWARE\\Orvanto\\Alpha\\Deep", "x", "1");
    writer.MachineSetting("SOFTWARE\\Orvanto", "own value", "1");
    CRegistry reg = this->reg();
    EXPECT_EQ(reg.FindFirstMachineKey("SOFTWARE\\Orvanto"), "Alpha");
    EXPECT_EQ(reg.GetNextMachineKey(), "Beta");
    EXPECT_EQ(reg.GetNextMachineKey(), "");
    EXPECT_EQ(reg.GetNextMachineKey(), "");
    EXPECT_EQ(reg.FindFirstMachineKey("SOFTWARE\\Nobody"), "");
}

TYPED_TEST(StoreContract, EnumerationWithoutFindFirstGivesEmpty) {
    EXPECT_EQ(this->reg().GetNextMachineKey(), "");
}

TYPED_TEST(StoreContract, DeleteRemovesTheKeyWithItsSubkeys) {
    CRegistry writer = this->reg();
    writer.MachineSetting("SOFTWARE\\Orvanto\\Old\\Sub", "x", "1");
    writer.MachineSetting("SOFTWARE\\Orvanto\\Old", "y", "2");
    writer.MachineSetting("SOFTWARE\\Orvanto\\Kept", "z", "3");
    EXPECT_TRUE(this->reg().DeleteMachineKey("SOFTWARE\\Orvanto\\Old"));
    EXPECT_EQ(this->reg().MachineSetting("SOFTWARE\\Orvanto\\Old", "y"), "");
    EXPECT_EQ(this->reg().MachineSetting("SOFTWARE\\Orvanto\\Old\\Sub", "x"), "");
    EXPECT_EQ(this->reg().MachineSetting("SOFTWARE\\Orvanto\\Kept", "z"), "3");
}

TYPED_TEST(StoreContract, DeleteOfAMissingKeyIsFalse) {
    EXPECT_FALSE(this->reg().DeleteMachineKey("SOFTWARE\\Nobody"));
}

TYPED_TEST(StoreContract, DeleteOfTheRootIsRefusedAndKeepsEverything) {
    this->reg().MachineSetting(kKey, "Language", "1033");
    EXPECT_FALSE(this->reg().DeleteMachineKey(""));
    EXPECT_FALSE(this->reg().DeleteMachineKey("\\"));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "1033");
}

TYPED_TEST(StoreContract, ReadOnlyRegistryRefusesWritesWithTheErrorNumber) {
    const Store& read_only = *this->backend.store;
    CRegistry reg(read_only);
    EXPECT_FALSE(reg.MachineSetting(kKey, "Language", "1033"));
    EXPECT_EQ(reg.error_number(), CRegistry::kWriteFailed);
    EXPECT_FALSE(reg.DeleteMachineKey(kKey));
    EXPECT_EQ(this->reg().MachineSetting(kKey, "Language"), "");
}

}  // namespace
}  // namespace plx::settings

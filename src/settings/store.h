#pragma once
// Where CRegistry's values live. On Windows the system registry below HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER; elsewhere two INI files standing for those two roots, the registry key path
// becoming the INI group path. Both are read through QSettings; an in-memory store serves tests.

#include <map>
#include <optional>

#include <QLocale>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace plx::settings {

enum class Root {
    machine,  // HKEY_LOCAL_MACHINE
    user,     // HKEY_CURRENT_USER
};

// The program's machine-wide key and the user's regional settings, as the registry spells them.
inline constexpr const char* kProgramKey = "SOFTWARE\\Orvanto Sensortechnik GmbH\\PLX24-RS485-MODBUS\\";
inline constexpr const char* kInternationalKey = "Control Panel\\International";

// "A\B\C\" -> "A/B/C": the registry's separators become QSettings group separators.
QString group_path(const QString& registry_key);

class Store {
public:
    virtual ~Store() = default;
    // The value as stored, with its type; an invalid QVariant when the key or the value is missing.
    virtual QVariant read(Root root, const QString& key, const QString& name) const = 0;
    // Creates the key if needed; false when the store could not be written.
    virtual bool write(Root root, const QString& key, const QString& name, const QString& text) = 0;
    // Names of the direct subkeys, sorted; nullopt when the key does not exist.
    virtual std::optional<QStringList> subkeys(Root root, const QString& key) const = 0;
    // Removes the key with its values and subkeys; false when it did not exist or stays.
    virtual bool remove_key(Root root, const QString& key) = 0;
};

// A store in QSettings: one location per root.
struct Location {
    QString path;  // file path, or "HKEY_LOCAL_MACHINE" / "HKEY_CURRENT_USER" for the registry
    QSettings::Format format = QSettings::IniFormat;
};

class QSettingsStore final : public Store {
public:
    QSettingsStore(Location machine, Location user);

    // The locations the program uses: the environment variables PLX24_MACHINE_SETTINGS and
    // PLX24_USER_SETTINGS name INI files and take precedence; otherwise the registry on Windows, and
    // elsewhere <application_dir>/../etc/plx24cfg/machine.ini (the install prefix) and
    // $XDG_CONFIG_HOME/plx24cfg/user.ini (usually ~/.config/plx24cfg/user.ini). Without an
    // application directory only the environment's stores exist.
    static QSettingsStore for_program(const QString& application_dir);
    static QString default_machine_ini(const QString& application_dir);
    static QString default_user_ini();

    const Location& location(Root root) const { return root == Root::machine ? machine_ : user_; }
    // A user store that is an INI file has no regional settings of its own: there the user's locale
    // answers for "sDecimal" when the file does not set it.
    void set_regional_locale(const QLocale& locale) { regional_locale_ = locale; }

    QVariant read(Root root, const QString& key, const QString& name) const override;
    bool write(Root root, const QString& key, const QString& name, const QString& text) override;
    std::optional<QStringList> subkeys(Root root, const QString& key) const override;
    bool remove_key(Root root, const QString& key) override;

private:
    Location machine_;
    Location user_;
    QLocale regional_locale_ = QLocale::system();
};

// A store in memory, typed like the registry, for tests of the layers above.
class MemoryStore final : public Store {
public:
    // Stores any value, also of a type other than text (a number, bytes), as a test needs it.
    void put(Root root, const QString& key, const QString& name, const QVariant& value);
    // Makes every later write fail, as a store without write permission does.
    void set_read_only(bool read_only) { read_only_ = read_only; }

    QVariant read(Root root, const QString& key, const QString& name) const override;
    bool write(Root root, const QString& key, const QString& name, const QString& text) override;
    std::optional<QStringList> subkeys(Root root, const QString& key) const override;
    bool remove_key(Root root, const QString& key) override;

private:
    // key path (group form) -> value name -> value; every prefix of a stored path exists as a key
    using Values = std::map<QString, QVariant>;
    std::map<std::pair<Root, QString>, Values> keys_;
    bool read_only_ = false;
};

}  // namespace plx::settings

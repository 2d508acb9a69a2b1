#include "settings/store.h"

#include <QDir>
#include <QStandardPaths>

namespace plx::settings {

QString group_path(const QString& registry_key) {
    QString normal = registry_key;
    normal.replace(u'\\', u'/');
    return normal.split(u'/', Qt::SkipEmptyParts).join(u'/');
}

namespace {

QString value_path(const QString& group, const QString& name) {
    return group.isEmpty() ? name : group + u'/' + name;
}

bool key_exists(QSettings& s, const QString& group) {
    if (group.isEmpty()) return true;
    s.beginGroup(group);
    const bool exists = !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
    s.endGroup();
    return exists;
}

bool is_regional_decimal(const QString& group, const QString& name) {
    return group == group_path(QString::fromLatin1(kInternationalKey)) && name == u"sDecimal";
}

}  // namespace

QSettingsStore::QSettingsStore(Location machine, Location user) : machine_(std::move(machine)), user_(std::move(user)) {}

QString QSettingsStore::default_machine_ini(const QString& application_dir) {
    // the executable lies in <prefix>/bin, the install step writes <prefix>/etc/plx24cfg/machine.ini;
    // a system install below /usr keeps it in /etc, where Debian wants configuration files
    const QString prefix = QDir::cleanPath(application_dir + QStringLiteral("/.."));
    const QString etc = prefix == QStringLiteral("/usr") ? QString() : prefix;
    return etc + QStringLiteral("/etc/plx24cfg/machine.ini");
}

QString QSettingsStore::default_user_ini() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/plx24cfg/user.ini");
}

QSettingsStore QSettingsStore::for_program(const QString& application_dir) {
    const QString machine_env = qEnvironmentVariable("PLX24_MACHINE_SETTINGS");
    const QString user_env = qEnvironmentVariable("PLX24_USER_SETTINGS");
#ifdef Q_OS_WIN
    Location machine{QStringLiteral("HKEY_LOCAL_MACHINE"), QSettings::NativeFormat};
    Location user{QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat};
#else
    Location machine{default_machine_ini(application_dir), QSettings::IniFormat};
    Location user{default_user_ini(), QSettings::IniFormat};
#endif
    // no application (a headless test): no store but the ones the environment names, so the
    // developer's own files and locale never leak in
    if (application_dir.isEmpty()) machine = user = Location{};
    if (!machine_env.isEmpty()) machine = Location{machine_env, QSettings::IniFormat};
    if (!user_env.isEmpty()) user = Location{user_env, QSettings::IniFormat};
    return QSettingsStore(machine, user);
}

QVariant QSettingsStore::read(Root root, const QString& key, const QString& name) const {
    const Location& where = location(root);
    const QString group = group_path(key);
    QVariant value;
    if (!where.path.isEmpty()) {
        QSettings s(where.path, where.format);
        value = s.value(value_path(group, name));
        // an INI line has no list type: unquoted commas (sDecimal=,) are part of the text
        if (where.format == QSettings::IniFormat && value.typeId() == QMetaType::QStringList)
            value = value.toStringList().join(u',');
    }
    if (root == Root::user && !where.path.isEmpty() && where.format == QSettings::IniFormat &&
        is_regional_decimal(group, name)) {
        const bool unset = !value.isValid() || (value.typeId() == QMetaType::QString && value.toString().isEmpty());
        if (unset) return regional_locale_.decimalPoint();
    }
    return value;
}

bool QSettingsStore::write(Root root, const QString& key, const QString& name, const QString& text) {
    const Location& where = location(root);
    if (where.path.isEmpty() || name.isEmpty()) return false;
    QSettings s(where.path, where.format);
    if (!s.isWritable()) return false;
    s.setValue(value_path(group_path(key), name), text);
    s.sync();
    return s.status() == QSettings::NoError;
}

std::optional<QStringList> QSettingsStore::subkeys(Root root, const QString& key) const {
    const Location& where = location(root);
    if (where.path.isEmpty()) return std::nullopt;
    QSettings s(where.path, where.format);
    const QString group = group_path(key);
    if (!key_exists(s, group)) return std::nullopt;
    if (!group.isEmpty()) s.beginGroup(group);
    QStringList names = s.childGroups();
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool QSettingsStore::remove_key(Root root, const QString& key) {
    const Location& where = location(root);
    const QString group = group_path(key);
    // an empty key names the whole root: never wipe a store by accident
    if (where.path.isEmpty() || group.isEmpty()) return false;
    QSettings s(where.path, where.format);
    if (!s.isWritable() || !key_exists(s, group)) return false;
    s.remove(group);
    s.sync();
    return s.status() == QSettings::NoError && !key_exists(s, group);
}

void MemoryStore::put(Root root, const QString& key, const QString& name, const QVariant& value) {
    const QString group = group_path(key);
    QString prefix;
    keys_[{root, prefix}];
    for (const QString& part : group.split(u'/', Qt::SkipEmptyParts)) {
        prefix = prefix.isEmpty() ? part : prefix + u'/' + part;
        keys_[{root, prefix}];
    }
    keys_[{root, group}][name] = value;
}

QVariant MemoryStore::read(Root root, const QString& key, const QString& name) const {
    const auto k = keys_.find({root, group_path(key)});
    if (k == keys_.end()) return {};
    const auto v = k->second.find(name);
    return v == k->second.end() ? QVariant() : v->second;
}

bool MemoryStore::write(Root root, const QString& key, const QString& name, const QString& text) {
    if (read_only_ || name.isEmpty()) return false;
    put(root, key, name, text);
    return true;
}

std::optional<QStringList> MemoryStore::subkeys(Root root, const QString& key) const {
    const QString group = group_path(key);
    if (!group.isEmpty() && keys_.find({root, group}) == keys_.end()) return std::nullopt;
    QStringList names;
    const QString prefix = group.isEmpty() ? QString() : group + u'/';
    for (const auto& [id, values] : keys_) {
        if (id.first != root || id.second.isEmpty() || !id.second.startsWith(prefix)) continue;
        const QString rest = id.second.mid(prefix.size());
        if (!rest.isEmpty() && !rest.contains(u'/')) names.append(rest);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool MemoryStore::remove_key(Root root, const QString& key) {
    const QString group = group_path(key);
    if (read_only_ || group.isEmpty() || keys_.find({root, group}) == keys_.end()) return false;
    const QString prefix = group + u'/';
    for (auto it = keys_.begin(); it != keys_.end();) {
        const bool inside = it->first.first == root && (it->first.second == group || it->first.second.startsWith(prefix));
        it = inside ? keys_.erase(it) : std::next(it);
    }
    return true;
}

}  // namespace plx::settings

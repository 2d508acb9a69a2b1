#include "settings/registry.h"

namespace plx::settings {

namespace {

QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

std::string registry_text(const QVariant& value) {
    if (!value.isValid() || value.typeId() != QMetaType::QString) return {};
    QString text = value.toString();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text.toStdString();
}

std::string CRegistry::read_text(Root root, const std::string& section, const std::string& key) const {
    try {
        return registry_text(store_.read(root, q(section), q(key)));
    } catch (...) {
        // a backend failure of any kind is a value not found
        return {};
    }
}

std::string CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey) const {
    return read_text(Root::machine, sSection, sKey);
}

std::string CRegistry::Werte(const std::string& sSection, const std::string& sKey) const {
    return read_text(Root::user, sSection, sKey);
}

bool CRegistry::MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting) {
    bool ok = false;
    try {
        ok = writable_ != nullptr && writable_->write(Root::machine, q(sSection), q(sKey), q(sSetting));
    } catch (...) {
        ok = false;
    }
    if (!ok) error_number_ = kWriteFailed;
    return ok;
}

std::string CRegistry::FindFirstMachineKey(const std::string& sSection) {
    std::optional<QStringList> names;
    try {
        names = store_.subkeys(Root::machine, q(sSection));
    } catch (...) {
        names.reset();
    }
    if (!names) return {};
    enumeration_open_ = true;
    enumeration_names_ = *names;
    enumeration_index_ = 0;
    return GetNextMachineKey();
}

std::string CRegistry::GetNextMachineKey() {
    const std::uint32_t at = enumeration_index_;
    ++enumeration_index_;
    if (!enumeration_open_ || at >= static_cast<std::uint32_t>(enumeration_names_.size())) return {};
    return enumeration_names_[static_cast<qsizetype>(at)].toStdString();
}

bool CRegistry::DeleteMachineKey(const std::string& sKey) {
    try {
        return writable_ != nullptr && writable_->remove_key(Root::machine, q(sKey));
    } catch (...) {
        return false;
    }
}

}  // namespace plx::settings

#pragma once
// CRegistry: the program's one way into the settings store. Callers create it for one access and
// drop it afterwards; every failure reads as empty text and nothing is ever raised to the caller.

#include <cstdint>
#include <string>

#include <QStringList>

#include "settings/store.h"

namespace plx::settings {

class CRegistry {
public:
    // The error number a failed write leaves in the caller's error state.
    static constexpr std::uint32_t kWriteFailed = 0x80040201;

    explicit CRegistry(Store& store) : store_(store), writable_(&store) {}
    // Reading only: the write members fail as on a store without write permission.
    explicit CRegistry(const Store& store) : store_(store) {}

    // Texts are UTF-8, like every text of the program's controls.
    std::string MachineSetting(const std::string& sSection, const std::string& sKey) const;
    // The write property; returns false and records kWriteFailed when the store refused.
    bool MachineSetting(const std::string& sSection, const std::string& sKey, const std::string& sSetting);
    std::string Werte(const std::string& sSection, const std::string& sKey) const;

    std::string FindFirstMachineKey(const std::string& sSection);
    std::string GetNextMachineKey();
    // Removes the key with everything below it; true only when it existed and is gone now.
    bool DeleteMachineKey(const std::string& sKey);

    // 0, or kWriteFailed after a failed write.
    std::uint32_t error_number() const { return error_number_; }

private:
    std::string read_text(Root root, const std::string& section, const std::string& key) const;

    const Store& store_;
    Store* writable_ = nullptr;
    // the enumeration: the subkeys of the opened key and the position in them
    bool enumeration_open_ = false;
    QStringList enumeration_names_;
    std::uint32_t enumeration_index_ = 0;
    std::uint32_t error_number_ = 0;
};

// The value the registry holds as text: a plain string up to its first NUL; any other type, and a
// missing value, give empty text.
std::string registry_text(const QVariant& value);

}  // namespace plx::settings

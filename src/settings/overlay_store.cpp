#include "settings/overlay_store.h"

namespace plx::settings {

void OverlayStore::set(Root root, const QString& key, const QString& name, const QVariant& value) {
    values_[{root, group_path(key), name}] = value;
}

QVariant OverlayStore::read(Root root, const QString& key, const QString& name) const {
    const auto it = values_.find({root, group_path(key), name});
    return it != values_.end() ? it->second : below_->read(root, key, name);
}

}  // namespace plx::settings

#pragma once
// A store that answers a few values itself and passes everything else to the store below: the command
// line's choices for one run (--language), which are never written anywhere.

#include <map>
#include <memory>
#include <tuple>

#include "settings/store.h"

namespace plx::settings {

class OverlayStore final : public Store {
  public:
    explicit OverlayStore(std::unique_ptr<Store> below) : below_(std::move(below)) {}

    void set(Root root, const QString& key, const QString& name, const QVariant& value);
    const Store& below() const { return *below_; }

    QVariant read(Root root, const QString& key, const QString& name) const override;
    bool write(Root root, const QString& key, const QString& name, const QString& text) override {
        return below_->write(root, key, name, text);
    }
    std::optional<QStringList> subkeys(Root root, const QString& key) const override {
        return below_->subkeys(root, key);
    }
    bool remove_key(Root root, const QString& key) override { return below_->remove_key(root, key); }

  private:
    std::unique_ptr<Store> below_;
    std::map<std::tuple<Root, QString, QString>, QVariant> values_;
};

}  // namespace plx::settings

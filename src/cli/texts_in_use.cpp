#include "cli/texts_in_use.h"

#include "bus/file_target.h"
#include "device/number_text.h"
#include "editor/field_rules.h"
#include "editor/parameter_file.h"
#include "lang/apply_language.h"
#include "settings/registry.h"

namespace plx::cli {

TextsInUse::TextsInUse(const settings::Store& store) : form_(std::make_unique<FrmConfig>()) {
    // the main window's language step on a control set of its own: captions, lang_text, separator
    lang::apply_language(lang::main_window, state_, form_.get(), nullptr, store);
    version_ = settings::CRegistry(store).MachineSetting(settings::kProgramKey, "Version");
}

char TextsInUse::separator() const {
    return device::separator_of(state_.decimal_separator);
}

std::string TextsInUse::register_caption(int k) const {
    return form_->lbl_cfg[k].caption();
}

std::string TextsInUse::bit_caption(int j) const {
    return form_->lbl_read_cfg_bit[j].caption();
}

std::string TextsInUse::register_name(int k) const {
    return editor::detail::field_caption(register_caption(k));
}

std::string TextsInUse::bit_name(int j) const {
    return editor::detail::field_caption(bit_caption(j));
}

std::string TextsInUse::register_key(int k) const {
    return "Register " + std::to_string(k + 1);
}

std::string TextsInUse::bit_key(int j) const {
    return state_.lang_text[8] + " " + std::to_string(j + 1);
}

paramfile::Labels TextsInUse::labels() const {
    const auto& t = state_.lang_text;
    return {t[7], t[8], t[9], t[10], t[11], t[12]};
}

paramfile::Contents parameter_contents(const TextsInUse& texts,
                                       const bus::UnitImage& unit,
                                       const bus::LineSettings& line,
                                       int address,
                                       const paramfile::Stamp& stamp) {
    paramfile::Contents c;
    paramfile::Header& h = c.header;
    h.decimal_separator = texts.separator();
    h.version = editor::version_number(texts.version_text(), h.decimal_separator);
    h.date_text = stamp.date;
    h.time_text = stamp.time;
    h.baud_text = std::to_string(line.baud);
    h.modbus_mode = std::string(bus::mode_text(line.framing));
    h.parity_text = std::string(bus::parity_text(line.parity));
    h.address_text = std::to_string(address);
    c.labels = texts.labels();
    for (int k = 0; k < paramfile::kRegisterCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        c.register_captions[i] = texts.register_caption(k);
        // the text the window's field shows once the unit's word is loaded into it
        c.register_texts[i] = bus::register_text(k, unit.registers[i], h.decimal_separator);
    }
    for (int j = 0; j < paramfile::kBitCount; ++j) {
        const auto i = static_cast<std::size_t>(j);
        c.bit_captions[i] = texts.bit_caption(j);
        c.bit_states[i] = unit.bits[i] ? 1 : 0;
    }
    return c;
}

}  // namespace plx::cli

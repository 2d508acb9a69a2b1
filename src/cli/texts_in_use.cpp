#include "cli/texts_in_use.h"

#include "bus/file_target.h"
#include "device/number_text.h"
#include "lang/captions.h"
#include "lang/texts.h"
#include "settings/registry.h"

namespace plx::cli {

TextsInUse::TextsInUse(const settings::Store& store) : language_(lang::read_language_settings(store)) {
    version_ = settings::CRegistry(store).MachineSetting(settings::kProgramKey, "Version");
}

char TextsInUse::separator() const {
    return device::separator_of(language_.decimal_separator);
}

std::string TextsInUse::register_caption(int k) const {
    return lang::cfg_register_caption(k, language_.language_code);
}

std::string TextsInUse::bit_caption(int j) const {
    return lang::cfg_bit_caption(j, language_.language_code);
}

std::string TextsInUse::register_name(int k) const {
    return lang::field_name(register_caption(k));
}

std::string TextsInUse::bit_name(int j) const {
    return lang::field_name(bit_caption(j));
}

std::string TextsInUse::text(std::size_t i) const {
    const auto& row = lang::lang_text_table()[i];
    return lang::is_english(language_.language_code) ? row.english : row.german;
}

std::string TextsInUse::register_key(int k) const {
    return "Register " + std::to_string(k + 1);
}

std::string TextsInUse::bit_key(int j) const {
    return text(8) + " " + std::to_string(j + 1);
}

paramfile::Labels TextsInUse::labels() const {
    return {text(7), text(8), text(9), text(10), text(11), text(12)};
}

paramfile::Contents parameter_contents(const TextsInUse& texts,
                                       const bus::UnitImage& unit,
                                       const modbus::LineSettings& line,
                                       int address,
                                       const paramfile::Stamp& stamp) {
    paramfile::Contents c;
    paramfile::Header& h = c.header;
    h.decimal_separator = texts.separator();
    h.version = device::version_number(texts.version_text(), h.decimal_separator);
    h.date_text = stamp.date;
    h.time_text = stamp.time;
    h.baud_text = std::to_string(line.baud);
    h.modbus_mode = std::string(modbus::mode_text(line.framing));
    h.parity_text = std::string(modbus::parity_text(line.parity));
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

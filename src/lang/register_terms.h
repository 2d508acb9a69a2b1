#pragma once
// The words of the register description (the help document and the fields' tooltips), in both
// languages: one row per term.

#include <string>

namespace plx::lang {

enum class Term {
    cfg_register,
    cfg_bit,
    input_bit,
    input_register,
    output_register,
    holding_register,
    coil,
    number,
    address,
    meaning,
    range,
    scale,
    unit,
    choices,
    scale_integer,
    scale_tenths,
    scale_bcd,
    unit_temperature,
    unit_none,
    bit_values,
    read_only,
    reserved,
    list_range,    // %1: the last value
    same_choices,  // %1: the number of the point whose list it shares
    document_title,
    document_intro,
    document_generated,  // %1: program version
    section_cfg_registers,
    section_cfg_bits,
    section_input_bits,
    section_input_registers,
    section_output_registers,
    no_unit_note,
    // the coded output registers: the button state words bit by bit, the other values' meanings
    button_word_layout,
    button_bit,  // %1: the bit, %2: the button
    button_word_below,
    button_word_1,
    otherwise,
};

// The term in the language of `language_code` ("1033" English, anything else German).
std::string term(Term t, const std::string& language_code);

}  // namespace plx::lang

#pragma once
// The words of commissioning in both languages: what a field's rule allows, plx24ctl's plans and what
// it keeps of each unit, the commissioning record, and the window's "Print record…" and "Compare with
// file…". One row per text.

#include <string>
#include <vector>

namespace plx::lang {

enum class CommissionText {
    // what a field takes; %1, %2: the lowest and highest value, or %1: the values listed
    allowed_range,
    allowed_list,
    whole_numbers,
    one_decimal,
    // a parameter file's value refused: %1 the file, %2 its line, %3 the field, %4 what it allows,
    // %5 the value
    file_value_refused,
    // the sentence after every refusal of a file or a plan
    no_unit_written,

    // write and commission, per unit; %1 the address
    kept_own,         // %1 what it kept
    kept_location,    // %1 the location code
    kept_buttons,     // %1 the buttons
    skipped_buttons,  // %1 the unit's buttons, %2 the file's
    skipped_hint,
    skipped_count,  // %1 units
    from_plan,      // %1 the values a row gave
    not_reached,
    summary_columns,  // "|"-separated: address, location code, result
    written_count,    // %1 verified, %2 units

    // a plan; %1 the plan, row and column as plan_at says
    plan_at,             // %1 the plan, %2 the row, %3 the column's title, %4 its letter
    plan_at_row,         // %1 the plan, %2 the row
    plan_refused,        // %1 the plan, %2 why
    plan_empty,          // %1 the plan
    plan_needs_columns,  // %1 the plan
    plan_unknown_column,
    plan_ambiguous_column,  // %2 the fields it names
    plan_column_twice,      // %2 the other column
    plan_never_written,     // %2 the register
    plan_bad_address,       // %2 the text
    plan_address_twice,     // %2 the address, %3 the row before
    plan_no_file,
    plan_bad_bit,  // %2 the text
    plan_bad_baud,
    plan_bad_parity,
    plan_bad_mode,
    plan_bad_device,    // %2 the row's device
    plan_mode_gateway,  // %2 the gateway that sets the framing
    plan_too_many_fields,
    plan_open_quote,
    plan_value_refused,  // %2 what the field allows, %3 the value

    // the record
    record_title,
    record_program,
    record_started,
    record_ended,
    record_device,
    record_line,
    record_plan,
    record_file,
    record_units,
    record_plan_row,
    page_footer,  // %1 the document, %2 the page, %3 the pages
    section_registers,
    section_bits,
    legend,
    column_meaning,
    column_value,
    column_address,
    column_note,
    column_location,
    column_buttons,
    column_coding,
    column_firmware,
    column_result,
    column_field,
    column_caption,
    result_verified,
    result_differs,
    result_failed,
    result_skipped,
    result_not_reached,
    unit_heading,  // %1 the address
    bit_on,
    bit_off,
    record_written,      // %1 the folder's files
    record_not_written,  // %1 the file, %2 the system's reason

    // the window
    print_record_menu,
    compare_menu,
    print_title,  // %1 the address
    print_read_at,
    input_bit_key,  // %1 the input bit
    not_read_out,
    compare_title,  // %1 the file
    compare_column_register,
    compare_column_file,
    compare_column_unit,
    compare_count,  // %1 the file, %2 differences
    compare_none,   // %1 the file
    compare_load,
    compare_close,
};

// The text of `id` in the language of `language_code`, %1 .. %9 replaced by `args`.
std::string commission_text(CommissionText id,
                            const std::string& language_code,
                            const std::vector<std::string>& args = {});

}  // namespace plx::lang

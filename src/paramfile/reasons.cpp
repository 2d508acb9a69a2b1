#include "paramfile/reasons.h"

#include "lang/texts.h"
#include "paramfile/file_io.h"

namespace plx::paramfile {

ReadRules read_rules(char decimal_separator) {
    const lang::WindowText& bit_key = lang::lang_text_table()[8];
    return {decimal_separator, {bit_key.german, bit_key.english}};
}

std::string refusal_reason(Refusal refusal, int line, const ReadRules& rules, const std::string& code) {
    switch (refusal) {
        case Refusal::none:
            break;
        case Refusal::too_large:
            return lang::message(lang::Message::parameter_file_too_large, code,
                                 {std::to_string(kMaxFileBytes >> 20) + " MiB"});
        case Refusal::line_too_long:
            return lang::message(lang::Message::parameter_file_line_too_long, code,
                                 {std::to_string(line), std::to_string(kMaxLineBytes)});
        case Refusal::binary:
            return lang::message(lang::Message::parameter_file_binary, code, {std::to_string(line)});
        case Refusal::shape:
            return lang::message(lang::Message::parameter_file_shape, code, {std::to_string(line), shape_key(line, rules)});
    }
    return {};
}

}  // namespace plx::paramfile

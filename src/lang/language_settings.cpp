#include "lang/language_settings.h"

#include "lang/texts.h"
#include "settings/registry.h"

namespace plx::lang {

namespace {

// A separator that is a digit, a sign, a blank, ';' (the parameter file's field separator) or not a
// single-byte character would corrupt every number typed and every file saved: the default stands in.
bool usable_separator(const std::string& text) {
    if (text.empty()) return false;
    const unsigned char ch = static_cast<unsigned char>(text.front());
    if (ch < 0x21 || ch > 0x7E) return false;
    if (ch >= '0' && ch <= '9') return false;
    return ch != '+' && ch != '-' && ch != ';';
}

}  // namespace

LanguageSettings read_language_settings(const settings::Store& store) {
    LanguageSettings l;
    // in the order Pfad, Language, sDecimal
    l.install_path = settings::CRegistry(store).MachineSetting(settings::kProgramKey, "Pfad");
    l.language_code = settings::CRegistry(store).MachineSetting(settings::kProgramKey, "Language");
    l.decimal_separator = settings::CRegistry(store).Werte(settings::kInternationalKey, "sDecimal");
    if (!usable_separator(l.decimal_separator)) l.decimal_separator = ",";
    if (is_english(l.language_code)) {
        l.help_document = kHelpDocumentEnglish;
    } else {
        l.language_code = kGerman;
        l.help_document = kHelpDocumentGerman;
    }
    return l;
}

}  // namespace plx::lang

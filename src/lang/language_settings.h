#pragma once
// The language, the installation folder and the user's decimal separator as the settings store holds
// them, read the one way the window and plx24ctl both use.

#include <string>

#include "settings/store.h"

namespace plx::lang {

inline constexpr const char* kHelpDocumentGerman = "\\Doc\\PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf";
inline constexpr const char* kHelpDocumentEnglish = "\\Doc\\PLX24 RS485 Modbus, Register MS_1, Ver 1_10_eng.pdf";

struct LanguageSettings {
    std::string install_path;       // "Pfad"
    std::string language_code;      // "1033" English, "1031" German (anything else)
    std::string decimal_separator;  // "sDecimal", "," when unusable
    std::string help_document;      // below the installation folder, in the language
};

// "Pfad", "Language" and "sDecimal", one short-lived registry object per access, with their defaults.
LanguageSettings read_language_settings(const settings::Store& store);

}  // namespace plx::lang

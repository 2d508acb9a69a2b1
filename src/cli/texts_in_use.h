#pragma once
// The language in use and the window's captions in it, read from the same settings and text tables as
// the window (Language, sDecimal, Version), so that a parameter file plx24ctl writes is the one the
// window writes for the same unit, caption for caption.

#include <string>

#include "modbus/line_settings.h"
#include "bus/unit_job.h"
#include "lang/language_settings.h"
#include "paramfile/file_io.h"
#include "paramfile/parameter_file.h"
#include "settings/store.h"

namespace plx::cli {

class TextsInUse {
  public:
    explicit TextsInUse(const settings::Store& store);

    const std::string& language_code() const { return language_.language_code; }
    char separator() const;
    // The registry value "Version", as the window's parameter file header takes it.
    const std::string& version_text() const { return version_; }

    // As they stand on the window (padding blanks and colon included): the parameter file's captions.
    std::string register_caption(int k) const;
    std::string bit_caption(int j) const;
    // As the window names a field in its messages: "Antwortzeit" without padding and colon.
    std::string register_name(int k) const;
    std::string bit_name(int j) const;
    // The keys of a parameter file's lines: "Register 34", "Konfigurationsbit 5".
    std::string register_key(int k) const;
    std::string bit_key(int j) const;
    paramfile::Labels labels() const;

  private:
    // lang_text entry i in the language in use
    std::string text(std::size_t i) const;

    lang::LanguageSettings language_;
    std::string version_;
};

// What the window's "&Parameter speichern" writes after reading this unit out at these settings.
paramfile::Contents parameter_contents(const TextsInUse& texts,
                                       const bus::UnitImage& unit,
                                       const modbus::LineSettings& line,
                                       int address,
                                       const paramfile::Stamp& stamp);

}  // namespace plx::cli

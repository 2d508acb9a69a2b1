// apply_language: what it reads, the defaults, and what each language leaves on the windows.
#include <map>
#include <set>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "lang/apply_language.h"
#include "settings/registry.h"

namespace plx::lang {
namespace {

using settings::MemoryStore;
using settings::Root;

// Every text the main window shows, keyed by control and position, to see what a call changed.
std::map<std::string, std::string> window_texts(FrmConfig& f) {
    std::map<std::string, std::string> out;
    auto key = [](const controls::Control& c, int pos) {
        return c.name + "(" + std::to_string(c.index) + ")#" + std::to_string(pos);
    };
    auto captions = [&](auto& array) {
        for (auto& [i, c] : array) out[key(c, -1)] = c.caption();
    };
    captions(f.lbl_cfg);
    captions(f.lbl_read_cfg_bit);
    captions(f.lbl_read_in_bit);
    captions(f.lbl_data_in);
    captions(f.lbl_read_out);
    captions(f.lbl_desc);
    captions(f.lbl_parameter);
    captions(f.frm_allg);
    captions(f.frm_Anzeige);
    captions(f.frm_button);
    captions(f.frm_val);
    captions(f.frm_extern);
    captions(f.frm_soll);
    captions(f.MenueMain);
    captions(f.ParMenueMain);
    captions(f.chk_cfg);
    captions(f.chk_input);
    for (auto* arrays : {&f.cmb_cfg, &f.cmb_in, &f.cmb_bit_cfg, &f.Combo_Port}) {
        for (auto& [i, c] : *arrays) {
            for (int e = 0; e < c.list_count(); ++e) out[key(c, e)] = c.list()[static_cast<std::size_t>(e)];
        }
    }
    for (int t = 0; t < static_cast<int>(f.SSTab1.tab_captions().size()); ++t)
        out[key(f.SSTab1, t)] = f.SSTab1.tab_captions()[static_cast<std::size_t>(t)];
    out["window"] = f.frm_config.caption();
    out[key(f.read_out_parameter, -1)] = f.read_out_parameter.caption();
    out[key(f.set_parameter, -1)] = f.set_parameter.caption();
    return out;
}

class ApplyLanguage : public ::testing::Test {
protected:
    MemoryStore store;
    ProgramState state;
    FrmConfig form;
    FrmStateControls status;

    void machine(const char* name, const std::string& value) {
        store.put(Root::machine, QString::fromLatin1(settings::kProgramKey), QString::fromLatin1(name),
                  QString::fromStdString(value));
    }
    void user_decimal(const std::string& value) {
        store.put(Root::user, QString::fromLatin1(settings::kInternationalKey), QStringLiteral("sDecimal"),
                  QString::fromStdString(value));
    }
    void run(int kind) { apply_language(kind, state, &form, &status, store); }
};

TEST_F(ApplyLanguage, EnglishPutsEveryTableTextOnTheMainWindow) {
    machine("Language", "1033");
    run(main_window);
    EXPECT_EQ(state.language_code, "1033");
    for (const auto& row : main_window_texts()) {
        for (const auto& target : resolve_targets(form, row)) {
            EXPECT_EQ(target.get(), row.english) << target.control->name << "(" << target.control->index << ")";
        }
    }
    EXPECT_EQ(form.SSTab1.tab_captions().at(8), "Setpoint value");
    EXPECT_EQ(form.ParMenueMain[4].caption(), "Exit");
}

TEST_F(ApplyLanguage, EnglishTextsAsTheyStandIncludingTheirQuirks) {
    machine("Language", "1033");
    run(main_window);
    EXPECT_EQ(form.cmb_cfg[30].list()[0], "0x00 , Fade out");
    EXPECT_EQ(form.cmb_cfg[29].list()[1], "0x01, Englisch (YY.MM.DD)");
    EXPECT_EQ(form.cmb_cfg[19].list()[13], "0x0D, Fan stage Plus with 'AUTO'");
    EXPECT_EQ(form.cmb_cfg[20].list()[0], "0x00, without special function / via Bit-Register");
    EXPECT_EQ(form.lbl_desc[70].caption(), " Hour       Minute     Second");
    EXPECT_EQ(form.lbl_desc[2].caption(), "Function button");
    EXPECT_EQ(form.lbl_desc[65].caption(), "Values without unit are transferred without decimal point!");
    EXPECT_EQ(form.lbl_cfg[34].caption(), "Temperature-Offset:");
    EXPECT_EQ(form.lbl_cfg[39].caption(), "Upper adjustment range      :");
    EXPECT_EQ(form.lbl_cfg[42].caption(), "Basic setpoint after reset       :");
    EXPECT_EQ(form.frm_soll[6].caption(), "Display");
    EXPECT_EQ(form.lbl_data_in[19].caption(), "Setpoint offset:");
    EXPECT_EQ(form.lbl_read_out[14].caption(), "Setpoint effective:");
}

TEST_F(ApplyLanguage, EnglishStatusWindowOnItsOwnLoad) {
    machine("Language", "1033");
    run(status_window);
    EXPECT_EQ(status.frmState.caption(), "State");
    EXPECT_EQ(status.Abbruch.caption(), "Cancel");
    EXPECT_EQ(status.lblTxt.caption(), "Waiting ...");
    EXPECT_EQ(status.cmdOK.caption(), "Schließen");
}

TEST_F(ApplyLanguage, EachKindChangesOnlyItsOwnWindow) {
    machine("Language", "1033");
    const auto before = window_texts(form);
    run(status_window);
    EXPECT_EQ(window_texts(form), before);

    FrmStateControls fresh;
    apply_language(main_window, state, &form, &fresh, store);
    EXPECT_EQ(fresh.frmState.caption(), "Status");
    EXPECT_EQ(fresh.Abbruch.caption(), "Abbruch");
}

TEST_F(ApplyLanguage, EnglishLeavesTheUntranslatedItems) {
    machine("Language", "1033");
    const auto before = window_texts(form);
    run(main_window);
    EXPECT_EQ(form.lbl_cfg[33].caption(), "Min-Response-Time [ms]:");
    for (int j : {23, 30, 31}) EXPECT_EQ(form.lbl_read_cfg_bit[j].caption(), "Reserviert:");
    EXPECT_EQ(form.lbl_cfg[8].caption(), "T1:");
    EXPECT_EQ(form.lbl_desc[72].caption(), "Symbol");
    EXPECT_EQ(form.frm_config.caption(), "PLX24-RS485-Modbus Version 1.5");
    // every text not in the table is as the design left it
    std::set<std::string> translated;
    for (const auto& row : main_window_texts()) {
        for (const auto& t : resolve_targets(form, row))
            translated.insert(t.control->name + "(" + std::to_string(t.control->index) + ")#" +
                              std::to_string(t.position));
    }
    for (const auto& [k, text] : window_texts(form)) {
        if (translated.count(k) == 0) {
            EXPECT_EQ(text, before.at(k)) << k;
        }
    }
}

TEST_F(ApplyLanguage, EnglishKeepsListLengthOrderAndSelection) {
    machine("Language", "1033");
    form.cmb_bit_cfg[25].set_list_index(1);
    int clicks = 0;
    form.cmb_bit_cfg[25].on_click = [&] { ++clicks; };
    run(main_window);
    for (int j = 25; j <= 29; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(form.cmb_bit_cfg[j].list_count(), 2);
    }
    // each English entry means what the German entry at its position means: the same bit value
    const std::vector<std::pair<int, std::vector<std::string>>> english = {
        {25, {"Without decimal point", "With decimal point"}},
        {26, {"Fade out decimal point", "Fade in decimal point"}},
        {27, {"Setpoint offset", "Setpoint effective"}},
        {28, {"Setpoint offset", "Setpoint effective"}},
        {29, {"Setpoint offset", "Setpoint effective"}},
    };
    for (const auto& [j, entries] : english) EXPECT_EQ(form.cmb_bit_cfg[j].list(), entries) << j;
    EXPECT_EQ(form.cmb_bit_cfg[25].list_index(), 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form.cmb_cfg[8].list_count(), 20);
    EXPECT_EQ(form.cmb_in[26].list_count(), 5);
}

TEST_F(ApplyLanguage, EnglishMarksNothingPending) {
    machine("Language", "1033");
    run(main_window);
    for (const auto& [k, t] : form.txt_data_cfg) EXPECT_FALSE(t.pending()) << k;
    for (const auto& [k, c] : form.cmb_cfg) EXPECT_FALSE(c.pending()) << k;
    EXPECT_FALSE(form.set_parameter.enabled());
}

struct GermanCase {
    const char* name;
    const char* language;  // nullptr: no value at all
};

class GermanCodes : public ApplyLanguage, public ::testing::WithParamInterface<GermanCase> {};

TEST_P(GermanCodes, EverythingStaysGerman) {
    if (GetParam().language != nullptr) machine("Language", GetParam().language);
    const auto before = window_texts(form);
    run(main_window);
    EXPECT_EQ(state.language_code, "1031");
    EXPECT_EQ(state.help_document, "\\Doc\\PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf");
    EXPECT_EQ(window_texts(form), before);
    EXPECT_EQ(status.lblTxt.caption(), "Warten ...");
    EXPECT_EQ(state.lang_text[0], "Aus");
    EXPECT_EQ(state.lang_text[12], "Adresse: ");

    FrmStateControls own_load;
    apply_language(status_window, state, nullptr, &own_load, store);
    EXPECT_EQ(own_load.lblTxt.caption(), "Warten ...");
    EXPECT_EQ(own_load.frmState.caption(), "Status");
    EXPECT_EQ(own_load.Abbruch.caption(), "Abbruch");
}

INSTANTIATE_TEST_SUITE_P(Codes, GermanCodes,
                         ::testing::Values(GermanCase{"German", "1031"}, GermanCase{"Empty", ""},
                                           GermanCase{"Missing", nullptr}, GermanCase{"EnglishUK", "2057"},
                                           GermanCase{"TrailingBlank", "1033 "}, GermanCase{"LeadingZero", "01033"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyLanguage, EnglishFillsLangTextAndHelpDocument) {
    machine("Language", "1033");
    run(main_window);
    EXPECT_EQ(state.lang_text[0], "Off");
    EXPECT_EQ(state.lang_text[7], "Use ; as seperator!");
    EXPECT_EQ(state.lang_text[9], "Baud rate: ");
    EXPECT_EQ(state.lang_text[13], "");
    EXPECT_EQ(state.help_document, "\\Doc\\PLX24 RS485 Modbus, Register MS_1, Ver 1_10_eng.pdf");
}

TEST_F(ApplyLanguage, InstallPathIsReadAndMayBeMissing) {
    run(main_window);
    EXPECT_EQ(state.install_path, "");
    machine("Pfad", "C:\\Programme\\Orvanto");
    run(main_window);
    EXPECT_EQ(state.install_path, "C:\\Programme\\Orvanto");
}

TEST_F(ApplyLanguage, EveryCallReadsTheStoreAgain) {
    machine("Language", "1033");
    user_decimal(".");
    run(status_window);
    EXPECT_EQ(state.lang_text[1], "Stage 1");
    machine("Language", "1031");
    user_decimal(",");
    run(status_window);
    EXPECT_EQ(state.language_code, "1031");
    EXPECT_EQ(state.lang_text[1], "1. Stufe");
    EXPECT_EQ(state.decimal_separator, ",");
}

TEST_F(ApplyLanguage, NullWindowsAreHarmless) {
    machine("Language", "1033");
    apply_language(main_window, state, nullptr, nullptr, store);
    apply_language(status_window, state, nullptr, nullptr, store);
    EXPECT_EQ(state.language_code, "1033");
    machine("Language", "1031");
    apply_language(main_window, state, nullptr, nullptr, store);
    EXPECT_EQ(state.lang_text[6], "Raum belegt");
}

struct SeparatorCase {
    const char* name;
    const char* stored;  // nullptr: no value
    const char* expected;
};

class DecimalSeparator : public ApplyLanguage, public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(DecimalSeparator, IsAlwaysSetAndUsable) {
    if (GetParam().stored != nullptr) user_decimal(GetParam().stored);
    run(main_window);
    EXPECT_EQ(state.decimal_separator, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecimalSeparator,
    ::testing::Values(SeparatorCase{"Point", ".", "."}, SeparatorCase{"Comma", ",", ","},
                      SeparatorCase{"Missing", nullptr, ","}, SeparatorCase{"Empty", "", ","},
                      SeparatorCase{"Semicolon", ";", ","}, SeparatorCase{"Digit", "5", ","},
                      SeparatorCase{"Minus", "-", ","}, SeparatorCase{"Blank", " ", ","},
                      SeparatorCase{"ArabicMultiByte", "\xd9\xab", ","}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyLanguage, SeparatorComesFromTheUserRootOnly) {
    store.put(Root::machine, QString::fromLatin1(settings::kInternationalKey), QStringLiteral("sDecimal"),
              QStringLiteral("."));
    run(main_window);
    EXPECT_EQ(state.decimal_separator, ",");
}

TEST(ApplyLanguageIni, EnglishFromTheMachineFile) {
    QTemporaryDir dir;
    settings::QSettingsStore store{settings::Location{dir.filePath(QStringLiteral("machine.ini"))},
                                   settings::Location{dir.filePath(QStringLiteral("user.ini"))}};
    store.set_regional_locale(QLocale(QLocale::English, QLocale::UnitedStates));
    settings::CRegistry(store).MachineSetting(settings::kProgramKey, "Language", "1033");
    ProgramState state;
    FrmConfig form;
    apply_language(main_window, state, &form, nullptr, store);
    EXPECT_EQ(form.SSTab1.tab_captions().at(0), "General");
    EXPECT_EQ(state.decimal_separator, ".");
}

}  // namespace
}  // namespace plx::lang

#pragma once
// The main window with its link and editing code-behind on a fake port and a virtual clock.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/platform.h"
#include "controls/timer.h"
#include "device/number_text.h"
#include "editor/frm_config_code.h"
#include "form/frm_config.h"
#include "form/program_state.h"
#include "link/fake_serial_port.h"
#include "link/link.h"

namespace plx::editor::testing {

class RecordingShell : public controls::Shell {
public:
    bool open(const std::string& target) override {
        opened.push_back(target);
        if (fail) throw std::runtime_error("no viewer");
        return true;
    }
    std::vector<std::string> opened;
    bool fail = false;
};

class SilentMessages : public controls::MessageBox {
public:
    void show_ok(const std::string& text) override { shown.push_back(text); }
    bool ask(const std::string& text, const std::string& accept, const std::string& reject) override {
        asked.push_back(text + " [" + accept + "|" + reject + "]");
        return answer;
    }
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    bool answer = false;
};

inline const char* const kGermanLangText[] = {"Aus",         "1. Stufe",          "2. Stufe", "3. Stufe",
                                              "Auto",        "Raum nicht belegt", "Raum belegt"};

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        f.for_each_timer([&](controls::Timer& t) { t.attach(&clock); });
        engine = std::make_unique<modbus::Engine>(port, clock, f.Timer4, f.Timer5);
        link = std::make_unique<link::Link>(f, s, *engine, messages);
        code = std::make_unique<FrmConfigCode>(f, s, *link, shell, messages);
        code->apply_language = [this](int) {
            s.decimal_separator = separator;
            s.language_code = "1031";
            s.help_document = "\\Doc\\PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf";
            for (std::size_t i = 0; i < std::size(kGermanLangText); ++i) s.lang_text[i] = kGermanLangText[i];
        };
        code->Form_Load();
    }
    ~EditorTest() override {
        f.for_each_timer([](controls::Timer& t) { t.attach(nullptr); });
    }

    // What the dispatch does when a configuration register is read: text, reference, marks cleared.
    void read_cfg(int k, const std::string& text) {
        f.txt_data_cfg[k].set_text(text);
        s.cfg_register_values[static_cast<std::size_t>(k)] = *device::parse_number(text, sep());
        f.txt_data_cfg[k].set_pending(false);
        if (f.cmb_cfg.has(k)) f.cmb_cfg[k].set_pending(false);
        check_pending_changes(f);
    }
    void read_bit(int j, int value) {
        f.chk_cfg[j].set_value(value);
        if (f.cmb_bit_cfg.has(j)) f.cmb_bit_cfg[j].set_pending(false);
        f.chk_cfg[j].set_pending(false);
        s.cfg_bit_values[static_cast<std::size_t>(j)] = static_cast<std::int16_t>(value);
        check_pending_changes(f);
    }
    void read_input(int k, const std::string& text) {
        f.txt_data_in[k].set_text(text);
        s.input_register_values[static_cast<std::size_t>(k)] = *device::parse_number(text, sep());
        f.txt_data_in[k].set_pending(false);
        check_pending_changes(f);
    }
    // The user types into a field (key filter applied) and leaves it.
    void type_and_leave(controls::TextBox& t, const std::string& text) {
        t.user_edit("");
        t.user_type_text(text);
        t.user_lost_focus();
    }
    int pending_holders() const {
        int n = 0;
        for (const auto& [k, t] : f.txt_data_cfg) n += t.pending();
        for (const auto& [k, t] : f.txt_data_in) n += t.pending();
        for (const auto& [j, b] : f.chk_cfg) n += b.pending();
        for (const auto& [j, b] : f.chk_input) n += b.pending();
        return n;
    }
    char sep() const { return device::separator_of(s.decimal_separator); }

    std::string separator = ",";
    controls::VirtualClock clock;
    FrmConfig f;
    ProgramState s;
    link::FakeSerialPort port;
    SilentMessages messages;
    RecordingShell shell;
    std::unique_ptr<modbus::Engine> engine;
    std::unique_ptr<link::Link> link;
    std::unique_ptr<FrmConfigCode> code;
};

}  // namespace plx::editor::testing

// Load step, menus and the end of the program.

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "editor_fixture.h"

namespace plx::editor::testing {
namespace {

using StartUp = EditorTest;

TEST_F(StartUp, NothingPendingAndApplyDisabled) {
    EXPECT_EQ(pending_holders(), 0);
    EXPECT_FALSE(f.cmb_in[26].pending());
    EXPECT_FALSE(f.cmb_in[27].pending());
    EXPECT_FALSE(f.set_parameter.enabled());
    EXPECT_EQ(s.current_register, 0);
}

TEST_F(StartUp, InputReferencesComeFromTheDesignTexts) {
    const double expected[28] = {0, 0, 0, 1, 1, 7, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 22, 22, 0, 0, 0, 0, 0, 0};
    for (int k = 0; k < 28; ++k) {
        EXPECT_EQ(s.input_register_values[static_cast<std::size_t>(k)], expected[k]) << "input register " << k;
    }
    EXPECT_EQ(f.cmb_in[26].list_index(), 0);
    EXPECT_EQ(f.cmb_in[27].list_index(), 0);
}

TEST_F(StartUp, LeavingAnUntouchedClockFieldKeepsItUnmarked) {
    for (int k = 0; k <= 5; ++k) f.txt_data_in[k].user_lost_focus();
    EXPECT_EQ(pending_holders(), 0);
    EXPECT_FALSE(f.set_parameter.enabled());
}

TEST_F(StartUp, WindowIsCentredWhateverItsLastPosition) {
    f.frm_config.set_width(12000);
    f.frm_config.set_height(9000);
    f.frm_config.set_left(77);
    f.frm_config.set_top(5);
    code->screen_size = [] { return ScreenSize{20490, 11520}; };
    code->Form_Load();
    EXPECT_EQ(f.frm_config.left(), (20490 - 12000) / 2);
    EXPECT_EQ(f.frm_config.top(), (11520 - 9000) / 2);
}

TEST_F(StartUp, WindowLargerThanTheScreenIsCutToItsAvailableArea) {
    f.frm_config.set_width(15900);
    f.frm_config.set_height(10050);
    // 1366 x 768 at 125 %: 1092 x 614 logical pixels, a 30-pixel panel on top
    code->screen_size = [] { return ScreenSize{1092 * 15, 584 * 15, 0, 30 * 15}; };
    code->Form_Load();
    EXPECT_EQ(f.frm_config.width(), 15900);
    EXPECT_EQ(f.frm_config.height(), 584 * 15);
    EXPECT_EQ(f.frm_config.left(), (1092 * 15 - 15900) / 2);
    EXPECT_EQ(f.frm_config.top(), 30 * 15);
}

TEST_F(StartUp, LanguageIsAppliedBeforeTheLinkPanelIsFilled) {
    std::vector<std::string> order;
    code->apply_language = [&](int kind) {
        EXPECT_EQ(kind, 0);
        order.push_back("language:" + std::to_string(f.Combo_Port[0].list_count()));
    };
    f.Combo_Port[0].set_list({});
    code->Form_Load();
    ASSERT_EQ(order.size(), 1U);
    EXPECT_EQ(order[0], "language:0");
    EXPECT_GT(f.Combo_Port[0].list_count(), 0) << "the link panel is filled by the load step";
}

using Menus = EditorTest;

TEST_F(Menus, ExitStopsAllSevenTimersAndNothingTicksAfterwards) {
    std::vector<std::string> ticks;
    f.for_each_timer([&](controls::Timer& t) {
        auto inner = t.on_tick;
        t.on_tick = [&ticks, &t, inner] {
            ticks.push_back(t.name);
            if (inner) inner();
        };
        t.set_enabled(true);
    });
    clock.advance_ms(500);
    ASSERT_FALSE(ticks.empty());
    bool quit_called = false;
    code->quit = [&] {
        quit_called = true;
        f.for_each_timer([](controls::Timer& t) { EXPECT_FALSE(t.enabled()) << t.name; });
    };
    ticks.clear();
    (void)port.take_written();

    f.ParMenueMain[4].user_click();

    EXPECT_TRUE(quit_called);
    EXPECT_TRUE(code->ended());
    clock.advance_ms(60000);
    EXPECT_TRUE(ticks.empty());
    EXPECT_TRUE(port.take_written().empty());
}

TEST_F(Menus, ExitDoesNotRunTheUnloadOfOtherWindows) {
    bool unloaded = false;
    code->unload_other_windows = [&] { unloaded = true; };
    f.ParMenueMain[4].user_click();
    EXPECT_FALSE(unloaded);
}

// Help opens the first document found: below the recorded install folder, else in the further
// folders; a missing document and a shell that cannot open it are said, not swallowed.
TEST_F(Menus, HelpFindsTheDocumentOrSaysWhyNot) {
    const auto root = std::filesystem::temp_directory_path() / ("plx24-help-" + std::to_string(::getpid()));
    const std::string installed = (root / "installed").string();
    const std::string build = (root / "build").string();
    std::filesystem::create_directories(root / "installed" / "Doc");
    std::filesystem::create_directories(root / "build" / "Doc");
    const std::string document = help_path("", s.help_document, '/');
    std::ofstream(build + document) << "%PDF";
    struct Case {
        std::string install_path;
        bool installed_present;
        bool shell_fails;
        std::string opened;   // empty: the shell is not asked
        std::string message;  // a part of what is reported, empty: nothing
    };
    const std::vector<Case> cases = {
        {installed, true, false, installed + document, ""},
        {installed, false, false, build + document, ""},
        {"", false, false, build + document, ""},
        {installed, true, true, installed + document, "konnte nicht geöffnet werden"},
    };
    for (const Case& c : cases) {
        if (c.installed_present) {
            std::ofstream(installed + document) << "%PDF";
        } else {
            std::filesystem::remove(installed + document);
        }
        s.install_path = c.install_path;
        shell.fail = c.shell_fails;
        shell.opened.clear();
        std::vector<std::string> reported;
        code->report = [&reported](const std::string& m) { reported.push_back(m); };
        code->help_folders = [&build] { return std::vector<std::string>{"/nonexistent", build}; };
        f.MenueMain[3].user_click();
        EXPECT_EQ(shell.opened,
                  c.opened.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opened});
        EXPECT_EQ(reported.empty(), c.message.empty());
        if (!reported.empty()) {
            EXPECT_NE(reported[0].find(c.message), std::string::npos) << reported[0];
        }
    }
    // nowhere at all: the recorded place is named
    std::filesystem::remove_all(root);
    s.install_path = installed;
    shell.opened.clear();
    std::vector<std::string> reported;
    code->report = [&reported](const std::string& m) { reported.push_back(m); };
    f.MenueMain[3].user_click();
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(reported.size(), 1U);
    EXPECT_NE(reported[0].find(installed + document), std::string::npos) << reported[0];
}

TEST(HelpPath, BackslashesBecomeTheNativeSeparator) {
    EXPECT_EQ(help_path("/opt/plx24", "\\Doc\\a b.pdf", '/'), "/opt/plx24/Doc/a b.pdf");
    EXPECT_EQ(help_path("C:\\P", "\\Doc\\a.pdf", '\\'), "C:\\P\\Doc\\a.pdf");
}

TEST_F(Menus, AboutAndParameterFileItemsRunTheirHooks) {
    std::vector<std::string> ran;
    code->show_about = [&] { ran.push_back("about"); };
    code->load_parameter_file = [&] { ran.push_back("load"); };
    code->save_parameter_file = [&] { ran.push_back("save"); };
    f.MenueMain[2].user_click();
    f.ParMenueMain[1].user_click();
    f.ParMenueMain[2].user_click();
    f.ParMenueMain[3].user_click();  // the separator
    f.MenueMain[1].user_click();     // opens the submenu only
    EXPECT_EQ(ran, (std::vector<std::string>{"about", "load", "save"}));
    EXPECT_FALSE(code->ended());
}

TEST_F(Menus, ClosingTheWindowUnloadsTheOthersAndEndsTheProgram) {
    std::vector<std::string> ran;
    // closing the status window after a write starts a read-out; it must not tick after the end
    code->unload_other_windows = [&] {
        ran.push_back("unload others");
        f.Timer6.set_enabled(true);
    };
    code->end_program = [&] { ran.push_back("end"); };
    f.Timer7.set_enabled(true);
    code->Form_Unload();
    EXPECT_EQ(ran, (std::vector<std::string>{"unload others", "end"}));
    EXPECT_FALSE(f.Timer7.enabled());
    EXPECT_FALSE(f.Timer6.enabled());
    EXPECT_TRUE(code->ended());
}

}  // namespace
}  // namespace plx::editor::testing

#include <gtest/gtest.h>

#include "controls/controls.h"

using namespace plx::controls;

TEST(EventRules, ProgramSetValueRaisesSameEventAsUser) {
    TextBox t;
    int changes = 0;
    t.on_change = [&] { ++changes; };
    t.set_text("12");
    t.user_edit("13");
    EXPECT_EQ(changes, 2);
    t.set_text("13");  // no change, no event
    EXPECT_EQ(changes, 2);

    CheckBox b;
    int clicks = 0;
    b.on_click = [&] { ++clicks; };
    b.set_value(1);
    b.user_toggle();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(b.value(), 0);

    ComboBox l;
    l.set_list({"a", "b"});
    int lclicks = 0;
    l.on_click = [&] { ++lclicks; };
    l.set_list_index(1);
    l.user_select(0);
    EXPECT_EQ(lclicks, 2);
}

TEST(EventRules, EventRunsInsideAssignmentAndNests) {
    // a list's Click sets a text whose Change sets the list again: one pass, then quiet
    ComboBox list;
    TextBox holder;
    list.set_list({"0", "1", "2"});
    std::vector<std::string> trace;
    list.on_click = [&] {
        trace.push_back("click");
        holder.set_text(std::to_string(list.list_index()));
    };
    holder.on_change = [&] {
        trace.push_back("change");
        list.set_list_index(std::stoi(holder.text()));
    };
    list.set_list_index(2);
    trace.push_back("after");
    EXPECT_EQ(trace, (std::vector<std::string>{"click", "change", "after"}));
    EXPECT_EQ(holder.text(), "2");
}

TEST(EventRules, DisabledWindowTakesNoUserInput) {
    Window w;
    TextBox t;
    CheckBox b;
    CommandButton cmd;
    t.set_window(&w);
    b.set_window(&w);
    cmd.set_window(&w);
    int clicks = 0;
    cmd.on_click = [&] { ++clicks; };
    w.set_enabled(false);
    t.user_type('5');
    b.user_toggle();
    cmd.user_click();
    EXPECT_EQ(t.text(), "");
    EXPECT_EQ(b.value(), 0);
    EXPECT_EQ(clicks, 0);
    // the program may still set values
    t.set_text("7");
    EXPECT_EQ(t.text(), "7");
    w.set_enabled(true);
    cmd.user_click();
    EXPECT_EQ(clicks, 1);
}

TEST(EventRules, KeyPressCanDiscardAndMaxLengthHolds) {
    TextBox t;
    t.set_max_length(3);
    t.on_key_press = [](int& key) {
        if ((key < '0' || key > '9') && key != 8) key = 0;
    };
    t.user_type_text("1a2b34");
    EXPECT_EQ(t.text(), "123");
    t.user_type(8);
    EXPECT_EQ(t.text(), "12");
}

TEST(EventRules, ObserverSeesEveryPropertyChange) {
    Label l;
    std::vector<Prop> seen;
    l.set_observer([&](Prop p) { seen.push_back(p); });
    l.set_caption("x");
    l.set_back_color(kRed);
    l.set_visible(false);
    l.set_top(100);
    EXPECT_EQ(seen, (std::vector<Prop>{Prop::Caption, Prop::BackColor, Prop::Visible, Prop::Top}));
}

TEST(EventRules, ListIndexOutsideListThrows) {
    ComboBox l;
    l.set_list({"a"});
    EXPECT_THROW(l.set_list_index(1), std::out_of_range);
    EXPECT_EQ(l.list_index(), -1);
}

#include "controls/controls.h"

namespace plx::controls {

namespace {
// Removes the last UTF-8 character of a text (Backspace).
void pop_utf8(std::string& s) {
    if (s.empty()) return;
    std::size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    s.erase(i);
}

std::size_t utf8_length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::string utf8_of(int code) {
    std::string out;
    auto cp = static_cast<unsigned>(code);
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}
}  // namespace

void Control::set_visible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    notify(Prop::Visible);
}

void Control::set_enabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    notify(Prop::Enabled);
}

void Control::set_tooltip(const std::string& t) {
    if (tooltip_ == t) return;
    tooltip_ = t;
    notify(Prop::Tooltip);
}

bool Control::accepts_input() const {
    return enabled_ && (window_ == nullptr || window_->enabled());
}

void Colored::set_fore_color(Color c) {
    if (fore_color_ == c) return;
    fore_color_ = c;
    notify(Prop::ForeColor);
}

void Colored::set_invalid(bool v) {
    if (invalid_ == v) return;
    invalid_ = v;
    notify(Prop::Invalid);
}

void TextBox::set_text(const std::string& t) {
    if (text_ == t) return;
    text_ = t;
    set_invalid(false);
    notify(Prop::Text);
    if (on_change) on_change();
}

int TextBox::user_key_press(int key) {
    if (!accepts_input()) return 0;
    const std::string before = text_;
    if (on_key_press) on_key_press(key);
    if (key != 0 && !text_before_edit_) text_before_edit_ = before;
    return key;
}

void TextBox::user_type(int key) {
    key = user_key_press(key);
    if (key == 0) return;
    std::string t = text_;
    if (key == 8) {
        pop_utf8(t);
    } else if (key >= 32 && key != 127) {
        if (max_length_ > 0 && utf8_length(t) >= static_cast<std::size_t>(max_length_)) return;
        t += utf8_of(key);
    } else {
        return;
    }
    set_text(t);
}

void TextBox::user_type_text(const std::string& utf8) {
    for (unsigned char c : utf8) user_type(c);
}

void TextBox::user_edit(const std::string& t) {
    if (!accepts_input()) return;
    if (!text_before_edit_) text_before_edit_ = text_;
    set_text(t);
}

void TextBox::user_lost_focus() {
    if (on_lost_focus) on_lost_focus();
    // the edit ends here; the next key begins a new one
    text_before_edit_.reset();
}

void ComboBox::set_list(std::vector<std::string> entries) {
    list_ = std::move(entries);
    if (list_index_ >= static_cast<int>(list_.size())) list_index_ = -1;
    notify(Prop::List);
}

void ComboBox::set_list_entry(int i, const std::string& text) {
    if (i < 0 || i >= list_count()) throw std::out_of_range(name + ": list entry " + std::to_string(i));
    if (list_[static_cast<std::size_t>(i)] == text) return;
    list_[static_cast<std::size_t>(i)] = text;
    notify(Prop::List);
}

void ComboBox::add_item(const std::string& text) {
    list_.push_back(text);
    notify(Prop::List);
}

void ComboBox::set_list_index(int i) {
    if (i < -1 || i >= list_count()) {
        throw std::out_of_range(name + "(" + std::to_string(index) + "): no list entry " + std::to_string(i));
    }
    if (list_index_ == i) return;
    list_index_ = i;
    set_invalid(false);
    notify(Prop::ListIndex);
    if (on_click) on_click();
}

std::string ComboBox::current_text() const {
    if (list_index_ < 0 || list_index_ >= list_count()) return {};
    return list_[static_cast<std::size_t>(list_index_)];
}

void ComboBox::user_select(int i) {
    if (!accepts_input()) return;
    if (i < 0 || i >= list_count()) return;
    set_list_index(i);
}

void CheckBox::set_value(int v) {
    if (value_ == v) return;
    value_ = v;
    notify(Prop::Value);
    if (on_click) on_click();
}

void CheckBox::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void CheckBox::user_toggle() {
    if (!accepts_input()) return;
    set_value(value_ == 1 ? 0 : 1);
}

void Label::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void Label::set_back_color(Color c) {
    if (back_color_ == c) return;
    back_color_ = c;
    notify(Prop::BackColor);
}

void Label::user_click() {
    if (!accepts_input()) return;
    if (on_click) on_click();
}

void Frame::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void CommandButton::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void CommandButton::user_click() {
    if (!accepts_input()) return;
    if (on_click) on_click();
}

void UpDown::set_min(double v) {
    if (min_ == v) return;
    min_ = v;
    notify(Prop::Min);
}

void UpDown::set_max(double v) {
    if (max_ == v) return;
    max_ = v;
    notify(Prop::Max);
}

void UpDown::user_up_click() {
    if (accepts_input() && on_up_click) on_up_click();
}
void UpDown::user_down_click() {
    if (accepts_input() && on_down_click) on_down_click();
}
void UpDown::user_mouse_down(int x, int y) {
    if (accepts_input() && on_mouse_down) on_mouse_down(x, y);
}
void UpDown::user_mouse_move(int x, int y) {
    if (accepts_input() && on_mouse_move) on_mouse_move(x, y);
}
void UpDown::user_mouse_up() {
    // A release always reaches the spinner so that auto-repeat can never stick.
    if (on_mouse_up) on_mouse_up();
}

void TabControl::set_tab_caption(int tab, const std::string& c) {
    if (tab < 0) return;
    if (tab >= static_cast<int>(captions_.size())) captions_.resize(static_cast<std::size_t>(tab) + 1);
    if (captions_[static_cast<std::size_t>(tab)] == c) return;
    captions_[static_cast<std::size_t>(tab)] = c;
    notify(Prop::Caption);
}

bool TabControl::tab_marked(int tab) const {
    return tab >= 0 && tab < static_cast<int>(marked_.size()) && marked_[static_cast<std::size_t>(tab)];
}

void TabControl::set_tab_marked(int tab, bool marked) {
    if (tab < 0 || tab_marked(tab) == marked) return;
    if (tab >= static_cast<int>(marked_.size())) marked_.resize(static_cast<std::size_t>(tab) + 1);
    marked_[static_cast<std::size_t>(tab)] = marked;
    notify(Prop::ForeColor);
}

void ProgressBar::set_value(int v) {
    if (v < min_ || v > max_) throw std::out_of_range(name + ": progress value " + std::to_string(v));
    set_int(value_, v, Prop::Value);
}

void MenuItem::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void MenuItem::user_click() {
    if (accepts_input() && on_click) on_click();
}

void Window::set_caption(const std::string& c) {
    if (caption_ == c) return;
    caption_ = c;
    notify(Prop::Caption);
}

void Window::set_back_color(Color c) {
    if (back_color_ == c) return;
    back_color_ = c;
    notify(Prop::BackColor);
}

}  // namespace plx::controls

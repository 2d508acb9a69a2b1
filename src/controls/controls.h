#pragma once
// Toolkit-neutral window controls. A control holds the properties the program uses and raises its
// events synchronously inside the assignment that changed it, the same way whether the program or
// the user made the change. One observer (the Qt view) is told of every property change; the view
// feeds user input back through the user_* entry points, which respect the enabled state of the
// control and of its window.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace plx::controls {

using Color = std::uint32_t;
// 255 is pure red in the platform's colour encoding; a value with the top bit set names a system colour.
inline constexpr Color kRed = 255;
inline constexpr Color kButtonText = 0x80000012;
inline constexpr Color kButtonFace = 0x8000000F;
// the system's colour for greyed text: a value no longer fresh
inline constexpr Color kGrayText = 0x80000011;
inline constexpr Color kWindowBackground = 0x80000005;

enum class Prop {
    Text,
    Caption,
    ForeColor,
    BackColor,
    Visible,
    Enabled,
    Value,
    List,
    ListIndex,
    Left,
    Top,
    Width,
    Height,
    Min,
    Max,
    MaxLength,
    Tooltip,
    Invalid,
};

class Window;

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    // Name and index as the behaviour names them, e.g. "txt_data_cfg" and 34.
    std::string name;
    int index = -1;

    bool visible() const { return visible_; }
    void set_visible(bool v);
    bool enabled() const { return enabled_; }
    void set_enabled(bool v);
    const std::string& tooltip() const { return tooltip_; }
    void set_tooltip(const std::string& t);

    // Geometry in twips, only meaningful where the behaviour places a control (lamps, pictures).
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void set_left(int v) { set_int(left_, v, Prop::Left); }
    void set_top(int v) { set_int(top_, v, Prop::Top); }
    void set_width(int v) { set_int(width_, v, Prop::Width); }
    void set_height(int v) { set_int(height_, v, Prop::Height); }

    void set_observer(std::function<void(Prop)> observer) { observer_ = std::move(observer); }
    void set_window(const Window* w) { window_ = w; }
    // True when a user's input may reach this control: it and its window are enabled.
    bool accepts_input() const;

protected:
    void notify(Prop p) const {
        if (observer_) observer_(p);
    }
    void set_int(int& field, int v, Prop p) {
        if (field == v) return;
        field = v;
        notify(p);
    }

private:
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::string tooltip_;
    std::function<void(Prop)> observer_;
    const Window* window_ = nullptr;
};

// Controls that carry a text colour; the pending-change mark is the text colour red (255).
class Colored : public Control {
public:
    Color fore_color() const { return fore_color_; }
    void set_fore_color(Color c);
    bool pending() const { return fore_color_ == kRed; }
    void set_pending(bool p) { set_fore_color(p ? kRed : kButtonText); }
    // The value shown cannot be sent (a loaded file gave it): drawn apart from the pending mark. A
    // new text or selection clears it.
    bool invalid() const { return invalid_; }
    void set_invalid(bool v);

private:
    Color fore_color_ = kButtonText;
    bool invalid_ = false;
};

class TextBox : public Colored {
public:
    const std::string& text() const { return text_; }
    // Raises Change when the text actually changes.
    void set_text(const std::string& t);
    int max_length() const { return max_length_; }  // 0: unlimited
    void set_max_length(int n) { set_int(max_length_, n, Prop::MaxLength); }

    std::function<void()> on_change;
    // The key handler may set the key to 0 to discard it.
    std::function<void(int& key)> on_key_press;
    std::function<void()> on_lost_focus;

    // User input. Returns the key after the KeyPress handler (0 = discarded).
    int user_key_press(int key);
    // A typed character or Backspace, as a simple editor applies it at the end of the text,
    // respecting the maximum length. Used by tests and by views that do not edit themselves.
    void user_type(int key);
    void user_type_text(const std::string& utf8);
    // A whole new text from the view's editor (already filtered key by key).
    void user_edit(const std::string& t);
    void user_lost_focus();

    // The text as it was when the user's current edit began (the first accepted key or edit since
    // the box last lost the focus); nothing while the user is not editing the box.
    const std::optional<std::string>& text_before_edit() const { return text_before_edit_; }
    // True when the user has changed the text since the edit began.
    bool edited_by_user() const { return text_before_edit_ && *text_before_edit_ != text_; }

private:
    std::string text_;
    int max_length_ = 0;
    std::optional<std::string> text_before_edit_;
};

class ComboBox : public Colored {
public:
    const std::vector<std::string>& list() const { return list_; }
    void set_list(std::vector<std::string> entries);
    void set_list_entry(int i, const std::string& text);
    void add_item(const std::string& text);
    int list_count() const { return static_cast<int>(list_.size()); }
    int list_index() const { return list_index_; }
    // Selecting an entry raises Click when the selection changes. An index outside the list
    // throws std::out_of_range, as the platform's list does.
    void set_list_index(int i);
    std::string current_text() const;

    std::function<void()> on_click;
    void user_select(int i);

private:
    std::vector<std::string> list_;
    int list_index_ = -1;
};

class CheckBox : public Colored {
public:
    int value() const { return value_; }  // 0 clear, 1 set, 2 undetermined
    // Raises Click when the value changes.
    void set_value(int v);
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);

    std::function<void()> on_click;
    void user_toggle();

private:
    int value_ = 0;
    std::string caption_;
};

class Label : public Colored {
public:
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);
    Color back_color() const { return back_color_; }
    void set_back_color(Color c);

    std::function<void()> on_click;
    void user_click();

private:
    std::string caption_;
    Color back_color_ = kButtonFace;
};

class Frame : public Control {
public:
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);

private:
    std::string caption_;
};

class Picture : public Control {};

class CommandButton : public Control {
public:
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);
    std::function<void()> on_click;
    void user_click();

private:
    std::string caption_;
};

class UpDown : public Control {
public:
    double min() const { return min_; }
    double max() const { return max_; }
    void set_min(double v);
    void set_max(double v);

    std::function<void()> on_up_click;
    std::function<void()> on_down_click;
    std::function<void(int x, int y)> on_mouse_down;
    std::function<void(int x, int y)> on_mouse_move;
    std::function<void()> on_mouse_up;

    void user_up_click();
    void user_down_click();
    void user_mouse_down(int x, int y);
    void user_mouse_move(int x, int y);
    void user_mouse_up();

private:
    double min_ = 0;
    double max_ = 10;
};

class TabControl : public Control {
public:
    const std::vector<std::string>& tab_captions() const { return captions_; }
    void set_tab_count(int n) { captions_.resize(static_cast<std::size_t>(n)); }
    void set_tab_caption(int tab, const std::string& c);
    int current_tab() const { return current_; }
    void set_current_tab(int t) { set_int(current_, t, Prop::Value); }
    // A tab that shows controls carrying the pending-change mark carries the mark on its caption.
    bool tab_marked(int tab) const;
    void set_tab_marked(int tab, bool marked);

private:
    std::vector<std::string> captions_;
    std::vector<bool> marked_;
    int current_ = 0;
};

class ProgressBar : public Control {
public:
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    void set_min(int v) { set_int(min_, v, Prop::Min); }
    void set_max(int v) { set_int(max_, v, Prop::Max); }
    void set_value(int v);

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

class MenuItem : public Control {
public:
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);
    bool separator() const { return caption_ == "-"; }
    std::function<void()> on_click;
    void user_click();

private:
    std::string caption_;
};

class Window : public Control {
public:
    const std::string& caption() const { return caption_; }
    void set_caption(const std::string& c);
    Color back_color() const { return back_color_; }
    void set_back_color(Color c);

private:
    std::string caption_;
    Color back_color_ = kWindowBackground;
};

// A control array: the elements exist exactly at the indices the window defines.
template <class T>
class ControlArray {
public:
    ControlArray() = default;
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    void create(const std::string& name, std::initializer_list<std::pair<int, int>> ranges) {
        for (auto [lo, hi] : ranges) {
            for (int i = lo; i <= hi; ++i) {
                auto& c = items_[i];
                c.name = name;
                c.index = i;
            }
        }
        name_ = name;
    }
    bool has(int i) const { return items_.count(i) != 0; }
    T& operator[](int i) {
        auto it = items_.find(i);
        if (it == items_.end()) throw std::out_of_range(name_ + "(" + std::to_string(i) + ") does not exist");
        return it->second;
    }
    const T& operator[](int i) const {
        auto it = items_.find(i);
        if (it == items_.end()) throw std::out_of_range(name_ + "(" + std::to_string(i) + ") does not exist");
        return it->second;
    }
    std::vector<int> indices() const {
        std::vector<int> out;
        for (const auto& [i, c] : items_) out.push_back(i);
        return out;
    }
    const std::string& name() const { return name_; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    std::size_t size() const { return items_.size(); }

private:
    std::string name_;
    std::map<int, T> items_;
};

}  // namespace plx::controls

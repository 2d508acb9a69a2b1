#include "editor/remembered.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "link/link.h"
#include "settings/registry.h"

namespace plx::editor {

namespace {

constexpr const char* kLink = "Link";
constexpr const char* kWindows = "Windows";
constexpr int kPortBox = 0;
constexpr int kBaudBox = 1;
constexpr int kModeBox = 5;
// no window is larger than this many pixels: a bigger number is no size a window had
constexpr int kLargestSide = 100000;

const char* place_name(Place p) {
    return p == Place::main_window ? "Main" : "Traffic";
}

// Selects the entry whose text is `text`; true when the selection changed (its handler ran).
bool select(controls::ComboBox& box, const std::string& text) {
    const auto& list = box.list();
    const auto it = std::find(list.begin(), list.end(), text);
    if (text.empty() || it == list.end()) return false;
    const int i = static_cast<int>(it - list.begin());
    if (box.list_index() == i) return false;
    box.set_list_index(i);
    return true;
}

std::optional<WindowRect> parse_rect(const std::string& text) {
    std::vector<int> numbers;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && numbers.size() < 5) {
        while (p < end && *p == ' ') ++p;
        int v = 0;
        const auto [next, ec] = std::from_chars(p, end, v);
        if (ec != std::errc()) return std::nullopt;
        numbers.push_back(v);
        p = next;
        while (p < end && *p == ' ') ++p;
        if (p < end && *p++ != ',') return std::nullopt;
    }
    if (numbers.size() != 4) return std::nullopt;
    const WindowRect r{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (r.width <= 0 || r.height <= 0 || r.width > kLargestSide || r.height > kLargestSide)
        return std::nullopt;
    if (std::abs(r.left) > kLargestSide || std::abs(r.top) > kLargestSide) return std::nullopt;
    return r;
}

}  // namespace

WindowRect fit_on_screen(WindowRect r, const WindowRect& screen) {
    r.width = std::min(r.width, screen.width);
    r.height = std::min(r.height, screen.height);
    r.left = std::clamp(r.left, screen.left, screen.left + screen.width - r.width);
    r.top = std::clamp(r.top, screen.top, screen.top + screen.height - r.height);
    return r;
}

WindowRect beside(const WindowRect& main, int width, int height, const WindowRect& screen) {
    const int w = std::min(width, screen.width);
    const int h = std::min(height, screen.height);
    const int right = screen.left + screen.width;
    const int bottom = screen.top + screen.height;
    const int level = std::clamp(main.top, screen.top, bottom - h);
    const int aligned = std::clamp(main.left, screen.left, right - w);
    if (main.left + main.width + w <= right) return {main.left + main.width, level, w, h};
    if (main.left - w >= screen.left) return {main.left - w, level, w, h};
    if (main.top + main.height + h <= bottom) return {aligned, main.top + main.height, w, h};
    if (main.top - h >= screen.top) return {aligned, main.top - h, w, h};
    return {right - w, bottom - h, w, h};
}

RememberedSettings::RememberedSettings(FrmConfig& f, settings::Store& store) : f_(f), store_(store) {}

std::string RememberedSettings::read(const char* group, const char* name) const {
    return settings::CRegistry(std::as_const(store_)).Werte(group, name);
}

void RememberedSettings::write(const char* group, const char* name, const std::string& value) {
    if (held_) return;
    // the file is written only for what changed: a click on the same entry writes nothing
    if (read(group, name) == value) return;
    (void)store_.write(settings::Root::user, QString::fromLatin1(group), QString::fromLatin1(name),
                       QString::fromStdString(value));
}

void RememberedSettings::restore_link(bool port_entry) {
    // the parity list has no handler of its own: the next run of the panel's handler takes it
    const bool parity = select(f_.cbParity, read(kLink, "Parity"));
    bool applied = port_entry && select(f_.Combo_Port[kPortBox], read(kLink, "Port"));
    applied = select(f_.Combo_Port[kBaudBox], read(kLink, "Baud")) || applied;
    applied = select(f_.Combo_Port[kModeBox], read(kLink, "Mode")) || applied;
    if (parity && !applied && f_.Combo_Port[kPortBox].on_click) f_.Combo_Port[kPortBox].on_click();
    const std::string address = read(kLink, "Address");
    if (link::slave_address(address)) f_.txt_Modbus_adress.set_text(address);
    follow_link(port_entry);
}

void RememberedSettings::follow_link(bool port_entry) {
    // each change writes its own value only: a setting chosen for one run (the command line) and not
    // touched since stays out of the file
    const auto after = [this](std::function<void()> handler, const char* name,
                              std::function<std::string()> value) {
        return [this, handler = std::move(handler), name, value = std::move(value)] {
            if (handler) handler();
            const std::string v = value();
            if (!v.empty()) write(kLink, name, v);
        };
    };
    const auto box = [this](int i) { return [this, i] { return f_.Combo_Port[i].current_text(); }; };
    if (port_entry)
        f_.Combo_Port[kPortBox].on_click =
            after(std::move(f_.Combo_Port[kPortBox].on_click), "Port", box(kPortBox));
    f_.Combo_Port[kBaudBox].on_click =
        after(std::move(f_.Combo_Port[kBaudBox].on_click), "Baud", box(kBaudBox));
    f_.Combo_Port[kModeBox].on_click =
        after(std::move(f_.Combo_Port[kModeBox].on_click), "Mode", box(kModeBox));
    f_.cbParity.on_click =
        after(std::move(f_.cbParity.on_click), "Parity", [this] { return f_.cbParity.current_text(); });
    // an address being typed ("2" on the way to "24") is kept once it is one
    f_.txt_Modbus_adress.on_change = after(std::move(f_.txt_Modbus_adress.on_change), "Address", [this] {
        const std::string& address = f_.txt_Modbus_adress.text();
        return link::slave_address(address) ? address : std::string();
    });
}

std::optional<WindowRect> RememberedSettings::place(Place p) const {
    return parse_rect(read(kWindows, place_name(p)));
}

void RememberedSettings::remember(Place p, const WindowRect& r) {
    write(kWindows, place_name(p),
          std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) + "," +
              std::to_string(r.height));
}

}  // namespace plx::editor

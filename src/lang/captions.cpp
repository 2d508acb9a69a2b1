#include "lang/captions.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "lang/texts.h"

namespace plx::lang {

namespace {

std::string button_name(int n) {
    return "T" + std::to_string(n);
}

// The window's design captions, in German.
const std::array<std::string, 60>& german_register_captions() {
    static const std::array<std::string, 60> captions = [] {
        std::array<std::string, 60> c;
        const auto put = [&](std::initializer_list<int> ks, const std::string& text) {
            for (int k : ks) c[static_cast<std::size_t>(k)] = text;
        };
        put({0}, "Gerätecodierung:");
        put({1}, "Firmwareversion:");
        put({2}, "Bedientasten:");
        put({3}, "Standortkennung:");
        put({4, 6}, "Ohne Tastbetätigung:");
        put({5, 7}, "Bei Tastbetätigung:");
        for (int n = 1; n <= 12; ++n) put({7 + n}, button_name(n) + ":");
        for (int n = 5; n <= 12; ++n) put({15 + n}, button_name(n) + "-LED:");
        put({28}, "Wochentag:");
        put({29}, "Datum:");
        put({30}, "Uhrzeit:");
        put({31}, "Uhrzeit-Modus:");
        put({32}, "Aktualisierungsintervall der Anzeige [s]:");
        put({33}, "Min-Response-Time [ms]:");
        put({34}, "Temperatur-Offset [K]:");
        // the blank padding lines the colons up under a proportional font, as the designer typed it
        put({35, 39}, "Oberer Verstellbereich         :");
        put({36, 40}, "Unterer Verstellbereich        :");
        put({37, 41}, "Auflösung                            :");
        put({38, 42}, "Basissollwert nach Reset       :");
        put({43, 47}, "Oberer Verstellbereich  [%]:");
        put({44, 48}, "Unterer Verstellbereich [%]:");
        put({45, 49}, "Auflösung [%]:");
        put({46, 50}, "Basissollwert nach Reset [%]:");
        put({51, 55}, "Oberer Verstellbereich:");
        put({52, 56}, "Unterer Verstellbereich:");
        put({53, 57}, "Auflösung:");
        put({54, 58}, "Basissollwert nach Reset:");
        put({59}, "Anzahl Lüfterstufen:");
        return c;
    }();
    return captions;
}

const std::array<std::string, 32>& german_bit_captions() {
    static const std::array<std::string, 32> captions{
        "Raumtemperatur:",
        "Außentemperatur:",
        "Externe Temperatur 1:",
        "Externe Temperatur 2:",
        "Externer Prozentwert 1:",
        "Externer Prozentwert 2:",
        "Externer Wert ohne Einheit 1:",
        "Externer Wert ohne Einheit 2:",
        "Sollwert Temperatur 1 Offset:",
        "Sollwert Temperatur 1 Effektiv:",
        "Sollwert Temperatur 2 Offset:",
        "Sollwert Temperatur 2 Effektiv:",
        "Sollwert Prozent 1 Offset:",
        "Sollwert Prozent 1 Effektiv:",
        "Sollwert Prozent 2 Offset:",
        "Sollwert Prozent 2 Effektiv:",
        "Sollwert Wert o. E. 1 Offset:",
        "Sollwert Wert o. E. 1 Effektiv:",
        "Sollwert Wert o. E. 2 Offset:",
        "Sollwert Wert o. E. 2 Effektiv:",
        "Anzeige Lüfterstufe nach Reset:",
        "Anzeige Raumbelegung nach Reset:",
        "Geräteaktivierung durch Tastendruck:",
        "Reserviert:",
        "Maßeinheit Temperatur:",
        "Anzeige Temperatur:",
        "Anzeige Wert ohne Einheit:",
        "Bei Sollwertverstellung:",
        "Bei Sollwertverstellung:",
        "Bei Sollwertverstellung:",
        "Reserviert:",
        "Reserviert:",
    };
    return captions;
}

// The English caption the main window's text table gives this label, or the German one where the
// window keeps it in both languages.
std::string english(const char* control, int index, const std::string& german) {
    for (const MainWindowText& row : main_window_texts()) {
        if (row.control == control && row.list_entry < 0 &&
            std::find(row.indices.begin(), row.indices.end(), index) != row.indices.end())
            return row.english;
    }
    return german;
}

}  // namespace

std::string cfg_register_caption(int k, const std::string& language_code) {
    if (k < 0 || k >= 60) return {};
    const std::string& german = german_register_captions()[static_cast<std::size_t>(k)];
    return is_english(language_code) ? english("lbl_cfg", k, german) : german;
}

std::string cfg_bit_caption(int j, const std::string& language_code) {
    if (j < 0 || j >= 32) return {};
    const std::string& german = german_bit_captions()[static_cast<std::size_t>(j)];
    return is_english(language_code) ? english("lbl_read_cfg_bit", j, german) : german;
}

std::string field_name(const std::string& caption) {
    std::string out;
    for (char ch : caption) {
        if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += ch;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':')) out.pop_back();
    return out;
}

}  // namespace plx::lang

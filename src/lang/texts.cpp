#include "lang/texts.h"

namespace plx::lang {

const std::vector<MainWindowText>& main_window_texts() {
    // control, indices, list entry, German, English
    static const std::vector<MainWindowText> rows = {
        {"read_out_parameter", {}, -1, "Abbrechen", "Cancel"},
        {"set_parameter", {}, -1, "Übernehmen", "Apply"},
        {"MenüMain", {1}, -1, "&Datei", "File"},
        {"MenüMain", {2}, -1, "&Über", "About"},
        {"MenüMain", {3}, -1, "&Hilfe", "Help"},
        {"ParMenüMain", {1}, -1, "&Parameter laden", "Load parameters"},
        {"ParMenüMain", {2}, -1, "&Parameter speichern", "Save parameters"},
        {"ParMenüMain", {4}, -1, "&Beenden", "Exit"},
        {"SSTab1", {0}, -1, "Allgemein", "General"},
        {"SSTab1", {1}, -1, "Anzeige", "Display"},
        {"SSTab1", {2}, -1, "Tasten", "Buttons"},
        {"SSTab1", {3}, -1, "Monitor", "Monitor"},
        {"SSTab1", {4}, -1, "LED / Symbole", "LED / Symbols"},
        {"SSTab1", {5}, -1, "Externe Messwerte", "External values"},
        {"SSTab1", {6}, -1, "Sollwert Temperatur", "Setpoint temperature"},
        {"SSTab1", {7}, -1, "Sollwert Prozent", "Setpoint percent"},
        {"SSTab1", {8}, -1, "Sollwert Wert o. E.", "Setpoint value"},
        {"frm_allg", {0}, -1, "Anzeige Datum und Uhrzeit", "Display date and time"},
        {"frm_allg", {1}, -1, "Allgemeine Einstellungen", "General settings"},
        {"frm_allg", {2}, -1, "Intensität Hintergrundbeleuchtung", "Intensity background illumination"},
        {"frm_Anzeige", {0}, -1, "Parameter", "Parameter"},
        {"frm_Anzeige", {1}, -1, "Externe Messwerte anzeigen", "External values"},
        {"frm_Anzeige", {2}, -1, "Sollwerte anzeigen", "Setpoints"},
        {"frm_button", {0}, -1, "Konfiguration der Tasten", "Button configuration"},
        {"frm_val", {0}, -1, "Tasten", "Buttons"},
        {"frm_val", {1}, -1, "Messwerte", "Values"},
        {"frm_extern", {0}, -1, "Tasten-LED", "LED"},
        {"frm_extern", {1}, -1, "Symbole", "Symbols"},
        {"frm_extern", {2}, -1, "Eingaberegister - Externe Temperatur", "Input register - External temperature"},
        {"frm_extern", {3}, -1, "Eingaberegister - Externer Prozentwert", "Input register - External percent values"},
        {"frm_extern", {4}, -1, "Eingaberegister - Externer Wert ohne Einheit", "Input register - External values without unit"},
        {"frm_soll", {0, 3, 6}, -1, "Anzeige ", "Display"},
        {"frm_soll", {1}, -1, "Sollwert Temperatur 1", "Setpoint temperature 1"},
        {"frm_soll", {2}, -1, "Sollwert Temperatur 2", "Setpoint temperature 2"},
        {"frm_soll", {4}, -1, "Sollwert Prozentwert 1", "Setpoint percent value 1"},
        {"frm_soll", {5}, -1, "Sollwert Prozentwert 2", "Setpoint percent value 2"},
        {"frm_soll", {7}, -1, "Sollwert Wert ohne Einheit 1", "Setpoint value without unit 1"},
        {"frm_soll", {8}, -1, "Sollwert Wert ohne Einheit 2", "Setpoint value without unit 2"},
        {"lbl_cfg", {0}, -1, "Gerätecodierung:", "Device coding:"},
        {"lbl_cfg", {1}, -1, "Firmwareversion:", "Firmware version:"},
        {"lbl_cfg", {2}, -1, "Bedientasten:", "Operating buttons:"},
        {"lbl_cfg", {3}, -1, "Standortkennung:", "Device location:"},
        {"lbl_cfg", {4, 6}, -1, "Ohne Tastbetätigung:", "Without button actuation:"},
        {"lbl_cfg", {5, 7}, -1, "Bei Tastbetätigung:", "With button actuation:"},
        {"lbl_cfg", {28}, -1, "Wochentag:", "Weekday:"},
        {"lbl_cfg", {29}, -1, "Datum:", "Date:"},
        {"lbl_cfg", {30}, -1, "Uhrzeit:", "Time:"},
        {"lbl_cfg", {31}, -1, "Uhrzeit-Modus:", "Time-mode:"},
        {"lbl_cfg", {32}, -1, "Aktualisierungsintervall der Anzeige [s]:", "Updating interval of display [s]:"},
        {"lbl_cfg", {34}, -1, "Temperatur-Offset [K]:", "Temperature-Offset:"},
        {"lbl_cfg", {35, 39}, -1, "Oberer Verstellbereich         :", "Upper adjustment range      :"},
        {"lbl_cfg", {36, 40}, -1, "Unterer Verstellbereich        :", "Lower adjustment range      :"},
        {"lbl_cfg", {37, 41}, -1, "Auflösung                            :", "Resolution                           :"},
        {"lbl_cfg", {38, 42}, -1, "Basissollwert nach Reset       :", "Basic setpoint after reset       :"},
        {"lbl_cfg", {43, 47}, -1, "Oberer Verstellbereich  [%]:", "Upper adjustment range [%]:"},
        {"lbl_cfg", {44, 48}, -1, "Unterer Verstellbereich [%]:", "Lower adjustment range [%]:"},
        {"lbl_cfg", {45, 49}, -1, "Auflösung [%]:", "Resolution [%]:"},
        {"lbl_cfg", {46, 50}, -1, "Basissollwert nach Reset [%]:", "Basic setpoint after reset [%]:"},
        {"lbl_cfg", {51, 55}, -1, "Oberer Verstellbereich:", "Upper adjustment range:"},
        {"lbl_cfg", {52, 56}, -1, "Unterer Verstellbereich:", "Lower adjustment range:"},
        {"lbl_cfg", {53, 57}, -1, "Auflösung:", "Resolution:"},
        {"lbl_cfg", {54, 58}, -1, "Basissollwert nach Reset:", "Basic setpoint after reset:"},
        {"lbl_cfg", {59}, -1, "Anzahl Lüfterstufen:", "Number of fan stages:"},
        {"lbl_read_out", {2}, -1, "Temperatur:", "Temperature:"},
        {"lbl_read_out", {3, 5, 7, 9, 11, 13}, -1, "Sollwert Offset:", "Setpoint offset:"},
        {"lbl_read_out", {4, 6, 8, 10, 12, 14}, -1, "Sollwert Effektiv:", "Setpoint effective:"},
        {"lbl_read_out", {15}, -1, "Lüfterstufe:", "Fan stage:"},
        {"lbl_read_out", {16}, -1, "Raumbelegung:", "Room occupancy:"},
        {"lbl_data_in", {7}, -1, "Aussentemperatur:", "Outdoor temperature:"},
        {"lbl_data_in", {8}, -1, "Externe Temperatur 1:", "External temperature 1:"},
        {"lbl_data_in", {9}, -1, "Externe Temperatur 2:", "External temperature 2:"},
        {"lbl_data_in", {10}, -1, "Externer Prozentwert 1:", "External percent value 1:"},
        {"lbl_data_in", {11}, -1, "Externer Prozentwert 2:", "External percent value 2:"},
        {"lbl_data_in", {12}, -1, "Externer Wert ohne Einheit 1:", "External value without unit 1:"},
        {"lbl_data_in", {13}, -1, "Externer Wert ohne Einheit 2:", "External value without unit 2:"},
        {"lbl_data_in", {14, 15, 16, 17, 18, 19}, -1, "Sollwert Offset:", "Setpoint offset:"},
        {"lbl_data_in", {20, 21, 22, 23, 24, 25}, -1, "Basissollwert:", "Basic setpoint:"},
        {"lbl_data_in", {26}, -1, "Lüfterstufe:", "Fan stage:"},
        {"lbl_data_in", {27}, -1, "Raumbelegung:", "Room occupancy:"},
        {"lbl_read_cfg_bit", {0}, -1, "Raumtemperatur:", "Room temperature (internal):"},
        {"lbl_read_cfg_bit", {1}, -1, "Außentemperatur:", "Outdoor temperature:"},
        {"lbl_read_cfg_bit", {2}, -1, "Externe Temperatur 1:", "External temperature 1:"},
        {"lbl_read_cfg_bit", {3}, -1, "Externe Temperatur 2:", "External temperature 2:"},
        {"lbl_read_cfg_bit", {4}, -1, "Externer Prozentwert 1:", "External percent 1:"},
        {"lbl_read_cfg_bit", {5}, -1, "Externer Prozentwert 2:", "External percent 2:"},
        {"lbl_read_cfg_bit", {6}, -1, "Externer Wert ohne Einheit 1:", "External value 1:"},
        {"lbl_read_cfg_bit", {7}, -1, "Externer Wert ohne Einheit 2:", "External value 2:"},
        {"lbl_read_cfg_bit", {8}, -1, "Sollwert Temperatur 1 Offset:", "Setpoint temperature 1 offset:"},
        {"lbl_read_cfg_bit", {9}, -1, "Sollwert Temperatur 1 Effektiv:", "Setpoint temperature 1 effective:"},
        {"lbl_read_cfg_bit", {10}, -1, "Sollwert Temperatur 2 Offset:", "Setpoint temperature 2 offset:"},
        {"lbl_read_cfg_bit", {11}, -1, "Sollwert Temperatur 2 Effektiv:", "Setpoint temperature 2 effective:"},
        {"lbl_read_cfg_bit", {12}, -1, "Sollwert Prozent 1 Offset:", "Setpoint percent 1 offset:"},
        {"lbl_read_cfg_bit", {13}, -1, "Sollwert Prozent 1 Effektiv:", "Setpoint percent 1 effective:"},
        {"lbl_read_cfg_bit", {14}, -1, "Sollwert Prozent 2 Offset:", "Setpoint percent 2 offset:"},
        {"lbl_read_cfg_bit", {15}, -1, "Sollwert Prozent 2 Effektiv:", "Setpoint percent 2 effective:"},
        {"lbl_read_cfg_bit", {16}, -1, "Sollwert Wert o. E. 1 Offset:", "Setpoint value 1 offset:"},
        {"lbl_read_cfg_bit", {17}, -1, "Sollwert Wert o. E. 1 Effektiv:", "Setpoint value 1 effective:"},
        {"lbl_read_cfg_bit", {18}, -1, "Sollwert Wert o. E. 2 Offset:", "Setpoint value 2 offset:"},
        {"lbl_read_cfg_bit", {19}, -1, "Sollwert Wert o. E. 2 Effektiv:", "Setpoint value 2 effective:"},
        {"lbl_read_cfg_bit", {20}, -1, "Anzeige Lüfterstufe nach Reset:", "Display fan speed after reset:"},
        {"lbl_read_cfg_bit", {21}, -1, "Anzeige Raumbelegung nach Reset:", "Display occupancy after reset:"},
        {"lbl_read_cfg_bit", {22}, -1, "Geräteaktivierung durch Tastendruck:", "Activate device by button:"},
        {"lbl_read_cfg_bit", {24}, -1, "Maßeinheit Temperatur:", "Measuring unit:"},
        {"lbl_read_cfg_bit", {25}, -1, "Anzeige Temperatur:", "Display temperature:"},
        {"lbl_read_cfg_bit", {26}, -1, "Anzeige Wert ohne Einheit:", "Display value without unit:"},
        {"lbl_read_cfg_bit", {27, 28, 29}, -1, "Bei Sollwertverstellung:", "With setpoint adjustment:"},
        {"lbl_read_in_bit", {8}, -1, "Störung:", "Fault:"},
        {"lbl_read_in_bit", {9}, -1, "Heizen:", "Heating:"},
        {"lbl_read_in_bit", {10}, -1, "Kühlen:", "Cooling:"},
        {"lbl_read_in_bit", {11}, -1, "Fenster:", "Window:"},
        {"lbl_read_in_bit", {12}, -1, "Tasten:", "Buttons:"},
        {"lbl_read_in_bit", {13}, -1, "Raumbelegung:", "Occupancy:"},
        {"lbl_read_in_bit", {14}, -1, "Lüfter:", "Fan speed:"},
        {"lbl_read_in_bit", {15}, -1, "Sollwert:", "Set point:"},
        {"lbl_desc", {31}, -1, "Funktion", "Function"},
        {"lbl_desc", {22}, -1, "Sperren", "Deactivate"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 0, "0x00, ohne Sonderfunktion", "0x00, Without special function"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 1, "0x01, Sollwert Temperatur 1 Plus", "0x01, Setpoint temperature 1 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 2, "0x02, Sollwert Temperatur 1 Minus", "0x02, Setpoint temperature 1 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 3, "0x03, Sollwert Temperatur 2 Plus", "0x03, Setpoint temperature 2 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 4, "0x04, Sollwert Temperatur 2 Minus", "0x04, Setpoint temperature 2 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 5, "0x05, Sollwert Prozent 1 Plus", "0x05, Setpoint percent 1 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 6, "0x06, Sollwert Prozent 1 Minus", "0x06, Setpoint percent 1 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 7, "0x07, Sollwert Prozent 2 Plus", "0x07, Setpoint percent 2 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 8, "0x08, Sollwert Prozent 2 Minus", "0x08, Setpoint percent 2 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 9, "0x09, Sollwert Wert 1 Plus", "0x09, Setpoint value 1 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 10, "0x0A, Sollwert Wert 1 Minus", "0x0A, Setpoint value 1 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 11, "0x0B, Sollwert Wert 2 Plus", "0x0B, Setpoint value 2 Plus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 12, "0x0C, Sollwert Wert 2 Minus", "0x0C, Setpoint value 2 Minus"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 13, "0x0D, Lüfterstufe Plus mit \"AUTO\"", "0x0D, Fan stage Plus with 'AUTO'"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 14, "0x0E, Lüfterstufe Minus mit \"AUTO\"", "0x0E, Fan stage Minus with 'AUTO'"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 15, "0x0F, Lüfterstufe Plus ohne \"AUTO\"", "0x0F, Fan stage Plus without 'AUTO'"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 16, "0x10, Lüfterstufe Minus ohne \"AUTO\"", "0x10, Fan stage Minus without 'AUTO'"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 17, "0x11, Lüfterstufe nur \"AUTO\"", "0x11, Fan stage only 'AUTO'"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 18, "0x12, Raum nicht belegt", "0x12, Room unoccupied"},
        {"cmb_cfg", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 19, "0x13, Raum belegt", "0x13, Room occupied"},
        {"cmb_cfg", {20, 21, 22, 23, 24, 25, 26, 27}, 0, "0x00, ohne Sonderfunktion / über Bit-Register ansteuerbar", "0x00, without special function / via Bit-Register"},
        {"cmb_cfg", {20, 21, 22, 23, 24, 25, 26, 27}, 1, "0x01, EIN Taste gedrückt / AUS Taste nicht gedrückt", "0x01, ON button pressed / OFF button not pressed"},
        {"cmb_cfg", {28}, 0, "0x00, ausblenden", "0x00, Fade out"},
        {"cmb_cfg", {28}, 1, "0x01, englisch", "0x01, English"},
        {"cmb_cfg", {28}, 2, "0x02, deutsch", "0x02, German"},
        {"cmb_cfg", {29}, 0, "0x00, ausblenden", "0x00, Fade out"},
        {"cmb_cfg", {29}, 1, "0x01, englisch (JJ.MM.TT)", "0x01, Englisch (YY.MM.DD)"},
        {"cmb_cfg", {29}, 2, "0x02, deutsch (TT.MM.JJ)", "0x02, German (DD.MM.YY)"},
        {"cmb_cfg", {30}, 0, "0x00, ausblenden", "0x00 , Fade out"},
        {"cmb_cfg", {30}, 1, "0x01, mit Sekunde", "0x01, With second"},
        {"cmb_cfg", {30}, 2, "0x02, ohne Sekunde", "0x02, Without second"},
        {"cmb_cfg", {31}, 0, "24-Stunden-Modus", "24-hours-mode"},
        {"cmb_cfg", {31}, 1, "12-Stunden-Modus", "12-hours-mode"},
        {"cmb_in", {26}, 0, "0x00, Aus", "0x00, Off"},
        {"cmb_in", {26}, 1, "0x01, 1. Stufe", "0x01, Stage 1"},
        {"cmb_in", {26}, 2, "0x02, 2. Stufe", "0x02, Stage 2"},
        {"cmb_in", {26}, 3, "0x03, 3. Stufe", "0x03, Stage 3"},
        {"cmb_in", {26}, 4, "0x04, Auto", "0x04, Auto"},
        {"cmb_in", {27}, 0, "0x00, Raum nicht belegt", "0x00, Room unoccupied"},
        {"cmb_in", {27}, 1, "0x01, Raum belegt", "0x01, Room occupied"},
        // the English entries stand in the German order of meaning: one position, one bit value
        {"cmb_bit_cfg", {25}, 0, "Ohne zehntel-Stelle", "Without decimal point"},
        {"cmb_bit_cfg", {25}, 1, "Mit zehntel-Stelle", "With decimal point"},
        {"cmb_bit_cfg", {26}, 0, "Komma ausblenden", "Fade out decimal point"},
        {"cmb_bit_cfg", {26}, 1, "Komma einblenden", "Fade in decimal point"},
        {"cmb_bit_cfg", {27}, 0, "Sollwert offset", "Setpoint offset"},
        {"cmb_bit_cfg", {27}, 1, "Sollwert effektiv", "Setpoint effective"},
        {"cmb_bit_cfg", {28}, 0, "Sollwert offset", "Setpoint offset"},
        {"cmb_bit_cfg", {28}, 1, "Sollwert effektiv", "Setpoint effective"},
        {"cmb_bit_cfg", {29}, 0, "Sollwert offset", "Setpoint offset"},
        {"cmb_bit_cfg", {29}, 1, "Sollwert effektiv", "Setpoint effective"},
        {"lbl_desc", {1}, -1, "Beschriftungsfeld:", "Labelling area:"},
        {"lbl_desc", {2}, -1, "Funktion der Tasten:", "Function button"},
        {"lbl_desc", {3}, -1, "Funktion der Tasten-LED:", "Function LED"},
        {"lbl_desc", {5}, -1, "Die Tasten-LEDs können nur bei entsprechender Konfiguration angesteuert werden: Im Reiter 'Tasten' muss die 'Funktion der Tasten-LED auf den Wert 'ohne Sonderfunktion' eingestellt werden.", "The button LEDs can only be controlled with a corresponding configuration: In the rider 'Button', the 'function of the button LED' must be set to the value 'without special function'!"},
        {"lbl_desc", {7}, -1, "Kommunikationsprobleme, bitte Einstellungen überprüfen!", "Communication problems, please check your settings!"},
        {"lbl_desc", {8, 9, 10, 11, 12, 13, 15}, -1, "Eingaberegister", "Input Register"},
        {"lbl_desc", {14}, -1, "LED", "LED"},
        {"lbl_desc", {16, 17, 18, 19, 20, 21, 23}, -1, "Ausgaberegister", "Output Register"},
        {"lbl_desc", {24, 25, 26, 27, 28, 29}, -1, "Konfigurationsregister", "Configuration Register"},
        {"lbl_desc", {30}, -1, "Ausgaberegister lesen:", "Poll Output Register:"},
        {"lbl_desc", {63}, -1, "Werte ohne Einheit werden ohne Komma übertragen!", "Values without unit are transferred without decimal point!"},
        {"lbl_desc", {64, 65}, -1, "Werte ohne Einheit werden ohne Komma übertragen und angezeigt!", "Values without unit are transferred without decimal point!"},
        {"lbl_desc", {67}, -1, "Eingaberegister", "Input register"},
        {"lbl_desc", {68}, -1, "Konfigurationsregister", "Configuration register"},
        {"lbl_desc", {69}, -1, "Tag         Monat       Jahr", "Day         Month       Year"},
        {"lbl_desc", {70}, -1, "Stunde    Minute     Sekunde", " Hour       Minute     Second"},
        {"lbl_desc", {71, 73}, -1, "Einschalten", "Switch on"},
        // the captions of the clock rows, which this program adds beside the clock fields
        {"lbl_desc", {4}, -1, "Datum:", "Date:"},
        {"lbl_desc", {6}, -1, "Uhrzeit:", "Time:"},
    };
    return rows;
}

const StatusWindowTexts& status_window_texts() {
    static const StatusWindowTexts texts{
        {"Status", "State"},
        {"Abbruch", "Cancel"},
        {"Warten ...", "Waiting ..."},
    };
    return texts;
}

const std::array<WindowText, kLangTextFilled>& lang_text_table() {
    static const std::array<WindowText, kLangTextFilled> table{{
        {"Aus", "Off"},
        {"1. Stufe", "Stage 1"},
        {"2. Stufe", "Stage 2"},
        {"3. Stufe", "Stage 3"},
        {"Auto", "Auto"},
        {"Raum nicht belegt", "Room unoccupied"},
        {"Raum belegt", "Room occupied"},
        {"Als Trennzeichen Semikolon ; verwenden!", "Use ; as seperator!"},
        {"Konfigurationsbit", "Configuration bit"},
        {"Baudrate: ", "Baud rate: "},
        {"Modus: ", "Mode: "},
        {"Parität: ", "Parity: "},
        {"Adresse: ", "Address: "},
    }};
    return table;
}

AboutTexts about_texts(const std::string& language_code) {
    if (is_english(language_code)) {
        return {"About", "Orvanto: Configuration software for PLX24-RS485-Modbus",
                "Orvanto Sensortechnik GmbH does not take over any liability for damages occurred by the "
                "operation of the software.",
                "© Orvanto Sensortechnik GmbH. All rights reserved."};
    }
    return {"Information", "Orvanto: Konfigurationssoftware für PLX24-RS485-Modbus",
            "Für Schäden die durch Verwendung dieser Software an Hard- oder Software entstehen wird keine "
            "Haftung übernommen.",
            "© Orvanto Sensortechnik GmbH. Alle Rechte vorbehalten."};
}

std::string message(Message id, const std::string& language_code) {
    const bool en = is_english(language_code);
    switch (id) {
        case Message::invalid_slave_address:
            return en ? "Invalid Modbus address %1: allowed are 1 to 247. Nothing was sent."
                      : "Ungültige Modbus-Adresse %1: erlaubt sind 1 bis 247. Es wurde nichts gesendet.";
        case Message::port_device_reason:
            return en ? "Device %1: %2" : "Gerät %1: %2";
        case Message::port_permission_hint:
            return en ? "This user may not use serial devices. On Linux add the user to the group dialout "
                        "(sudo usermod -aG dialout $USER) and log in again."
                      : "Dieser Benutzer darf serielle Geräte nicht verwenden. Unter Linux den Benutzer in "
                        "die Gruppe dialout aufnehmen (sudo usermod -aG dialout $USER) und neu anmelden.";
        case Message::port_busy:
            return en ? "%1 is in use by another program: %2. End it, or choose another port."
                      : "%1 wird von einem anderen Programm benutzt: %2. Dieses beenden oder einen anderen "
                        "Port wählen.";
        case Message::port_busy_unknown:
            return en ? "%1 is in use by another program. End it, or choose another port."
                      : "%1 wird von einem anderen Programm benutzt. Dieses beenden oder einen anderen Port "
                        "wählen.";
        case Message::port_gone:
            return en ? "%1 is not there: is the USB-RS485 adapter plugged in? Otherwise choose another port."
                      : "%1 ist nicht vorhanden: Ist der USB-RS485-Adapter eingesteckt? Sonst einen anderen "
                        "Port wählen.";
        case Message::no_port_selected:
            return en ? "No COM port selected." : "Kein COM-Port ausgewählt.";
        case Message::port_not_open:
            return en ? "Port is not open" : "Port ist nicht geöffnet";
        case Message::network_entry:
            return en ? "Network…" : "Netzwerk…";
        case Message::network_title:
            return en ? "Network gateway" : "Netzwerk-Gateway";
        case Message::network_kind:
            return en ? "Kind" : "Art";
        case Message::network_host:
            return en ? "Host" : "Host";
        case Message::network_port:
            return en ? "Port" : "Port";
        case Message::network_kind_tcp:
            return en ? "Modbus TCP (the gateway converts)" : "Modbus TCP (das Gateway wandelt um)";
        case Message::network_kind_rtu:
            return en ? "RTU over TCP (the gateway passes the frames through)"
                      : "RTU über TCP (das Gateway reicht die Rahmen durch)";
        case Message::network_kind_ascii:
            return en ? "ASCII over TCP (the gateway passes the frames through)"
                      : "ASCII über TCP (das Gateway reicht die Rahmen durch)";
        case Message::network_hint:
            return en ? "Modbus TCP: the unit's address goes as the unit id, usually to port 502. RTU over TCP: "
                        "the frames travel as on the line, with their check sum; the gateway's own settings "
                        "(baud rate, parity) must match the units."
                      : "Modbus TCP: die Adresse des Geräts geht als Unit-ID, meist an Port 502. RTU über TCP: "
                        "die Rahmen gehen wie auf der Leitung, mit Prüfsumme; die Einstellungen des Gateways "
                        "(Baudrate, Parität) müssen zu den Geräten passen.";
        case Message::network_bad_host:
            return en ? "The host is a name or an address, without blanks, \"/\" or a port."
                      : "Der Host ist ein Name oder eine Adresse, ohne Leerzeichen, \"/\" oder Port.";
        case Message::network_not_kept:
            return en ? "The gateway %1 could not be kept in the user settings." : "Das Gateway %1 konnte nicht in den Benutzereinstellungen gespeichert werden.";
        case Message::no_gateway_set:
            return en ? "No gateway set: choose \"Network…\" and enter its kind, host and port."
                      : "Kein Gateway eingestellt: \"Netzwerk…\" wählen und Art, Host und Port eingeben.";
        case Message::demo_caption_suffix:
            return en ? " – Demo: simulated unit" : " – Demo: simulierte Einheit";
        case Message::parameter_file_not_read:
            return en ? "The parameter file %1 could not be read: %2. Nothing was changed."
                      : "Die Parameterdatei %1 konnte nicht gelesen werden: %2. Es wurde nichts geändert.";
        case Message::parameter_file_not_written:
            return en ? "The parameter file %1 could not be written: %2. An existing file of that name is "
                        "unchanged."
                      : "Die Parameterdatei %1 konnte nicht geschrieben werden: %2. Eine vorhandene Datei "
                        "dieses Namens ist unverändert.";
        case Message::parameter_file_bad_line:
            return en ? "Line %1 (%2): no valid value; its field is unchanged."
                      : "Zeile %1 (%2): kein gültiger Wert; das Feld ist unverändert.";
        case Message::parameter_file_lines_skipped:
            return en ? "Parameter file %1:" : "Parameterdatei %1:";
        case Message::parameter_file_unsendable_line:
            return en ? "Line %1 (%2): the value \"%3\" cannot be sent; its field is marked, please correct "
                        "it."
                      : "Zeile %1 (%2): der Wert \"%3\" kann nicht gesendet werden; das Feld ist markiert, "
                        "bitte korrigieren.";
        case Message::parameter_file_saved:
            return en ? "Parameters saved to %1: %2 registers, %3 configuration bits (%4)."
                      : "Parameter in %1 gespeichert: %2 Register, %3 Konfigurationsbits (%4).";
        case Message::parameter_file_loaded:
            return en ? "Parameters loaded from %1: %2 {line|lines} taken, %3 {field|fields} changed; Apply "
                        "sends them (%4)."
                      : "Parameter aus %1 geladen: %2 {Zeile|Zeilen} übernommen, %3 {Feld|Felder} geändert; "
                        "„Übernehmen“ sendet sie (%4).";
        case Message::parameter_file_loaded_unsendable:
            return en ? " Cannot be sent, please correct: line %1."
                      : " Nicht sendbar, bitte korrigieren: Zeile %1.";
        case Message::parameter_file_more_lines:
            return en ? "(%1 more {line|lines} like these)"
                      : "(%1 {weitere solche Zeile|weitere solche Zeilen})";
        case Message::parameter_file_short:
            return en ? "The parameter file %1 ends after line %2 of %3: %4 of its %5 lines with values were "
                        "loaded, the fields of the others are unchanged."
                      : "Die Parameterdatei %1 endet nach Zeile %2 von %3: %4 ihrer %5 Zeilen mit Werten "
                        "wurden geladen, die Felder der übrigen sind unverändert.";
        case Message::parameter_file_refused:
            return en ? "%1 is not a parameter file (%2). Nothing was loaded."
                      : "%1 ist keine Parameterdatei (%2). Es wurde nichts geladen.";
        case Message::parameter_file_too_large:
            return en ? "it is larger than %1" : "sie ist größer als %1";
        case Message::parameter_file_line_too_long:
            return en ? "line %1 is longer than %2 characters" : "Zeile %1 ist länger als %2 Zeichen";
        case Message::parameter_file_binary:
            return en ? "line %1 holds binary data: a NUL byte or a control character"
                      : "Zeile %1 enthält Binärdaten: ein NUL-Byte oder ein Steuerzeichen";
        case Message::parameter_file_shape:
            return en ? "line %1 does not read \"%2 ;…;…\"" : "Zeile %1 lautet nicht \"%2 ;…;…\"";
        case Message::parameter_file_unencodable:
            return en ? "The parameter file %1 was not written: line %2 holds the character %3, which a "
                        "parameter file (Windows-1252) cannot hold. An existing file of that name is "
                        "unchanged."
                      : "Die Parameterdatei %1 wurde nicht geschrieben: Zeile %2 enthält das Zeichen %3, das "
                        "eine Parameterdatei (Windows-1252) nicht aufnehmen kann. Eine vorhandene Datei "
                        "dieses Namens ist unverändert.";
        case Message::value_not_sendable:
            return en ? "The value \"%1\" in %2 cannot be sent. Please correct it."
                      : "Der Wert \"%1\" in %2 kann nicht gesendet werden. Bitte korrigieren.";
        case Message::value_missing:
            return en ? "There is no value in %1, so nothing can be sent. Please enter a value."
                      : "In %1 steht kein Wert, daher kann nichts gesendet werden. Bitte einen Wert eintragen.";
        case Message::cfg_register_field:
            return en ? "configuration register %1" : "Konfigurationsregister %1";
        case Message::input_register_field:
            return en ? "input register %1" : "Eingangsregister %1";
        case Message::port_not_present:
            return en ? "not present" : "nicht angeschlossen";
        case Message::port_assign_button:
            return en ? "Assign port…" : "Port zuordnen…";
        case Message::port_assign_title:
            return en ? "Assign port" : "Port zuordnen";
        case Message::port_assign_intro:
            return en ? "Serial ports of this computer. Choose one, or type a device path, and the COM entry "
                        "it is to stand for; the choice is kept in your settings and used at once."
                      : "Serielle Schnittstellen dieses Rechners. Wählen Sie eine aus oder geben Sie einen "
                        "Gerätepfad ein, und den COM-Eintrag, für den sie stehen soll; die Wahl wird in "
                        "Ihren Einstellungen gespeichert und gilt sofort.";
        case Message::port_assign_none:
            return en ? "No serial port was found. Connect the USB-RS485 adapter and open this dialog again, "
                        "or type a device path below."
                      : "Es wurde keine serielle Schnittstelle gefunden. Schließen Sie den USB-RS485-Adapter "
                        "an und öffnen Sie diesen Dialog erneut, oder geben Sie unten einen Gerätepfad ein.";
        case Message::port_assign_entry:
            return en ? "COM entry:" : "COM-Eintrag:";
        case Message::port_column_device:
            return en ? "Device" : "Gerät";
        case Message::port_column_by_id:
            return en ? "Name in /dev/serial/by-id" : "Name unter /dev/serial/by-id";
        case Message::port_column_description:
            return en ? "Description" : "Beschreibung";
        case Message::port_column_entries:
            return en ? "Entry" : "Eintrag";
        case Message::port_assign_path:
            return en ? "Or a device path:" : "Oder ein Gerätepfad:";
        case Message::port_assign_path_missing:
            return en ? "%1 does not exist." : "%1 gibt es nicht.";
        case Message::port_assign_path_not_device:
            return en ? "%1 is no device (a serial port is a character device below /dev)."
                      : "%1 ist kein Gerät (eine serielle Schnittstelle ist ein Zeichengerät unter /dev).";
        case Message::port_assign_failed:
            return en ? "%1 could not be assigned to %2: the settings file %3 cannot be written."
                      : "%1 konnte nicht %2 zugeordnet werden: die Einstellungsdatei %3 kann nicht "
                        "geschrieben werden.";
        case Message::help_missing:
            return en ? "The register description was not found:\n%1"
                      : "Die Registerbeschreibung wurde nicht gefunden:\n%1";
        case Message::help_not_opened:
            return en ? "The register description %1 could not be opened. Is a PDF viewer installed?"
                      : "Die Registerbeschreibung %1 konnte nicht geöffnet werden. Ist ein "
                        "PDF-Anzeigeprogramm installiert?";
        case Message::help_title:
            return en ? "Help: register description" : "Hilfe: Registerbeschreibung";
        case Message::help_contents:
            return en ? "Contents" : "Inhalt";
        case Message::help_previous_page:
            return en ? "Previous page" : "Vorige Seite";
        case Message::help_next_page:
            return en ? "Next page" : "Nächste Seite";
        case Message::help_page_of:
            return en ? "Page %1 of %2" : "Seite %1 von %2";
        case Message::help_zoom_in:
            return en ? "Zoom in" : "Vergrößern";
        case Message::help_zoom_out:
            return en ? "Zoom out" : "Verkleinern";
        case Message::help_fit_width:
            return en ? "Page width" : "Seitenbreite";
        case Message::help_search:
            return en ? "Search:" : "Suchen:";
        case Message::help_found:
            return en ? "%1 found" : "%1 Treffer";
        case Message::help_not_found:
            return en ? "not found" : "nicht gefunden";
        case Message::help_open_external:
            return en ? "Open in PDF viewer" : "Im PDF-Programm öffnen";
        case Message::help_not_shown:
            return en ? "The register description %1 cannot be shown: %2"
                      : "Die Registerbeschreibung %1 kann nicht angezeigt werden: %2";
        case Message::named_field:
            return "%1 (%2)";
        case Message::value_out_of_range:
            return en ? "%1: %2. %3 was not taken; the previous value is back."
                      : "%1: %2. %3 wurde nicht übernommen, der vorige Wert gilt wieder.";
        case Message::discard_edits_question:
            return en ? "Some changes (marked red) have not been sent to the unit. Discard them and exit?"
                      : "Einige Änderungen (rot markiert) wurden nicht an das Gerät übertragen. "
                        "Verwerfen und beenden?";
        case Message::read_out_discard_question:
            return en ? "Some changes (marked red) have not been sent to the unit. Read everything from the "
                        "unit again and discard them?"
                      : "Einige Änderungen (rot markiert) wurden nicht an das Gerät übertragen. Alles neu "
                        "vom Gerät lesen und sie verwerfen?";
        case Message::discard_button:
            return en ? "Discard" : "Verwerfen";
        case Message::cancel_button:
            return en ? "Cancel" : "Abbrechen";
        case Message::bus_scan_menu:
            return en ? "Scan bus…" : "Bus durchsuchen…";
        case Message::bus_scan_title:
            return en ? "Scan bus" : "Bus durchsuchen";
        case Message::bus_scan_port:
            return en ? "Units on %1 (%2)" : "Geräte an %1 (%2)";
        case Message::bus_scan_bauds:
            return en ? "Baud rates:" : "Baudraten:";
        case Message::bus_scan_parities:
            return en ? "Parities:" : "Paritäten:";
        case Message::bus_scan_modes:
            return en ? "Modes:" : "Modi:";
        case Message::bus_scan_addresses:
            return en ? "Addresses:" : "Adressen:";
        case Message::bus_scan_start:
            return en ? "Scan" : "Suchen";
        case Message::bus_scan_open:
            return en ? "Open" : "Öffnen";
        case Message::bus_scan_close:
            return en ? "Close" : "Schließen";
        case Message::bus_scan_column_address:
            return en ? "Address" : "Adresse";
        case Message::bus_scan_column_line:
            return en ? "Line" : "Leitung";
        case Message::bus_scan_column_coding:
            return en ? "Device coding" : "Gerätecodierung";
        case Message::bus_scan_column_firmware:
            return en ? "Firmware" : "Firmware";
        case Message::bus_scan_column_variant:
            return en ? "Variant" : "Variante";
        case Message::bus_scan_buttons:
            return en ? "%1 buttons" : "%1 Tasten";
        case Message::bus_scan_slow:
            return en ? "answers late" : "antwortet spät";
        case Message::bus_scan_refused:
            return en ? "answers, but refuses registers 0..2: exception %1 (%2)"
                      : "antwortet, verweigert aber Register 0..2: Ausnahme %1 (%2)";
        case Message::bus_scan_probing:
            return en ? "Address %1 at %2 – %3 found so far" : "Adresse %1 bei %2 – bisher %3 gefunden";
        case Message::bus_scan_found:
            return en ? "%1 {unit|units} found. Choose one and open it."
                      : "%1 {Gerät|Geräte} gefunden. Eines wählen und öffnen.";
        case Message::bus_scan_none:
            return en ? "No unit answered. Check the cabling, the settings chosen and the units' power."
                      : "Kein Gerät hat geantwortet. Verkabelung, gewählte Einstellungen und Stromversorgung "
                        "prüfen.";
        case Message::bus_scan_cancelled:
            return en ? "Cancelled: %1 {unit|units} found." : "Abgebrochen: %1 {Gerät|Geräte} gefunden.";
        case Message::bus_scan_nothing_chosen:
            return en ? "Choose at least one baud rate, parity and mode, and addresses from 1 to 247."
                      : "Mindestens eine Baudrate, Parität und einen Modus wählen, und Adressen von 1 bis "
                        "247.";
        case Message::bus_scan_port_failed:
            return en ? "%1 could not be opened: %2" : "%1 konnte nicht geöffnet werden: %2";
        case Message::bus_scan_discard_question:
            return en ? "Some changes (marked red) have not been sent to the unit. Opening unit %1 reads it "
                        "out "
                        "and discards them. Open it?"
                      : "Einige Änderungen (rot markiert) wurden nicht an das Gerät übertragen. Das Öffnen "
                        "von "
                        "Gerät %1 liest es aus und verwirft sie. Öffnen?";
        case Message::port_vanished:
            return en ? "The serial adapter %1 (%2) has gone; the port was closed.\n"
                        "Plug the adapter in again and choose \"open\"; unsent changes are kept.\n"
                        "(The system said: %3)"
                      : "Der Schnittstellenadapter %1 (%2) ist nicht mehr da; der Port wurde geschlossen.\n"
                        "Adapter wieder anschließen und „open“ wählen; nicht gesendete Änderungen bleiben.\n"
                        "(Meldung des Systems: %3)";
        case Message::port_vanished_short:
            return en ? "The adapter on %2 has gone: port closed."
                      : "Adapter an %2 nicht mehr da: Port geschlossen.";
        case Message::parameter_file_incomplete_question:
            return en ? "The last read-out is incomplete: %1 were not read. Save anyway?"
                      : "Die letzte Auslesung ist unvollständig: %1 wurden nicht gelesen. "
                        "Trotzdem speichern?";
        case Message::unread_registers:
            return en ? "registers %1..%2" : "Register %1..%2";
        case Message::unread_cfg_bits:
            return en ? "the configuration bits" : "die Konfigurationsbits";
        case Message::unread_both:
            return en ? "%1 and %2" : "%1 und %2";
        case Message::save_button:
            return en ? "Save" : "Speichern";
    }
    return {};
}

std::string exception_meaning(int code, const std::string& language_code) {
    const bool en = is_english(language_code);
    switch (code) {
        case 0x01:
            return en ? "illegal function" : "unzulässige Funktion";
        case 0x02:
            return en ? "illegal data address" : "unzulässige Datenadresse";
        case 0x03:
            return en ? "illegal data value" : "unzulässiger Datenwert";
        case 0x04:
            return en ? "slave device failure" : "Gerätefehler";
        case 0x05:
            return en ? "acknowledge" : "Bestätigung, Bearbeitung läuft";
        case 0x06:
            return en ? "slave device busy" : "Gerät beschäftigt";
        case 0x08:
            return en ? "memory parity error" : "Speicher-Paritätsfehler";
        case 0x0A:
            return en ? "gateway path unavailable" : "Gateway-Pfad nicht verfügbar";
        case 0x0B:
            return en ? "gateway target device failed to respond" : "Gateway-Zielgerät antwortet nicht";
        default:
            return {};
    }
}

std::string message(Message id, const std::string& language_code, const std::vector<std::string>& args) {
    return substitute(message(id, language_code), args);
}

std::string substitute(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(pattern.size());
    // the argument placed last: a choice "{one|many}" after it follows its number
    const std::string* counted = nullptr;
    // one pass, so an argument that itself contains "%2" is never expanded again
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char ch = pattern[i];
        if (ch == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                counted = &args[n];
                ++i;
                continue;
            }
        }
        if (ch == '{' && counted != nullptr) {
            const std::size_t bar = pattern.find('|', i);
            const std::size_t end = pattern.find('}', i);
            if (bar != std::string::npos && end != std::string::npos && bar < end) {
                // "1 Antwort", "2 Antworten": the singular for exactly one
                out += *counted == "1" ? pattern.substr(i + 1, bar - i - 1)
                                       : pattern.substr(bar + 1, end - bar - 1);
                i = end;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

}  // namespace plx::lang

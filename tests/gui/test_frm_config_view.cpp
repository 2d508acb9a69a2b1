// The real main window, offscreen: it builds with all nine tabs, every control array has a widget
// at exactly its indices, the design texts and initial state show, and the binding works both ways.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <memory>
#include <set>

#include "form/frm_config.h"
#include "gui/binders.h"
#include "gui/frm_config_view.h"
#include "qt_test_app.h"

namespace plx::gui {
namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        form = std::make_unique<FrmConfig>();
        view = std::make_unique<FrmConfigView>(*form);
        view->show();
        QApplication::processEvents();
    }
    template <class W = QWidget>
    W* widget(const char* name) {
        return view->findChild<W*>(QString::fromUtf8(name));
    }

    std::unique_ptr<FrmConfig> form;
    std::unique_ptr<FrmConfigView> view;
};

std::set<int> range(int lo, int hi) {
    std::set<int> s;
    for (int i = lo; i <= hi; ++i) s.insert(i);
    return s;
}
std::set<int> join(std::initializer_list<std::set<int>> parts) {
    std::set<int> s;
    for (const auto& p : parts) s.insert(p.begin(), p.end());
    return s;
}

// The indices the window's design gives each control array.
const std::map<std::string, std::set<int>>& expected_arrays() {
    static const std::map<std::string, std::set<int>> arrays = {
        {"txt_data_cfg", range(0, 59)},
        {"lbl_cfg", range(0, 59)},
        {"cmb_cfg", join({{2}, range(8, 31), {59}})},
        {"UpD_txt_cfg", join({range(3, 7), range(32, 58)})},
        {"lbl_cfg_val", {0, 1}},
        {"chk_cfg", range(0, 31)},
        {"lbl_read_cfg_bit", range(0, 31)},
        {"cmb_bit_cfg", range(24, 29)},
        {"chk_input", range(0, 15)},
        {"lbl_read_in_bit", range(0, 15)},
        {"txt_data_in", range(0, 27)},
        {"lbl_data_in", range(7, 27)},
        {"cmb_in", {26, 27}},
        {"txt_data_out", range(0, 16)},
        {"lbl_read_out", range(0, 16)},
        {"lbl_in_val", {15, 16}},
        {"Lbl_button", range(0, 11)},
        {"lbl_temp", {0, 1}},
        {"lbl_desc", join({range(0, 31), range(33, 65), range(67, 73)})},
        {"Image2T", range(0, 2)},
        {"Image4T", range(0, 2)},
        {"Image8T", range(0, 2)},
        {"Image12T", range(0, 2)},
        {"frm_2T", {0, 1}},
        {"frm_4T", range(0, 2)},
        {"frm_8T", range(0, 4)},
        {"frm_allg", range(0, 2)},
        {"frm_Anzeige", range(0, 2)},
        {"frm_button", {0}},
        {"frm_val", {0, 1}},
        {"frm_extern", range(0, 4)},
        {"frm_soll", range(0, 8)},
        {"Combo_Port", {0, 1, 5, 6}},
        {"lbl_parameter", {0, 1, 5, 6}},
        {"MenüMain", range(1, 3)},
        {"ParMenüMain", range(1, 4)},
    };
    return arrays;
}

TEST_F(ViewTest, NineTabsWithTheirDesignCaptions) {
    const QStringList expected = {
        QStringLiteral("Allgemein"),         QStringLiteral("Anzeige"),
        QStringLiteral("Tasten"),            QStringLiteral("Monitor"),
        QStringLiteral("LED / Symbole"),     QStringLiteral("Externe Messwerte"),
        QStringLiteral("Sollwert Temperatur"), QStringLiteral("Sollwert Prozent"),
        QStringLiteral("Sollwert Wert o. E."),
    };
    ASSERT_EQ(view->tabs()->count(), 9);
    for (int t = 0; t < 9; ++t) EXPECT_EQ(view->tabs()->tabText(t), expected[t]) << "tab " << t;
}

TEST_F(ViewTest, EveryControlArrayHasAWidgetAtExactlyItsIndices) {
    const QRegularExpression element(QStringLiteral(R"(^(.+)\((\d+)\)$)"));
    std::map<std::string, std::multiset<int>> found;
    for (QObject* o : view->findChildren<QObject*>()) {
        const auto m = element.match(o->objectName());
        if (m.hasMatch()) found[m.captured(1).toStdString()].insert(m.captured(2).toInt());
    }
    for (const auto& [name, indices] : expected_arrays()) {
        const std::multiset<int> want(indices.begin(), indices.end());
        EXPECT_EQ(found[name], want) << name;
    }
}

TEST_F(ViewTest, TheControlSetHasExactlyTheDesignIndices) {
    auto check = [](const auto& array) {
        const auto idx = array.indices();
        EXPECT_EQ(std::set<int>(idx.begin(), idx.end()), expected_arrays().at(array.name())) << array.name();
    };
    check(form->txt_data_cfg);
    check(form->cmb_cfg);
    check(form->UpD_txt_cfg);
    check(form->lbl_desc);
    check(form->lbl_data_in);
    check(form->frm_soll);
    check(form->MenueMain);
}

TEST_F(ViewTest, HiddenHoldersAreHiddenAndTheirVisibleControlsShown) {
    const std::vector<std::string> hidden = [] {
        std::vector<std::string> v = {"txt_data_cfg(0)", "txt_data_cfg(1)", "txt_data_cfg(2)", "txt_data_cfg(59)",
                                      "txt_data_in(6)",  "txt_data_in(26)", "txt_data_in(27)", "txt_data_out(0)",
                                      "txt_data_out(1)", "txt_data_out(15)", "txt_data_out(16)", "lbl_read_out(0)",
                                      "lbl_read_out(1)", "chk_cfg(23)",     "chk_cfg(30)",     "chk_cfg(31)",
                                      "lbl_read_cfg_bit(23)", "lbl_read_cfg_bit(30)", "lbl_read_cfg_bit(31)"};
        for (int k = 8; k <= 31; ++k) v.push_back("txt_data_cfg(" + std::to_string(k) + ")");
        for (int j = 24; j <= 29; ++j) v.push_back("chk_cfg(" + std::to_string(j) + ")");
        for (int k = 20; k <= 27; ++k) v.push_back("lbl_cfg(" + std::to_string(k) + ")");
        return v;
    }();
    for (const auto& n : hidden) {
        QWidget* w = widget(n.c_str());
        ASSERT_NE(w, nullptr) << n;
        EXPECT_TRUE(w->isHidden()) << n;
    }
    for (const char* n : {"lbl_cfg_val(0)", "lbl_cfg_val(1)", "cmb_cfg(2)", "cmb_cfg(59)", "cmb_bit_cfg(24)",
                          "cmb_in(26)", "lbl_in_val(15)", "txt_data_cfg(3)", "chk_cfg(22)", "txt_data_out(2)"}) {
        EXPECT_FALSE(widget(n)->isHidden()) << n;
    }
}

TEST_F(ViewTest, InitialStateShowsOnlyThe12ButtonMonitorPictureAndAllLamps) {
    for (const char* n : {"Image12T(0)"}) EXPECT_FALSE(widget(n)->isHidden()) << n;
    for (const char* n : {"Image2T(0)", "Image4T(0)", "Image8T(0)", "Image12T(1)", "Image12T(2)", "Image2T(1)"}) {
        EXPECT_TRUE(widget(n)->isHidden()) << n;
    }
    for (int n = 0; n < 12; ++n) {
        const std::string name = "Lbl_button(" + std::to_string(n) + ")";
        EXPECT_FALSE(widget(name.c_str())->isHidden()) << name;
    }
    EXPECT_TRUE(widget("lbl_desc(7)")->isHidden());
}

TEST_F(ViewTest, LampsSitOnTheMonitorPictureAtTheirTwipsGeometry) {
    // 15 twips per pixel: top 1920, lefts 540 / 855 / 1215 / 1530, 255 x 105
    EXPECT_EQ(widget("Lbl_button(0)")->geometry(), QRect(36, 128, 17, 7));
    EXPECT_EQ(widget("Lbl_button(3)")->geometry(), QRect(102, 128, 17, 7));
    EXPECT_EQ(widget("Lbl_button(11)")->geometry(), QRect(118, 227, 7, 19));
    EXPECT_EQ(widget("Image12T(0)")->geometry(), QRect(8, 8, 138, 259));
    QWidget* frame2 = widget("Frame2");
    for (int n = 0; n < 12; ++n) {
        const std::string name = "Lbl_button(" + std::to_string(n) + ")";
        QWidget* lamp = widget(name.c_str());
        EXPECT_EQ(lamp->parentWidget(), frame2) << name;
        EXPECT_TRUE(widget("Image12T(0)")->geometry().contains(lamp->geometry())) << name;
    }
}

struct CaptionCase {
    const char* widget;
    const char* text;
};

TEST_F(ViewTest, DesignCaptionsOfEveryControlKind) {
    const CaptionCase labels[] = {
        {"lbl_cfg(33)", "Min-Response-Time [ms]:"},
        {"lbl_cfg(12)", "T5:"},
        {"lbl_read_cfg_bit(22)", "Geräteaktivierung durch Tastendruck:"},
        {"lbl_read_in_bit(7)", "T5:"},
        {"lbl_read_in_bit(0)", "T12:"},
        {"lbl_data_in(7)", "Aussentemperatur:"},
        {"lbl_read_out(4)", "Sollwert Effektiv:"},
        {"lbl_desc(7)", "Kommunikationsprobleme, bitte Einstellungen überprüfen!"},
        {"lbl_desc(59)", " K"},
        {"lbl_desc(69)", "Tag         Monat       Jahr"},
        {"lbl_parameter(6)", "COM-Port"},
        {"Label1", "Parity"},
        {"lbl_temp(0)", "22.5"},
    };
    for (const auto& c : labels) EXPECT_EQ(widget<QLabel>(c.widget)->text(), QString::fromUtf8(c.text)) << c.widget;

    const CaptionCase frames[] = {
        {"frm_soll(0)", "Anzeige "},
        {"frm_allg(2)", "Intensität Hintergrundbeleuchtung"},
        {"frm_extern(4)", "Eingaberegister - Externer Wert ohne Einheit"},
    };
    for (const auto& c : frames) EXPECT_EQ(widget<QGroupBox>(c.widget)->title(), QString::fromUtf8(c.text));

    EXPECT_EQ(widget<QPushButton>("set_parameter")->text(), QStringLiteral("Übernehmen"));
    EXPECT_EQ(widget<QPushButton>("read_out_parameter")->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(view->findChild<QAction*>(QStringLiteral("ParMenüMain(2)"))->text(),
              QStringLiteral("&Parameter speichern"));
    EXPECT_TRUE(view->findChild<QAction*>(QStringLiteral("ParMenüMain(3)"))->isSeparator());
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"ParMenüMain(1)", QKeySequence(QKeySequence::Open)},
        {"ParMenüMain(2)", QKeySequence(QKeySequence::Save)},
        {"MenüMain(3)", QKeySequence(Qt::Key_F1)},
    };
    for (const auto& [name, keys] : shortcuts) {
        EXPECT_EQ(view->findChild<QAction*>(QString::fromUtf8(name))->shortcut(), keys) << name;
    }
    EXPECT_EQ(widget<QLineEdit>("txt_data_in(5)")->text(), QStringLiteral("07"));
    EXPECT_EQ(widget<QLineEdit>("txt_data_in(20)")->text(), QStringLiteral("22"));
    EXPECT_EQ(widget<QLineEdit>("txt_Modbus_adress")->text(), QStringLiteral("1"));
    EXPECT_EQ(widget<QLineEdit>("txt_Modbus_adress")->maxLength(), 3);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("PLX24-RS485-Modbus Version 1.5"));
}

struct ListCase {
    const char* widget;
    int entries;
    int entry;
    const char* text;
};

TEST_F(ViewTest, ChoiceListsInDesignOrder) {
    const ListCase lists[] = {
        {"cmb_cfg(2)", 4, 3, "12T"},
        {"cmb_cfg(15)", 20, 11, "0x0B, Sollwert Wert 2 Plus"},
        {"cmb_cfg(19)", 20, 13, "0x0D, Lüfterstufe Plus mit \"AUTO\""},
        {"cmb_cfg(27)", 2, 1, "0x01, EIN Taste gedrückt / AUS Taste nicht gedrückt"},
        {"cmb_cfg(29)", 3, 2, "0x02, deutsch (TT.MM.JJ)"},
        {"cmb_cfg(31)", 2, 0, "24-Stunden-Modus"},
        {"cmb_cfg(59)", 3, 2, "3"},
        {"cmb_bit_cfg(24)", 2, 0, "°F"},
        {"cmb_bit_cfg(25)", 2, 1, "Mit zehntel-Stelle"},
        {"cmb_bit_cfg(29)", 2, 1, "Sollwert effektiv"},
        {"cmb_in(26)", 5, 4, "0x04, Auto"},
        {"cmb_in(27)", 2, 0, "0x00, Raum nicht belegt"},
    };
    for (const auto& c : lists) {
        auto* w = widget<QComboBox>(c.widget);
        EXPECT_EQ(w->count(), c.entries) << c.widget;
        EXPECT_EQ(w->itemText(c.entry), QString::fromUtf8(c.text)) << c.widget;
        EXPECT_EQ(w->currentIndex(), -1) << c.widget;
    }
}

TEST_F(ViewTest, HolderChangeShowsInTheWidgetAndTypingReachesTheHolder) {
    form->txt_data_cfg[34].set_text("1,5");
    EXPECT_EQ(widget<QLineEdit>("txt_data_cfg(34)")->text(), QStringLiteral("1,5"));
    view->tabs()->setCurrentIndex(6);
    auto* field = widget<QLineEdit>("txt_data_cfg(35)");
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("21"));
    EXPECT_EQ(form->txt_data_cfg[35].text(), "21");
}

TEST_F(ViewTest, MarkedBitShowsOnItsCaptionLabel) {
    form->chk_cfg[5].set_pending(true);
    EXPECT_EQ(widget("lbl_read_cfg_bit(5)")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    form->chk_input[9].set_pending(true);
    EXPECT_EQ(widget("lbl_read_in_bit(9)")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

// The tab marks count each value holder for the tab its widget lies on.
TEST_F(ViewTest, EveryHolderLiesOnTheTabItsMarkCountsFor) {
    auto tab_holding = [&](QWidget* w) {
        for (int t = 0; t < view->tabs()->count(); ++t) {
            if (view->tabs()->widget(t)->isAncestorOf(w)) return t;
        }
        return -1;
    };
    const std::pair<const char*, int (*)(int)> groups[] = {
        {"txt_data_cfg", tab_of_cfg_register},
        {"chk_cfg", tab_of_cfg_bit},
        {"txt_data_in", tab_of_input_register},
        {"chk_input", tab_of_input_bit},
    };
    for (auto [array, tab_of] : groups) {
        for (int i : expected_arrays().at(array)) {
            const std::string name = std::string(array) + "(" + std::to_string(i) + ")";
            EXPECT_EQ(tab_holding(widget(name.c_str())), tab_of(i)) << name;
        }
    }
}

TEST_F(ViewTest, MarkedTabAndStatusLineShow) {
    form->txt_data_cfg[44].set_pending(true);
    check_pending_changes(*form);
    QTabBar* bar = view->tabs()->tabBar();
    EXPECT_EQ(bar->tabText(7), QStringLiteral("Sollwert Prozent *"));
    EXPECT_EQ(bar->tabTextColor(7), QColor(255, 0, 0));
    EXPECT_EQ(bar->tabText(6), QStringLiteral("Sollwert Temperatur"));
    form->txt_data_cfg[44].set_pending(false);
    check_pending_changes(*form);
    EXPECT_EQ(bar->tabText(7), QStringLiteral("Sollwert Prozent"));
    EXPECT_FALSE(bar->tabTextColor(7).isValid());

    form->status_line.set_caption("Standortkennung: erlaubt sind 0 bis 65535.");
    auto* note = widget<QLabel>("status_line");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("Standortkennung: erlaubt sind 0 bis 65535."));
    // a message wraps rather than being cut, and its whole text is in the tooltip
    EXPECT_TRUE(note->wordWrap());
    EXPECT_EQ(note->toolTip(), note->text());
}

TEST_F(ViewTest, VariantLayoutChangesReachTheWidgets) {
    form->frm_8T[0].set_visible(false);
    form->Image12T[0].set_visible(false);
    form->Image4T[0].set_visible(true);
    form->Lbl_button[4].set_height(680);
    EXPECT_TRUE(widget("frm_8T(0)")->isHidden());
    EXPECT_FALSE(widget("Image4T(0)")->isHidden());
    EXPECT_EQ(widget("Lbl_button(4)")->height(), 680 / 15);
}

TEST_F(ViewTest, MenuActionReachesTheMenuItem) {
    int clicks = 0;
    form->MenueMain[2].on_click = [&] { ++clicks; };
    view->findChild<QAction*>(QStringLiteral("MenüMain(2)"))->trigger();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ViewTest, WindowFitsA1366x768Screen) {
    // title bar and task bar take about 70 pixels of the height
    const QSize need = view->minimumSizeHint().expandedTo(view->minimumSize());
    EXPECT_LE(need.width(), 1366);
    EXPECT_LE(need.height(), 768 - 70);
    EXPECT_LE(view->size().height(), 768 - 70);
}

TEST_F(ViewTest, CloseBoxClosesOnlyWhenAllowed) {
    int closed = 0;
    view->on_close = [&] { ++closed; };
    view->may_close = [] { return false; };
    view->close();
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(closed, 0);
    view->may_close = [] { return true; };
    view->close();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(closed, 1);
}

TEST_F(ViewTest, DisabledWindowTakesNoInput) {
    form->frm_config.set_enabled(false);
    EXPECT_FALSE(view->isEnabled());
    form->frm_config.set_enabled(true);
    EXPECT_TRUE(view->isEnabled());
}

}  // namespace
}  // namespace plx::gui

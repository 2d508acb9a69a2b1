// Each binder: a model change shows in the widget, and the user's input in the widget reaches the
// model through its user_* entry point.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "gui/binders.h"
#include "qt_test_app.h"

namespace plx::gui {
namespace {

namespace c = controls;

class BinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::app();
        window.name = "frm_config";
        host = std::make_unique<QWidget>();
        host->resize(400, 300);
    }
    void show() {
        host->show();
        QApplication::processEvents();
    }
    template <class W>
    W* make() {
        return new W(host.get());
    }

    c::Window window;
    std::unique_ptr<QWidget> host;
};

QColor text_color(const QWidget* w) { return w->palette().color(QPalette::Text); }

// ---- text box ----

TEST_F(BinderTest, TextBoxShowsTextSetByTheProgram) {
    c::TextBox m;
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    m.set_text("21,5");
    EXPECT_EQ(w->text(), QStringLiteral("21,5"));
}

TEST_F(BinderTest, TextBoxTypingReachesTheModelAndRaisesChange) {
    c::TextBox m;
    int changes = 0;
    m.on_change = [&] { ++changes; };
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    QTest::keyClicks(w, QStringLiteral("12"));
    EXPECT_EQ(m.text(), "12");
    EXPECT_EQ(changes, 2);
}

TEST_F(BinderTest, TextBoxKeyDiscardedByTheFilterNeverReachesTheField) {
    c::TextBox m;
    m.on_key_press = [](int& key) {
        if (key < '0' || key > '9') key = 0;
    };
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    QTest::keyClicks(w, QStringLiteral("1a-2"));
    EXPECT_EQ(w->text(), QStringLiteral("12"));
    EXPECT_EQ(m.text(), "12");
}

TEST_F(BinderTest, TextBoxBackspacePassesTheFilterAsCode8) {
    c::TextBox m;
    std::vector<int> keys;
    m.on_key_press = [&](int& key) { keys.push_back(key); };
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    QTest::keyClicks(w, QStringLiteral("7"));
    QTest::keyClick(w, Qt::Key_Backspace);
    EXPECT_EQ(keys, (std::vector<int>{'7', 8}));
    EXPECT_EQ(m.text(), "");
}

TEST_F(BinderTest, TextBoxKeepsItsMaximumLength) {
    c::TextBox m;
    m.set_max_length(3);
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    QTest::keyClicks(w, QStringLiteral("12345"));
    EXPECT_EQ(m.text(), "123");
    m.set_max_length(5);
    EXPECT_EQ(w->maxLength(), 5);
}

TEST_F(BinderTest, TextBoxLeavingTheFieldRaisesLostFocusButSwitchingWindowsDoesNot) {
    c::TextBox m;
    int lost = 0;
    m.on_lost_focus = [&] { ++lost; };
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    QFocusEvent tab_away(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &tab_away);
    EXPECT_EQ(lost, 1);
    QFocusEvent other_app(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w, &other_app);
    EXPECT_EQ(lost, 1);
}

TEST_F(BinderTest, TextBoxInADisabledWindowShowsTheModelTextAgain) {
    c::TextBox m;
    m.set_window(&window);
    m.set_text("5");
    window.set_enabled(false);
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    w->setText(QStringLiteral("55"));
    Q_EMIT w->textEdited(w->text());
    EXPECT_EQ(m.text(), "5");
    EXPECT_EQ(w->text(), QStringLiteral("5"));
}

TEST_F(BinderTest, TextBoxPendingMarkIsRedAndClearsToTheNormalColour) {
    c::TextBox m;
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    const QColor normal = text_color(w);
    m.set_pending(true);
    EXPECT_EQ(text_color(w), QColor(255, 0, 0));
    m.set_pending(false);
    EXPECT_EQ(text_color(w), normal);
}

TEST_F(BinderTest, MarkClearedWhileTheWindowIsDisabledLeavesTheEnabledColourNormal) {
    c::TextBox m;
    auto* w = make<TextBoxEdit>();
    bind(m, w);
    show();
    const QColor normal = w->palette().color(QPalette::Active, QPalette::Text);
    host->setEnabled(false);
    m.set_pending(true);
    m.set_pending(false);
    host->setEnabled(true);
    EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::Text), normal);
    EXPECT_NE(w->palette().color(QPalette::Active, QPalette::Text),
              host->palette().color(QPalette::Disabled, QPalette::Text));
}

// ---- drop-down list ----

TEST_F(BinderTest, ComboBoxShowsListAndSelection) {
    c::ComboBox m;
    m.set_list({"2T", "4T", "8T", "12T"});
    auto* w = make<QComboBox>();
    bind(m, w);
    EXPECT_EQ(w->count(), 4);
    EXPECT_EQ(w->currentIndex(), -1);
    m.set_list_index(2);
    EXPECT_EQ(w->currentText(), QStringLiteral("8T"));
    m.set_list_entry(2, "8 Tasten");
    EXPECT_EQ(w->itemText(2), QStringLiteral("8 Tasten"));
    EXPECT_EQ(w->currentIndex(), 2);
}

TEST_F(BinderTest, ComboBoxChoiceRaisesClickOnce) {
    c::ComboBox m;
    m.set_list({"ASCII", "RTU"});
    int clicks = 0;
    m.on_click = [&] { ++clicks; };
    auto* w = make<QComboBox>();
    bind(m, w);
    w->setCurrentIndex(1);
    Q_EMIT w->activated(1);
    EXPECT_EQ(m.list_index(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(BinderTest, ComboBoxChoiceRefusedByADisabledWindowIsUndone) {
    c::ComboBox m;
    m.set_list({"close", "open"});
    m.set_list_index(0);
    m.set_window(&window);
    window.set_enabled(false);
    auto* w = make<QComboBox>();
    bind(m, w);
    w->setCurrentIndex(1);
    Q_EMIT w->activated(1);
    EXPECT_EQ(m.list_index(), 0);
    EXPECT_EQ(w->currentIndex(), 0);
}

TEST_F(BinderTest, ComboBoxShowsItsOwnMark) {
    c::ComboBox m;
    auto* w = make<QComboBox>();
    bind(m, w);
    m.set_pending(true);
    EXPECT_EQ(w->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
}

// ---- check box ----

TEST_F(BinderTest, CheckBoxFollowsValueAndUndeterminedState) {
    c::CheckBox m;
    auto* w = make<QCheckBox>();
    bind(m, w);
    m.set_value(1);
    EXPECT_EQ(w->checkState(), Qt::Checked);
    m.set_value(2);
    EXPECT_EQ(w->checkState(), Qt::PartiallyChecked);
    m.set_value(0);
    EXPECT_EQ(w->checkState(), Qt::Unchecked);
}

TEST_F(BinderTest, CheckBoxUserClickTogglesTheModel) {
    c::CheckBox m;
    int clicks = 0;
    m.on_click = [&] { ++clicks; };
    auto* w = make<QCheckBox>();
    bind(m, w);
    show();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
    EXPECT_EQ(m.value(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(w->isChecked());
}

TEST_F(BinderTest, CaptionlessCheckBoxShowsItsMarkOnTheCaptionLabel) {
    c::CheckBox m;
    auto* caption = make<ClickLabel>();
    auto* w = make<QCheckBox>();
    bind(m, w, caption);
    const QColor normal = caption->palette().color(QPalette::WindowText);
    m.set_pending(true);
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    m.set_pending(false);
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), normal);
}

// ---- label ----

TEST_F(BinderTest, LabelFollowsCaptionVisibilityAndForeColour) {
    c::Label m;
    auto* w = make<ClickLabel>();
    bind(m, w);
    show();
    m.set_caption("2. Stufe");
    EXPECT_EQ(w->text(), QStringLiteral("2. Stufe"));
    m.set_visible(false);
    EXPECT_TRUE(w->isHidden());
    m.set_visible(true);
    EXPECT_FALSE(w->isHidden());
    m.set_fore_color(c::kRed);
    EXPECT_EQ(w->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(BinderTest, LampTakesItsBackColourAndTwipsGeometry) {
    c::Label m;
    m.set_left(480);
    m.set_top(2295);
    m.set_width(105);
    m.set_height(285);
    auto* w = make<ClickLabel>();
    bind(m, w, Placement::twips);
    EXPECT_EQ(w->geometry(), QRect(32, 153, 7, 19));
    m.set_height(1400);
    EXPECT_EQ(w->height(), 93);
    m.set_back_color(c::kRed);
    EXPECT_TRUE(w->autoFillBackground());
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(255, 0, 0));
    m.set_back_color(c::kButtonFace);
    EXPECT_EQ(w->palette().color(QPalette::Window), host->palette().color(QPalette::Button));
}

TEST_F(BinderTest, LabelClickRaisesClick) {
    c::Label m;
    int clicks = 0;
    m.on_click = [&] { ++clicks; };
    auto* w = make<ClickLabel>();
    bind(m, w);
    show();
    QTest::mouseClick(w, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

// ---- frame, picture, command button ----

TEST_F(BinderTest, FrameShowsCaptionAndVisibility) {
    c::Frame m;
    m.set_caption("Symbole");
    auto* g = make<QGroupBox>();
    bind(m, g);
    EXPECT_EQ(g->title(), QStringLiteral("Symbole"));
    c::Frame borderless;
    auto* f = make<QFrame>();
    bind(borderless, f);
    show();
    borderless.set_visible(false);
    EXPECT_TRUE(f->isHidden());
}

TEST_F(BinderTest, PictureShownAndHiddenByTheModel) {
    c::Picture m;
    m.set_visible(false);
    auto* w = make<QWidget>();
    bind(m, w);
    show();
    EXPECT_TRUE(w->isHidden());
    m.set_visible(true);
    EXPECT_FALSE(w->isHidden());
}

TEST_F(BinderTest, CommandButtonClickAndEnabled) {
    c::CommandButton m;
    m.set_caption("Übernehmen");
    int clicks = 0;
    m.on_click = [&] { ++clicks; };
    auto* w = make<QPushButton>();
    bind(m, w);
    show();
    EXPECT_EQ(w->text(), QStringLiteral("Übernehmen"));
    QTest::mouseClick(w, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    m.set_enabled(false);
    EXPECT_FALSE(w->isEnabled());
    QTest::mouseClick(w, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

// ---- up-down spinner ----

struct SpinRecord {
    std::vector<std::string> events;
    int x = -1;
    int y = -1;
};

class SpinnerTest : public BinderTest {
protected:
    void SetUp() override {
        BinderTest::SetUp();
        m.on_mouse_down = [this](int x, int y) {
            rec.events.push_back("down");
            rec.x = x;
            rec.y = y;
        };
        m.on_up_click = [this] { rec.events.push_back("up_click"); };
        m.on_down_click = [this] { rec.events.push_back("down_click"); };
        m.on_mouse_move = [this](int, int) { rec.events.push_back("move"); };
        m.on_mouse_up = [this] { rec.events.push_back("release"); };
        w = make<UpDownWidget>();
        w->setGeometry(0, 0, 17, 22);
        bind(m, w);
        show();
    }
    c::UpDown m;
    UpDownWidget* w = nullptr;
    SpinRecord rec;
};

TEST_F(SpinnerTest, SizeReachesTheModelInTwips) {
    EXPECT_EQ(m.width(), 17 * 15);
    EXPECT_EQ(m.height(), 22 * 15);
}

TEST_F(SpinnerTest, PressOnUpperHalfReportsPressInTwipsThenUpClick) {
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(8, 3));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"down", "up_click"}));
    EXPECT_EQ(rec.x, 8 * 15);
    EXPECT_EQ(rec.y, 3 * 15);
    EXPECT_LT(rec.y, m.height() / 2);
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(8, 3));
    EXPECT_EQ(rec.events.back(), "release");
}

TEST_F(SpinnerTest, PressOnLowerHalfGivesDownClick) {
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(8, 18));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"down", "down_click"}));
    EXPECT_GT(rec.y, m.height() / 2);
}

TEST_F(SpinnerTest, DisablingWhileHeldReleasesSoTheRepeatStops) {
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(8, 3));
    m.set_enabled(false);
    EXPECT_EQ(rec.events.back(), "release");
}

// ---- progress bar, tab control, menu item, window ----

TEST_F(BinderTest, ProgressBarFollowsRangeAndValue) {
    c::ProgressBar m;
    auto* w = make<QProgressBar>();
    bind(m, w);
    m.set_max(10);
    m.set_value(7);
    EXPECT_EQ(w->maximum(), 10);
    EXPECT_EQ(w->value(), 7);
}

TEST_F(BinderTest, TabControlCaptionsAndCurrentTabBothWays) {
    c::TabControl m;
    m.set_tab_count(2);
    auto* w = make<QTabWidget>();
    w->addTab(new QWidget, QString());
    w->addTab(new QWidget, QString());
    bind(m, w);
    m.set_tab_caption(1, "Anzeige");
    EXPECT_EQ(w->tabText(1), QStringLiteral("Anzeige"));
    w->setCurrentIndex(1);
    EXPECT_EQ(m.current_tab(), 1);
    m.set_current_tab(0);
    EXPECT_EQ(w->currentIndex(), 0);
}

TEST_F(BinderTest, MenuItemTriggersClickAndDashIsASeparator) {
    c::MenuItem m;
    m.set_caption("&Beenden");
    int clicks = 0;
    m.on_click = [&] { ++clicks; };
    auto* a = new QAction(host.get());
    bind(m, a);
    EXPECT_EQ(a->text(), QStringLiteral("&Beenden"));
    a->trigger();
    EXPECT_EQ(clicks, 1);
    c::MenuItem sep;
    sep.set_caption("-");
    auto* s = new QAction(host.get());
    bind(sep, s);
    EXPECT_TRUE(s->isSeparator());
    EXPECT_TRUE(s->text().isEmpty()) << "drawn as a line, not as an entry reading '-'";
}

TEST_F(BinderTest, WindowCaptionEnabledAndPosition) {
    c::Window m;
    auto* w = new QWidget;
    std::unique_ptr<QWidget> owner(w);
    bind(m, w);
    m.set_caption("PLX24-RS485-Modbus Version 1.5");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PLX24-RS485-Modbus Version 1.5"));
    m.set_enabled(false);
    EXPECT_FALSE(w->isEnabled());
    m.set_width(15000);
    m.set_height(9000);
    EXPECT_EQ(w->size(), QSize(1000, 600));
}

// ---- colours ----

TEST(ColourTest, PlainColoursAreBlueGreenRed) {
    const QPalette p;
    EXPECT_EQ(to_qcolor(255, p), QColor(255, 0, 0));
    EXPECT_EQ(to_qcolor(0xFF0000, p), QColor(0, 0, 255));
    EXPECT_EQ(to_qcolor(0x00FF00, p), QColor(0, 255, 0));
}

TEST(ColourTest, SystemColoursComeFromThePalette) {
    QPalette p;
    p.setColor(QPalette::Button, QColor(1, 2, 3));
    p.setColor(QPalette::ButtonText, QColor(4, 5, 6));
    EXPECT_EQ(to_qcolor(c::kButtonFace, p), QColor(1, 2, 3));
    EXPECT_EQ(to_qcolor(c::kButtonText, p), QColor(4, 5, 6));
}

}  // namespace
}  // namespace plx::gui

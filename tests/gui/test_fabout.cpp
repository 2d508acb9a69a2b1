// The About window: load step, languages, links handed to the shell, and its one-column view.

#include <vector>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "form/fabout.h"
#include "gui/fabout_view.h"
#include "qt_test_app.h"
#include "windows/fabout.h"

namespace plx::gui {
namespace {

struct RecordingShell : controls::Shell {
    std::vector<std::string> opened;
    bool succeed = true;
    bool open(const std::string& target) override {
        opened.push_back(target);
        return succeed;
    }
};

class AboutTest : public ::testing::Test {
protected:
    FAboutControls c;
    ProgramState state;
    RecordingShell shell;
};

TEST_F(AboutTest, LoadSetsTheVersionAndKeepsGermanTexts) {
    state.language_code = "1031";
    windows::FAbout about(c, state, shell);
    about.Form_Load();
    EXPECT_EQ(c.Label1.caption(), "1.5");
    EXPECT_EQ(c.fAbout.caption(), "Information");
    EXPECT_EQ(c.lblVersion.caption(), "Orvanto: Konfigurationssoftware für PLX24-RS485-Modbus");
}

TEST_F(AboutTest, EnglishOnlyForCode1033AndTheFieldLabelsStay) {
    state.language_code = "1033";
    windows::FAbout about(c, state, shell);
    about.Form_Load();
    EXPECT_EQ(c.fAbout.caption(), "About");
    EXPECT_EQ(c.lblVersion.caption(), "Orvanto: Configuration software for PLX24-RS485-Modbus");
    EXPECT_EQ(c.lbl_Software_Hinweis.caption(),
              "Orvanto Sensortechnik GmbH does not take over any liability for damages occurred by the operation of "
              "the software.");
    EXPECT_EQ(c.Label2.caption(), "Version:");
    EXPECT_EQ(c.lbltxtEmail.caption(), "E-Mail:");
    EXPECT_EQ(c.lbltxtHyperlink.caption(), "Internet:");
}

TEST_F(AboutTest, BritishCodeStaysGerman) {
    state.language_code = "2057";
    windows::FAbout about(c, state, shell);
    about.Form_Load();
    EXPECT_EQ(c.fAbout.caption(), "Information");
}

TEST_F(AboutTest, LinksHandMailtoAndTheWebAddressToTheShell) {
    windows::FAbout about(c, state, shell);
    about.Form_Load();
    c.lblemail.user_click();
    c.lblHyperlink.user_click();
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], "mailto:" + c.lblemail.caption());
    EXPECT_EQ(shell.opened[1], c.lblHyperlink.caption());
}

TEST_F(AboutTest, FailingShellLeavesTheWindowOpen) {
    test::app();
    shell.succeed = false;
    FAboutView view(state, shell);
    view.show();
    QApplication::processEvents();
    auto* link = view.findChild<QLabel*>(QStringLiteral("lblemail"));
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(view.isVisible());
}

TEST_F(AboutTest, ViewIsWhiteWithItsLabelsInOneColumnTopToBottom) {
    test::app();
    FAboutView view(state, shell);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(view.palette().color(QPalette::Window), QColor(255, 255, 255));
    const char* order[] = {"lbl_Orvanto", "Label3",  "lbltxtHyperlink", "lbltxtEmail",
                           "lblVersion",  "Label2",  "lblCopyright",    "lbl_Software_Hinweis"};
    int last_y = -1;
    for (const char* name : order) {
        auto* l = view.findChild<QLabel*>(QString::fromUtf8(name));
        ASSERT_NE(l, nullptr) << name;
        EXPECT_GT(l->y(), last_y) << name;
        last_y = l->y();
    }
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("1.5"));
    EXPECT_TRUE(view.findChild<QLabel*>(QStringLiteral("lblemail"))->font().underline());
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("qt_version"))->text(),
              QStringLiteral("Qt ") + QString::fromLatin1(qVersion()));
    EXPECT_TRUE(
        view.findChild<QLabel*>(QStringLiteral("licence"))->text().startsWith(QStringLiteral("Licence: ")));
}

TEST_F(AboutTest, OkClosesIt) {
    test::app();
    FAboutView view(state, shell);
    view.show();
    QApplication::processEvents();
    auto* box = view.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace plx::gui

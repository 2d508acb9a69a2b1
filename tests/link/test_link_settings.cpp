// The link panel: start-up state, applying the boxes to the port, opening and its failures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "link/port_map.h"
#include "lang/texts.h"
#include "link_fixture.h"

namespace plx::link {
namespace {

using testing::LinkRig;

// The program's words for a text of the link, in the rig's language (German).
std::string named_text(lang::Message id, const std::vector<std::string>& args) {
    return lang::message(id, lang::kGerman, args);
}

TEST(LinkStartup, ShowsCom3Baud115200EvenAsciiClosed) {
    LinkRig rig;
    rig.start();
    EXPECT_EQ(rig.form.Combo_Port[0].current_text(), "COM3");
    EXPECT_EQ(rig.form.Combo_Port[1].current_text(), "115200");
    EXPECT_EQ(rig.form.cbParity.current_text(), "Even");
    EXPECT_EQ(rig.form.Combo_Port[5].current_text(), "ASCII");
    EXPECT_EQ(rig.form.Combo_Port[6].current_text(), "close");
    EXPECT_EQ(rig.port.settings(), "115200,E,7,1");
    EXPECT_EQ(rig.port.comm_port(), 3);
    EXPECT_EQ(rig.port.input_mode(), modbus::InputMode::text);
    EXPECT_FALSE(rig.port.port_open());
    EXPECT_EQ(rig.state.modbus_mode, "ASCII");
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_FALSE(rig.form.Timer4.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.chk_read_out.enabled());
    EXPECT_TRUE(rig.form.Combo_Port[0].enabled());
    EXPECT_EQ(rig.form.txt_Modbus_adress.text(), "1");
    EXPECT_FALSE(rig.form.lbl_desc[7].visible());
}

TEST(LinkStartup, TooltipNamesTheDeviceOfTheSelectedPort) {
    LinkRig rig;
    rig.link.port_override = [](int n) { return n == 3 ? std::string("/dev/ttyAMA0") : std::string(); };
    rig.start();
    EXPECT_EQ(rig.form.Combo_Port[0].tooltip(), "/dev/ttyAMA0");
    rig.form.Combo_Port[0].user_select(20);
    EXPECT_EQ(rig.form.Combo_Port[0].tooltip(), default_device(21));
}

struct ModeCase {
    const char* name;
    int mode_entry;
    int parity_entry;
    const char* settings;
    modbus::InputMode input_mode;
    int poll_ms;
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class LinkModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(LinkModes, ApplyDataBitsParityAndPoll) {
    const ModeCase& c = GetParam();
    LinkRig rig;
    rig.start();
    rig.form.cbParity.user_select(c.parity_entry);
    rig.form.Combo_Port[1].user_select(0);
    rig.form.Combo_Port[5].user_select(c.mode_entry);
    EXPECT_EQ(rig.port.settings(), c.settings);
    EXPECT_EQ(rig.port.input_mode(), c.input_mode);
    EXPECT_EQ(rig.form.Timer4.interval().count(), c.poll_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Link, LinkModes,
    ::testing::Values(ModeCase{"RtuEven", 1, 0, "9600,E,8,1", modbus::InputMode::bytes, 50},
                      ModeCase{"AsciiOdd", 0, 1, "9600,O,7,1", modbus::InputMode::text, 100},
                      ModeCase{"RtuNone", 1, 2, "9600,N,8,1", modbus::InputMode::bytes, 50}),
    [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
    const char* name;
    const char* address;
    std::string ascii_on_wire;  // empty: nothing sent
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class LinkFirstRequest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(LinkFirstRequest, ReadsRegister33OfTheSlave) {
    LinkRig rig;
    rig.start();
    rig.form.txt_Modbus_adress.set_text(GetParam().address);
    rig.form.Combo_Port[6].user_select(1);
    ASSERT_TRUE(rig.port.port_open());
    EXPECT_EQ(rig.port.take_written_text(), GetParam().ascii_on_wire);
    EXPECT_EQ(rig.state.comm_state, read_response_time);
}

INSTANTIATE_TEST_SUITE_P(
    Link, LinkFirstRequest,
    ::testing::Values(AddressCase{"Slave1", "1", ":010300210001B8\r\n"},
                      AddressCase{"Slave20", "20", ":140300210001B4\r\n"},
                      AddressCase{"Slave247", "247", ":F703002100019C\r\n"},
                      AddressCase{"LeadingZeros", "007", ":070300210001B2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LinkOpen, OpensEnablesControlsAndArmsTheTimeOut) {
    LinkRig rig;
    rig.open("ASCII");
    EXPECT_TRUE(rig.form.Timer4.enabled());
    EXPECT_TRUE(rig.form.Timer5.enabled());
    EXPECT_TRUE(rig.form.read_out_parameter.enabled());
    EXPECT_TRUE(rig.form.chk_read_out.enabled());
    EXPECT_TRUE(rig.form.lbl_desc[30].enabled());
    EXPECT_FALSE(rig.form.Combo_Port[0].enabled());
    EXPECT_FALSE(rig.form.Combo_Port[1].enabled());
    EXPECT_FALSE(rig.form.Combo_Port[5].enabled());
    EXPECT_TRUE(rig.form.cbParity.enabled());
    EXPECT_FALSE(rig.state.link_ready);
    EXPECT_EQ(rig.state.request_string, "010300210001");
}

TEST(LinkOpen, EmptyAddressOpensButSendsNothing) {
    LinkRig rig;
    rig.start();
    rig.state.link_ready = true;
    rig.form.txt_Modbus_adress.set_text("");
    rig.form.Combo_Port[6].user_select(1);
    EXPECT_TRUE(rig.port.port_open());
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_TRUE(rig.state.link_ready);
    EXPECT_FALSE(rig.form.Timer5.enabled());
    EXPECT_TRUE(rig.form.read_out_parameter.enabled());
    EXPECT_TRUE(rig.form.chk_read_out.enabled());
}

TEST(LinkOpen, WithoutARequestBuilderOpensButSendsNothing) {
    LinkRig rig;
    rig.link.first_request = nullptr;
    rig.state.link_ready = true;
    rig.open("RTU");
    EXPECT_TRUE(rig.port.port_open());
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_TRUE(rig.state.link_ready);
    EXPECT_FALSE(rig.form.Timer5.enabled());
}

struct BadAddressCase {
    const char* name;
    const char* address;
};

// test names carry the case; gtest need not dump the bytes
void PrintTo(const BadAddressCase& c, std::ostream* os) { *os << c.name; }

class LinkBadAddress : public ::testing::TestWithParam<BadAddressCase> {};

TEST_P(LinkBadAddress, OpensSendsNothingAndSaysWhy) {
    LinkRig rig;
    rig.start();
    rig.form.txt_Modbus_adress.set_text(GetParam().address);
    rig.form.Combo_Port[6].user_select(1);
    EXPECT_TRUE(rig.port.port_open());
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_FALSE(rig.form.Timer5.enabled());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0], named_text(lang::Message::invalid_slave_address, {GetParam().address}));
}

INSTANTIATE_TEST_SUITE_P(Link, LinkBadAddress,
                         ::testing::Values(BadAddressCase{"Zero", "0"},
                                           BadAddressCase{"JustAbove", "248"},
                                           BadAddressCase{"ThreeDigitHex", "300"},
                                           BadAddressCase{"Max", "999"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SlaveAddressHex, OnlyOneTo247GiveTwoDigits) {
    EXPECT_EQ(slave_address_hex("1"), "01");
    EXPECT_EQ(slave_address_hex("16"), "10");
    EXPECT_EQ(slave_address_hex("247"), "F7");
    EXPECT_EQ(slave_address_hex("0"), std::nullopt);
    EXPECT_EQ(slave_address_hex("248"), std::nullopt);
    EXPECT_EQ(slave_address_hex(""), std::nullopt);
    EXPECT_EQ(slave_address_hex("1a"), std::nullopt);
    EXPECT_EQ(slave_address_hex("0001"), std::nullopt);
}

TEST(LinkAddressField, TakesDigitsAndBackspaceOnly) {
    LinkRig rig;
    auto& field = rig.form.txt_Modbus_adress;
    field.set_text("");
    // letters, blank, sign, both separators and Enter
    for (int key : {'x', ' ', '-', ',', '.', '\r'}) EXPECT_EQ(field.user_key_press(key), 0) << key;
    field.user_type_text("1x2 -3");
    EXPECT_EQ(field.text(), "123");
    field.user_type('4');
    EXPECT_EQ(field.text(), "123");
    field.user_type(8);
    EXPECT_EQ(field.text(), "12");
}

TEST(LinkFailure, FailedOpeningShowsCodeAndReasonAndFallsBackToClose) {
    LinkRig rig;
    rig.start();
    rig.port.open_failure = modbus::PortError{8005, {}, "Permission denied"};
    rig.form.Combo_Port[6].user_select(1);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    const std::string& text = rig.messages.shown[0];
    EXPECT_EQ(text.rfind("COM-Port not available,  8005", 0), 0u) << text;
    EXPECT_NE(text.find(rig.port.device_name(3)), std::string::npos) << text;
    EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
    EXPECT_EQ(rig.form.Combo_Port[6].current_text(), "close");
    EXPECT_FALSE(rig.state.port_open_wanted);
    EXPECT_FALSE(rig.port.port_open());
    EXPECT_TRUE(rig.form.Combo_Port[0].enabled());
    EXPECT_TRUE(rig.form.Combo_Port[5].enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.chk_read_out.enabled());
    EXPECT_TRUE(rig.port.written().empty());
}

TEST(LinkFailure, SecondLineAndPermissionHintComeInTheProgramsWords) {
    LinkRig rig;
    rig.start();
    rig.port.open_failure = modbus::PortError{8005, {}, "Permission denied", modbus::PortCause::permission};
    rig.form.Combo_Port[6].user_select(1);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0], "COM-Port not available,  8005\n" +
                                         named_text(lang::Message::port_device_reason,
                                                    {rig.port.device_name(3), "Permission denied"}) +
                                         "\n" + named_text(lang::Message::port_permission_hint, {}));
}

TEST(LinkFailure, OtherRefusalsGiveNoPermissionHint) {
    LinkRig rig;
    rig.start();
    rig.port.open_failure = modbus::PortError{8010, {}, "Input/output error"};
    rig.form.Combo_Port[6].user_select(1);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].find(named_text(lang::Message::port_permission_hint, {})), std::string::npos);
}

TEST(LinkFailure, RefusedSettingsOnClosingStillLeaveThePortClosed) {
    LinkRig rig;
    rig.open("RTU");
    rig.port.settings_failure = modbus::PortError{8015, "/dev/ttyUSB2", "Invalid argument"};
    rig.form.Combo_Port[6].user_select(0);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0], "COM-Port not available,  8015\n" +
                                         named_text(lang::Message::port_device_reason,
                                                    {"/dev/ttyUSB2", "Invalid argument"}));
    EXPECT_FALSE(rig.port.port_open());
    EXPECT_EQ(rig.form.Combo_Port[6].current_text(), "close");
    EXPECT_FALSE(rig.form.Timer4.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_TRUE(rig.form.Combo_Port[5].enabled());
}

TEST(LinkClose, ClosingClearsPollingAndDisablesControls) {
    LinkRig rig;
    rig.open("ASCII");
    rig.form.chk_read_out.set_value(1);
    rig.form.Combo_Port[6].user_select(0);
    EXPECT_FALSE(rig.port.port_open());
    EXPECT_EQ(rig.form.chk_read_out.value(), 0);
    EXPECT_FALSE(rig.form.chk_read_out.enabled());
    EXPECT_FALSE(rig.form.read_out_parameter.enabled());
    EXPECT_FALSE(rig.form.set_parameter.enabled());
    EXPECT_FALSE(rig.form.Timer4.enabled());
    EXPECT_FALSE(rig.form.lbl_desc[30].enabled());
    EXPECT_TRUE(rig.form.Combo_Port[0].enabled());
}

TEST(LinkSend, ClosedPortShowsMessageAndArmsNothing) {
    LinkRig rig;
    rig.start();
    rig.link.transmit("010300210001");
    EXPECT_EQ(rig.messages.shown, std::vector<std::string>{"Port ist nicht geöffnet"});
    EXPECT_FALSE(rig.form.Timer5.enabled());
    EXPECT_FALSE(rig.state.link_ready);
}

TEST(LinkSend, NoModeChosenSendsNothing) {
    LinkRig rig;
    rig.form.Combo_Port[0].set_list({"COM1", "COM2", "COM3"});
    rig.form.Combo_Port[0].set_list_index(2);
    rig.form.Combo_Port[6].set_list({"close", "open"});
    rig.form.Combo_Port[6].set_list_index(1);
    ASSERT_TRUE(rig.port.port_open());
    ASSERT_EQ(rig.state.modbus_mode, "standard_ascii");
    rig.link.transmit("010300210001");
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_FALSE(rig.form.Timer5.enabled());
}

TEST(LinkSend, ChangingPortWhileClosedTakesTheNewNumber) {
    LinkRig rig;
    rig.start();
    rig.form.Combo_Port[0].user_select(6);
    EXPECT_EQ(rig.port.comm_port(), 7);
    rig.form.Combo_Port[6].user_select(1);
    EXPECT_TRUE(rig.port.port_open());
    EXPECT_EQ(rig.port.open_count(), 1);
}

}  // namespace
}  // namespace plx::link

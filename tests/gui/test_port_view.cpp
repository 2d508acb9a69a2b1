// The port box's companions, offscreen, on a fake port list: the note beside each entry with a port,
// the chosen entry's device line, and an assignment that the box uses at once.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "../support/null_platform.h"
#include "program/program.h"
#include "gui/frm_config_view.h"
#include "gui/port_view.h"
#include "link/fake_serial_port.h"
#include "qt_test_app.h"

namespace plx::gui {
namespace {

TEST(PortView, NotesBesideTheEntriesAndTheDeviceLineFollowTheAssignment) {
    test::app();
    link::FakeSerialPort port;
    controls::VirtualClock clock;
    plx::test::RecordingMessages messages;
    plx::test::NoFiles files;
    plx::test::NoShell shell;
    Program program{Platform{port, clock, messages, files, shell}};
    program.settings = std::make_unique<settings::MemoryStore>();
    link::FakePortEnumeration system;
    system.list = {{"/dev/ttyACM0", "RS485 Stick", "Acme", "77", "/dev/serial/by-id/usb-Acme_77", true}};
    system.links = {{"/dev/serial/by-id/usb-Acme_77", "/dev/ttyACM0"}};
    program.ports.set_enumeration(&system);
    FrmConfigView view(program.form);
    program.start();
    PortView ports(view, {program.state, port, program.ports, program.settings, messages, program.form.Combo_Port[0],
                          *program.link});
    QComboBox* box = view.port_box();

    // the one adapter stands behind COM3, the start-up entry; COM1's default device is absent
    const QString note = QStringLiteral("/dev/ttyACM0 – RS485 Stick, Acme, S/N 77");
    EXPECT_EQ(box->itemData(2, kPortNoteRole).toString(), note);
    EXPECT_FALSE(box->itemData(0, kPortNoteRole).isValid());
    EXPECT_EQ(ports.device_label()->text(), QStringLiteral("→ ") + note);
    box->setCurrentIndex(0);
    EXPECT_EQ(ports.device_label()->text(), QStringLiteral("→ /dev/ttyUSB0 – nicht angeschlossen"));

    // put it on COM5: stored by its by-id name, chosen, and COM3 lets go of it
    ASSERT_TRUE(program.ports.assign(5, system.list[0]));
    program.form.Combo_Port[0].set_list_index(4);
    ports.refresh();
    EXPECT_EQ(box->currentIndex(), 4);
    EXPECT_EQ(ports.device_label()->text(),
              QStringLiteral("→ /dev/serial/by-id/usb-Acme_77 – RS485 Stick, Acme, S/N 77"));
    EXPECT_FALSE(box->itemData(2, kPortNoteRole).isValid());
    EXPECT_EQ(program.form.Combo_Port[0].tooltip(), "/dev/serial/by-id/usb-Acme_77");
}

}  // namespace
}  // namespace plx::gui

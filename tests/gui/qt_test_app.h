#pragma once
// One offscreen QApplication for every widget test of the binary.

class QApplication;

namespace plx::gui::test {
QApplication& app();
}

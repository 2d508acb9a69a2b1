#include "qt_test_app.h"

#include <QApplication>

namespace plx::gui::test {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *instance;
}

}  // namespace plx::gui::test

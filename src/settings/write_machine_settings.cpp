// Used by the install step: writes name=value pairs into the program's machine key of an INI store.
// plx24_write_machine_settings <store.ini> Name=Value...
#include <cstdio>
#include <string>

#include "settings/registry.h"
#include "settings/store.h"

int main(int argc, char** argv) {
    using namespace plx::settings;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <store.ini> Name=Value...\n", argv[0]);
        return 2;
    }
    QSettingsStore store(Location{QString::fromLocal8Bit(argv[1])}, Location{});
    CRegistry reg(store);
    for (int i = 2; i < argc; ++i) {
        const std::string pair = QString::fromLocal8Bit(argv[i]).toStdString();
        const std::size_t eq = pair.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "%s: '%s' is not Name=Value\n", argv[0], pair.c_str());
            return 2;
        }
        if (!reg.MachineSetting(kProgramKey, pair.substr(0, eq), pair.substr(eq + 1))) {
            std::fprintf(stderr, "%s: cannot write %s into %s\n", argv[0], pair.substr(0, eq).c_str(), argv[1]);
            return 1;
        }
    }
    return 0;
}

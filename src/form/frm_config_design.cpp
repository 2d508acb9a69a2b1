#include "form/frm_config.h"

namespace plx {

// Design captions (German), list texts, initial visibility and geometry of frm_config.
void load_design(FrmConfig& f) {
    f.frm_config.set_caption("PLX24-RS485-Modbus Version 1.5");
    f.set_parameter.set_enabled(false);
}

}  // namespace plx

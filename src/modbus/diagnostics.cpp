#include "modbus/diagnostics.h"

namespace plx::modbus {

std::string_view verdict_name(Verdict v) {
    switch (v) {
        case Verdict::ok:
            return "ok";
        case Verdict::check_sum_wrong:
            return "check_sum_wrong";
        case Verdict::wrong_slave_address:
            return "wrong_slave_address";
        case Verdict::exception:
            return "exception";
        case Verdict::misfit:
            return "misfit";
        case Verdict::echo:
            return "echo";
        case Verdict::no_request:
            return "no_request";
        case Verdict::discarded:
            return "discarded";
        case Verdict::time_out:
            return "time_out";
        case Verdict::other_transaction:
            return "other_transaction";
    }
    return "?";
}

}  // namespace plx::modbus

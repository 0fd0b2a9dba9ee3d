#pragma once
// A simulated radio with plain fields, a recording host set to the simulator's line and the
// protocol over them, for tests that need the whole chain and nothing special.

#include "radio/PlainFields.h"
#include "radio/Protocol.h"
#include "tests/radio/RecordingHost.h"
#include "tests/radio/SimProcess.h"

#include <string>
#include <utility>
#include <vector>

namespace radio::test {

struct CSimRig {
    explicit CSimRig(std::vector<std::string> args = {}) : sim(std::move(args)) {
        host.portEntry = " " + sim.Path();
    }

    CSimProcess sim;
    CRecordingHost host;
    CPlainFields fields;
    CRadioProtocol protocol{host, fields.settings};
};

} // namespace radio::test

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// NetworkManager's stand-in (tests/support/nm_stand_in.py) on a private system bus.

#include "tests/platform/linux/bus_stand_in.h"

namespace platform {

class NmStandIn : public BusStandIn {
public:
    NmStandIn() : BusStandIn("DBUS_SYSTEM_BUS_ADDRESS", NM_STAND_IN) {}
};

} // namespace platform

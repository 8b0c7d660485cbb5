// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ImageList1: the tray frames the connection tick cycles through while connected.

#include "counter/counter_view.h"

#include <QIcon>

// Frame index, 0 to kTrayFrameCount - 1, as a 16 x 16 icon; another index raises
// platform::RangeError.
QIcon ImageList1Icon(int index);

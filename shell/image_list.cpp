// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/image_list.h"

#include "platform/failure.h"

QIcon ImageList1Icon(int index) {
    if (index < 0 || index >= kTrayFrameCount) {
        throw platform::RangeError();
    }
    return QIcon(QStringLiteral(":/icons/tray_frame_%1.ico").arg(index));
}

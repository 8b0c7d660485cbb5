// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/connection_traffic.h"

void ConnectionTraffic::Sample(const QString& description) {
    const auto now = platform::linkOctets(description.toStdString());
    if (!now) {
        return;
    }
    if (last_ && last_->name == now->name && now->received >= last_->received &&
        now->sent >= last_->sent) {
        received_ += now->received - last_->received;
        sent_ += now->sent - last_->sent;
    } else if (last_) {
        received_ += now->received;
        sent_ += now->sent;
    }
    interfaceName_ = QString::fromStdString(now->name);
    last_ = now;
}

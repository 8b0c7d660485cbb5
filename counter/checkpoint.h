// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checkpoint of a running connection, beside the counter file: what the disconnection update
// would add to line 2 if the connection ended now (what it is charged), with the reset date and the
// line 2 it would add to. Written every ten seconds of connection and removed when the connection
// is recorded, it lets the next start-up record a connection whose program died (a crash, a power
// cut).

#include "counter/counter_files.h"
#include "journal/journal.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

inline constexpr char kCheckpointFileName[] = "decompte_internet.reprise";
// Connection seconds between two checkpoints: a power cut loses at most about that much.
inline constexpr std::int32_t kCheckpointPeriod = 10;

struct Checkpoint {
    QByteArray resetDate; // line 1 of the counter file
    QString base;         // line 2 of the counter file, as the connection found it
    std::int32_t seconds = 0;
    // For the journal: when the connection started and the checkpoint was written (UTC), its
    // link and octets so far. A checkpoint of an earlier version has none of them.
    QDateTime start;
    QDateTime written;
    QString interfaceName;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    std::int32_t upSeconds = 0; // the link's own time, without dead time or rounding
};

void WriteCheckpoint(const Checkpoint& checkpoint);
// The same where a failure is already being reported: false when it could not be written.
bool TryWriteCheckpoint(const Checkpoint& checkpoint) noexcept;
void RemoveCheckpoint();

// Records a checkpoint left by a program that did not end its connection into line 2 of the
// counter file, once: a checkpoint already recorded is only removed. One that belongs to another
// counter or reset, cannot be read, or counts more seconds than have passed since the reset, is
// set aside under another name; notice says so. The recorded connection is journalled once too,
// and its octets added to the period's volume once, even when an earlier start recorded it in the
// counter file but died before the rest.
void FoldCheckpoint(const Notice& notice, Journal& journal);

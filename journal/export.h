// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts the history shows and exports: volumes, kinds of rows, the CSV of a period.

#include "journal/journal.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

// Octets in gigaoctets (10^9) from one on, in megaoctets or kilooctets below, with a decimal
// comma: "1,25 Go", "350,2 Mo", "3,2 ko".
QString VolumeText(std::uint64_t octets);
// How the row came to be, as the table and the export say it.
QString KindText(EntryKind kind);
// The same with what a correction changed: "correction du compteur : 12h18m0s → 12h31m0s
// (+0h13m0s)".
QString EventText(const JournalEntry& entry);
// A local date and time, day first: "09/12/2026 10:20:16".
QString LocalTimeText(const QDateTime& time);
// The rows as French spreadsheets read them: UTF-8 with its byte-order mark, fields separated by
// semicolons, lines ending in CR LF, a header line first.
QByteArray CsvText(const QList<JournalEntry>& entries);

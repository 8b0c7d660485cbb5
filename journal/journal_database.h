// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal's SQLite database itself, in a module of its own that JournalStore loads at the
// journal's first use: QtSql, and SQLite with it, stay out of a program whose journal is not used.

#include "journal/journal_store.h"

class JournalDatabase {
public:
    virtual ~JournalDatabase() = default;
    // As JournalStore's functions of the same names.
    virtual int Add(const QList<JournalEntry>& entries) = 0;
    virtual QList<JournalEntry> Entries(const QDateTime& from, const QDateTime& to) = 0;
    virtual QList<QDateTime> Resets() = 0;
};

// The module's one export: the database of that file, opened and brought up to this program's
// schema; the caller owns it. Raises platform::Failure with the French message when it cannot
// serve.
extern "C" JournalDatabase* OpenJournalDatabase(const QString& fileName);
using JournalDatabaseOpener = decltype(&OpenJournalDatabase);

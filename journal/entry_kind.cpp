// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_store.h"

#include <algorithm>
#include <array>

namespace {

// The names the database holds: a kind keeps its name whatever its place in the enum.
struct KindName {
    EntryKind kind;
    const char* name;
};
constexpr std::array<KindName, 6> kKindNames = {{{EntryKind::Ended, "ended"},
                                                 {EntryKind::Stopped, "stopped"},
                                                 {EntryKind::Recovered, "recovered"},
                                                 {EntryKind::Reset, "reset"},
                                                 {EntryKind::Plan, "plan"},
                                                 {EntryKind::Correction, "correction"}}};

} // namespace

QString NameOf(EntryKind kind) {
    const auto* found = std::find_if(kKindNames.begin(), kKindNames.end(),
                                     [kind](const KindName& named) { return named.kind == kind; });
    return QString::fromLatin1(found->name);
}

EntryKind KindOf(const QString& name) {
    const auto* found =
        std::find_if(kKindNames.begin(), kKindNames.end(),
                     [&name](const KindName& named) { return name == QLatin1String(named.name); });
    return found == kKindNames.end() ? EntryKind::Ended : found->kind;
}

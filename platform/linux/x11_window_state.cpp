// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11_window.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

namespace platform::x11 {

namespace {

// xcb replies are malloc'ed.
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

enum Atom { kNetWmState, kSkipTaskbar, kSkipPager, kSticky, kNetWmDesktop, kAtomCount };

constexpr std::array<const char*, kAtomCount> kAtomNames = {
    "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
    "_NET_WM_STATE_STICKY", "_NET_WM_DESKTOP"};

using Atoms = std::array<xcb_atom_t, kAtomCount>;

// A server keeps an atom's number while it runs: the names are interned at a connection's first
// use only, all requests first and then the replies. The GUI thread alone calls this.
const Atoms* AtomsOf(xcb_connection_t* connection) {
    static xcb_connection_t* internedOn = nullptr;
    static Atoms atoms{};
    if (connection != internedOn) {
        std::array<xcb_intern_atom_cookie_t, kAtomCount> cookies{};
        for (int i = 0; i < kAtomCount; ++i) {
            cookies[i] = xcb_intern_atom(connection, 0,
                                         static_cast<std::uint16_t>(std::strlen(kAtomNames[i])),
                                         kAtomNames[i]);
        }
        for (int i = 0; i < kAtomCount; ++i) {
            const auto reply = Owned(xcb_intern_atom_reply(connection, cookies[i], nullptr));
            atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        }
        const bool interned = std::ranges::find(atoms, xcb_atom_t{XCB_ATOM_NONE}) == atoms.end();
        internedOn = interned ? connection : nullptr;
    }
    return internedOn != nullptr ? &atoms : nullptr;
}

// The _NET_WM_STATE change message the window manager acts on for a mapped window.
void AskWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root,
                      const Atoms& atoms, bool shown) {
    constexpr std::uint32_t kRemove = 0;
    constexpr std::uint32_t kAdd = 1;
    constexpr std::uint32_t kSourceApplication = 1;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms[kNetWmState];
    event.data.data32[0] = shown ? kRemove : kAdd;
    event.data.data32[1] = atoms[kSkipTaskbar];
    event.data.data32[3] = kSourceApplication;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Rewrites the unmapped window's _NET_WM_STATE with the given states added or removed, keeping
// the others (stays-on-top and the like) that the toolkit put there.
void RewriteState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmState,
                  std::initializer_list<xcb_atom_t> changed, bool add) {
    const auto current = Owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    std::vector<xcb_atom_t> states;
    if (current && current->type == XCB_ATOM_ATOM && current->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
        states.assign(values, values + xcb_get_property_value_length(current.get()) / 4);
    }
    std::erase_if(states, [&](xcb_atom_t state) { return std::ranges::count(changed, state) > 0; });
    if (add) {
        states.insert(states.end(), changed);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
}

} // namespace

void ShowInTaskbar(void* connectionHandle, std::uint32_t window, bool shown) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    // All requests first, then the replies: one round trip.
    const auto attributesCookie = xcb_get_window_attributes(connection, window);
    const auto geometryCookie = xcb_get_geometry(connection, window);
    const Atoms* atoms = AtomsOf(connection);
    const auto attributes =
        Owned(xcb_get_window_attributes_reply(connection, attributesCookie, nullptr));
    const auto geometry = Owned(xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    if (!attributes || !geometry || atoms == nullptr) {
        return;
    }
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        RewriteState(connection, window, (*atoms)[kNetWmState], {(*atoms)[kSkipTaskbar]}, !shown);
    }
    // Also sent for an unmapped window, which a window manager about to map it may already
    // manage; one that does not ignores it.
    AskWindowManager(connection, window, geometry->root, *atoms, shown);
    xcb_flush(connection);
}

void ShowOnEveryDesktop(void* connectionHandle, std::uint32_t window) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    const Atoms* atoms = AtomsOf(connection);
    if (atoms == nullptr) {
        return;
    }
    RewriteState(connection, window, (*atoms)[kNetWmState],
                 {(*atoms)[kSticky], (*atoms)[kSkipPager]}, true);
    constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, (*atoms)[kNetWmDesktop],
                        XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    xcb_flush(connection);
}

} // namespace platform::x11

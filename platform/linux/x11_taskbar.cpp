#include "platform/linux/x11_taskbar.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::x11 {

namespace {

// xcb replies are malloc'ed.
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_intern_atom_cookie_t InternAtom(xcb_connection_t* connection, const char* name) {
    return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
}

xcb_atom_t AtomOf(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie) {
    const auto reply = Owned(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

struct StateAtoms {
    xcb_atom_t netWmState = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
};

// A server keeps an atom's number while it runs: the names are interned at a connection's first
// use only. The GUI thread alone calls this.
StateAtoms AtomsOf(xcb_connection_t* connection) {
    static xcb_connection_t* internedOn = nullptr;
    static StateAtoms atoms;
    if (connection != internedOn) {
        const auto stateCookie = InternAtom(connection, "_NET_WM_STATE");
        const auto skipCookie = InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
        atoms = {AtomOf(connection, stateCookie), AtomOf(connection, skipCookie)};
        const bool interned =
            atoms.netWmState != XCB_ATOM_NONE && atoms.skipTaskbar != XCB_ATOM_NONE;
        internedOn = interned ? connection : nullptr;
    }
    return atoms;
}

// The _NET_WM_STATE change message the window manager acts on for a mapped window.
void AskWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root,
                      xcb_atom_t netWmState, xcb_atom_t skipTaskbar, bool shown) {
    constexpr std::uint32_t kRemove = 0;
    constexpr std::uint32_t kAdd = 1;
    constexpr std::uint32_t kSourceApplication = 1;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = netWmState;
    event.data.data32[0] = shown ? kRemove : kAdd;
    event.data.data32[1] = skipTaskbar;
    event.data.data32[3] = kSourceApplication;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Rewrites the unmapped window's _NET_WM_STATE with skipTaskbar added or removed, keeping the
// other states (stays-on-top and the like) that the toolkit put there.
void RewriteState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmState,
                  xcb_atom_t skipTaskbar, bool shown, xcb_get_property_reply_t* current) {
    std::vector<xcb_atom_t> atoms;
    if (current != nullptr && current->type == XCB_ATOM_ATOM && current->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(current));
        atoms.assign(values, values + xcb_get_property_value_length(current) / 4);
    }
    std::erase(atoms, skipTaskbar);
    if (!shown) {
        atoms.push_back(skipTaskbar);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

} // namespace

void ShowInTaskbar(void* connectionHandle, std::uint32_t window, bool shown) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    // All requests first, then the replies: one round trip.
    const auto attributesCookie = xcb_get_window_attributes(connection, window);
    const auto geometryCookie = xcb_get_geometry(connection, window);
    const auto [netWmState, skipTaskbar] = AtomsOf(connection);
    const auto attributes =
        Owned(xcb_get_window_attributes_reply(connection, attributesCookie, nullptr));
    const auto geometry = Owned(xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    if (!attributes || !geometry || netWmState == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE) {
        return;
    }
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        const auto current = Owned(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024),
            nullptr));
        RewriteState(connection, window, netWmState, skipTaskbar, shown, current.get());
    }
    // Also sent for an unmapped window, which a window manager about to map it may already
    // manage; one that does not ignores it.
    AskWindowManager(connection, window, geometry->root, netWmState, skipTaskbar, shown);
    xcb_flush(connection);
}

} // namespace platform::x11

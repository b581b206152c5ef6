// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop_hints.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <xcb/xcb.h>

namespace melnix {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

}  // namespace

void keepOffTaskbar(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !window.isWindow()) return;
    xcb_connection_t* c = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = {atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    // The states the window has already (Qt merges its own into them when
    // it maps the window), with ours added.
    std::vector<xcb_atom_t> states;
    if (xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            states.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
    }
    for (xcb_atom_t a : wanted)
        if (a != XCB_ATOM_NONE && std::find(states.begin(), states.end(), a) == states.end()) states.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, static_cast<uint32_t>(states.size()),
                        states.data());
    xcb_flush(c);
}

}  // namespace melnix

#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace quellex::platform {

struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};

// A reply or event from xcb, which hands them out to be freed with free().
template<typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

// Each call waits for its reply, which also takes any error of the request: none reaches the
// connection's event queue, so a window that went away meanwhile upsets no error handler.

inline bool xcbWindowExists(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_generic_error_t *error = nullptr;
    XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

// The 32-bit values of a property of the given type (windows, atoms, cardinals); none when the
// property is absent or of another type.
inline std::vector<std::uint32_t> xcbPropertyValues(xcb_connection_t *connection, xcb_window_t window,
                                                    xcb_atom_t property, xcb_atom_t type)
{
    xcb_generic_error_t *error = nullptr;
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 4096), &error));
    std::free(error);
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / sizeof(std::uint32_t)};
}

// An EWMH request to the window manager about window: a client message to the root window, which
// always exists, so a client window destroyed meanwhile only makes the window manager drop it.
inline void xcbSendToWindowManager(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window,
                                   xcb_atom_t type, std::uint32_t d0, std::uint32_t d1, std::uint32_t d2,
                                   std::uint32_t d3)
{
    const xcb_client_message_event_t event{.response_type = XCB_CLIENT_MESSAGE,
                                           .format = 32,
                                           .sequence = 0,
                                           .window = window,
                                           .type = type,
                                           .data = {.data32 = {d0, d1, d2, d3, 0}}};
    const xcb_void_cookie_t cookie = xcb_send_event_checked(
        connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&event));
    xcb_discard_reply(connection, cookie.sequence);
}

} // namespace quellex::platform

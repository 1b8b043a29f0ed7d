#include "iconify.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

constexpr quint32 kIconicState = 3;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

QString iconifyWindow(const QString &display, quint32 window)
{
    xcb_connection_t *connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return QStringLiteral("no connection to X display %1").arg(display);
    }
    const xcb_atom_t wmState = internAtom(connection, "WM_STATE");
    // state and icon window; the property's type is WM_STATE itself.
    const quint32 state[2] = { kIconicState, XCB_WINDOW_NONE };
    const xcb_void_cookie_t cookies[] = {
        xcb_change_property_checked(
            connection, XCB_PROP_MODE_REPLACE, window, wmState, wmState, 32, 2, state),
        xcb_unmap_window_checked(connection, window),
    };
    QString problem;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            problem = QStringLiteral("X error %1 on window 0x%2")
                          .arg(error->error_code)
                          .arg(window, 0, 16);
            std::free(error);
        }
    }
    xcb_disconnect(connection);
    return problem;
}

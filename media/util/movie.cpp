#include "media/util/movie.h"

#include "platform/core/winuser.h"

MCIERROR CMovie::SendMovieCommand(UINT message, DWORD flags, MCI_GENERIC_PARMS* params) {
    if (params != nullptr && (flags & MCI_NOTIFY) && m_window != nullptr && IsWindow(m_window)) {
        // The whole handle: a window handle cut to 16 bits would name no window here.
        params->dwCallback = reinterpret_cast<DWORD_PTR>(m_window);
    }
    return mciSendCommand(m_deviceId, message, flags, reinterpret_cast<DWORD_PTR>(params));
}

MCIERROR CMovie::GetMovieRect(RECT* rect) {
    if (m_deviceId == 0) return MCIERR_DEVICE_NOT_READY;
    MCI_ANIM_RECT_PARMS where{};
    const MCIERROR error = SendMovieCommand(MCI_WHERE, MCI_ANIM_WHERE_DESTINATION, &where);
    if (error != 0) return error;
    if (rect != nullptr) {
        const auto add = [](LONG a, LONG b) { return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); };
        *rect = {where.rc.left, where.rc.top, add(where.rc.left, where.rc.right), add(where.rc.top, where.rc.bottom)};
    }
    return 0;
}

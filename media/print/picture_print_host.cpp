#include "media/print/picture_print_host.h"

namespace {

IPicturePrintHost g_neutral;
IPicturePrintHost* g_host = nullptr;

}  // namespace

IPicturePrintHost* SetPicturePrintHost(IPicturePrintHost* host) {
    IPicturePrintHost* before = g_host;
    g_host = host;
    return before;
}

IPicturePrintHost& PicturePrintHost() {
    return g_host ? *g_host : g_neutral;
}

#include "media/print/picture_file_host.h"

namespace {

IPictureFileHost g_neutral;
IPictureFileHost* g_host = nullptr;

}  // namespace

IPictureFileHost* SetPictureFileHost(IPictureFileHost* host) {
    IPictureFileHost* before = g_host;
    g_host = host;
    return before;
}

IPictureFileHost& PictureFileHost() {
    return g_host ? *g_host : g_neutral;
}

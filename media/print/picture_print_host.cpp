#include "media/print/picture_print_host.h"

#include "platform/core/seam.h"

namespace {

constinit plat::Seam<IPicturePrintHost> g_host;

}  // namespace

IPicturePrintHost* SetPicturePrintHost(IPicturePrintHost* host) { return g_host.Install(host); }
IPicturePrintHost& PicturePrintHost() { return g_host.Get(); }

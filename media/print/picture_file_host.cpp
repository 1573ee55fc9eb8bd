#include "media/print/picture_file_host.h"

#include "platform/core/seam.h"

namespace {

constinit plat::Seam<IPictureFileHost> g_host;

}  // namespace

IPictureFileHost* SetPictureFileHost(IPictureFileHost* host) { return g_host.Install(host); }
IPictureFileHost& PictureFileHost() { return g_host.Get(); }

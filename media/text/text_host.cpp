#include "media/text/text_host.h"

#include "platform/core/seam.h"

namespace {

constinit plat::Seam<ITextHost> g_host;

}  // namespace

ITextHost* SetTextHost(ITextHost* host) { return g_host.Install(host); }
ITextHost& TextHost() { return g_host.Get(); }

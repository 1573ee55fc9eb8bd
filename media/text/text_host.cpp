#include "media/text/text_host.h"

#include <utility>

namespace {

ITextHost& NeutralHost() {
    static ITextHost host;
    return host;
}

ITextHost* g_host = nullptr;

}  // namespace

ITextHost* SetTextHost(ITextHost* host) {
    return std::exchange(g_host, host);
}

ITextHost& TextHost() {
    return g_host ? *g_host : NeutralHost();
}

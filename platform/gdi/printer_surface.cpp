// Printer DCs: a DC of kind Printer whose surface is the page of a device the printing
// layer opened (platform/print), and whose capabilities that device answers.
#include <map>
#include <set>

#include "platform/gdi/printer_internal.h"
#include "platform/gdi/printer_surface.h"

namespace plat {
namespace {

PrinterOpener g_opener = nullptr;

std::map<const gdi::DcObj*, std::unique_ptr<IPrinterDevice>>& Devices() {
    static std::map<const gdi::DcObj*, std::unique_ptr<IPrinterDevice>> devices;
    return devices;
}

// Devices of DCs that were freed without DeleteDC (ResetGdi) are let go.
void PruneDevices() {
    std::set<const gdi::DcObj*> live;
    gdi::ForEachObject(
        [](HGDIOBJ, gdi::Object* o, void* ctx) {
            if (o->kind == gdi::Kind::Dc && static_cast<gdi::DcObj*>(o)->dcKind == gdi::DcKind::Printer)
                static_cast<std::set<const gdi::DcObj*>*>(ctx)->insert(static_cast<gdi::DcObj*>(o));
        },
        &live);
    for (auto it = Devices().begin(); it != Devices().end();) it = live.count(it->first) ? std::next(it) : Devices().erase(it);
}

IPrinterDevice* DeviceOf(const gdi::DcObj* dc) {
    if (!dc || dc->dcKind != gdi::DcKind::Printer) return nullptr;
    auto it = Devices().find(dc);
    return it == Devices().end() ? nullptr : it->second.get();
}

}  // namespace

void PrinterPage::Reset(int w, int h) {
    width = w;
    height = h;
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    table.fill(RGBQUAD{255, 255, 255, 0});
    used = 1;
}

void SetPrinterOpener(PrinterOpener opener) {
    g_opener = opener;
}

IPrinterDevice* PrinterDeviceOf(HDC hdc) {
    return DeviceOf(gdi::GetDcObj(hdc));
}

}  // namespace plat

namespace plat::gdi {

HDC CreatePrinterDc(LPCSTR driver, LPCSTR device, LPCSTR port, const void* devMode) {
    if (!g_opener) return nullptr;
    std::unique_ptr<IPrinterDevice> opened = g_opener(driver, device, port, devMode);
    if (!opened) return nullptr;
    PruneDevices();
    auto dc = std::make_unique<DcObj>();
    dc->dcKind = DcKind::Printer;
    dc->released = false;
    DcState& st = dc->st;
    st.pen = GetStockObject(BLACK_PEN);
    st.brush = GetStockObject(WHITE_BRUSH);
    st.font = GetStockObject(SYSTEM_FONT);
    st.palette = GetStockObject(DEFAULT_PALETTE);
    for (HGDIOBJ h : {st.pen, st.brush, st.font, st.palette}) AddRef(h);
    const DcObj* key = dc.get();
    HDC hdc = reinterpret_cast<HDC>(Register(std::move(dc)));
    Devices()[key] = std::move(opened);
    return hdc;
}

bool PrinterSurface(DcObj* dc, Surface& s, POINT& origin) {
    IPrinterDevice* dev = DeviceOf(dc);
    PrinterPage* page = dev ? dev->Page() : nullptr;
    if (!page || page->width <= 0 || page->height <= 0) return false;
    s = Surface{};
    s.base = page->pixels.data();
    s.pitch = page->width;
    s.width = page->width;
    s.height = page->height;
    s.space = Space::Table;
    s.table = page->table.data();
    s.growTable = page->table.data();
    s.tableUsed = &page->used;
    origin = POINT{};
    return true;
}

int PrinterCaps(DcObj* dc, int index) {
    IPrinterDevice* dev = DeviceOf(dc);
    return dev ? dev->DeviceCaps(index) : 0;
}

void ForgetPrinterDc(DcObj* dc) {
    Devices().erase(dc);
}

}  // namespace plat::gdi

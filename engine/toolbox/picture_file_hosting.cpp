#include "engine/toolbox/picture_file_hosting.h"

#include "engine/toolbox/palette_wrappers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/screen_helpers.h"
#include "media/print/picture_file_host.h"
#include "platform/fs/winfile.h"

namespace {

class CToolboxPictureFileHost : public IPictureFileHost {
public:
    void PaletteToRgbTriplets(uint8_t* rgb) override { ::PaletteToRgbTriplets(rgb, nullptr); }
    void GetGamePaletteEntries(int start, int number, PALETTEENTRY* table) override {
        ::GetGamePaletteEntries(start, number, table);
    }
    void ShadeScreen(uint8_t colour) override { ::ShadeScreen(colour); }
    void RemoveShade() override { ::RemoveShade(); }
    std::string PrefsFolder() override {
        char folder[MAX_PATH] = "";
        return GetPrefsRecordPath(folder, sizeof folder) ? std::string(folder) : std::string();
    }
};

}  // namespace

IPictureFileHost* InstallPictureFileHost() {
    static CToolboxPictureFileHost host;
    return SetPictureFileHost(&host);
}

// The engine's answer to picture printing's seam (media/print/picture_print_host.h): the frame
// surface and the module's spots, the game's title and key, the printer the current player's
// preference record names, the screen palette, the engine's printing and message flags, its
// wait cursor and redrawing, and the main window as the progress box's parent.
#pragma once

class IPicturePrintHost;

// Installs the toolbox's picture print host; the program calls it once at start, beside
// InstallPictureFileHost. Returns the host installed before.
IPicturePrintHost* InstallPicturePrintHost();

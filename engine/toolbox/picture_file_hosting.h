// The engine's answer to the picture files' seam (media/print/picture_file_host.h): the game
// palette through the palette wrappers, the shade through the screen helpers, and the
// preference folder the file dialog starts in.
#pragma once

class IPictureFileHost;

// Installs the toolbox's picture file host; the program calls it once at start, beside
// InstallPictureItems. Returns the host installed before.
IPictureFileHost* InstallPictureFileHost();

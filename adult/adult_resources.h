// The grown-ups' section's resources: the pictures the build drew (adult_bitmaps.h) as the
// program's bitmaps and icons, and the section's strings. RegisterAdultSheetTemplates calls it.
#pragma once

#include <string>

// Registers every picture and string of the section; false with the first picture that did
// not read (the others are registered all the same).
bool RegisterAdultResources(std::string* error = nullptr);

// A picture warped onto any four-cornered shape: a new picture item holding an existing one
// mapped onto a quadrilateral, by linear texture mapping over two edge tables of 640 rows (x in
// whole pixels, source u and v in 8.8 fixed point). Pixels are copied as they are (palette
// indices, no transparency).
#pragma once

#include <cstdint>

#include "media/res/res_item_host.h"
#include "media/util/cor_geometry.h"

// The rows the edge tables hold: no destination point may lie below row 640.
inline constexpr int kQuadEdgeRows = 640;

// A new picture of the bounding box of p0..p3 (picture coordinates) holding picture id mapped
// with its top-left corner on p0, top-right on p1, bottom-right on p2 and bottom-left on p3;
// its hot spot is p0's place in it, so drawing it at p0 puts it in place. The right and bottom
// edges of the shape are not drawn. Returns the new picture's module-relative id; 0 when no
// picture could be made, and for a box taller than the edge tables. A source that cannot be
// loaded leaves the new picture blank.
int16_t DrawPictureQuad(int16_t id, CCorPoint p0, CCorPoint p1, CCorPoint p2, CCorPoint p3);

// Maps the source polygon (n points in source pixels) onto the destination polygon (n points in
// destination pixels), point i onto point i. Draws nothing when a destination point lies
// outside 0..width × 0..height of the destination or below row 640, when a source point lies
// outside the source, for fewer than 3 points, or when the edge tables cannot be had. The right
// end of each row and the bottom row are not drawn.
void TexturePolygon(const LockedPicture& source, const LockedPicture& destination, const CCorPoint* sourcePoints,
                    const CCorPoint* destinationPoints, int n);

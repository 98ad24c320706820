// The recording surface's names for the palette's objects: pens and brushes by slot, the 3D
// track's pen where the ground hides it as "hidden", the title fonts as "screen" and "printer".
// Used by the tests and benchmarks that read recordings.
#pragma once

#include "CDrawTools.h"
#include "CSurfaceNames.h"

CSurfaceNames DrawToolNames(const CDrawTools& tools);

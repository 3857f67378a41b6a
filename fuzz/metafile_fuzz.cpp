// The metafile reader, rendering at a small fixed size as it does for a canvas.
#include "image_fuzz.h"

CALV_IMAGE_FUZZ_TARGET(calv::codec::decodeMetafile(data, size, image, calv::MetafileTarget{16, 12, {1, 2, 3}}))

/* calvcore: a painting engine. One canvas of 16-bit RGBA layers, driven from one host
 * thread through these functions. Sizes and coordinates are pixels; host strides are
 * bytes; flags are tested on their low byte; 8-bit values widen to 16 bits by x 256. */
#ifndef CALVCORE_H
#define CALVCORE_H

#include <stdint.h>

#if defined(__GNUC__)
#define CALV_API __attribute__((visibility("default")))
#else
#define CALV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Canvas life cycle ---------------------------------------------------------- */

/* Creates the canvas: width x height pixels (a side below 0 or above 10000 becomes 100),
 * brush work areas for brushes up to maxBrushSize pixels. Empties every layer slot. */
CALV_API void CVX_CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                              int32_t reserved);
/* Re-creates every canvas and brush plane for a new size; layers keep their pixels. */
CALV_API void CVX_NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize, int32_t reserved);
/* Frees everything the canvas owns, the layers included. */
CALV_API void CVX_DeleteImage(void);

/* ---- Errors ---------------------------------------------------------------------- */

/* Stores up to 511 characters of text as the last-error text. */
CALV_API void CVX_SetLastError(const char* text);
/* The last-error text ("Name Excpt" after a failure); never cleared by the engine. */
CALV_API const char* CVX_GetLastError(void);

/* ---- Utilities ------------------------------------------------------------------- */

/* A block of size bytes from the engine's heap, or null. */
CALV_API void* CVX_Alloc(int32_t size);
/* Frees a block from CVX_Alloc; null is ignored. */
CALV_API void CVX_Free(void* block);
/* Copies count bytes from src to dst (not overlapping); nothing when either is null. */
CALV_API void CVX_Memcpy(void* dst, const void* src, int32_t count);
/* Returns its argument: lets a host that passes a buffer by reference learn its address. */
CALV_API intptr_t BankAdrs(intptr_t value);
/* The folder the host runs from (shorter than 1024 characters, else ignored). */
CALV_API void CVX_SetStartDir(const char* path);
/* Seeds the brush engine's random generator. */
CALV_API void CVX_SetRandomSeed(int32_t seed);
/* Window redraw switch: no window system is driven here; returns 0. */
CALV_API int32_t CVX_SetWindowRedraw(void* window, int32_t flag);
/* Window repaint request: no window system is driven here; returns 0. */
CALV_API int32_t CVX_RedrawWindow(void* window);
/* 1 once after the display or power state changed, else 0. */
CALV_API int32_t CVX_IsDisplayChanged(void);

/* ---- Masked loading (RGBA32 = bytes R, G, B, A; RGB24 = bytes R, G, B) ----------- */

/* Writes an RGBA32 picture into layer slot at (x, y), clipped to the layer; through the
 * mask and paper texture when useMask is set. */
CALV_API void CVX_LoadRGBA32Layer(const uint8_t* src, int32_t srcStride, int32_t layer, int32_t x, int32_t y,
                                  int32_t width, int32_t height, int32_t useMask);
/* CVX_LoadRGBA32Layer into the current layer at (0, 0), the layer's own size. */
CALV_API void CVX_LoadRGBA32(const uint8_t* src, int32_t srcStride, int32_t useMask);
/* CVX_LoadRGBA32Layer with the mask and texture. */
CALV_API void CVX_LoadRGBA32Into(const uint8_t* src, int32_t srcStride, int32_t layer, int32_t x, int32_t y,
                                 int32_t width, int32_t height);
/* Restores a layer from the deflated RGBA32 block CVX_GetRGBA32LayerCompressed made;
 * 1 on success, 0 when the block does not hold exactly the layer's pixels. */
CALV_API int32_t CVX_LoadRGBA32LayerCompressed(const uint8_t* data, int32_t reserved, int32_t dataLength,
                                               int32_t layer);
/* A canvas-sized RGB24 picture into R, G, B of the current layer. */
CALV_API void CVX_LoadRGB24(const uint8_t* src, int32_t srcStride, int32_t useMask);
/* The first byte of each RGB24 pixel into the current layer's alpha, where alpha > 0. */
CALV_API void CVX_LoadRGB24ToAlpha(const uint8_t* src, int32_t srcStride, int32_t useMask);
/* A 24-bit bitmap in B, G, R byte order into the current layer, opaque, unmasked. */
CALV_API void CVX_Load(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height);
/* Fills the current layer with the 8-bit colour, weighted by the mask (16-bit rule). */
CALV_API void CVX_ClearMasked(int32_t r, int32_t g, int32_t b, int32_t a);
/* Fills the current layer with the 8-bit colour through the picture-load rule; 0 when
 * its work buffer cannot be had, else 1. */
CALV_API int32_t CVX_ClearMaskedAlpha(int32_t r, int32_t g, int32_t b, int32_t a);

/* ---- Layers: slot 0 trace image, 1 background, 2..63 ordinary --------------------- */

/* Gives slot width x height pixels (background opaque white, others transparent);
 * 1 on success, 0 on failure. */
CALV_API int32_t CVX_CreateLayer(int32_t slot, int32_t width, int32_t height);
/* Frees the slot's pixels. */
CALV_API void CVX_DeleteLayer(int32_t slot);
/* Sets visibility, keep-alpha, opacity (per cent) and blend mode by name; returns the
 * blend-mode id (0, "Normal", for an unknown name). */
CALV_API int32_t CVX_SetLayerOptions(int32_t slot, int32_t visible, int32_t keepAlpha, int32_t opacityPercent,
                                     const char* blendName);
/* Makes a slot that holds pixels the current layer. */
CALV_API void CVX_SetLayer(int32_t slot);
/* The current layer's slot. */
CALV_API int32_t CVX_GetLayerNum(void);
/* How many slots hold pixels. */
CALV_API int32_t CVX_GetLayerCount(void);
/* Exchanges two slots whole; the current slot number stays. */
CALV_API void CVX_SwapLayers(int32_t a, int32_t b);
/* Opacity (per cent) the alpha blend modes give their pixels. */
CALV_API void CVX_SetAlphaLayerOpacity(int32_t percent);

/* ---- Paint layer: the stroke in progress ------------------------------------------ */

/* Makes the canvas-sized paint layer if needed and sets its opacity (per cent) and
 * blend mode; returns the blend-mode id. */
CALV_API int32_t CVX_CreatePaintLayer(int32_t opacityPercent, const char* blendName);
/* Clears the paint layer to transparent and empties its dirty rectangle. */
CALV_API void CVX_ClearPaintLayer(void);
/* Sets the paint layer to 0xFF bytes outside its dirty rectangle and 0 inside it. */
CALV_API void CVX_ClearPaintLayer_old(void);
/* Composites the paint layer's dirty rectangle into slot, then clears the paint layer. */
CALV_API void CVX_MergePaintLayer(int32_t slot);
/* Frees the paint layer. */
CALV_API void CVX_DeletePaintLayer(void);

/* ---- Paper texture ------------------------------------------------------------------ */

/* Builds the canvas-sized paper texture (bytes 4..250) from a layer; returns it or null. */
CALV_API uint8_t* CVX_CreateTexture(int32_t slot);
/* Frees the paper texture. */
CALV_API void CVX_DeleteTexture(void);

#ifdef __cplusplus
}
#endif

#endif /* CALVCORE_H */

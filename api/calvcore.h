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

/* ---- Reading and writing pixels (no mask); 8-bit results are high bytes --------- */

/* Pick words: CVX_GetRGBAAt packs R, G, B, A from the top byte down and clamps (x, y)
 * onto the canvas; CVX_GetColorAt packs A, R, G, B and gives 0xFFFFFF outside the
 * canvas. Both give 0 for a missing plane. `plane` is a canvas-sized RGBA64 plane. */
CALV_API uint32_t CVX_GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane);
CALV_API uint32_t CVX_GetColorAt(int32_t x, int32_t y, const uint16_t* plane);
/* The same picks on the current layer, the under-layer, layer n and the trace image. */
CALV_API uint32_t CVX_GetRGBAAtSurface(int32_t x, int32_t y);
CALV_API uint32_t CVX_GetColorAtSurface(int32_t x, int32_t y);
CALV_API uint32_t CVX_GetRGBAAtUnderLayer(int32_t x, int32_t y);
CALV_API uint32_t CVX_GetColorAtUnderLayer(int32_t x, int32_t y);
CALV_API uint32_t CVX_GetRGBAAtLayer(int32_t x, int32_t y, int32_t layer);
CALV_API uint32_t CVX_GetColorAtLayer(int32_t x, int32_t y, int32_t layer);
CALV_API uint32_t CVX_GetRGBAAtTrace(int32_t x, int32_t y);
CALV_API uint32_t CVX_GetColorAtTrace(int32_t x, int32_t y);
/* The under-layer's A, R, G, B word while a step can be undone, else 0. */
CALV_API uint32_t CVX_GetColorAtHistory(int32_t x, int32_t y);
/* One 16-bit channel of the current layer at (x, y); 0 outside the canvas. */
CALV_API int32_t CVX_GetRed64(int32_t x, int32_t y);
CALV_API int32_t CVX_GetGreen64(int32_t x, int32_t y);
CALV_API int32_t CVX_GetBlue64(int32_t x, int32_t y);
CALV_API int32_t CVX_GetAlpha64(int32_t x, int32_t y);

/* The current layer as canvas-sized RGB24. */
CALV_API void CVX_GetRGB24(uint8_t* dst, int32_t dstStride);
/* Layer n as canvas-sized RGB24; returns the canvas height, 0 without pixels. */
CALV_API int32_t CVX_GetRGB24Layer(uint8_t* dst, int32_t dstStride, int32_t layer);
/* The current layer's alpha as RGB24 grey. */
CALV_API void CVX_GetRGB24FromAlpha(uint8_t* dst, int32_t dstStride);
/* Layer n as canvas-sized RGBA32; returns the canvas height, 0 without pixels. */
CALV_API int32_t CVX_GetRGBA32Layer(uint8_t* dst, int32_t dstStride, int32_t layer);
/* The current layer as canvas-sized RGBA32; returns the canvas height, 0 without pixels. */
CALV_API int32_t CVX_GetRGBA32(uint8_t* dst, int32_t dstStride);
/* The width x height rectangle at (x, y) of layer n into an RGBA64 buffer holding that
 * rectangle; the part outside the layer is left as it was. */
CALV_API void CVX_GetRGBA64LayerRect(uint16_t* dst, int32_t dstStride, int32_t layer, int32_t x, int32_t y,
                                     int32_t width, int32_t height);
/* Layer n as canvas-sized RGBA64. */
CALV_API void CVX_GetRGBA64Layer(uint16_t* dst, int32_t dstStride, int32_t layer);
/* A canvas-sized RGBA64 picture into layer n; returns the canvas height, 0 without pixels. */
CALV_API int32_t CVX_SetRGBA64Layer(const uint16_t* src, int32_t srcStride, int32_t layer);
/* Raw canvas-sized RGBA64 copies out of, into and between layers (rows canvasWidth x 8
 * bytes). */
CALV_API void CVX_GetLayerData(void* dst, int32_t layer);
CALV_API void CVX_SetLayerData(const void* src, int32_t layer);
CALV_API void CVX_CopyLayerData(int32_t from, int32_t to);
/* Layer n as RGBA32 deflated into dst (room for dstCapacity bytes) at level 0..9;
 * returns the stream's length, 0 on failure. CVX_LoadRGBA32LayerCompressed reads it. */
CALV_API int32_t CVX_GetRGBA32LayerCompressed(uint8_t* dst, int32_t reserved, int32_t dstCapacity, int32_t layer,
                                              int32_t level);

/* Host buffer converters. RGBA64 rectangles: the width x height rectangle at (x, y) of
 * an image with rows srcRowPixels long into a packed RGBA32 or RGB24 buffer. */
CALV_API void CVX_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                                     int32_t srcRowPixels, int32_t reserved, uint8_t* dst);
CALV_API void CVX_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                                     int32_t srcRowPixels, int32_t reserved, uint8_t* dst);
/* width x height RGBA64 pixels from src to RGB24 / RGBA32 at dst (both already at the
 * rectangle's first pixel; x and y do not offset them). */
CALV_API void CVX_GetRGB24FromRGBA64Rect(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride,
                                         int32_t x, int32_t y, int32_t width, int32_t height);
CALV_API void CVX_GetRGB24FromRGBA64(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride);
CALV_API void CVX_GetRGBA32FromRGBA64Rect(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride,
                                          int32_t x, int32_t y, int32_t width, int32_t height);
/* Note the order: size before the source. */
CALV_API void CVX_GetRGBA32FromRGBA64(uint8_t* dst, int32_t dstStride, int32_t width, int32_t height,
                                      const uint16_t* src, int32_t srcStride);
/* Packed width x height buffers: RGB24 into RGBA32 (alpha kept), RGBA32 to RGB24, alpha
 * to RGB24 grey, RGB24 grey ((R + G + B) / 3) into the alpha of RGBA32. */
CALV_API void CVX_RGBToRGBA(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
CALV_API void CVX_RGBAToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
CALV_API void CVX_RGBAlphaToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
CALV_API void CVX_RGBToRGBAlpha(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src);
/* Writes the 16-bit colour's high bytes as one RGB24 pixel at (x, y) of a canvas-sized
 * buffer; nothing outside the canvas. */
CALV_API void CVX_SetPixelRGB24(uint8_t* buffer, int32_t stride, int32_t x, int32_t y, int32_t r, int32_t g,
                                int32_t b);

/* Fills: the current layer with an 8-bit colour; canvas-sized RGBA64 and RGBA32 host
 * buffers; a packed width x height RGBA32 buffer. */
CALV_API void CVX_Clear(int32_t r, int32_t g, int32_t b, int32_t a);
CALV_API void CVX_ClearRGBA64(uint16_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a);
CALV_API void CVX_ClearRGBA32(uint8_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a);
CALV_API void CVX_ClearRGBA32Buf(uint8_t* buffer, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b,
                                 int32_t a);

/* Inclusive bounding box of layer n's pixels with alpha above 0 (left > right when there
 * is none); nothing is written when the layer has no pixels. */
CALV_API void CVX_FindDataExtentsLayer(int32_t layer, int32_t* left, int32_t* top, int32_t* right,
                                       int32_t* bottom);

/* ---- Row codecs: colour runs of 5 bytes (count, R, G, B, A), mask runs of 2 bytes --- */

/* Encodes count RGBA64 pixels as colour runs (high bytes); returns the bytes written,
 * 0 when either address is null. */
CALV_API int32_t CVX_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count);
/* Decodes colour runs until count RGBA64 pixels are written. */
CALV_API void CVX_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count);
/* Encodes count G16 values as mask runs; returns the bytes written, 0 for null. */
CALV_API int32_t CVX_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count);
/* Decodes mask runs until count G16 values are written. */
CALV_API void CVX_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count);
/* Encodes canvas row `row` of a layer; returns the bytes written (at most 5 per pixel),
 * 0 when the layer has no pixels or the row lies outside the canvas. */
CALV_API int32_t CVX_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t layer, int32_t row);
/* Decodes colour runs into canvas row `row` of a layer. */
CALV_API void CVX_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t layer, int32_t row);
/* Encodes canvas row `row` of the mask; returns the bytes written (at most 2 per pixel). */
CALV_API int32_t CVX_GetMaskLineRLE(uint8_t* dst, int32_t row);
/* Decodes mask runs into canvas row `row` of the mask. */
CALV_API void CVX_PutMaskLineRLE(const uint8_t* src, int32_t row);

/* ---- Merging layers (RGBA64 host buffers, 16-bit units) -------------------------- */

/* Composites the whole of layer `source` into layer `target` under the source's blend
 * mode, opacity and layer mask. */
CALV_API void CVX_MergeLayer(int32_t source, int32_t target);
/* Composites the width x height rectangle at (x, y) of a layer into an RGBA64 buffer of
 * that rectangle (rows width pixels long). */
CALV_API void CVX_MergeLayerIntoRect(int32_t source, uint16_t* buffer, int32_t x, int32_t y, int32_t width,
                                     int32_t height);
/* CVX_MergeLayerIntoRect over the whole canvas. */
CALV_API void CVX_MergeLayerInto(int32_t source, uint16_t* buffer);
/* The flattened picture of a rectangle: background, then visible slots 2..63. */
CALV_API void CVX_MergeRect(uint16_t* buffer, int32_t x, int32_t y, int32_t width, int32_t height);
/* The flattened picture of the whole canvas. */
CALV_API void CVX_Merge(uint16_t* buffer);
/* The flattened pixel at (x, y) as an A, R, G, B word; 0xFFFFFF outside the canvas. */
CALV_API uint32_t CVX_GetColorAtMerged(int32_t x, int32_t y);
/* Clears layer `layer` through the mask and lays a canvas-sized RGBA32 picture into it
 * ("Normal"); with `adjust` set the picture's alpha is first weighted by the paper
 * texture and the mask over textureArgument x count pixels. */
CALV_API void CVX_LoadRGBA32Layer_BAD(uint8_t* src, int32_t reserved, int32_t layer, int32_t textureArgument,
                                      int32_t count, int32_t adjust);

/* ---- The view ------------------------------------------------------------------------ */

/* Renders the canvas rectangle at (x, y) of width x height pixels into the host's B, G, R
 * buffer (rows bufferStride bytes apart): the visible layers with the stroke in
 * progress, over a checkerboard where transparent, with the selection tinted when shown,
 * scaled by the view settings; at most viewWidth x viewHeight pixels are written. */
CALV_API void CVX_Render(uint8_t* buffer, int32_t bufferStride, int32_t x, int32_t y, int32_t width,
                         int32_t height);
/* Integer magnification and fractional reduction (canvas pixels per view pixel); equal
 * values render 1:1. */
CALV_API void CVX_SetScale(int32_t scale, float zoom);
/* The largest number of view columns and rows one render writes. */
CALV_API void CVX_SetViewSize(int32_t width, int32_t height);
/* The view's offset, kept for the host. */
CALV_API void CVX_SetOffset(int32_t x, int32_t y);
/* Averages the trace image (slot 0) into the view. */
CALV_API void CVX_SetTracingMode(int32_t flag);
/* No grid is drawn: both do nothing. */
CALV_API void CVX_SetGrid(int32_t value);
CALV_API void CVX_SetGridSpacing(int32_t value);

/* ---- Brush: colours 16-bit unless said; 8-bit setters store v x 256 ----------------- */

/* The paint colour from 8-bit components (alpha 65535). */
CALV_API void CVX_SetColor(int32_t r, int32_t g, int32_t b);
/* The paint colour from 16-bit components (alpha 65535). */
CALV_API void CVX_SetColor16(int32_t r, int32_t g, int32_t b);
/* The four bank colours of the bank mix modes, 8-bit components. */
CALV_API void CVX_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1, int32_t b1, int32_t r2,
                                int32_t g2, int32_t b2, int32_t r3, int32_t g3, int32_t b3);
/* Tip side in pixels (at most the largest brush and 1000); a dab covers the same. */
CALV_API void CVX_SetSize(int32_t size);
/* Lays the tip over a smaller square of 1..size pixels (call after CVX_SetSize). */
CALV_API void CVX_SetScaleSize(int32_t size);
/* Blur (0..100) applied to an image tip when it is next built. */
CALV_API void CVX_SetShapeBlur(int32_t blur);
/* Opacity in per cent; 100 lays the tip unchanged. */
CALV_API void CVX_SetAlpha(int32_t percent);
/* Grit density: pixels whose grit value is not below it are not laid. */
CALV_API void CVX_SetDensity(int32_t density);
/* Per-dab colour variation. */
CALV_API void CVX_SetColorVary(int32_t vary);
/* Per-pixel colour variation. */
CALV_API void CVX_SetPixColorVary(int32_t vary);
/* Per-pixel luminance variation. */
CALV_API void CVX_SetPixLumVary(int32_t vary);
/* Blend-buffer strength 0..256 (0: dabs ignore the blend buffer). */
CALV_API void CVX_SetBlendStrength(int32_t strength);
/* How much of the paint colour (0..256) is mixed into paint from the blend buffer. */
CALV_API void CVX_SetBlendPrimaryColorStrength(int32_t strength);
/* Dabs write the paint they lay back into the blend buffer. */
CALV_API void CVX_SetBlendRemix(int32_t flag);
/* Mix mode (32 normal, 33 multiply, higher ones special) and its amount 0..256. */
CALV_API void CVX_SetMixMode(int32_t kind, int32_t amount);
CALV_API void CVX_SetImageBrushMode(int32_t flag);
CALV_API void CVX_SetSolidBrushMode(int32_t flag);
/* Samples the tip turned by `degrees` when flag is 1. */
CALV_API void CVX_SetRotateBrushMode(int32_t flag, int32_t degrees);
/* Locks: dabs into a layer keep its alpha / write no colour / add alpha only where it is
 * already over 8191; a level above 0 replaces every alpha a dab writes. */
CALV_API void CVX_SetAlphaLocked(int32_t flag);
CALV_API void CVX_SetColorLocked(int32_t flag);
CALV_API void CVX_SetBlobLocked(int32_t flag);
CALV_API void CVX_SetAlphaLevel(int32_t level);
/* One-dab controls: the next dab ignores the blend buffer / dabs paint the mask until the
 * next tool / the next dab erases. */
CALV_API void CVX_TempDisableBlend(void);
CALV_API void CVX_SetMaskMakerOn(void);
CALV_API void CVX_SetEraseModeOn(void);
/* Counts the stroke on: a new grit window is taken when the drawing length runs out. */
CALV_API void CVX_DecDrawingLength(void);
/* Chooses a whole tool: tip scale (0..1), grit, softness (low byte), colour variation,
 * drawing length, blend strengths, remix and inversion (low bytes), grit and tip sources
 * (paths; empty for none), tip angle; spare1 and spare2 are ignored. */
CALV_API void CVX_SetTool(float tipScale, int32_t gritSize, int32_t gritBlockThreshold, int32_t gritCellThreshold,
                          int32_t softness, int32_t colorVary, int32_t drawingLength, int32_t blendStrength,
                          int32_t primaryColorStrength, int32_t blendRemix, int32_t spare1, int32_t invertShape,
                          int32_t spare2, const char* gritSource, const char* shapeSource, int32_t shapeAngle);
/* Builds the tip from a source (circular for an empty or unreadable one) turned by angle. */
CALV_API void CVX_SetBrushShape(const char* source, int32_t angle);
/* The same, reading the source only as an image and never blurring it. */
CALV_API void CVX_SetBrushShape_ORIGINAL(const char* source, int32_t angle);
/* Lays one dab centred on (x, y) in the colour (r, g, b) (16-bit, high bytes used). */
CALV_API int32_t CVX_DrawDabGrit(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b);
/* Lays one dab of the brush colour into the selection mask: dark paint opens, light
 * paint protects. CVX_DrawDabGrit hands its dabs here after CVX_SetMaskMakerOn. */
CALV_API int32_t CVX_DrawDabGritMask(int32_t x, int32_t y);

/* ---- Blend buffer: the paint the brush carries (size x size, RGBA64) --------------- */
/* Operations act on the brush window centred on (x, y) and do nothing while the blend
 * strength is 0, except the clear, fill and filter. Source planes are canvas-sized;
 * amounts are 0..255; picked-up alpha is weighted by an enabled mask. */

/* Copies the window of plane into the buffer, tinted toward the brush colour by
 * amount / 256; off the canvas the buffer takes the colour (only opaque alpha with
 * opaqueFill). */
CALV_API void CVX_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount, int32_t opaqueFill);
/* The same from the current layer, a layer slot, the under-layer (the picture before
 * the change in progress; also named History) and the trace image. */
CALV_API void CVX_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueFill);
CALV_API void CVX_CopyBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount);
/* Copies the window of the mask into the buffer's single-channel view, tinted toward the
 * mask value of the brush colour. */
CALV_API void CVX_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount);
/* Mixes the window of plane into the buffer by the mix mode, strength amount x 256
 * (amount 0 leaves the buffer as it is). */
CALV_API void CVX_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount);
CALV_API void CVX_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_MixBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount);
CALV_API void CVX_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount);
/* Tints the window toward (r, g, b) (8-bit) by amount x 256; empty pixels take the colour.
 * spare is ignored. */
CALV_API void CVX_DoColorBlendBuffer(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t spare,
                                     int32_t amount);
/* Empties the whole buffer. */
CALV_API void CVX_ClearBlendBuffer(void);
/* Every byte of the whole buffer becomes the low byte of value; spares are ignored. */
CALV_API void CVX_FillBlendBuffer(int32_t spare1, int32_t spare2, int32_t spare3, int32_t value);
/* Over the size x size square: 289 grey, 290 invert, 291 channels below level per cent
 * become 0, 292 channels above it become white. */
CALV_API void CVX_FilterBlendBuffer(int32_t kind, int32_t level);

/* ---- Selection mask: 65535 open, 0 protected; as grey pictures black opens -------- */

/* Writes are weighted by the mask only while it is enabled (low byte of enable). */
CALV_API void CVX_EnableMask(int32_t enable);
/* The view overlays the mask while it is shown and enabled. */
CALV_API void CVX_DisplayMask(int32_t show);
/* Overlay colours A and B (8-bit components, a 32-pixel checkerboard); fullStrength 0
 * draws the overlay at half strength. */
CALV_API void CVX_SetMaskOptions(int32_t redA, int32_t greenA, int32_t blueA, int32_t redB, int32_t greenB,
                                 int32_t blueB, int32_t fullStrength);
/* Every mask value m becomes 65535 - m. */
CALV_API void CVX_InvertMask(void);
/* Fills the mask with the value of a grey: the mean of three 16-bit channels (0..65280);
 * black opens, white protects. */
CALV_API void CVX_ClearMask(int32_t red, int32_t green, int32_t blue);
/* Writes the mask as a canvas-sized grey picture, 3 bytes a pixel, rows stride bytes apart. */
CALV_API void CVX_SaveMask(uint8_t* dst, int32_t stride);
/* Reads a grey picture of 3 bytes a pixel (their mean) into the mask; what lies outside
 * the canvas is left out. */
CALV_API void CVX_LoadMask(const uint8_t* src, int32_t stride, int32_t width, int32_t height);
/* The mask as an opaque grey picture in the current layer (protected is white). */
CALV_API void CVX_CreateImageFromMask(void);
/* The current layer's alpha becomes the mask. */
CALV_API void CVX_CreateAlphaFromMask(void);
/* The mask from the current layer's grey (the mean of its channels). */
CALV_API void CVX_CreateMaskFromImage(void);
/* The mask becomes the current layer's alpha. */
CALV_API void CVX_CreateMaskFromAlpha(void);
/* Copies the canvas-sized mask plane out of / into width x height 16-bit values. */
CALV_API void CVX_GetMaskData16(uint16_t* dst);
CALV_API void CVX_SetMaskData16(const uint16_t* src);
/* The protection (65535 - m) at (x, y) while the mask is enabled and a layer is current;
 * 0 otherwise and outside the canvas. */
CALV_API int32_t CVX_GetMask64(int32_t x, int32_t y);

/* ---- Masks from pictures; alpha weighting (pictures canvas-sized, no stride) ------- */
/* Where a test holds the mask takes the level's value, (255 - level) x 256 (level 0 opens
 * to 0xFF00, 255 protects); elsewhere it keeps its value. Tolerances are per cent of the
 * 8-bit range (100 passes everything); colour keys are 8-bit. */

/* Where any byte differs between the two RGBA32 pictures the mask becomes value. */
CALV_API void CVX_CreateMaskFromDiff_RGBA32(const uint8_t* pictureA, const uint8_t* pictureB, int32_t value);
/* Exactly the key colour (RGBA32 ignoring alpha / RGB24). */
CALV_API void CVX_CreateMaskFromRGBAImageColor(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                               int32_t level);
CALV_API void CVX_CreateMaskFromRGB24ImageColor(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                                int32_t level);
/* Where the flag byte is 1. */
CALV_API void CVX_CreateMaskFromFloodMask(const uint8_t* flags, int32_t level);
/* Each channel within the tolerance of the key. */
CALV_API void CVX_CreateMaskFromRGBAImageColorRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                                    int32_t tolerance, int32_t level);
/* Alpha within the tolerance. */
CALV_API void CVX_CreateMaskFromRGBAImageAlphaRange(const uint8_t* picture, int32_t alpha, int32_t tolerance,
                                                    int32_t level);
/* The mean of the channels within the tolerance of the key's. */
CALV_API void CVX_CreateMaskFromRGBAImageLuminanceRange(const uint8_t* picture, int32_t red, int32_t green,
                                                        int32_t blue, int32_t tolerance, int32_t level);
/* HSV hue within tolerance x 1.8 degrees of the key's, across 0/360 too. */
CALV_API void CVX_CreateMaskFromRGBAImageHueRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                                  int32_t tolerance, int32_t level);
/* HSL: hue within hueTolerance x 180 degrees, saturation and lightness within their
 * tolerances (fractions of 0..1). */
CALV_API void CVX_CreateMaskFromRGBAImageHSLRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                                  double hueTolerance, double saturationTolerance,
                                                  double lightnessTolerance, int32_t level);
/* Weights the alpha of an RGBA32 picture holding canvas rectangle x0..x1 x y0..y1
 * (inclusive; rows stride bytes apart) / a canvas-sized picture / the effect source image
 * (only while the mask is enabled) by the mask's high byte. */
CALV_API void CVX_ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0, int32_t x1,
                                              int32_t y1);
CALV_API void CVX_ApplyMaskToAlpha_RGBA32(uint8_t* buffer);
CALV_API void CVX_ApplyMaskToAlpha_IPLSrcRGBA(void);
/* Where alpha is within the tolerance of alpha, the pixel becomes (red, green, blue,
 * newAlpha); the mask is not touched. */
CALV_API void CVX_ReplaceFromRGBAImageAlphaRange(uint8_t* picture, int32_t alpha, int32_t tolerance, int32_t red,
                                                 int32_t green, int32_t blue, int32_t newAlpha);

/* Weights the alpha of an RGBA32 picture aligned with the canvas (rows width x 4 bytes) by
 * the paper texture and the enabled mask / the same for a picture holding the width x
 * height canvas rectangle at (x, y), clipped to the canvas. */
CALV_API void CVX_AdjustRGBA32ByMaskAndTexture(uint8_t* picture, int32_t width, int32_t height);
CALV_API void CVX_AdjustRGBA32RectByMaskAndTexture(uint8_t* picture, int32_t x, int32_t y, int32_t width,
                                                   int32_t height);
/* Around filters of colour: premultiplies an RGBA32 picture (rows width x 4 bytes) by its
 * alpha / divides it back out; fully transparent and fully opaque pixels are left. */
CALV_API void CVX_AdjustRGBA32PreFilter(uint8_t* picture, int32_t width, int32_t height);
CALV_API void CVX_AdjustRGBA32PostFilter(uint8_t* picture, int32_t width, int32_t height);
/* When enable is nonzero, divides the alpha out of every pixel with alpha above 0 of a
 * canvas-sized RGBA32 picture. */
CALV_API void CVX_AdjustRGBA32ForAlphaComp(int32_t enable, uint8_t* picture);
/* The same pair on RGBA64 pictures, for every pixel with alpha above 0. */
CALV_API void CVX_AdjustRGBA64PreFilter(uint16_t* picture, int32_t width, int32_t height);
CALV_API void CVX_AdjustRGBA64PostFilter(uint16_t* picture, int32_t width, int32_t height);

/* ---- Alpha operations: on a layer slot, the current layer, the paint layer, or a host
 * RGBA32 picture (canvas-sized unless width and height are given) -------------------- */

CALV_API void CVX_InvertAlpha_RGBA32(uint8_t* picture);
CALV_API void CVX_InvertAlpha(int32_t layer);
/* Current-layer pixels with alpha below 0x100 take the colour (8-bit x 257) and alpha 0. */
CALV_API void CVX_SetColorAlpha(int32_t red, int32_t green, int32_t blue);
/* Pixels with alpha 0 / every pixel take the colour; alpha unchanged. */
CALV_API void CVX_SetColorAlphaRGBABuf(uint8_t* picture, int32_t width, int32_t height, int32_t red, int32_t green,
                                       int32_t blue);
CALV_API void CVX_SetColorRGBABuf(uint8_t* picture, int32_t width, int32_t height, int32_t red, int32_t green,
                                  int32_t blue);
/* Every alpha of the layer becomes value (16-bit). */
CALV_API void CVX_SetLayerAlpha(int32_t layer, int32_t value);
/* Bakes the layer's opacity into its alpha and sets it to 100 %. */
CALV_API void CVX_NormalizeLayerAlpha(int32_t layer);
/* Softens the paint layer's alpha edge; its opaque interior stays opaque. */
CALV_API void CVX_BlurPaintLayerAlpha(void);
/* Pixels of exactly the key colour become transparent. */
CALV_API void CVX_SetAlphaFromRGBAImageColor(uint8_t* picture, int32_t red, int32_t green, int32_t blue);
/* Turns the layer into a blob: flat grey (mode other than 1) or colours pulled toward the
 * middle (mode 1), alpha rising with luminance where it was above 8191. */
CALV_API void CVX_CreateBlobFromImage(int32_t layer, int32_t mode);

/* ---- Undo and redo: steps hold the changed rectangle of a layer and of the mask ---- */

/* Clears the history and keeps up to levels (at most 500) steps; returns that number. */
CALV_API int32_t CVX_SetUndoLevels(int32_t levels);
/* Memory budget of the history in megabytes; 0 follows the machine's free memory. */
CALV_API void CVX_SetUndoMB(int32_t megabytes);
/* The budget in megabytes. */
CALV_API int32_t CVX_GetTotalUndoMemory(void);
/* The megabytes the history holds, its two canvas-sized planes included. */
CALV_API int32_t CVX_GetCurrentUndoMemory(void);
/* While paused, saving, undo and redo do nothing. */
CALV_API void CVX_PauseUndo(void);
CALV_API void CVX_ResumeUndo(void);
/* 1 when a step can be undone / redone. */
CALV_API int32_t CVX_CanUndo(void);
CALV_API int32_t CVX_CanRedo(void);
/* Steps undone and not yet redone. */
CALV_API int32_t CVX_GetRedoCount(void);
/* Steps held, redo steps included. */
CALV_API int32_t CVX_GetUndoCount(void);
/* Takes layer slot and the mask as the pixels the next step starts from. */
CALV_API void CVX_SaveUndoBackBuffer(int32_t slot);
/* Records the area changed since the last save (the whole canvas after whole-picture
 * operations) for the current layer and, if saveMask, the mask. Call after the change. */
CALV_API void CVX_SaveUndoBuffer(int32_t saveColor, int32_t saveMask);
/* Undoes the next step (selecting its layer) / redoes the last step undone. */
CALV_API void CVX_Undo(void);
CALV_API void CVX_Redo(void);
/* Drops every step. */
CALV_API void CVX_ClearUndo(void);
/* Frees the oldest steps until amount kilobytes are given back; returns the kilobytes freed. */
CALV_API int32_t CVX_ReduceUndo(int32_t amount);

/* ---- Effect work images: canvas-sized 8-bit pictures the effects work on --------- */

/* RGBA32 source: allocated and filled from the current layer / freed / copied from the
 * host's canvas-sized picture / refilled from the current layer (returns the canvas
 * height, 0 without a layer or without the image). */
CALV_API void CVX_IPLAllocSrcBuffer32(void);
CALV_API void CVX_IPLFreeSrcBuffer32(void);
CALV_API void CVX_IPLSetSrcBuffer32(const uint8_t* pixels);
CALV_API int32_t CVX_IPLUpdateSrcBuffer32(void);
/* RGBA32 destination: allocated (contents undefined) / copied from the host / freed. */
CALV_API void CVX_IPLAllocDstBuffer32(void);
CALV_API void CVX_IPLSetDstBuffer32(const uint8_t* pixels);
CALV_API void CVX_IPLFreeDstBuffer32(void);
/* RGB24 source (filled from the current layer) and destination. */
CALV_API void CVX_IPLAllocSrcBuffer24(void);
CALV_API void CVX_IPLFreeSrcBuffer24(void);
CALV_API void CVX_IPLAllocDstBuffer24(void);
CALV_API void CVX_IPLFreeDstBuffer24(void);
/* Runs the effect effectName on the current layer from the work images (both RGBA32 images
 * must exist; returns 0 otherwise): sliders in tenths of a per cent (0..1000), two choices,
 * six flags (low bytes), a colour (0..255) and a path. The result is written through the
 * mask. The filter-kit effects ("Value Blur", "Noise Reduction", "Hyper Contrast", "Vignette",
 * ...) run here; other names run nothing. */
CALV_API int32_t CVX_IPLImageProcess(int32_t reserved, const char* effectName, int32_t randomValue, int32_t slider1,
                                     int32_t slider2, int32_t slider3, int32_t slider4, int32_t slider5,
                                     int32_t slider6, int32_t option1, int32_t option2, int32_t flag1, int32_t flag2,
                                     int32_t flag3, int32_t flag4, int32_t flag5, int32_t flag6, int32_t red,
                                     int32_t green, int32_t blue, const char* path);

/* ---- Image files (BMP, PNG, JPEG, GIF, PCX, PSD, TGA, TIFF, bitmap metafiles) ------- */
/* Host pictures: 3 bytes a pixel (R, G, B) or 4 (R, G, B, A), rows packed, top row first.
 * Results: 1 done, 0 not. */

/* Reads a file into the transfer image (metafiles drawn at the canvas size over the paint
 * colour). */
CALV_API int32_t CVX_ReadFromFile(const char* path);
/* Reads a file into dst only if it is exactly width x height pixels. */
CALV_API int32_t CVX_ReadFromFileRGB24(uint8_t* dst, int32_t width, int32_t height, const char* path);
CALV_API int32_t CVX_ReadFromFileRGBA32(uint8_t* dst, int32_t width, int32_t height, const char* path);
/* The file's resolution in dots per inch snapped to 72, 96, 150, 200, 300, 450 or 600; 72
 * when it says none or cannot be read. */
CALV_API int32_t CVX_GetDPIFromFile(const char* path);
/* Writes pixels in the format the extension names (case ignored): RGB24 ".bmp", ".png",
 * ".jpg" (quality 97), ".gif" (256 colours), ".pcx", ".psd", ".emf"/".wmf" (a metafile
 * holding the bitmap); RGBA32 ".png", ".tga", ".tif". */
CALV_API int32_t CVX_WriteToFileRGB24(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                                      const char* extension, int32_t dpi);
CALV_API int32_t CVX_WriteToFileRGBA32(const uint8_t* pixels, int32_t width, int32_t height, const char* path,
                                       const char* extension, int32_t dpi);
/* Writes the flattened page a row at a time: RGB24 ".bmp", ".png", ".jpg"; RGB32 ".png",
 * ".tga", ".tif". */
CALV_API int32_t CVX_SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi);
CALV_API int32_t CVX_SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi);
/* A 24-bit BMP of the picture fitting 100 x 100. */
CALV_API int32_t CVX_MakeThumbnail(const char* source, const char* destination);
/* A JPEG (quality 75) of the picture fitting maxWidth x maxHeight, never enlarged. */
CALV_API int32_t CVX_MakeWebPic(const char* source, const char* destination, int32_t maxWidth, int32_t maxHeight);

/* ---- The transfer image: pictures from files on their way in and out -------------- */

/* Its size (the last made, also after deletion). */
CALV_API int32_t CVX_GetNewRGBAWidth(void);
CALV_API int32_t CVX_GetNewRGBAHeight(void);
CALV_API void CVX_DeleteNewRGBA(void);
/* 1 when any pixel has alpha below 255. */
CALV_API int32_t CVX_IsNewRGBA32Transparent(void);
/* Lays it into the current layer at (0, 0) through the mask and the paper texture. */
CALV_API void CVX_SetInNewRGBA(void);
/* Copies it out as RGBA32 / RGB24 / RGB24 scaled to width x height. */
CALV_API void CVX_GetNewRGBA32(uint8_t* dst);
CALV_API void CVX_GetNewRGBA24(uint8_t* dst);
CALV_API void CVX_GetResizedNewRGBA24(uint8_t* dst, int32_t width, int32_t height);

/* ---- Paper texture ------------------------------------------------------------------ */

/* Builds the canvas-sized paper texture (bytes 4..250) from a layer; returns it or null. */
CALV_API uint8_t* CVX_CreateTexture(int32_t slot);
/* Frees the paper texture. */
CALV_API void CVX_DeleteTexture(void);

#ifdef __cplusplus
}
#endif

#endif /* CALVCORE_H */

/*
 * gridseek - exact path and ore searches on grid maps given as BMP bytes.
 *
 * The library exports exactly two functions. Both take the map through the
 * same two caller variables through which they hand their result back:
 *
 *   *p  in:  address of the first byte of a BMP file image in caller memory
 *       out: address of the first result byte, 0 when the result is empty
 *   *q  in:  number of bytes of that image
 *       out: number of result bytes, 0 when the result is empty
 *
 * The variables are pointer-sized signed integers (intptr_t): exactly 32 bits
 * on a 32-bit build, 64 bits on a 64-bit build, so the result address always
 * fits. The map is a BMP file: "BM" header, a 40-byte BITMAPINFOHEADER or a
 * 12-byte BITMAPCOREHEADER, uncompressed, 1, 4, 8, 16, 24 or 32 bits per
 * pixel. Each pixel is a cell; x counts columns from the left, y rows from
 * the top, both from 0. A cell is passable when it reads exactly white
 * (0xFFFFFF); everything outside the picture reads black (0).
 *
 * Caller rules:
 *  - The image bytes are only read, never written. A count of 0 or below, or
 *    an address of 0, is an empty image: it does not decode, and the call
 *    behaves as for any map that does not decode. A count larger than the
 *    memory readable at the address is the caller's fault (it is read).
 *  - A null p or q makes the call return at once, touching nothing; the
 *    previous result stays valid.
 *  - The result bytes belong to the library. They stay valid and unchanged
 *    until the next call of either function hands its result back, or until
 *    the library is unloaded. Passing the previous result (its address and
 *    count) as the next call's image is allowed.
 *  - Calls must not overlap: the library takes no locks and both functions
 *    share one result buffer. Copy a result you need before calling again.
 *  - Running out of memory is fatal: a message naming the number of bytes
 *    requested (stderr; a message box on Windows), then the process ends with
 *    exit code -1.
 *
 * On 32-bit Windows the functions use __stdcall and are exported by their
 * GBK names (寻矿 ordinal 1, 寻路 ordinal 2); elsewhere they use the
 * platform's default convention and are exported by their UTF-8 names.
 */
#ifndef GRIDSEEK_H
#define GRIDSEEK_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define GRIDSEEK_CALL __stdcall
#else
#define GRIDSEEK_CALL
#endif

#ifndef GRIDSEEK_API
#define GRIDSEEK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * 寻路 - path search from (startX, startY) to (goalX, goalY).
 *
 * Steps go to any of the eight neighbours over white cells; a diagonal step
 * needs only its target cell to be white. The start cell's own colour is not
 * examined, and it may lie anywhere, outside the picture too.
 * [Limits: coordinates are any 32-bit values; neighbour sums wrap]
 *
 * Result when the goal is reached: the path record, 4 bytes per cell from
 * start to goal inclusive, each cell an (x, y) pair of 16-bit little-endian
 * words holding the low 16 bits of the coordinate. A goal equal to the start
 * gives the start cell twice (8 bytes). Result when the goal cannot be
 * reached: empty (*p = 0, *q = 0).
 */
GRIDSEEK_API void GRIDSEEK_CALL 寻路(intptr_t *p, intptr_t *q, int32_t startX, int32_t startY,
                                       int32_t goalX, int32_t goalY);

/*
 * 寻矿 - ore search: breadth-first flood from (x, y) over white cells until
 * an expanded cell has a neighbour that reads black (0); positions outside the
 * picture read black too.
 * [Limits: coordinates are any 32-bit values; neighbour sums wrap]
 *
 * Result after a hit: 6 bytes, three 16-bit little-endian words: x and y of
 * the expanded cell (not the black pixel), then the direction code 1..8 of the
 * black neighbour: 1 (x-1,y+1) lower left, 2 (x,y+1) below, 3 (x+1,y+1) lower
 * right, 4 (x+1,y) right, 5 (x+1,y-1) upper right, 6 (x,y-1) above,
 * 7 (x-1,y-1) upper left, 8 (x-1,y) left. Result when the flood runs out:
 * empty (*p = 0, *q = 0). A map that does not decode reads black everywhere,
 * so it gives (x, y, 1).
 */
GRIDSEEK_API void GRIDSEEK_CALL 寻矿(intptr_t *p, intptr_t *q, int32_t x, int32_t y);

#ifdef __cplusplus
}
#endif

#endif /* GRIDSEEK_H */

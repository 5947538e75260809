/*
 * The shortest complete gridseek host: load the library, call 寻路 on a BMP
 * file, read the result, copy it before the next call.
 *
 *   host LIBRARY MAP.bmp X0 Y0 X1 Y1
 *
 * Build: cc host.c -o host -ldl   (on Windows: no -ldl)
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define CALL __stdcall
#define PATH_NAME "\xD1\xB0\xC2\xB7" /* 寻路 in GBK, as 32-bit Windows builds export it */
#else
#define CALL
#define PATH_NAME "\xE5\xAF\xBB\xE8\xB7\xAF" /* 寻路 in UTF-8 */
#endif

typedef void(CALL *PathFn)(intptr_t *p, intptr_t *q, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

int main(int argc, char **argv) {
  if (argc != 7) {
    fprintf(stderr, "usage: %s LIBRARY MAP.bmp X0 Y0 X1 Y1\n", argv[0]);
    return 2;
  }

  /* 1. Load the library and find the export by name. */
#ifdef _WIN32
  HMODULE library = LoadLibraryA(argv[1]);
  PathFn find_path = library ? (PathFn)(void (*)(void))GetProcAddress(library, PATH_NAME) : NULL;
#else
  void *library = dlopen(argv[1], RTLD_NOW);
  PathFn find_path = library ? (PathFn)(uintptr_t)dlsym(library, PATH_NAME) : NULL;
#endif
  if (find_path == NULL) {
    fprintf(stderr, "cannot load %s or find its path export\n", argv[1]);
    return 1;
  }

  /* 2. The map: the bytes of a BMP file, in our own memory. */
  FILE *file = fopen(argv[2], "rb");
  if (file == NULL) {
    fprintf(stderr, "cannot open %s\n", argv[2]);
    return 1;
  }
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  rewind(file);
  unsigned char *map = malloc(size > 0 ? (size_t)size : 1);
  if (map == NULL || size < 0 || fread(map, 1, (size_t)size, file) != (size_t)size) {
    fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  fclose(file);

  /* 3. Call: p and q carry the map in and the result out. */
  intptr_t p = (intptr_t)map;
  intptr_t q = (intptr_t)size;
  find_path(&p, &q, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]));
  free(map); /* the library kept no reference to it */

  /* 4. Copy the result: it belongs to the library and the next call replaces it. */
  if (p == 0 || q == 0) {
    printf("no path\n");
    return 1;
  }
  unsigned char *path = malloc((size_t)q);
  if (path == NULL) return 1;
  memcpy(path, (const void *)p, (size_t)q);

  /* 5. Read it: 4 bytes per cell, x and y as 16-bit little-endian signed words. */
  printf("%d cells:", (int)(q / 4));
  for (intptr_t i = 0; i < q; i += 4) {
    int x = (int16_t)(path[i] | path[i + 1] << 8);
    int y = (int16_t)(path[i + 2] | path[i + 3] << 8);
    printf(" (%d,%d)", x, y);
  }
  printf("\n");
  free(path);
  return 0;
}

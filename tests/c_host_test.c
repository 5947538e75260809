/*
 * A host written in C: includes the public header, loads the library with
 * dlopen, looks both exports up by their UTF-8 names and calls them through
 * two intptr_t variables, as the header describes.
 *
 *   c_host_test LIBRARY
 *
 * Exit status 0 when every check passes; each failed check is printed.
 */
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "gridseek.h"

typedef void(GRIDSEEK_CALL *PathFn)(intptr_t *p, intptr_t *q, int32_t startX, int32_t startY, int32_t goalX,
                                    int32_t goalY);
typedef void(GRIDSEEK_CALL *OreFn)(intptr_t *p, intptr_t *q, int32_t x, int32_t y);

/* The pointer types used with dlsym are exactly those of the declarations
 * (not evaluated: nothing here refers to the symbols at link time). */
_Static_assert(_Generic(&寻路, PathFn: 1, default: 0), "寻路 declaration differs from PathFn");
_Static_assert(_Generic(&寻矿, OreFn: 1, default: 0), "寻矿 declaration differs from OreFn");

static int failures = 0;

static void check(int ok, const char *what) {
  if (!ok) {
    fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

/* Do the count bytes at address p equal the expected bytes? */
static int result_is(intptr_t p, intptr_t q, const unsigned char *expected, size_t n) {
  if (q != (intptr_t)n) return 0;
  if (n == 0) return p == 0;
  return p != 0 && memcmp((const void *)p, expected, n) == 0;
}

static void put32(unsigned char *b, size_t at, uint32_t v) {
  b[at] = (unsigned char)(v & 0xFF);
  b[at + 1] = (unsigned char)(v >> 8 & 0xFF);
  b[at + 2] = (unsigned char)(v >> 16 & 0xFF);
  b[at + 3] = (unsigned char)(v >> 24 & 0xFF);
}

int main(int argc, char **argv) {
  void *library;
  PathFn path;
  OreFn ore;
  intptr_t p;
  intptr_t q;
  unsigned char image[90];
  unsigned char original[sizeof image];
  size_t i;

  if (argc != 2) {
    fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
    return 2;
  }
  library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  path = (PathFn)(uintptr_t)dlsym(library, "\xE5\xAF\xBB\xE8\xB7\xAF"); /* 寻路 */
  ore = (OreFn)(uintptr_t)dlsym(library, "\xE5\xAF\xBB\xE7\x9F\xBF");   /* 寻矿 */
  if (path == NULL || ore == NULL) {
    fprintf(stderr, "an export is missing\n");
    return 1;
  }

  /* A 3 x 3 white 24-bit BMP: 54 header bytes, three rows of 12 bytes. */
  memset(image, 0, sizeof image);
  image[0] = 'B';
  image[1] = 'M';
  put32(image, 2, 90);
  put32(image, 10, 54);
  put32(image, 14, 40);
  put32(image, 18, 3);
  put32(image, 22, 3);
  image[26] = 1;
  image[28] = 24;
  for (i = 0; i < 3; ++i) memset(image + 54 + 12 * i, 0xFF, 9);
  memcpy(original, image, sizeof image);

  /* A 0-byte image: the path search finds nothing, the empty result. */
  p = (intptr_t)image;
  q = 0;
  path(&p, &q, 0, 0, 2, 2);
  check(p == 0 && q == 0, "path search on a 0-byte image gives address 0, count 0");

  /* ... unless the goal is the start: the start cell twice. */
  {
    static const unsigned char start_twice[] = {5, 0, 7, 0, 5, 0, 7, 0};
    p = (intptr_t)image;
    q = 0;
    path(&p, &q, 5, 7, 5, 7);
    check(result_is(p, q, start_twice, sizeof start_twice), "path search with goal = start gives it twice");
  }

  /* The ore search reads every pixel of an undecodable image as black: the
   * start cell with direction code 1. */
  {
    static const unsigned char ore_record[] = {3, 0, 0xFE, 0xFF, 1, 0};
    p = (intptr_t)image;
    q = 0;
    ore(&p, &q, 3, -2);
    check(result_is(p, q, ore_record, sizeof ore_record), "ore search on a 0-byte image gives (x, y, 1)");
  }

  /* The address 0 with count 0 is accepted as well. */
  p = 0;
  q = 0;
  path(&p, &q, 1, 1, 2, 2);
  check(p == 0 && q == 0, "path search on address 0, count 0 gives the empty result");

  /* The real map: the diagonal path of three cells. */
  {
    static const unsigned char diagonal[] = {0, 0, 0, 0, 1, 0, 1, 0, 2, 0, 2, 0};
    p = (intptr_t)image;
    q = (intptr_t)sizeof image;
    path(&p, &q, 0, 0, 2, 2);
    check(result_is(p, q, diagonal, sizeof diagonal), "path across the white 3 x 3 map");
  }

  /* After that path, an ore search that runs out: a grey map with only its
   * centre white, searched from the centre. Both variables receive 0. */
  {
    unsigned char pocket[sizeof image];
    memcpy(pocket, image, sizeof image);
    for (i = 0; i < 3; ++i) memset(pocket + 54 + 12 * i, 0x80, 9);
    memset(pocket + 54 + 12 + 3, 0xFF, 3); /* the centre (1, 1) */
    p = (intptr_t)pocket;
    q = (intptr_t)sizeof pocket;
    ore(&p, &q, 1, 1);
    check(p == 0 && q == 0, "ore search that runs out after a path gives address 0, count 0");
  }

  check(memcmp(image, original, sizeof image) == 0, "the host's image bytes are unchanged");

  dlclose(library);
  if (failures == 0) printf("c host: all checks passed\n");
  return failures == 0 ? 0 : 1;
}

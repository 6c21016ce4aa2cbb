/* The pattern library from C11: load (and a refused load), save, a cannon stepped, its
 * bullets read back, everything freed. Arguments: "report" (the tracker's report on) or
 * "quiet", then the directory of the golden files it reads. */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "volley/volley.h"

static int failures = 0;

#define CHECK_EQ(what, got, want)                                                    \
  do {                                                                               \
    long long got_ = (long long)(got), want_ = (long long)(want);                    \
    if (got_ != want_) {                                                             \
      fprintf(stderr, "FAIL %s: got %lld, want %lld\n", what, got_, want_);          \
      ++failures;                                                                    \
    }                                                                                \
  } while (0)

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (strcmp(argv[1], "report") == 0) volley_enable_leak_report(1);
  char dir[] = "/tmp/volley_c_XXXXXX";
  if (mkdtemp(dir) == NULL) return 2;
  char in[512], out[256], bad[512], err[200];
  snprintf(in, sizeof in, "%s/c_api.json", argv[2]);
  snprintf(bad, sizeof bad, "%s/bad_programmes/slots.json", argv[2]);
  snprintf(out, sizeof out, "%s/out.json", dir);

  volley_programme* refused = volley_programme_load(bad, err, sizeof err);
  CHECK_EQ("a bad file gives no programme", refused == NULL, 1);
  if (strstr(err, "field MAXBULLET") == NULL) {
    fprintf(stderr, "FAIL the message names the field: \"%s\"\n", err);
    ++failures;
  }
  char tiny[8];
  volley_programme_load(bad, tiny, sizeof tiny);
  CHECK_EQ("a short error buffer is cut and terminated", strlen(tiny), sizeof tiny - 1);

  volley_programme* p = volley_programme_load(in, err, sizeof err);
  if (p == NULL) {
    fprintf(stderr, "FAIL load: %s\n", err);
    return 1;
  }
  CHECK_EQ("sets", volley_programme_sets(p), 1);
  CHECK_EQ("save", volley_programme_save(p, out, err, sizeof err), 0);
  volley_programme* q = volley_programme_load(out, err, sizeof err);
  CHECK_EQ("the saved file loads", q != NULL, 1);
  volley_programme_free(q);

  volley_cannon* c = volley_cannon_new(p);
  volley_programme_free(p); /* the cannon keeps its own copy of the sets */
  volley_cannon_follow(c, 100.0f, 100.0f);
  volley_cannon_aim_at(c, 160.0f, 230.0f);
  for (int frame = 0; frame < 60; ++frame) volley_cannon_step(c);
  volley_bullet b[128];
  const size_t live = volley_cannon_bullets(c, b, 128);
  CHECK_EQ("bullets are live after 60 frames", live > 0, 1);
  CHECK_EQ("counting without a buffer", volley_cannon_bullets(c, NULL, 0), live);
  CHECK_EQ("the first bullet's sheet frame", b[0].sprite_frame, 26);
  for (size_t k = 1; k < live; ++k) CHECK_EQ("slot order", b[k].slot > b[k - 1].slot, 1);
  volley_cannon_free(c);
  volley_cannon_free(NULL);

  remove(out);
  rmdir(dir);
  return failures == 0 ? 0 : 1;
}

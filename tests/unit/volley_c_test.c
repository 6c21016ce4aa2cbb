/* The pattern library from C11: load (and a refused load), save (and a refused save), a
 * cannon stepped, its bullets read back, everything freed; no call lets an exception out.
 * Arguments: "report" (the tracker's report on) or "quiet", then the golden directory. */
#define _POSIX_C_SOURCE 200809L

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "volley/volley.h"

static int failures = 0;

static void check(const char* what, long long got, long long want) {
  if (got == want) return;
  fprintf(stderr, "FAIL %s: got %lld, want %lld\n", what, got, want);
  ++failures;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (strcmp(argv[1], "report") == 0) volley_enable_leak_report(1);
  char in[512], out[64], bad[512], err[200] = "", tiny[8];
  snprintf(in, sizeof in, "%s/c_api.json", argv[2]);
  snprintf(bad, sizeof bad, "%s/bad_programmes/slots.json", argv[2]);
  snprintf(out, sizeof out, "/tmp/volley_c_%ld.json", (long)getpid());

  check("a bad file gives no programme", volley_programme_load(bad, err, sizeof err) == NULL, 1);
  fprintf(stderr, "refused: %s\n", err); /* the script shows it */
  check("the message names the field", strstr(err, "field MAXBULLET") != NULL, 1);
  volley_programme_load(bad, tiny, sizeof tiny);
  check("a short error buffer is cut and terminated", strlen(tiny), sizeof tiny - 1);
  volley_programme* p = volley_programme_load(in, err, sizeof err);
  check("sets", volley_programme_sets(p), 1);
  check("save", volley_programme_save(p, out, err, sizeof err), 0);
  check("a save into a missing directory", volley_programme_save(p, "/no/such.json", NULL, 0), -1);
  volley_programme* q = volley_programme_load(out, NULL, 0);
  check("the saved file loads", volley_programme_sets(q), 1);
  volley_programme_free(q);

  volley_cannon* c = volley_cannon_new(p);
  volley_programme_free(p); /* the cannon keeps its own copy of the sets */
  volley_cannon_follow(c, 100.0f, 100.0f);
  volley_cannon_aim_at(c, 160.0f, 230.0f);
  for (int frame = 0; frame < 60; ++frame) volley_cannon_step(c);
  volley_bullet b[128] = {{0}};
  const size_t live = volley_cannon_bullets(c, b, 128);
  check("bullets are live after 60 frames", live > 0, 1);
  check("counting without a buffer", volley_cannon_bullets(c, NULL, 0), live);
  check("the first bullet's sheet frame", b[0].sprite_frame, 26);
  for (size_t k = 1; k < live; ++k) check("slot order", b[k].slot > b[k - 1].slot, 1);
  volley_cannon_free(c);
  volley_cannon_free(NULL);
  remove(out);
  return failures == 0 ? 0 : 1;
}

/* volley: the C interface of the pattern library, for every language with a C foreign
 * function interface. Opaque programmes and cannons; no function lets an exception out, and
 * every failure is a return value (NULL or -1) with a message where one is asked for. */
#ifndef VOLLEY_VOLLEY_H
#define VOLLEY_VOLLEY_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct volley_programme volley_programme;
typedef struct volley_cannon volley_cannon;

/* One live bullet: slot index, top-left corner of its sprite, velocity per frame, direction
 * in degrees and the frame of the bullet sheet to draw. */
typedef struct volley_bullet {
  int slot;
  float x, y, vx, vy;
  int rotation;
  int sprite_frame;
} volley_bullet;

/* Loads a .vly or .json programme. NULL on failure, with "FILE: reason" in err (cut to errlen
 * bytes, always terminated when errlen > 0; err may be NULL). */
volley_programme* volley_programme_load(const char* path, char* err, size_t errlen);
/* Saves by extension. 0 on success, -1 on failure with the message in err. */
int volley_programme_save(const volley_programme* p, const char* path, char* err, size_t errlen);
/* Number of sets. */
size_t volley_programme_sets(const volley_programme* p);
void volley_programme_free(volley_programme* p);

/* A cannon playing p (p may be freed afterwards). NULL when p is NULL or memory runs out. */
volley_cannon* volley_cannon_new(const volley_programme* p);
void volley_cannon_follow(volley_cannon* c, float x, float y);
void volley_cannon_aim_at(volley_cannon* c, float x, float y);
void volley_cannon_step(volley_cannon* c);
/* Copies up to max live bullets in slot order into out (out may be NULL when max is 0) and
 * returns the number of live bullets, which may exceed max. */
size_t volley_cannon_bullets(const volley_cannon* c, volley_bullet* out, size_t max);
void volley_cannon_free(volley_cannon* c);

/* Non-zero turns the allocation tracker's exit report on (it is off by default). */
void volley_enable_leak_report(int on);

#ifdef __cplusplus
}
#endif

#endif /* VOLLEY_VOLLEY_H */

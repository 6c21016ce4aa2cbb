// volley C interface: opaque wrappers around Programme and Cannon; every exception stops here.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "volley/volley.h"
#include "volley/volley.hpp"

struct volley_programme {
  volley::Programme P;
};

struct volley_cannon {
  volley::Cannon C;
};

namespace {

void put_error(char* err, size_t errlen, const char* what) {
  if (err == nullptr || errlen == 0) return;
  const size_t N = std::min(std::strlen(what), errlen - 1);
  std::memcpy(err, what, N);
  err[N] = '\0';
}

}  // namespace

extern "C" {

volley_programme* volley_programme_load(const char* path, char* err, size_t errlen) {
  put_error(err, errlen, "");
  if (path == nullptr) {
    put_error(err, errlen, "no file name given");
    return nullptr;
  }
  try {
    return new volley_programme{volley::load_programme(path)};
  } catch (const std::exception& E) {
    put_error(err, errlen, E.what());
  } catch (...) {
    put_error(err, errlen, "unknown failure");
  }
  return nullptr;
}

int volley_programme_save(const volley_programme* p, const char* path, char* err, size_t errlen) {
  put_error(err, errlen, "");
  if (p == nullptr || path == nullptr) {
    put_error(err, errlen, "no programme or no file name given");
    return -1;
  }
  try {
    volley::save_programme(p->P, path);
    return 0;
  } catch (const std::exception& E) {
    put_error(err, errlen, E.what());
  } catch (...) {
    put_error(err, errlen, "unknown failure");
  }
  return -1;
}

size_t volley_programme_sets(const volley_programme* p) { return p != nullptr ? p->P.size() : 0; }

void volley_programme_free(volley_programme* p) { delete p; }

volley_cannon* volley_cannon_new(const volley_programme* p) {
  if (p == nullptr) return nullptr;
  try {
    return new volley_cannon{volley::Cannon(p->P)};
  } catch (...) {
    return nullptr;
  }
}

void volley_cannon_follow(volley_cannon* c, float x, float y) {
  if (c != nullptr) c->C.follow(x, y);
}

void volley_cannon_aim_at(volley_cannon* c, float x, float y) {
  if (c != nullptr) c->C.aim_at(x, y);
}

void volley_cannon_step(volley_cannon* c) {
  if (c != nullptr) c->C.step();
}

size_t volley_cannon_bullets(const volley_cannon* c, volley_bullet* out, size_t max) {
  if (c == nullptr) return 0;
  try {
    const std::vector<volley::Bullet> ALL = c->C.bullets();
    for (size_t K = 0; K < ALL.size() && K < max && out != nullptr; ++K) {
      const volley::Bullet& B = ALL[K];
      out[K] = {B.slot, B.x, B.y, B.vx, B.vy, B.rotation, B.sprite_frame};
    }
    return ALL.size();
  } catch (...) {
    return 0;
  }
}

void volley_cannon_free(volley_cannon* c) { delete c; }

void volley_enable_leak_report(int on) { volley::enable_leak_report(on != 0); }

}  // extern "C"

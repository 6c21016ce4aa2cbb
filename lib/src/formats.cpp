// volley formats: .vly and .json programmes, read from memory or files and written atomically
// (namespace volley).
#include "lib/src/formats.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>

#include <nlohmann/json.hpp>

#include "barrage/menu_rows.hpp"

namespace volley {
namespace detail {

namespace {

using nlohmann::json;

constexpr const char* FORMAT_NAME = "volley-programme";
constexpr int FORMAT_VERSION = 1;
constexpr int32_t BULLET_SLOTS = NBARRAGE::DEFAULT_MAXBULLET;

#define VOLLEY_INT(F) {#F, &Set::F, nullptr}
#define VOLLEY_FLT(F) {#F, nullptr, &Set::F}
const std::vector<Field> FIELDS = {
    VOLLEY_INT(DELAY),           VOLLEY_INT(TARGETING),        VOLLEY_FLT(X),
    VOLLEY_FLT(Y),               VOLLEY_FLT(XV),               VOLLEY_FLT(YV),
    VOLLEY_FLT(TARGETX),         VOLLEY_FLT(TARGETY),          VOLLEY_INT(ACTIVE),
    VOLLEY_FLT(RADIUS),          VOLLEY_INT(ROTATION),         VOLLEY_INT(MINROTATION),
    VOLLEY_INT(MAXROTATION),     VOLLEY_INT(ROTSPEED),         VOLLEY_INT(ROTDIR),
    VOLLEY_INT(SPAWNDELAY),      VOLLEY_INT(MAXSPAWNDELAY),    VOLLEY_INT(MAXBULLET),
    VOLLEY_INT(BULLET_ENERGY),   VOLLEY_INT(BULLET_DEATH_ID),  VOLLEY_INT(BULLETS_PER_SHOT),
    VOLLEY_INT(SPREAD_ROTATION), VOLLEY_FLT(BULLETSPEED),      VOLLEY_FLT(BULLETSPEED_DELTA),
    VOLLEY_FLT(BULLETOFFSET),    VOLLEY_INT(WAVEMODE),         VOLLEY_INT(BULLETCOUNTER),
    VOLLEY_INT(BULLETWAVEMAX),   VOLLEY_INT(BULLETWAVEMAXDELAY), VOLLEY_INT(BULLET_TYPE),
    VOLLEY_INT(ROTATION_AI),     VOLLEY_INT(BULLET_MODE_AI),   VOLLEY_INT(BULLET_MIN_FRAME),
    VOLLEY_INT(BULLET_NUM_FRAME),
};
#undef VOLLEY_INT
#undef VOLLEY_FLT

const Field& field_named(std::string_view name) {
  for (const Field& F : FIELDS)
    if (name == F.NAME) return F;
  std::abort();  // only called with names from this file
}

// The name of the set field a designer menu row stands for (null: none), from the row table.
const char* ROW_FIELD(int32_t ROW) {
  const NDESIGNER::SET_FIELD S = NDESIGNER::SET_FIELD_OF_ROW(ROW);
  for (const Field& F : FIELDS)
    if ((S.INT_FIELD != nullptr && F.INT == S.INT_FIELD) ||
        (S.FLOAT_FIELD != nullptr && F.FLT == S.FLOAT_FIELD))
      return F.NAME;
  return nullptr;
}

// What the designer's menu holds in the three rows a set has no place for, right after it
// starts: its cannon has applied one set (list index 1) and the two bindings read 0.
constexpr float START_LIST_INDEX = 1.0f;
constexpr float START_BINDING = 0.0f;

std::string number_text(double V) {
  char BUF[64];
  const auto R = std::to_chars(BUF, BUF + sizeof BUF, V);
  return std::string(BUF, R.ptr);
}

// CHOICE: sets are numbered from 1 in messages, as the tool's info lists them.
std::string where(std::size_t SET, const char* FIELD) {
  return "set " + std::to_string(SET + 1) + ", field " + FIELD + ": ";
}

// Reasons the JSON parser's callback stops a parse.
struct ParseStop {
  std::string REASON;
};

int32_t json_integer(const json& V, const std::string& AT) {
  if (V.is_number_integer()) {
    // Unsigned values above the signed 64-bit range compare as out of range below.
    if (V.is_number_unsigned()) {
      const auto U = V.get<uint64_t>();
      if (U > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        throw ParseStop{AT + std::to_string(U) + " is outside the 32-bit integer range"};
      return static_cast<int32_t>(U);
    }
    const auto I = V.get<int64_t>();
    if (I < std::numeric_limits<int32_t>::min() || I > std::numeric_limits<int32_t>::max())
      throw ParseStop{AT + std::to_string(I) + " is outside the 32-bit integer range"};
    return static_cast<int32_t>(I);
  }
  if (V.is_number_float()) {
    const double D = V.get<double>();
    if (!std::isfinite(D)) throw ParseStop{AT + "not a finite number"};
    if (D != std::floor(D)) throw ParseStop{AT + number_text(D) + " is not a whole number"};
    if (D < -2147483648.0 || D > 2147483647.0)
      throw ParseStop{AT + number_text(D) + " is outside the 32-bit integer range"};
    return static_cast<int32_t>(D);
  }
  throw ParseStop{AT + "a number is expected, not " + std::string(V.type_name())};
}

float json_float(const json& V, const std::string& AT) {
  if (!V.is_number())
    throw ParseStop{AT + "a number is expected, not " + std::string(V.type_name())};
  const double D = V.get<double>();
  if (!std::isfinite(D)) throw ParseStop{AT + "not a finite number"};
  const float F = static_cast<float>(D);
  if (!std::isfinite(F))
    throw ParseStop{AT + number_text(D) + " is outside the 32-bit float range"};
  return F;
}

Set json_set(const json& OBJ, std::size_t K) {
  if (!OBJ.is_object())
    throw ParseStop{"set " + std::to_string(K + 1) + ": an object is expected, not " +
                    std::string(OBJ.type_name())};
  Set S{};
  for (const auto& [KEY, VALUE] : OBJ.items()) {
    const Field* F = nullptr;
    for (const Field& G : FIELDS)
      if (KEY == G.NAME) F = &G;
    if (F == nullptr)
      throw ParseStop{"set " + std::to_string(K + 1) + ": unknown field \"" + KEY + "\""};
    const std::string AT = where(K, F->NAME);
    if (F->INT != nullptr) {
      S.*F->INT = json_integer(VALUE, AT);
    } else {
      S.*F->FLT = json_float(VALUE, AT);
    }
  }
  // Counts index the turret's bullet slots: none may ask for more slots than it has.
  for (const char* COUNT : {"MAXBULLET", "BULLETS_PER_SHOT"}) {
    const int32_t V = S.*field_named(COUNT).INT;
    if (V > BULLET_SLOTS)
      throw ParseStop{where(K, COUNT) + std::to_string(V) + " is above the " +
                      std::to_string(BULLET_SLOTS) + " bullet slots"};
    if (V < 0) throw ParseStop{where(K, COUNT) + std::to_string(V) + " is below 0"};
  }
  return S;
}

// The parser's own message without its "[json.exception...] " prefix.
std::string parser_message(const char* WHAT) {
  const char* END = std::strstr(WHAT, "] ");
  return END != nullptr ? std::string(END + 2) : std::string(WHAT);
}

std::string read_file(const std::filesystem::path& FILE) {
  const std::string NAME = FILE.string();
  const int FD = ::open(NAME.c_str(), O_RDONLY | O_CLOEXEC);
  if (FD < 0) fail(NAME, std::string("cannot read: ") + std::strerror(errno));
  struct stat ST {};
  if (::fstat(FD, &ST) == 0 && S_ISREG(ST.st_mode) &&
      static_cast<uint64_t>(ST.st_size) > MAX_FILE_BYTES) {
    ::close(FD);
    fail(NAME, "file of " + std::to_string(ST.st_size) + " bytes is above the " +
                   std::to_string(MAX_FILE_BYTES >> 20) + " MiB limit");
  }
  // Read at most one byte past the limit, so a pipe or a growing file is refused as well.
  std::string DATA;
  char BUF[65536];
  for (;;) {
    const ssize_t GOT = ::read(FD, BUF, sizeof BUF);
    if (GOT < 0) {
      if (errno == EINTR) continue;
      const int ERR = errno;
      ::close(FD);
      fail(NAME, std::string("cannot read: ") + std::strerror(ERR));
    }
    if (GOT == 0) break;
    DATA.append(BUF, static_cast<std::size_t>(GOT));
    if (DATA.size() > MAX_FILE_BYTES) {
      ::close(FD);
      fail(NAME, "file is above the " + std::to_string(MAX_FILE_BYTES >> 20) + " MiB limit");
    }
  }
  ::close(FD);
  return DATA;
}

enum class Kind { VLY, JSON };

Kind kind_of(const std::filesystem::path& FILE) {
  std::string EXT = FILE.extension().string();
  std::transform(EXT.begin(), EXT.end(), EXT.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  if (EXT == ".vly") return Kind::VLY;
  if (EXT == ".json") return Kind::JSON;
  fail(FILE.string(), "not a .vly or .json file");
}

void write_file(const std::filesystem::path& FILE, const void* DATA, std::size_t SIZE) {
  const std::string NAME = FILE.string();
  // The new contents go to a temporary file beside the old one, which the rename replaces in
  // one step: a failed save leaves the old file as it was.
  std::string TMP = NAME + ".XXXXXX";
  const int FD = ::mkstemp(TMP.data());
  if (FD < 0) fail(NAME, std::string("cannot write: ") + std::strerror(errno));
  const auto* P = static_cast<const char*>(DATA);
  std::size_t DONE = 0;
  int ERR = 0;
  while (DONE < SIZE) {
    const ssize_t PUT = ::write(FD, P + DONE, SIZE - DONE);
    if (PUT < 0 && errno == EINTR) continue;
    if (PUT <= 0) {
      ERR = PUT < 0 ? errno : ENOSPC;
      break;
    }
    DONE += static_cast<std::size_t>(PUT);
  }
  if (ERR == 0 && ::fchmod(FD, 0644) != 0) ERR = errno;
  if (::close(FD) != 0 && ERR == 0) ERR = errno;
  if (ERR == 0 && ::rename(TMP.c_str(), NAME.c_str()) != 0) ERR = errno;
  if (ERR != 0) {
    ::unlink(TMP.c_str());
    fail(NAME, std::string("cannot write: ") + std::strerror(ERR));
  }
}

}  // namespace

void fail(const std::string& name, const std::string& reason) { throw Error(name + ": " + reason); }

const std::vector<Field>& set_fields() { return FIELDS; }

Programme parse_vly(const uint8_t* data, std::size_t size, const std::string& name) {
  if (size == 0) fail(name, "empty file");
  // CHOICE: bytes beyond the 140 are ignored, as the designer ignores them (its saves keep
  // the tail of a longer file); a shorter file is refused rather than padded with zeros.
  if (size < NDESIGNER::BARRAGE_BYTES)
    fail(name, "truncated: " + std::to_string(size) + " of " +
                   std::to_string(NDESIGNER::BARRAGE_BYTES) + " bytes");
  float VALUES[NDESIGNER::BARRAGE_VALUES];
  NDESIGNER::DECODE_BARRAGE(data, size, VALUES);
  NDESIGNER::LIMIT_LOADED_ROWS(VALUES);
  Set S{};
  for (int32_t ROW = 0; ROW < NDESIGNER::MENU_ROWS; ++ROW) {
    if (ROW_FIELD(ROW) == nullptr) continue;
    const Field& F = field_named(ROW_FIELD(ROW));
    // Integer fields take the value rounded half to even, as the designer fills its cannon.
    if (F.INT != nullptr) {
      S.*F.INT = NDESIGNER::ROUND_HALF_EVEN(VALUES[ROW]);
    } else {
      S.*F.FLT = VALUES[ROW];
    }
  }
  return Programme{S};
}

Programme parse_json(std::string_view text, const std::string& name) {
  if (text.empty()) fail(name, "empty file");
  try {
    // Keys seen in each open object, to refuse a key given twice; and a depth limit, so a
    // nesting bomb stops at the ninth level instead of building a deep tree.
    std::vector<std::set<std::string>> KEYS;
    std::size_t OBJECTS = 0;
    std::size_t VALUES = 0;
    const json::parser_callback_t GUARD = [&](int DEPTH, json::parse_event_t EVENT,
                                              json& PARSED) {
      if (DEPTH > MAX_JSON_DEPTH)
        throw ParseStop{"nesting deeper than " + std::to_string(MAX_JSON_DEPTH) + " levels"};
      if (EVENT == json::parse_event_t::value && ++VALUES > (FIELDS.size() + 1) * MAX_SETS)
        throw ParseStop{"more values than " + std::to_string(MAX_SETS) + " sets can hold"};
      if (EVENT == json::parse_event_t::object_start) {
        if (++OBJECTS > MAX_SETS + 1)
          throw ParseStop{"more than " + std::to_string(MAX_SETS) + " sets"};
        KEYS.emplace_back();
      } else if (EVENT == json::parse_event_t::object_end) {
        if (!KEYS.empty()) KEYS.pop_back();
      } else if (EVENT == json::parse_event_t::key && !KEYS.empty()) {
        const auto& KEY = PARSED.get_ref<const std::string&>();
        if (!KEYS.back().insert(KEY).second) throw ParseStop{"key \"" + KEY + "\" given twice"};
      }
      return true;
    };
    const json DOC = json::parse(text.begin(), text.end(), GUARD);
    if (!DOC.is_object())
      throw ParseStop{"an object is expected at the top, not " + std::string(DOC.type_name())};
    for (const auto& [KEY, VALUE] : DOC.items())
      if (KEY != "format" && KEY != "version" && KEY != "sets")
        throw ParseStop{"unknown key \"" + KEY + "\""};
    if (!DOC.contains("format")) throw ParseStop{"no \"format\" key"};
    if (DOC["format"] != FORMAT_NAME)
      throw ParseStop{"\"format\" is " + DOC["format"].dump() + ", not \"" + FORMAT_NAME + "\""};
    if (!DOC.contains("version")) throw ParseStop{"no \"version\" key"};
    if (DOC["version"] != FORMAT_VERSION)
      throw ParseStop{"unknown version " + DOC["version"].dump() + " (version " +
                      std::to_string(FORMAT_VERSION) + " is read)"};
    if (!DOC.contains("sets")) throw ParseStop{"no \"sets\" key"};
    const json& SETS = DOC["sets"];
    if (!SETS.is_array())
      throw ParseStop{"\"sets\" must be an array, not " + std::string(SETS.type_name())};
    Programme P;
    P.reserve(SETS.size());
    for (std::size_t K = 0; K < SETS.size(); ++K) P.push_back(json_set(SETS[K], K));
    return P;
  } catch (const ParseStop& STOP) {
    fail(name, STOP.REASON);
  } catch (const json::exception& E) {
    fail(name, "not valid JSON: " + parser_message(E.what()));
  }
}

std::vector<uint8_t> vly_bytes(const Programme& p, const std::string& name) {
  if (p.size() != 1)
    fail(name, "a .vly file holds one set, the programme has " + std::to_string(p.size()));
  const Set& S = p.front();
  // CHOICE: a set that the 140 bytes cannot hold as it is (a DELAY or BULLET_MODE_AI other
  // than 0, an integer that no 32-bit float holds exactly) is refused rather than changed.
  for (const char* NONE : {"DELAY", "BULLET_MODE_AI"})
    if (S.*field_named(NONE).INT != 0)
      fail(name, where(0, NONE) + "a .vly file has no place for " +
                     std::to_string(S.*field_named(NONE).INT));
  float VALUES[NDESIGNER::BARRAGE_VALUES];
  VALUES[0] = START_LIST_INDEX;
  VALUES[2] = START_BINDING;
  VALUES[3] = START_BINDING;
  for (int32_t ROW = 0; ROW < NDESIGNER::MENU_ROWS; ++ROW) {
    if (ROW_FIELD(ROW) == nullptr) continue;
    const Field& F = field_named(ROW_FIELD(ROW));
    if (F.FLT != nullptr) {
      VALUES[ROW] = S.*F.FLT;
      continue;
    }
    const int32_t V = S.*F.INT;
    VALUES[ROW] = static_cast<float>(V);
    if (static_cast<double>(VALUES[ROW]) != static_cast<double>(V))
      fail(name, where(0, F.NAME) + std::to_string(V) + " cannot be held exactly by a .vly value");
  }
  std::vector<uint8_t> OUT(NDESIGNER::BARRAGE_BYTES);
  uint8_t BYTES[NDESIGNER::BARRAGE_BYTES];
  NDESIGNER::ENCODE_BARRAGE(VALUES, BYTES);
  std::copy(std::begin(BYTES), std::end(BYTES), OUT.begin());
  return OUT;
}

}  // namespace detail

std::string programme_json(const Programme& p) {
  using nlohmann::ordered_json;
  ordered_json SETS = ordered_json::array();
  for (const Set& S : p) {
    ordered_json O = ordered_json::object();
    for (const detail::Field& F : detail::FIELDS) {
      if (F.INT != nullptr) {
        O[F.NAME] = S.*F.INT;
      } else {
        // The shortest text that reads back as the same 32-bit float.
        char BUF[32];
        const auto R = std::to_chars(BUF, BUF + sizeof BUF, S.*F.FLT);
        O[F.NAME] = std::strtod(std::string(BUF, R.ptr).c_str(), nullptr);
      }
    }
    SETS.push_back(std::move(O));
  }
  ordered_json DOC = ordered_json::object();
  DOC["format"] = detail::FORMAT_NAME;
  DOC["version"] = detail::FORMAT_VERSION;
  DOC["sets"] = std::move(SETS);
  return DOC.dump(2) + "\n";
}

Programme load_programme(const std::filesystem::path& file) {
  const detail::Kind KIND = detail::kind_of(file);
  const std::string DATA = detail::read_file(file);
  if (KIND == detail::Kind::VLY)
    return detail::parse_vly(reinterpret_cast<const uint8_t*>(DATA.data()), DATA.size(),
                             file.string());
  return detail::parse_json(DATA, file.string());
}

void save_programme(const Programme& p, const std::filesystem::path& file) {
  if (detail::kind_of(file) == detail::Kind::VLY) {
    const std::vector<uint8_t> BYTES = detail::vly_bytes(p, file.string());
    detail::write_file(file, BYTES.data(), BYTES.size());
  } else {
    const std::string TEXT = programme_json(p);
    detail::write_file(file, TEXT.data(), TEXT.size());
  }
}

}  // namespace volley

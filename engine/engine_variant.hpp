// engine_variant: which of the two engine builds this translation unit belongs to.
// The designer links engine_edit (VOLLEY_PLAYER_BUILD=0), the player engine_play (=1); the
// value comes from the engine target as a PUBLIC definition so every consumer agrees.
#pragma once

#if !defined(VOLLEY_PLAYER_BUILD) || (VOLLEY_PLAYER_BUILD != 0 && VOLLEY_PLAYER_BUILD != 1)
#error "VOLLEY_PLAYER_BUILD must be 0 or 1"
#endif

namespace NBARRAGE {

/// True in the player's build of the engine. Behaviour differences test it with
/// `if constexpr`; record layout differences use `#if VOLLEY_PLAYER_BUILD`.
inline constexpr bool PLAYER_BUILD = VOLLEY_PLAYER_BUILD != 0;

}  // namespace NBARRAGE

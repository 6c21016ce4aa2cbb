// image_variant: which of the two builds of the image module this translation unit belongs to.
// pixbank_image_edit (VOLLEY_PLAYER_BUILD=0) goes into the designer, pixbank_image_play (=1)
// into the player; the value is a PUBLIC definition of the target, so every consumer agrees.
#pragma once

#if !defined(VOLLEY_PLAYER_BUILD) || (VOLLEY_PLAYER_BUILD != 0 && VOLLEY_PLAYER_BUILD != 1)
#error "VOLLEY_PLAYER_BUILD must be 0 or 1"
#endif

/// True in the player's copy of the module. Differences are `if constexpr` on this constant.
inline constexpr bool IMAGE_PLAYER_BUILD = VOLLEY_PLAYER_BUILD != 0;

// volleyplay: the built-in barrage catalogue BARRAGE_0 to BARRAGE_16.
// Each procedure appends timed parameter sets to both cannons of a pair through their LIST_ADD
// slots; the player strings them together into its two programmes.
#pragma once

#include <cstdint>

#include "engine/turret_module.hpp"

/// Each BARRAGE_n appends its parameter sets to element 0 and element 1 of CANNON (a pair of
/// initialised turrets; the pointer itself is not changed). DELAY is the DELAY of the first
/// set appended to each cannon: that set is applied DELAY + 1 frames after the set before it.
/// BARRAGE_8 appends 15 sets to each cannon, every other procedure one.
void BARRAGE_0(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_1(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_2(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_3(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_4(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_5(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_6(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_7(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_8(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_9(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_10(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_11(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_12(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_13(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_14(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_15(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);
void BARRAGE_16(NBARRAGE::TURRET_TYPE*& CANNON, int32_t DELAY);

/// The firing direction of BARRAGE_8's I-th firing set (I = 0 to 6): 180 + 4 I + 20 sin(I - 3)
/// for the first cannon, 180 - 4 I + 20 sin(I - 3) for the second (SECOND true), in double
/// precision, rounded to the nearest whole degree with halves to even.
int32_t BARRAGE_8_ROTATION(int32_t I, bool SECOND);
/// The aim value TARGETY of BARRAGE_8's I-th firing set: sin(5 I - 15), radians.
float BARRAGE_8_TARGETY(int32_t I);

// leakscope: the allocation tracker shared by both programs.
// Every heap block of Volley's own modules is taken and returned here with the caller's
// source name and line; at exit the tracker lists what is still held and waits for a key.
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

/// One record per live block; the list is doubly linked with the newest record at the head.
/// Records come from the system allocator directly and are never tracked themselves.
struct LEAKSCOPE_T {
  void* PT;
  uint32_t BYTES;
  char* FILE;  // owned copy of the caller's source name
  int32_t LINENUM;
  LEAKSCOPE_T* _NEXT;  // next older record
  LEAKSCOPE_T* _PREV;  // next newer record
};

extern LEAKSCOPE_T* LEAKSCOPE_LIST;     ///< newest record, null when nothing is held
extern std::mutex* LEAKSCOPE_MUTEX;     ///< created by the first LEAKSCOPE_INIT
extern int32_t LEAKSCOPE_INSTANCES;     ///< LEAKSCOPE_INIT calls not yet matched by LEAKSCOPE_EXIT

/// A zero-filled block of BYTES bytes, recorded with FILE and LINENUM. A failed allocation is
/// returned (null) and recorded all the same, so the exit report lists it at address 0.
void* LEAKSCOPE_CALLOCATE(uint32_t BYTES, const char* FILE, int32_t LINENUM);

/// Resizes PT to BYTES bytes (new bytes are not zeroed; a null PT gives a fresh block).
/// A recorded PT has its record updated in place; anything else is recorded anew.
void* LEAKSCOPE_REALLOCATE(void* PT, uint32_t BYTES, const char* FILE, int32_t LINENUM);

/// Removes PT's record and releases the block. A null or unrecorded PT is reported as
/// "Invalid deallocate(VARNAME) [&HPT] at FILE:LINENUM" and then handed to free() all the same.
void LEAKSCOPE_DEALLOCATE(void* PT, const char* FILE, int32_t LINENUM, const char* VARNAME);

/// Reports one line: "(LEAKSCOPE) S\r" on standard error, "(LEAKSCOPE) S\n" on the output.
void LEAKSCOPE_PRINT(const std::string& S);

void LEAKSCOPE_MUTEXLOCK();
void LEAKSCOPE_MUTEXUNLOCK();
/// The newest record holding PT, or null.
LEAKSCOPE_T* LEAKSCOPE_FIND(void* PT);
void LEAKSCOPE_ADD(void* PT, uint32_t BYTES, const char* FILE, int32_t LINENUM);
void LEAKSCOPE_REMOVE(LEAKSCOPE_T* ELEM);

/// Run by the program's start and exit hooks; no module calls them. Only the LEAKSCOPE_EXIT
/// that balances the first LEAKSCOPE_INIT reports; every LEAKSCOPE_EXIT then waits for a key.
void LEAKSCOPE_INIT();
void LEAKSCOPE_EXIT();

// ---- Extensions for headless runs and tests (off the path of a plain run) ----

/// Whether LEAKSCOPE_EXIT waits for a key (default: yes). Headless runs and test programs
/// switch it off. With the wait on and no terminal, one byte is read; end of input counts.
void LEAKSCOPE_SET_EXIT_WAIT(bool WAIT);

/// Whether LEAKSCOPE_EXIT prints its report (default: yes). A library that hides the tracker
/// from its host switches it off; the records are released either way.
void LEAKSCOPE_SET_EXIT_REPORT(bool REPORT);

/// Where the two report writes go (default: stderr and stdout). Tests capture them.
void LEAKSCOPE_SET_STREAMS(std::FILE* ERR, std::FILE* OUT);

/// Number of records in the list (live tracked blocks).
std::size_t LEAKSCOPE_COUNT();

/// Reads exactly one key: raw mode on a terminal (restored afterwards), one byte from a
/// pipe or file. Returns the byte, or -1 at end of input. Never waits for Enter.
int LEAKSCOPE_READ_KEY();

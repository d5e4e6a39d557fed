// EXIST, the file test Vorlane.exe exports for other programs (by name, at
// ordinal 2), and the program's own way of calling it.
#pragma once

#include <windows.h>

#include <string>

// -1 when a directory entry of the given name exists that is neither hidden
// nor system ("." and ".." never count), 0 otherwise. Wildcards in the last
// component match; a name ending with ':' or '\' asks for any entry in that
// folder. `nameHandle` is the address of a string handle: the address of the
// first byte of an ANSI string whose byte count is the 32-bit word just before
// it. A null address, a null handle and the empty name all answer 0. Names of
// any length are looked up whole.
extern "C" int WINAPI EXIST(const char* const* nameHandle);

// EXIST of a name held by the program: lays the name out as EXIST's callers
// do and reports whether it answered true.
bool CatalogueExists(const std::string& fullName);

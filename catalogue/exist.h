// EXIST, the file test the library exports for other programs (by name, at
// ordinal 2), and the program's own way of calling it. EXIST itself is
// declared in the library's public header. A null address, a null handle and
// the empty name all answer 0; names of any length are looked up whole.
#pragma once

#include <string>

#include "rrbutton/rrbutton.h"

// EXIST of a name held by the program: lays the name out as EXIST's callers
// do and reports whether it answered true.
bool CatalogueExists(const std::string& fullName);

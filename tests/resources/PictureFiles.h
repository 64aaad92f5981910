#pragma once
// Small picture files for tests: real BMP and ICO files that LoadImage accepts.

#include <string>

// A 24-bit bitmap of the given size in one colour.
std::string MakeBitmapFile(int width, int height);
// A 16 x 16 icon with 32-bit colour.
std::string MakeIconFile();

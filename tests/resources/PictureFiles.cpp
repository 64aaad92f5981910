#include "PictureFiles.h"

#include <cstdint>

namespace
{

void Put16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutInfoHeader(std::string& out, int width, int height, int bits, std::uint32_t imageSize)
{
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(bits));
    Put32(out, 0); // no compression
    Put32(out, imageSize);
    Put32(out, 3780);
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
}

} // namespace

std::string MakeBitmapFile(int width, int height)
{
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(height);
    std::string file = "BM";
    Put32(file, 54 + imageSize);
    Put32(file, 0);
    Put32(file, 54);
    PutInfoHeader(file, width, height, 24, imageSize);
    file.append(imageSize, '\x60');
    return file;
}

std::string MakeIconFile()
{
    const int size = 16;
    const std::uint32_t colourBytes = size * size * 4;
    const std::uint32_t maskBytes = size * 4; // one bit per pixel, rows padded to 32 bits
    std::string file;
    Put16(file, 0);
    Put16(file, 1); // icon
    Put16(file, 1); // one image
    file += static_cast<char>(size);
    file += static_cast<char>(size);
    file += '\0';
    file += '\0';
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, 40 + colourBytes + maskBytes);
    Put32(file, 22);
    PutInfoHeader(file, size, size * 2, 32, 0);
    for (std::uint32_t i = 0; i < size * size; ++i)
        file += std::string("\x20\x80\xC0\xFF", 4);
    file.append(maskBytes, '\0');
    return file;
}

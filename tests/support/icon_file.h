#pragma once

#include <cstdint>
#include <string>

// A 16 x 16 icon file of one colour (a 32-bit bitmap inside the icon
// container), as a product installs as its window icon.
std::string IconFile(uint32_t colour);

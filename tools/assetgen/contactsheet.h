// One overview picture of everything generated, for reviewing the art.
#pragma once

#include <string>
#include <vector>

#include "output.h"

namespace assetgen {

bool writeContactSheet(const std::vector<Thumb>& thumbs, const std::string& file);

}  // namespace assetgen

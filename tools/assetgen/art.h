// Every maker of the generated files, grouped by what they show.
#pragma once

#include "output.h"
#include "pixels.h"

namespace assetgen {

void makeFont(Output& out);

}  // namespace assetgen

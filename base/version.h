// The program's version, given by the build (the project version in
// CMakeLists.txt).
#pragma once

#ifndef VOIDRAKE_VERSION
#define VOIDRAKE_VERSION "0.0.0"
#endif

constexpr const char* kVersion = VOIDRAKE_VERSION;

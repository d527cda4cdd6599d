#pragma once
#include <cstddef>

#include "setup/SetupConfig.h"

// Files larger than this are ignored as a whole, like an unreadable one.
constexpr size_t kMaxSetupDatSize = 64u * 1024 * 1024;

// Applies the key=value lines of a SETUP.DAT image (not terminated) to config.
// Lines whose value is longer than kMaxConfigValueLength (flags and
// nolicense included), or that hold a NUL byte, are ignored like any other
// malformed line.
void ParseSetupDat(const char* data, size_t size, SetupConfig& config);

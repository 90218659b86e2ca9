#pragma once

#include <string>

namespace zarvex {

// The folder that holds the running executable (UTF-8, no trailing "/"); "." if unknown.
std::string program_folder();

}  // namespace zarvex

// The object module file as the run opens, keeps and removes it.
#pragma once

#include <cstdio>
#include <string>

namespace koral {

struct ObjectFile {
  std::FILE* stream = nullptr;  // open while the module is written
  std::string path;             // full path of the file created
};

}  // namespace koral

// Tells what lies at a path. The album-art search asks through this, so its
// order can be tested without a disk.
#pragma once

#include "files/BCFileSpec.h"

class FileProbe {
 public:
  virtual ~FileProbe() = default;
  virtual FileExistence Exists(const BCFileSpec& fileSpec) = 0;
};
